#include "masterdatarows.h"

#include "common/sqltext.h"
#include "db/connection.h"
#include "db/dberror.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

const QString &CheckedTableName(const QString &table)
{
    static const QRegularExpression plain(u"^[A-Za-z_][A-Za-z0-9_]*$"_s);
    if (!plain.match(table).hasMatch())
        throw DbError(u"Érvénytelen táblanév: "_s + table);
    return table;
}

QString MasterDataNameColumn(const QString &table)
{
    return CheckedTableName(table) + u"_nev"_s;
}

bool DeleteMasterDataRow(Connection &con, const QString &table, int id)
{
    const QString t = CheckedTableName(table);
    con.exec(u"DELETE FROM "_s + t + u" WHERE "_s + t + u" = "_s + QString::number(id) + u';');
    return con.affectedRows() > 0;
}

bool DeleteSubject(Connection &con, const QString &subject)
{
    // The column's collation ignores trailing blanks: a subject of blanks only is the empty one.
    QStringView text(subject);
    while (text.endsWith(u' '))
        text.chop(1);
    if (text.isEmpty())
        return false;
    con.exec(u"DELETE FROM targy WHERE targy = "_s + SqlQuoted(subject) + u';');
    return con.affectedRows() > 0;
}
