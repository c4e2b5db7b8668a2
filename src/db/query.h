#pragma once

#include "resultset.h"

#include <QObject>
#include <QStringList>

class Connection;

// A buffered query over editable SQL lines: open, close, re-read keeping the position, the
// current row, fields by name with NULL distinguishable, locate. Grids show it through a
// model that listens to aboutToReset()/reset().
class Query : public QObject
{
    Q_OBJECT

public:
    enum LocateOption { NoOptions = 0, CaseInsensitive = 1, PartialKey = 2 };
    Q_DECLARE_FLAGS(LocateOptions, LocateOption)

    explicit Query(Connection *connection, QObject *parent = nullptr);

    Connection *connection() const { return m_connection; }

    // The SQL text as lines: a WHERE line and a last ORDER BY line can be replaced while the
    // query is closed (ReplaceWhere, ReplaceOrderBy).
    QStringList &sql() { return m_sql; }
    const QStringList &sql() const { return m_sql; }
    void setSql(const QString &text);
    QString sqlText() const;
    // An integer parameter: every ":name" in the text is sent as the number.
    void setParam(const QString &name, qint64 value);

    void open();
    void close();
    bool isOpen() const { return m_open; }
    // Runs the query again and stays on the same row number (or the last row when fewer).
    void refresh();

    int rowCount() const { return m_result.rowCount(); }
    bool isEmpty() const { return m_result.rowCount() == 0; }
    // 0-based current row; -1 when there is none.
    int recNo() const { return m_row; }
    void setRecNo(int row);
    void first() { setRecNo(0); }
    void last() { setRecNo(rowCount() - 1); }
    bool next();
    bool eof() const { return m_eof; }

    int fieldIndex(const QString &field) const { return m_result.fieldIndex(field); }
    // Field of the current row: a null QVariant for NULL (and when there is no current row).
    QVariant value(const QString &field) const;
    QString text(const QString &field) const;
    bool isNull(const QString &field) const;

    // Moves to the first row whose field matches; false (position unchanged) when none does.
    bool locate(const QString &field, const QVariant &value, LocateOptions options = NoOptions);
    // The first row of `rows` whose column matches as locate() compares; -1 when none does.
    static int findRow(const ResultSet &rows, int column, const QVariant &value, LocateOptions options);

    // Takes rows read elsewhere (on another thread, say) as the open result, `row` current
    // (clamped; -1 for none).
    void assign(ResultSet rows, int row);
    // Adds rows read after those it holds (the rest of a result that arrives in parts); the
    // current row stays.
    void append(ResultSet rows);
    // Gives back the room kept for rows that did not come (once the last part is in).
    void squeeze() { m_result.squeeze(); }

    const ResultSet &result() const { return m_result; }

signals:
    void aboutToReset();
    void reset();
    // Rows `first` to `last` are being added at the end by append().
    void aboutToAppend(int first, int last);
    void appended();
    void currentRowChanged(int row);

private:
    QString expandedSql() const;

    Connection *m_connection;
    QStringList m_sql;
    QList<QPair<QString, qint64>> m_params;
    ResultSet m_result;
    bool m_open = false;
    int m_row = -1;
    bool m_eof = true;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(Query::LocateOptions)
