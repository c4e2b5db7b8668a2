#pragma once

#include "resultset.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>

class Connection;

// A table dataset: the rows of one table (optionally filtered) and the editing of one row at a
// time, written back by the table's primary key. Only the fields that were set are written,
// so columns the editor does not know keep their values (and an insert gets the defaults).
class Table
{
public:
    enum class State { Closed, Browse, Insert, Edit };

    // The name may carry its database: "database.table".
    Table(Connection *connection, QString tableName);

    const QString &tableName() const { return m_table; }

    // SELECT * FROM table [WHERE where] [ORDER BY orderBy]
    void open(const QString &where = {}, const QString &orderBy = {});
    void close();
    void refresh();
    State state() const { return m_state; }

    const ResultSet &rows() const { return m_rows; }
    int rowCount() const { return m_rows.rowCount(); }
    const QList<FieldInfo> &fields() const { return m_rows.fields(); }

    // Starts a new row (every field NULL, i.e. left to the server's default).
    void append();
    // Starts editing the given row.
    void edit(int row);
    QVariant value(const QString &field) const;
    void setValue(const QString &field, const QVariant &value);
    // Writes the row (INSERT or UPDATE by the primary key) and returns to browsing. For an
    // insert into a table with an auto-increment key the new id is returned (and stored in the
    // row buffer); otherwise 0. When the write fails the row stays in editing, back as it was
    // read (a new row empty again): nothing set before the failure is kept for a later post.
    qint64 post();
    void cancel();
    // Deletes the given row by its primary key.
    void remove(int row);

    // The SQL literal of a value for a column of the given kind: NULL, a number, a quoted date or
    // text. Throws DbError for a value that is not a number where one is needed.
    static QString sqlValue(const FieldInfo &field, const QVariant &value);

private:
    qint64 writeRow();
    // The buffer as the row was read (every field NULL for a new row), nothing set.
    void resetBuffer();
    int fieldIndexOrThrow(const QString &field) const;
    QString keyCondition(int row) const;
    QString quotedName(const QString &name) const;
    QString quotedTableName() const;

    Connection *m_connection;
    QString m_table;
    QString m_where;
    QString m_orderBy;
    ResultSet m_rows;
    State m_state = State::Closed;
    int m_editRow = -1;
    QList<QVariant> m_buffer;
    QList<bool> m_modified;
};
