#pragma once

#include "resultset.h"

#include <QString>
#include <QStringList>
#include <functional>

struct st_mysql;
struct st_mysql_res;

struct ConnectionParams
{
    QString database = QStringLiteral("orvanth");
    QString host = QStringLiteral("localhost");
    int port = 3306;
    QString user = QStringLiteral("root");
    QString password;
};

// One connection to the MySQL/MariaDB server over MariaDB Connector/C: compression on, 30 s
// connect time-out, latin2 with latin2_hungarian_ci on the wire. SQL is given as QString and
// sent as code page 1250; a character that code page cannot hold raises DbError before
// anything is sent.
//
// A lost connection (server gone, connection killed) is re-established on the next use, with
// the character set set again. A read whose connection broke is run once more on the new
// connection; a write is reported and never repeated, since it may have been executed.
class Connection
{
public:
    Connection();
    explicit Connection(ConnectionParams params);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    void setParams(const ConnectionParams &params) { m_params = params; }
    const ConnectionParams &params() const { return m_params; }

    void open();
    void close();
    bool isOpen() const { return m_mysql != nullptr; }

    // A statement without a result (INSERT, UPDATE, DELETE, SET, DDL...).
    void exec(const QString &sql);
    void execRaw(const QByteArray &sql);
    // A statement with a result, read completely.
    ResultSet query(const QString &sql);
    ResultSet queryRaw(const QByteArray &sql);
    // Rows delivered one by one without keeping them (the forward-only reader). The callback
    // returns false to stop early. Gives the result's columns (without rows), also when no row
    // came.
    using RowCallback =
        std::function<bool(const ResultSet &header, const char *const *cells, const unsigned long *lengths)>;
    ResultSet forEachRow(const QString &sql, const RowCallback &callback);

    quint64 lastInsertId() const { return m_lastInsertId; }
    quint64 affectedRows() const { return m_affectedRows; }
    unsigned long threadId() const;

    // The base tables of the current database, in the order the server lists them.
    QStringList tableNames();

    // Transactions: while one is open a broken connection is never silently replaced, as that
    // would lose the work done so far.
    // With a consistent snapshot every read of the transaction sees the database as it was at
    // its start (repeatable read). A line found broken at the start is made again once.
    void begin(bool consistentSnapshot = false);
    // Ends the transaction. A COMMIT the server refuses is followed by a ROLLBACK, so nothing of
    // it stays open on the server. When the line breaks during COMMIT (the error's
    // isConnectionLost()) nobody knows whether the server kept the work: the caller has to look.
    // A transaction whose line broke earlier is reported as lost, never "committed" on a new line.
    void commit();
    void rollback();
    bool inTransaction() const { return m_inTransaction; }
    // Whether the server holds a transaction open on this line, however it was begun (a typed
    // START TRANSACTION, or a change with autocommit off), as its last answer said.
    bool hasOpenTransaction() const;

    // Called after every automatic reconnect (the character set is already set again).
    void setReconnectHandler(std::function<void()> handler) { m_onReconnect = std::move(handler); }
    int reconnectCount() const { return m_reconnects; }

    // Whether a statement only reads: such a statement may be repeated after a lost connection.
    static bool isReadStatement(QByteArrayView sql);

    // Raises the error "these characters cannot be stored" when the text holds characters
    // that code page 1250 lacks; every statement is checked so before it is sent.
    static void requireStorable(const QString &text);

    // Test seam: called with each statement just before it is sent to the server.
    void setBeforeSendHook(std::function<void(QByteArrayView sql)> hook) { m_beforeSend = std::move(hook); }

    st_mysql *handle() const { return m_mysql; }

private:
    void connectHandle();
    void ensureOpen();
    [[noreturn]] void fail();
    void run(const QByteArray &sql);
    using RowSink = std::function<bool(const char *const *cells, const unsigned long *lengths)>;
    void fetch(const QByteArray &sql, ResultSet &header, const RowSink &onRow);
    static QByteArray encodeSql(const QString &sql);
    void readFields(st_mysql_res *res, ResultSet &into) const;

    ConnectionParams m_params;
    st_mysql *m_mysql = nullptr;
    bool m_broken = false;
    bool m_inTransaction = false;
    quint64 m_lastInsertId = 0;
    quint64 m_affectedRows = 0;
    int m_reconnects = 0;
    std::function<void()> m_onReconnect;
    std::function<void(QByteArrayView)> m_beforeSend;
    bool m_transactionLost = false;
};
