#include "userrows.h"

#include "common/sqltext.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "db/resultset.h"

#include <algorithm>

using namespace Qt::StringLiterals;

QList<LoginRow> ReadLoginRows(Connection &con)
{
    const ResultSet rows = con.query(u"SELECT felhkod, felhasznalo, felhasznalo_nev, jelszomd5, "
                                     u"rendszergazda, torzsszerkeszt FROM felhasznalo ORDER BY felhkod;"_s);
    QList<LoginRow> result;
    result.reserve(rows.rowCount());
    for (int r = 0; r < rows.rowCount(); ++r) {
        LoginRow row;
        row.user.id = rows.text(r, 0).toInt();
        row.user.loginName = rows.text(r, 1);
        row.user.fullName = rows.text(r, 2);
        row.digest = rows.text(r, 3);
        row.user.adminRight = rows.text(r, 4) == u"I"_s;
        row.user.masterDataRight = rows.text(r, 5) == u"I"_s;
        result.append(row);
    }
    return result;
}

std::optional<LoginUser> CheckCredentials(Connection &con, const QList<LoginRow> &rows, const QString &code,
                                          const QString &password)
{
    const auto row = std::find_if(rows.cbegin(), rows.cend(),
                                  [&code](const LoginRow &r) { return r.user.loginName == code; });
    if (row == rows.cend())
        return std::nullopt;
    const QString digest = ServerMd5(con, password);
    // NULL reads as empty, which no digest equals.
    if (digest.isEmpty() || digest != row->digest)
        return std::nullopt;
    return row->user;
}

void ChangePassword(Connection &con, int userId, const QString &password)
{
    const QString digest = ServerMd5(con, password);
    con.exec(u"UPDATE felhasznalo SET jelszomd5 = "_s + SqlQuoted(digest) + u" WHERE felhkod = "_s +
             QString::number(userId) + u';');
    // The server counts only changed rows: a password set again to what it was changes none,
    // so the row is looked for when nothing changed.
    if (con.affectedRows() == 0 &&
        QueryInt(con, u"SELECT COUNT(*) FROM felhasznalo WHERE felhkod = "_s + QString::number(userId) + u';',
                 0) == 0)
        throw DbError(u"A felhasználó már nem létezik."_s);
}

bool DeleteUser(Connection &con, int userId)
{
    con.exec(u"DELETE FROM felhasznalo WHERE felhkod = "_s + QString::number(userId) + u';');
    return con.affectedRows() > 0;
}
