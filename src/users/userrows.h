#pragma once

#include <QList>
#include <QString>
#include <QVariant>
#include <optional>
#include <utility>

class Connection;
class Table;

// What the user windows check and change in `felhasznalo`, without a window: the dialogs ask
// and show, these routines decide and write. Database errors are thrown as DbError.

// The user who logged in, as the start-up copies it into the program-wide record.
struct LoginUser
{
    QString loginName;            // `felhasznalo` as stored
    QString fullName;             // `felhasznalo_nev`, empty for NULL
    int id = 0;                   // `felhkod`, 0 for NULL
    bool adminRight = false;      // `rendszergazda` = 'I'
    bool masterDataRight = false; // `torzsszerkeszt` = 'I'
};

// One row of `felhasznalo` as the log-in compares it.
struct LoginRow
{
    LoginUser user;
    QString digest; // `jelszomd5`, empty for NULL
};

// Every row of `felhasznalo` by id: what the log-in dialog checks against.
QList<LoginRow> ReadLoginRows(Connection &con);

// The user whose code is `code` (exactly: the column's collation would ignore letter case and
// accents) and whose stored digest equals the server's MD5 of `password`; nullopt when there is
// no such row or the digest differs. A user without a digest never passes, not even with an
// empty password. The first matching row counts.
std::optional<LoginUser> CheckCredentials(Connection &con, const QList<LoginRow> &rows, const QString &code,
                                          const QString &password);

// Stores the server's MD5 of `password` as the password of the user `userId`. Throws DbError
// when there is no such user (deleted meanwhile), so the change is never reported as done.
void ChangePassword(Connection &con, int userId, const QString &password);

// Deletes the user `userId`; true when there was such a user.
bool DeleteUser(Connection &con, int userId);

// One row of `felhasznalo` as the user editor shows it.
struct UserRecord
{
    QString code;     // `felhasznalo`
    QString fullName; // `felhasznalo_nev`
    bool adminRight = false;
    bool masterDataRight = false;
    // `jelszomd5`; nullopt while the row has none.
    std::optional<QString> digest;
};

// A right as `felhasznalo` stores it: 'I' or 'N'.
QString UserRightFlag(bool right);

// The editor's record of the row `tbl` stands on (a right is on only for 'I').
UserRecord ReadUserRecord(const Table &tbl);

// The columns a save writes, with their values, in the table's order. A new row gets every
// column but the password when none was given; an edited one only what differs from `initial`,
// so a value typed back is no change and an odd stored right ('i', NULL) stays as it was.
// Empty text is NULL: the server then refuses a user without a code.
QList<std::pair<QString, QVariant>> ChangedUserColumns(bool isNew, const UserRecord &initial,
                                                       const UserRecord &edited);

// Writes ChangedUserColumns into the row `tbl` holds and posts it; a new row takes the next free
// `felhkod` at this moment. A refused post leaves the row as read, so the next try writes what
// differs from it then. Throws DbError.
void WriteUserRow(Connection &con, Table &tbl, bool isNew, const UserRecord &initial,
                  const UserRecord &edited);
