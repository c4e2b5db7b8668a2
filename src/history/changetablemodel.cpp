#include "changetablemodel.h"

using namespace Qt::StringLiterals;

namespace changetablemodel {

enum Column { When, Operation, Field, Old, New, User, Client, ColumnCount };

} // namespace changetablemodel

using namespace changetablemodel;

QString ChangeCellText(const QString &value, bool isNull)
{
    if (isNull)
        return u"(üres)"_s;
    const qsizetype end = value.indexOf(u'\r') >= 0 ? value.indexOf(u'\r') : value.indexOf(u'\n');
    const QString line = end >= 0 ? value.left(end) : value;
    return line.size() > 100 || end >= 0 ? line.left(100) + u"…"_s : line;
}

void ChangeTableModel::setRows(QList<ChangeRow> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int ChangeTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ChangeTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant ChangeTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    const ChangeRow &c = m_rows.at(index.row());
    switch (index.column()) {
    case When:
        return c.when.toString(u"yyyy.MM.dd. HH:mm:ss"_s);
    case Operation:
        return OperationCaption(c.operation);
    case Field:
        return ColumnCaption(c.column);
    case Old:
        return role == Qt::ToolTipRole ? c.oldValue : ChangeCellText(c.oldValue, c.oldNull);
    case New:
        return role == Qt::ToolTipRole ? c.newValue : ChangeCellText(c.newValue, c.newNull);
    case User:
        return c.userName.isEmpty() && c.userId > 0 ? QString::number(c.userId) : c.userName;
    case Client:
        return c.client;
    default:
        return {};
    }
}

QVariant ChangeTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char16_t *const titles[] = {u"Időpont",   u"Művelet",     u"Mező",        u"Régi érték",
                                             u"Új érték", u"Felhasználó", u"Munkaállomás"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf16(titles[section]) : QVariant();
}
