#include "querytablemodel.h"

#include "db/query.h"

QueryTableModel::QueryTableModel(Query *query, QList<Column> columns, QObject *parent)
    : QAbstractTableModel(parent), m_query(query), m_columns(std::move(columns))
{
    resolveFields();
    connect(m_query, &Query::aboutToReset, this, &QueryTableModel::beginResetModel);
    connect(m_query, &Query::reset, this, [this] {
        resolveFields();
        endResetModel();
    });
}

void QueryTableModel::resolveFields()
{
    m_fieldOf.clear();
    for (const Column &c : m_columns)
        m_fieldOf.append(m_query->fieldIndex(c.field));
}

int QueryTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_query->rowCount();
}

int QueryTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant QueryTableModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int field = m_fieldOf.at(index.column());
    if (const CellFunction &cell = m_columns.at(index.column()).cell) {
        const QVariant v = cell(m_query->result(), index.row(), field, role);
        if (v.isValid())
            return v;
    }
    if (role != Qt::DisplayRole || field < 0)
        return {};
    return m_query->result().text(index.row(), field);
}

QVariant QueryTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_columns.size())
        return {};
    return m_columns.at(section).title;
}
