#include "query.h"

#include "common/cp1250.h"
#include "connection.h"
#include "dberror.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

Query::Query(Connection *connection, QObject *parent) : QObject(parent), m_connection(connection) {}

void Query::setSql(const QString &text)
{
    m_sql = text.split(u'\n');
    for (QString &line : m_sql) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
}

QString Query::sqlText() const
{
    return m_sql.join(u'\n');
}

void Query::setParam(const QString &name, qint64 value)
{
    for (auto &p : m_params) {
        if (p.first == name) {
            p.second = value;
            return;
        }
    }
    m_params.append({name, value});
}

QString Query::expandedSql() const
{
    QString text = sqlText();
    for (const auto &[name, value] : m_params) {
        const QRegularExpression re(u":"_s + QRegularExpression::escape(name) + u"\\b"_s);
        text.replace(re, QString::number(value));
    }
    return text;
}

void Query::open()
{
    if (m_open)
        return;
    ResultSet fresh = m_connection->query(expandedSql());
    emit aboutToReset();
    m_result = std::move(fresh);
    m_open = true;
    m_row = m_result.rowCount() > 0 ? 0 : -1;
    m_eof = m_result.rowCount() == 0;
    emit reset();
    emit currentRowChanged(m_row);
}

void Query::close()
{
    if (!m_open)
        return;
    emit aboutToReset();
    m_result = ResultSet();
    m_open = false;
    m_row = -1;
    m_eof = true;
    emit reset();
    emit currentRowChanged(m_row);
}

void Query::refresh()
{
    const int row = m_row;
    ResultSet fresh = m_connection->query(expandedSql());
    emit aboutToReset();
    m_result = std::move(fresh);
    m_open = true;
    m_row = m_result.rowCount() == 0 ? -1 : qBound(0, row, m_result.rowCount() - 1);
    m_eof = m_result.rowCount() == 0;
    emit reset();
    emit currentRowChanged(m_row);
}

void Query::setRecNo(int row)
{
    const int target = rowCount() == 0 ? -1 : qBound(0, row, rowCount() - 1);
    m_eof = rowCount() == 0;
    if (target == m_row)
        return;
    m_row = target;
    emit currentRowChanged(m_row);
}

bool Query::next()
{
    if (m_row + 1 >= rowCount()) {
        m_eof = true;
        return false;
    }
    setRecNo(m_row + 1);
    return true;
}

QVariant Query::value(const QString &field) const
{
    const int column = fieldIndex(field);
    if (column < 0)
        throw DbError(u"Ismeretlen mező: "_s + field);
    if (m_row < 0)
        return {};
    return m_result.value(m_row, column);
}

QString Query::text(const QString &field) const
{
    const int column = fieldIndex(field);
    if (column < 0)
        throw DbError(u"Ismeretlen mező: "_s + field);
    return m_row < 0 ? QString() : m_result.text(m_row, column);
}

bool Query::isNull(const QString &field) const
{
    const int column = fieldIndex(field);
    if (column < 0)
        throw DbError(u"Ismeretlen mező: "_s + field);
    return m_row < 0 || m_result.isNull(m_row, column);
}

bool Query::locate(const QString &field, const QVariant &value, LocateOptions options)
{
    const int column = fieldIndex(field);
    if (column < 0)
        throw DbError(u"Ismeretlen mező: "_s + field);
    const int row = findRow(m_result, column, value, options);
    if (row < 0)
        return false;
    m_eof = false;
    setRecNo(row);
    return true;
}

int Query::findRow(const ResultSet &rows, int column, const QVariant &value, LocateOptions options)
{
    const Qt::CaseSensitivity cs =
        options.testFlag(CaseInsensitive) ? Qt::CaseInsensitive : Qt::CaseSensitive;
    const bool partial = options.testFlag(PartialKey);
    const bool wantNull = value.isNull();
    const QString wanted = value.toString();
    // An exact, case-sensitive match compares the stored bytes: locating a record by its id in
    // a large register decodes nothing.
    const bool byBytes = cs == Qt::CaseSensitive && !partial;
    const QByteArray wantedBytes = byBytes ? ToCp1250(wanted) : QByteArray();
    for (int r = 0; r < rows.rowCount(); ++r) {
        if (rows.isNull(r, column)) {
            if (!wantNull)
                continue;
        } else {
            if (wantNull)
                continue;
            if (byBytes) {
                if (rows.raw(r, column) != wantedBytes)
                    continue;
            } else if (const QString cell = rows.text(r, column);
                       partial ? !cell.startsWith(wanted, cs) : cell.compare(wanted, cs) != 0)
                continue;
        }
        return r;
    }
    return -1;
}

void Query::assign(ResultSet rows, int row)
{
    emit aboutToReset();
    m_result = std::move(rows);
    m_open = true;
    m_row = m_result.rowCount() == 0 ? -1 : qBound(0, row, m_result.rowCount() - 1);
    m_eof = m_result.rowCount() == 0;
    emit reset();
    emit currentRowChanged(m_row);
}

void Query::append(ResultSet rows)
{
    if (rows.rowCount() == 0)
        return;
    const int first = m_result.rowCount();
    emit aboutToAppend(first, first + rows.rowCount() - 1);
    m_result.append(std::move(rows));
    m_open = true;
    m_eof = false;
    emit appended();
}
