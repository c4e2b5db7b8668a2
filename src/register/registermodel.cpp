#include "registermodel.h"

#include "db/query.h"

#include <QDate>

using namespace Qt::StringLiterals;

const QColor RegisterModel::OpenColour(255, 221, 221);
const QColor RegisterModel::FinishedColour(193, 255, 224);

RegisterModel::RegisterModel(Query *query, QObject *parent) : QAbstractTableModel(parent), m_query(query)
{
    connect(query, &Query::aboutToReset, this, &RegisterModel::beginResetModel);
    connect(query, &Query::reset, this, [this] {
        resolveColumns();
        endResetModel();
    });
    connect(query, &Query::aboutToAppend, this,
            [this](int first, int last) { beginInsertRows(QModelIndex(), first, last); });
    connect(query, &Query::appended, this, &RegisterModel::endInsertRows);
    resolveColumns();
}

void RegisterModel::resolveColumns()
{
    for (int c = 0; c < RegisterColumnCount; ++c)
        m_fieldOf[c] = m_query->fieldIndex(QString::fromUtf16(RegisterColumns[c].field));
    m_statusField = m_query->fieldIndex(u"statusz"_s);
    m_numberField = m_fieldOf[ColNumber];
}

int RegisterModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_query->rowCount();
}

int RegisterModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : RegisterColumnCount;
}

QString RegisterModel::fieldName(int column) const
{
    return column >= 0 && column < RegisterColumnCount ? QString::fromUtf16(RegisterColumns[column].field)
                                                       : QString();
}

int RegisterModel::rowStatus(int row) const
{
    const ResultSet &rs = m_query->result();
    if (m_numberField < 0 || m_statusField < 0 || rs.isNull(row, m_numberField) ||
        rs.isNull(row, m_statusField))
        return 0;
    return rs.raw(row, m_statusField).toInt();
}

QVariant RegisterModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_query->rowCount())
        return {};
    const int field = m_fieldOf[index.column()];
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole: {
        if (field < 0 || m_query->result().isNull(index.row(), field))
            return {};
        if (index.column() == ColDate || index.column() == ColDeadline) {
            const QDate d = m_query->result().value(index.row(), field).toDate();
            return d.isValid() ? d.toString(u"yyyy.MM.dd"_s) : QVariant();
        }
        QString text = m_query->result().text(index.row(), field);
        if (role == Qt::DisplayRole)
            text.replace(u"\r\n"_s, u" "_s);
        return text;
    }
    case Qt::BackgroundRole: {
        // The sort column's mark is painted over this by the grid's delegate.
        switch (rowStatus(index.row())) {
        case 1: return OpenColour;
        case 2: return FinishedColour;
        default: return {};
        }
    }
    default: return {};
    }
}

QVariant RegisterModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < RegisterColumnCount)
        return QString::fromUtf16(RegisterColumns[section].title);
    if (orientation == Qt::Vertical && role == Qt::DisplayRole)
        return QVariant();
    return QAbstractTableModel::headerData(section, orientation, role);
}
