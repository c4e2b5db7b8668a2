#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <functional>

class Connection;

// The backup script of a database: for every base table "TRUNCATE name;", its rows as
// INSERT IGNORE statements (99 rows in the first, 100 in each later one), one empty line.
// CR LF line ends, texts as the bytes the database holds.

// The INSERT IGNORE block of one table; empty for an empty table.
QByteArray TableInsertScript(Connection &con, const QString &table);

// Writes the whole script. All tables are read in one consistent snapshot, the file is written
// under a temporary name and renamed only when complete: a failed backup leaves no file that
// looks whole (and an older file of the same name untouched). `progress` gets the table index
// and the table count before each table (and 0 at the end), `tableWritten` the name and row
// count of each table done. Pending window events are processed between tables and now and then
// within a large one, so the window keeps painting. Rows are streamed from the server to the
// file: no table is held in memory. Throws DbError on a database or file failure.
void WriteBackupScript(Connection &con, const QString &fileName,
                       const std::function<void(int index, int count)> &progress = {},
                       const std::function<void(const QString &table, qint64 rows)> &tableWritten = {});
// The same into any device (for tests and for packing into an archive).
void WriteBackupScript(Connection &con, QIODevice &out,
                       const std::function<void(int index, int count)> &progress = {},
                       const std::function<void(const QString &table, qint64 rows)> &tableWritten = {});
