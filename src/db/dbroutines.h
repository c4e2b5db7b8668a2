#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

class Connection;
class Query;
class ResultSet;

// Short statements every window runs. None of them catches errors: a failing statement raises
// DbError to the caller.

// Runs the statement unless it is blank; \r\n written as four characters becomes a real line
// break first.
void ExecSql(Connection &con, const QString &sql);
// First column of the first row. No row: the default. NULL: 0 / empty / invalid date-time.
// QueryInt reads the trimmed text as a whole number, 0 when it is not one.
int QueryInt(Connection &con, const QString &sql, int defaultValue);
QString QueryText(Connection &con, const QString &sql, const QString &defaultValue);
QDateTime QueryDateTime(Connection &con, const QString &sql, const QDateTime &defaultValue);
// The server's date, so that every workstation agrees on today.
QDate ServerDate(Connection &con);
// The server's MD5 of the text as the latin2 connection encodes it (the digest Windows
// workstations of the same database store).
QString ServerMd5(Connection &con, const QString &text);
// Highest value of the column plus 1; an empty table gives 1. An empty table name means the
// column's name.
int NextId(Connection &con, const QString &column, const QString &table);
// The name (table + "_nev") of a master-data row by its id; the default when there is none.
QString LookupName(Connection &con, int id, const QString &table, const QString &defaultValue);
// The committees (`csoport`): their names in name order, and the id of the committee with a
// given name (the names are unique under the column's collation, which ignores letter case and
// accents), -1 when there is none.
QStringList CommitteeNames(Connection &con);
int CommitteeId(Connection &con, const QString &name);
// Adds the first column of every row to the list, reading forward only.
void AppendQueryToList(Connection &con, QStringList &list, const QString &sql);
// Stops the statement that the server connection `threadId` is running (KILL QUERY), sent over
// `con`, another connection: the one running it waits for its answer. That connection stays
// open and gets an "interrupted" error for the statement.
void KillQuery(Connection &con, unsigned long threadId);
// KillQuery over a stopping line kept for the purpose: opened when first needed, and made again
// once when the server dropped it while idle. False when the stop could not be sent (the
// statement then runs to its end).
bool KillQueryOver(Connection &stoppingLine, unsigned long threadId);

// "rows: current" as the status bars show it (1-based current row).
QString RecordPositionText(const Query &query);
// The same for any list of rows; `currentRow` is 0-based, -1 for none.
QString RecordPositionText(int rowCount, int currentRow);

// The rows of a query as separated text lines, as the console copies them. A column is left out
// when ";name;" occurs in ";" + excluded + ";". Every value has ";" replaced by "," and is
// followed by the separator. The lines are encoded in UTF-8 when `utf8` is set, else in code
// page 1250. The query is left on its last row.
QList<QByteArray> DataSetToLines(Query &query, bool header, const QString &excluded, QChar separator,
                                 bool utf8, bool rowNumbers);
// The same for rows that are not a query's (a table's, say).
QList<QByteArray> DataSetToLines(const ResultSet &rows, bool header, const QString &excluded, QChar separator,
                                 bool utf8, bool rowNumbers);
