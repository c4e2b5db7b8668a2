#include "userrows.h"

#include "common/sqltext.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "db/resultset.h"
#include "db/table.h"

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

QString UserRightFlag(bool right)
{
    return right ? u"I"_s : u"N"_s;
}

UserRecord ReadUserRecord(const Table &tbl)
{
    UserRecord r;
    r.code = tbl.value(u"felhasznalo"_s).toString();
    r.fullName = tbl.value(u"felhasznalo_nev"_s).toString();
    r.adminRight = tbl.value(u"rendszergazda"_s).toString() == u"I"_s;
    r.masterDataRight = tbl.value(u"torzsszerkeszt"_s).toString() == u"I"_s;
    const QVariant digest = tbl.value(u"jelszomd5"_s);
    if (!digest.isNull())
        r.digest = digest.toString();
    return r;
}

QList<std::pair<QString, QVariant>> ChangedUserColumns(bool isNew, const UserRecord &initial,
                                                       const UserRecord &edited)
{
    const auto textValue = [](const QString &text) { return text.isEmpty() ? QVariant() : QVariant(text); };
    QList<std::pair<QString, QVariant>> columns;
    if (isNew || edited.code != initial.code)
        columns.append({u"felhasznalo"_s, textValue(edited.code)});
    if (isNew || edited.fullName != initial.fullName)
        columns.append({u"felhasznalo_nev"_s, textValue(edited.fullName)});
    if (isNew || edited.adminRight != initial.adminRight)
        columns.append({u"rendszergazda"_s, UserRightFlag(edited.adminRight)});
    if (isNew || edited.masterDataRight != initial.masterDataRight)
        columns.append({u"torzsszerkeszt"_s, UserRightFlag(edited.masterDataRight)});
    if (edited.digest && edited.digest != initial.digest)
        columns.append({u"jelszomd5"_s, *edited.digest});
    return columns;
}

void WriteUserRow(Connection &con, Table &tbl, bool isNew, const UserRecord &initial,
                  const UserRecord &edited)
{
    for (const auto &[column, value] : ChangedUserColumns(isNew, initial, edited))
        tbl.setValue(column, value);
    if (isNew) {
        // Taken again at the write: another workstation may have used the id meanwhile, and a
        // fixed id would make every further OK fail the same way.
        tbl.setValue(u"felhkod"_s, NextId(con, u"felhkod"_s, u"felhasznalo"_s));
    }
    tbl.post();
}
