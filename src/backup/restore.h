#pragma once

#include <QList>
#include <QString>
#include <functional>

class Connection;

// Loading a backup script (.sql, or the .zip archive the program writes) into a database.

struct RestoredTable
{
    QString name;
    qint64 scriptRows = 0; // row lines of the script's INSERT IGNORE statements for the table
    qint64 tableRows = -1; // rows the table holds afterwards; -1 when it could not be counted

    bool matches() const { return tableRows == scriptRows; }
};

struct RestoreReport
{
    bool stopped = false; // the run was stopped before the end of the script
    qint64 statements = 0;
    // Every table the script names, in the order it names them.
    QList<RestoredTable> tables;

    bool allMatch() const;
};

// Runs the script statement by statement on `con` (no transaction: TRUNCATE ends one anyway).
// `progress` gets the bytes read so far and the script's size after each statement; returning
// false stops before the next one. Afterwards every table the script names is counted.
// Throws DbError when the file cannot be read, a statement fails or would leave the database
// (a dump that creates or selects its own); the statements before it stay executed.
RestoreReport RestoreBackupFile(Connection &con, const QString &path,
                                const std::function<bool(qint64 done, qint64 total)> &progress = {});

// What the restore tells the user: how it ended, then one line per table with the rows it holds
// against the rows the script inserted, CR LF between lines.
QString RestoreReportText(const RestoreReport &report);
