#include "registerdetails.h"

#include "db/connection.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace registerdetails {
constexpr int Before = 8;
constexpr int After = 24;
} // namespace registerdetails

QList<qint64> RegisterDetails::idsAround(const ResultSet &gridRows, int row)
{
    QList<qint64> ids;
    const int idColumn = gridRows.fieldIndex(u"iktato");
    if (row < 0 || idColumn < 0)
        return ids;
    for (int r = qMax(0, row - registerdetails::Before);
         r < qMin(gridRows.rowCount(), row + registerdetails::After); ++r)
        ids.append(gridRows.value(r, idColumn).toLongLong());
    return ids;
}

QList<qint64> RegisterDetails::idsAround(const std::vector<qint64> &rowIds, int row)
{
    QList<qint64> ids;
    if (row < 0)
        return ids;
    const int count = int(rowIds.size());
    for (int r = qMax(0, row - registerdetails::Before); r < qMin(count, row + registerdetails::After); ++r)
        ids.append(rowIds[std::size_t(r)]);
    return ids;
}

RegisterDetails RegisterDetails::read(Connection &connection, const QList<qint64> &ids)
{
    RegisterDetails details;
    if (ids.isEmpty())
        return details;
    QStringList keys;
    for (const qint64 id : ids) {
        keys.append(QString::number(id));
        details.m_rowOf.insert(id, -1);
    }
    details.m_rows =
        connection.query(u"SELECT * FROM vw_iktato WHERE iktato IN ("_s + keys.join(u',') + u");"_s);
    const int idColumn = details.m_rows.fieldIndex(u"iktato");
    for (int r = 0; r < details.m_rows.rowCount(); ++r)
        details.m_rowOf.insert(details.m_rows.value(r, idColumn).toLongLong(), r);
    return details;
}

QString RegisterDetails::text(qint64 id, const QString &field) const
{
    const int row = m_rowOf.value(id, -1);
    const int column = m_rows.fieldIndex(field);
    return row < 0 || column < 0 ? QString() : m_rows.text(row, column);
}
