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
    // The script's rows could be counted: only the program's own backup writes one row a line.
    // Rows that another program's dump loads into the table are not counted.
    bool rowsKnown = true;

    bool matches() const { return rowsKnown && tableRows == scriptRows; }
};

struct RestoreReport
{
    bool stopped = false; // the run was stopped before the end of the script
    qint64 statements = 0;
    // Every table the script names, in the order it names them.
    QList<RestoredTable> tables;

    // No table whose rows were counted differs (true also when none was counted).
    bool allMatch() const;
    // How many tables had their rows compared with the script's.
    qsizetype compared() const;
};

// What a statement does to the choice of database: nothing, or it creates, alters or selects
// the connection's own database (the program's full backup does), or it names another one or
// drops a database.
enum class DatabaseStatement { None, Own, Other };

// Classifies a statement of a script loaded into `database`. Comments and the server's versioned
// comments ("/*!32312 IF NOT EXISTS*/") are read as the server reads them; a name in backticks
// is taken with its doubled backticks undone. `caseInsensitive`: the server compares database
// names without letter case (lower_case_table_names set).
DatabaseStatement ClassifyDatabaseStatement(const QString &statement, const QString &database,
                                            bool caseInsensitive);

// Runs the script statement by statement on `con` (no transaction: TRUNCATE ends one anyway).
// `progress` gets the bytes read so far and the script's size after each statement; returning
// false stops before the next one. Afterwards every table the script names is counted.
// A dump's creating and selecting of the connection's own database is passed over (it is the
// database in use already). Throws DbError when the file cannot be read, a statement fails or
// would leave the database (a dump that creates, selects or writes another one, or drops one);
// the statements before it stay executed.
RestoreReport RestoreBackupFile(Connection &con, const QString &path,
                                const std::function<bool(qint64 done, qint64 total)> &progress = {});

// What the restore tells the user: how it ended and what was checked, then one line per table
// with the rows it holds against the rows the script inserted (or that they were not counted),
// CR LF between lines.
QString RestoreReportText(const RestoreReport &report);
