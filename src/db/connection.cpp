#include "connection.h"

#include "common/cp1250.h"
#include "dberror.h"

#include <errmsg.h>
#include <mysql.h>

using namespace Qt::StringLiterals;

namespace {

FieldInfo::Kind kindOf(const MYSQL_FIELD &f)
{
    switch (f.type) {
    case MYSQL_TYPE_TINY:
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_LONG:
    case MYSQL_TYPE_INT24:
    case MYSQL_TYPE_LONGLONG:
    case MYSQL_TYPE_YEAR: return FieldInfo::Kind::Integer;
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE: return FieldInfo::Kind::Float;
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL: return FieldInfo::Kind::Decimal;
    case MYSQL_TYPE_DATE:
    case MYSQL_TYPE_NEWDATE: return FieldInfo::Kind::Date;
    case MYSQL_TYPE_DATETIME:
    case MYSQL_TYPE_TIMESTAMP: return FieldInfo::Kind::DateTime;
    case MYSQL_TYPE_TIME: return FieldInfo::Kind::Time;
    case MYSQL_TYPE_STRING:
    case MYSQL_TYPE_VAR_STRING:
    case MYSQL_TYPE_VARCHAR:
    case MYSQL_TYPE_TINY_BLOB:
    case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB:
    case MYSQL_TYPE_BLOB:
    case MYSQL_TYPE_ENUM:
    case MYSQL_TYPE_SET: return f.charsetnr == 63 ? FieldInfo::Kind::Binary : FieldInfo::Kind::Text;
    default: return FieldInfo::Kind::Other;
    }
}

} // namespace

Connection::Connection() = default;

Connection::Connection(ConnectionParams params) : m_params(std::move(params)) {}

Connection::~Connection()
{
    close();
}

void Connection::open()
{
    close();
    connectHandle();
}

void Connection::close()
{
    if (m_mysql) {
        mysql_close(m_mysql);
        m_mysql = nullptr;
    }
    m_broken = false;
    m_inTransaction = false;
    m_transactionLost = false;
}

void Connection::connectHandle()
{
    MYSQL *m = mysql_init(nullptr);
    if (!m)
        throw DbError(u"Nincs elég memória az adatbázis-kapcsolathoz."_s);
    const unsigned timeout = 30;
    // The profile names a host and a port: talk TCP even to "localhost", as the other
    // workstations of the installation do.
    const unsigned protocol = MYSQL_PROTOCOL_TCP;
    const my_bool noReconnect = 0;
    mysql_options(m, MYSQL_OPT_COMPRESS, nullptr);
    mysql_options(m, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    mysql_options(m, MYSQL_OPT_PROTOCOL, &protocol);
    mysql_options(m, MYSQL_OPT_RECONNECT, &noReconnect);
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "latin2");

    const QByteArray host = ToCp1250(m_params.host);
    const QByteArray user = ToCp1250(m_params.user);
    const QByteArray password = ToCp1250(m_params.password);
    const QByteArray database = ToCp1250(m_params.database);
    if (!mysql_real_connect(m, host.constData(), user.constData(), password.constData(),
                            database.isEmpty() ? nullptr : database.constData(), unsigned(m_params.port),
                            nullptr, CLIENT_MULTI_RESULTS)) {
        DbError error(FromCp1250(mysql_error(m)), mysql_errno(m));
        mysql_close(m);
        throw error;
    }
    m_mysql = m;
    m_broken = false;
    m_inTransaction = false;
    // The character set option alone gives latin2_general_ci; the register sorts and compares
    // the Hungarian way. Quoting relies on backslash escapes, so a server mode that turns them
    // off is switched back for this session.
    for (const char *sql :
         {"SET NAMES 'latin2' COLLATE 'latin2_hungarian_ci'",
          "SET SESSION sql_mode = REPLACE(@@SESSION.sql_mode, 'NO_BACKSLASH_ESCAPES', '')"}) {
        if (mysql_real_query(m_mysql, sql, qstrlen(sql)) != 0)
            fail();
    }
}

void Connection::ensureOpen()
{
    if (m_broken) {
        if (m_mysql) {
            mysql_close(m_mysql);
            m_mysql = nullptr;
        }
        // When the server cannot be reached yet, the line stays broken and the next use tries
        // again: a short outage must not end the connection for the rest of the session.
        connectHandle();
        ++m_reconnects;
        if (m_onReconnect)
            m_onReconnect();
    }
    if (!m_mysql)
        throw DbError(u"Nincs kapcsolat az adatbázissal."_s, CR_SERVER_GONE_ERROR);
}

void Connection::fail()
{
    const unsigned number = mysql_errno(m_mysql);
    DbError error(FromCp1250(mysql_error(m_mysql)), number);
    if (DbError::isConnectionLost(number)) {
        m_broken = true;
        // The server rolls back what the broken line left open.
        m_transactionLost = m_inTransaction;
        m_inTransaction = false;
    }
    throw error;
}

QByteArray Connection::encodeSql(const QString &sql)
{
    QString bad;
    QByteArray bytes = ToCp1250(sql, &bad);
    if (!bad.isEmpty())
        throw DbError(u"A következő karakterek nem tárolhatók az adatbázisban: "_s + bad);
    return bytes;
}

void Connection::requireStorable(const QString &text)
{
    encodeSql(text);
}

void Connection::run(const QByteArray &sql)
{
    ensureOpen();
    if (m_beforeSend)
        m_beforeSend(sql);
    if (mysql_real_query(m_mysql, sql.constData(), sql.size()) == 0)
        return;
    const unsigned number = mysql_errno(m_mysql);
    // A lost connection is taken up again only for reads outside a transaction: a write may
    // have reached the server before the line broke, and must not run twice.
    if (DbError::isConnectionLost(number) && !m_inTransaction && isReadStatement(sql)) {
        m_broken = true;
        ensureOpen();
        if (mysql_real_query(m_mysql, sql.constData(), sql.size()) == 0)
            return;
    }
    fail();
}

void Connection::exec(const QString &sql)
{
    execRaw(encodeSql(sql));
}

void Connection::execRaw(const QByteArray &sql)
{
    run(sql);
    // Drain whatever the statement returned, including further results of a procedure call.
    do {
        if (MYSQL_RES *res = mysql_store_result(m_mysql))
            mysql_free_result(res);
        else if (mysql_field_count(m_mysql) != 0)
            fail();
        m_affectedRows = mysql_affected_rows(m_mysql);
        m_lastInsertId = mysql_insert_id(m_mysql);
    } while (mysql_more_results(m_mysql) && mysql_next_result(m_mysql) == 0);
    if (mysql_errno(m_mysql))
        fail();
}

void Connection::readFields(MYSQL_RES *res, ResultSet &into) const
{
    const unsigned count = mysql_num_fields(res);
    const MYSQL_FIELD *fields = mysql_fetch_fields(res);
    QList<FieldInfo> infos;
    infos.reserve(count);
    for (unsigned i = 0; i < count; ++i) {
        const MYSQL_FIELD &f = fields[i];
        FieldInfo info;
        info.name = FromCp1250(QByteArrayView(f.name, f.name_length));
        info.table = FromCp1250(QByteArrayView(f.table, f.table_length));
        info.orgTable = FromCp1250(QByteArrayView(f.org_table, f.org_table_length));
        info.kind = kindOf(f);
        info.mysqlType = int(f.type);
        info.flags = f.flags;
        info.length = f.length;
        info.decimals = f.decimals;
        infos.append(info);
    }
    into.setFields(std::move(infos));
}

ResultSet Connection::query(const QString &sql)
{
    return queryRaw(encodeSql(sql));
}

ResultSet Connection::queryRaw(const QByteArray &sql)
{
    ResultSet result;
    fetch(sql, result, [&result](const char *const *cells, const unsigned long *lengths) {
        result.appendRow(cells, lengths);
        return true;
    });
    result.squeeze();
    return result;
}

ResultSet Connection::forEachRow(const QString &sql, const RowCallback &callback)
{
    ResultSet header;
    fetch(encodeSql(sql), header, [&](const char *const *cells, const unsigned long *lengths) {
        return callback(header, cells, lengths);
    });
    return header;
}

void Connection::fetch(const QByteArray &sql, ResultSet &header, const RowSink &onRow)
{
    run(sql);
    // Rows are streamed from the socket straight into the caller's storage: a large register
    // is never held twice.
    MYSQL_RES *res = mysql_use_result(m_mysql);
    if (!res) {
        if (mysql_field_count(m_mysql) != 0)
            fail();
        m_affectedRows = mysql_affected_rows(m_mysql);
        m_lastInsertId = mysql_insert_id(m_mysql);
    } else {
        struct Free
        {
            MYSQL_RES *res;
            ~Free() { mysql_free_result(res); }
        } guard{res};
        readFields(res, header);
        bool wanted = true;
        while (MYSQL_ROW row = mysql_fetch_row(res)) {
            if (wanted)
                wanted = onRow(row, mysql_fetch_lengths(res));
        }
        if (mysql_errno(m_mysql))
            fail();
        m_affectedRows = mysql_affected_rows(m_mysql);
    }
    while (mysql_more_results(m_mysql) && mysql_next_result(m_mysql) == 0) {
        if (MYSQL_RES *more = mysql_store_result(m_mysql))
            mysql_free_result(more);
    }
    if (mysql_errno(m_mysql))
        fail();
}

bool Connection::hasOpenTransaction() const
{
    return m_mysql && !m_broken && (m_mysql->server_status & SERVER_STATUS_IN_TRANS) != 0;
}

unsigned long Connection::threadId() const
{
    return m_mysql ? mysql_thread_id(m_mysql) : 0;
}

QStringList Connection::tableNames()
{
    const ResultSet rs = query(u"SHOW FULL TABLES WHERE Table_type = 'BASE TABLE'"_s);
    QStringList names;
    for (int r = 0; r < rs.rowCount(); ++r)
        names.append(rs.text(r, 0));
    return names;
}

void Connection::begin(bool consistentSnapshot)
{
    const auto start = [&] {
        if (consistentSnapshot)
            exec(u"SET SESSION TRANSACTION ISOLATION LEVEL REPEATABLE READ"_s);
        exec(consistentSnapshot ? u"START TRANSACTION WITH CONSISTENT SNAPSHOT"_s : u"START TRANSACTION"_s);
    };
    try {
        start();
    } catch (const DbError &e) {
        // A line found broken before the transaction began lost nothing: begin on a new one, so
        // that the first save after a server restart does not fail for no reason.
        if (!e.isConnectionLost())
            throw;
        start();
    }
    m_inTransaction = true;
    m_transactionLost = false;
}

void Connection::commit()
{
    if (!m_inTransaction) {
        // Sending COMMIT now would succeed on a fresh line and report the lost work as saved.
        const bool lost = m_transactionLost;
        m_transactionLost = false;
        if (lost)
            throw DbError(u"Megszakadt a kapcsolat az adatbázissal, a módosítások nem kerültek mentésre."_s);
        throw DbError(u"Nincs nyitott tranzakció."_s);
    }
    try {
        exec(u"COMMIT"_s);
    } catch (const DbError &e) {
        m_inTransaction = false;
        if (!e.isConnectionLost()) {
            try {
                exec(u"ROLLBACK"_s);
            } catch (const DbError &) {
                // The COMMIT's own error is the one worth reporting.
            }
        }
        throw;
    }
    m_inTransaction = false;
}

void Connection::rollback()
{
    m_inTransaction = false;
    m_transactionLost = false;
    if (m_mysql && !m_broken)
        exec(u"ROLLBACK"_s);
}

bool Connection::isReadStatement(QByteArrayView sql)
{
    qsizetype i = 0;
    const qsizetype n = sql.size();
    // Skip blanks, comments and opening parentheses before the first word.
    while (i < n) {
        const char c = sql[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '(') {
            ++i;
        } else if (c == '-' && i + 1 < n && sql[i + 1] == '-') {
            while (i < n && sql[i] != '\n')
                ++i;
        } else if (c == '#') {
            while (i < n && sql[i] != '\n')
                ++i;
        } else if (c == '/' && i + 1 < n && sql[i + 1] == '*') {
            const qsizetype end = sql.indexOf(QByteArrayView("*/"), i + 2);
            i = end < 0 ? n : end + 2;
        } else {
            break;
        }
    }
    qsizetype j = i;
    while (j < n && ((sql[j] >= 'a' && sql[j] <= 'z') || (sql[j] >= 'A' && sql[j] <= 'Z')))
        ++j;
    const QByteArray word = sql.sliced(i, j - i).toByteArray().toUpper();
    return word == "SELECT" || word == "SHOW" || word == "DESCRIBE" || word == "DESC" || word == "EXPLAIN" ||
           word == "WITH";
}
