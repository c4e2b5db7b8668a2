#include "tableindexes.h"

#include "common/sqltext.h"
#include "connection.h"

#include <algorithm>

using namespace Qt::StringLiterals;

QList<TableIndex> TableIndexes(Connection &con, const QString &table)
{
    const ResultSet rs = con.query(u"SELECT INDEX_NAME, NON_UNIQUE, LOWER(COLUMN_NAME) "
                                   "FROM information_schema.STATISTICS "
                                   "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = "_s +
                                   SqlQuoted(table) + u" ORDER BY INDEX_NAME, SEQ_IN_INDEX"_s);
    QList<TableIndex> indexes;
    for (int row = 0; row < rs.rowCount(); ++row) {
        const QString name = rs.text(row, 0);
        if (indexes.isEmpty() || indexes.last().name != name)
            indexes.append(TableIndex{name, rs.text(row, 1) == u"0", {}});
        indexes.last().columns.append(rs.text(row, 2));
    }
    return indexes;
}

bool HasYearIndex(Connection &con)
{
    const QList<TableIndex> indexes = TableIndexes(con, u"iktato"_s);
    return std::ranges::any_of(indexes, [](const TableIndex &index) {
        return index.columns == QStringList{u"ev"_s} || index.columns == QStringList{u"ev"_s, u"iktato"_s};
    });
}
