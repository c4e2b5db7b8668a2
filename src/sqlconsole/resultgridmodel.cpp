#include "resultgridmodel.h"

#include "db/resultset.h"
#include "db/table.h"
#include "gui/messagebox.h"

void ResultGridModel::showRows(const ResultSet *rows)
{
    beginResetModel();
    m_rows = rows;
    m_table = nullptr;
    endResetModel();
}

void ResultGridModel::showTable(Table *table)
{
    beginResetModel();
    m_table = table;
    m_rows = table ? &table->rows() : nullptr;
    endResetModel();
}

int ResultGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_rows ? 0 : m_rows->rowCount();
}

int ResultGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_rows ? 0 : m_rows->columnCount();
}

QVariant ResultGridModel::data(const QModelIndex &index, int role) const
{
    if (!m_rows || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_rows->text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && m_rows->fields().at(index.column()).isNumeric())
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ResultGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!m_rows || orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_rows->columnCount())
        return {};
    return m_rows->fields().at(section).name;
}

Qt::ItemFlags ResultGridModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (m_table && index.isValid())
        f |= Qt::ItemIsEditable;
    return f;
}

bool ResultGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!m_table || role != Qt::EditRole ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    const FieldInfo &field = m_rows->fields().at(index.column());
    const QString text = value.toString();
    if (text == m_rows->text(index.row(), index.column()))
        return false;
    const bool textKind = field.kind == FieldInfo::Kind::Text || field.kind == FieldInfo::Kind::Binary;
    try {
        m_table->edit(index.row());
        m_table->setValue(field.name, text.isEmpty() && !textKind ? QVariant() : QVariant(text));
        m_table->post();
    } catch (...) {
        m_table->cancel();
        ShowCurrentException();
        return false;
    }
    try {
        reread();
    } catch (...) {
        ShowCurrentException();
    }
    return true;
}

void ResultGridModel::removeTableRow(int row)
{
    if (!m_table)
        return;
    m_table->remove(row);
    reread();
}

void ResultGridModel::reread()
{
    beginResetModel();
    try {
        m_table->refresh();
    } catch (...) {
        endResetModel();
        throw;
    }
    m_rows = &m_table->rows();
    endResetModel();
    emit tableChanged();
}
