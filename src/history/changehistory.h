#pragma once

#include "register/resolutionsave.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

class Connection;

// The change history of the register, as the database's triggers record it in `iktato_naplo`.

struct ChangeRow
{
    qint64 id = 0;
    int recordId = 0;
    QChar operation; // 'I' insert, 'U' update, 'D' delete
    QString column;
    QString oldValue;
    bool oldNull = true;
    QString newValue;
    bool newNull = true;
    QDateTime when;
    QString client;   // USER() of the writing connection
    int userId = 0;   // 0: not this program, or nobody logged in
    QString userName; // the user's full name, else log-in name, else empty
};

// Every change of one record, newest first. Throws DbError (a database without the history says
// so in the error).
QList<ChangeRow> RecordChanges(Connection &con, int recordId);

// The Hungarian name of a column of `iktato`, as the editor calls the field.
QString ColumnCaption(const QString &column);
// The kind of change in words ("új", "módosítás", "törlés").
QString OperationCaption(QChar operation);

// Whether an old value of the column can be written back through the editor's own save: the
// fields the editor edits. The number is fixed, and attachment names without their files
// would point at nothing.
bool CanRevertColumn(const QString &column);

// Writes the change's old value back into its record as an edit of the current user would (the
// editor's save: checked, recorded, marked with its user). A record gone or a column that cannot
// be written back gives an error in the result.
SaveResult RevertChange(Connection &con, const ChangeRow &change, const QString &documentStore);

// The SELECT of the changes between two days (both included) for the whole register, newest
// first: the period view and its export show it as it is.
QString PeriodChangesSql(QDate from, QDate to, bool deletionsOnly);

struct BroughtBack
{
    bool ok = false;
    int id = 0;
    QString error;
};

// Puts a deleted record back from its deletion's history rows: its number (year, committee and
// serial) and fields, without its attachments, whose files the deletion removed. Refused when
// the number has been given to another record since, or the record exists.
BroughtBack BringBackDeletedRecord(Connection &con, int recordId);
