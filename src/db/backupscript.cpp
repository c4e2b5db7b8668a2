#include "backupscript.h"

#include "common/cp1250.h"
#include "common/fileerror.h"
#include "connection.h"
#include "dberror.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSaveFile>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <mysql.h>

using namespace Qt::StringLiterals;

namespace backupscript {

constexpr int RowsPerStatement = 100;
// The script goes to the device in chunks of about this size: large enough that writing costs
// little, small enough that memory stays flat however large a table is.
constexpr qsizetype ChunkBytes = 256 * 1024;

// Text between quotes: backslash, CR, LF and NUL escaped, a quote doubled. Runs of ordinary
// bytes are copied in one piece.
void appendQuoted(QByteArray &out, const char *data, unsigned long length)
{
    out += '\'';
    const char *run = data;
    const char *end = data + length;
    for (const char *p = data; p < end; ++p) {
        const char *escaped;
        switch (*p) {
        case '\\': escaped = "\\\\"; break;
        case '\r': escaped = "\\r"; break;
        case '\n': escaped = "\\n"; break;
        case '\0': escaped = "\\0"; break;
        case '\'': escaped = "''"; break;
        default: continue;
        }
        out.append(run, p - run);
        out.append(escaped, 2);
        run = p + 1;
    }
    out.append(run, end - run);
    out += '\'';
}

// A number or other unquoted value, with a decimal comma written as a point.
void appendPlain(QByteArray &out, const char *data, unsigned long length)
{
    const qsizetype start = out.size();
    out.append(data, qsizetype(length));
    if (std::memchr(data, ',', length)) {
        for (qsizetype i = start; i < out.size(); ++i) {
            if (out[i] == ',')
                out[i] = '.';
        }
    }
}

// A value as a hexadecimal literal (X'...'): the server takes back exactly these bytes, whatever
// the column holds (binary strings, bit fields, geometry).
void appendHex(QByteArray &out, const char *data, unsigned long length)
{
    static const char digits[] = "0123456789ABCDEF";
    out += "X'";
    const qsizetype start = out.size();
    out.resize(start + qsizetype(length) * 2);
    char *to = out.data() + start;
    for (unsigned long i = 0; i < length; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        *to++ = digits[byte >> 4];
        *to++ = digits[byte & 0x0F];
    }
    out += '\'';
}

// A date-time as 'yyyy-mm-dd hh:nn:ss', with its fraction of a second only when that is not zero:
// a DATETIME(6) or TIMESTAMP(6) column would otherwise come back rounded to the second.
void appendDateTime(QByteArray &out, const char *data, unsigned long length)
{
    unsigned long used = qMin<unsigned long>(length, 19);
    if (length > 20 && data[19] == '.') {
        for (unsigned long i = 20; i < length; ++i) {
            if (data[i] != '0') {
                used = length;
                break;
            }
        }
    }
    out += '\'';
    out.append(data, qsizetype(used));
    out += '\'';
}

void appendValue(QByteArray &out, const FieldInfo &field, const char *data, unsigned long length)
{
    if (!data) {
        out += "NULL";
        return;
    }
    switch (field.kind) {
    case FieldInfo::Kind::Integer:
    case FieldInfo::Kind::Float:
    case FieldInfo::Kind::Decimal: appendPlain(out, data, length); return;
    case FieldInfo::Kind::Date:
        out += '\'';
        out.append(data, qsizetype(qMin<unsigned long>(length, 10)));
        out += '\'';
        return;
    case FieldInfo::Kind::DateTime: appendDateTime(out, data, length); return;
    case FieldInfo::Kind::Time:
    case FieldInfo::Kind::Text: appendQuoted(out, data, length); return;
    // Binary strings, BIT, geometry and whatever else has no text form of its own: their bytes
    // written unquoted would not read back as SQL (a BIT value is a raw byte).
    case FieldInfo::Kind::Binary:
    case FieldInfo::Kind::Other: appendHex(out, data, length); return;
    }
}

void writeOut(QIODevice &out, const char *data, qsizetype size)
{
    errno = 0;
    if (out.write(data, size) != size)
        throw DbError(WriteFailedText(out, errno));
}

void writeOut(QIODevice &out, const QByteArray &bytes)
{
    writeOut(out, bytes.constData(), bytes.size());
}

// The query that reads a table for the backup. The server sends a FLOAT with six digits, which
// reads back as another number; as a DOUBLE it reads back as the very same FLOAT.
QString tableSelect(Connection &con, const QString &table)
{
    const ResultSet shape = con.query(u"SELECT * FROM "_s + table + u" LIMIT 0"_s);
    const QList<FieldInfo> &fields = shape.fields();
    if (std::none_of(fields.cbegin(), fields.cend(),
                     [](const FieldInfo &f) { return f.mysqlType == MYSQL_TYPE_FLOAT; }))
        return u"SELECT * FROM "_s + table;
    QStringList columns;
    for (const FieldInfo &f : fields) {
        const QString name = u'`' + QString(f.name).replace(u'`', u"``"_s) + u'`';
        columns << (f.mysqlType == MYSQL_TYPE_FLOAT ? u"CAST(%1 AS DOUBLE) AS %1"_s.arg(name) : name);
    }
    return u"SELECT "_s + columns.join(u',') + u" FROM "_s + table;
}

// Streams the INSERT IGNORE block of one table into `out` and returns its row count. A row line
// is finished ("," or ";") only when the next row shows whether it closes its statement.
// `keepPainting` lets the window repaint now and then while a large table streams.
qint64 writeTableInserts(Connection &con, const QString &table, QIODevice &out, bool keepPainting)
{
    const QByteArray name = ToCp1250(table);
    QByteArray header;
    QByteArray chunk; // ends with the last row line, not yet finished
    chunk.reserve(ChunkBytes + 64 * 1024);
    qint64 row = 0;
    QElapsedTimer sincePaint;
    sincePaint.start();
    con.forEachRow(tableSelect(con, table), [&](const ResultSet &rs, const char *const *cells,
                                                const unsigned long *lengths) {
        if (header.isEmpty()) {
            QStringList columns;
            for (const FieldInfo &f : rs.fields())
                columns.append(f.name.toLower());
            header = "INSERT IGNORE INTO " + name + " (" + ToCp1250(columns.join(u',')) + ") VALUES\r\n";
        }
        ++row;
        const bool startsStatement = row == 1 || row % RowsPerStatement == 0;
        if (row > 1)
            chunk += startsStatement ? ";\r\n" : ",\r\n";
        if (chunk.size() >= ChunkBytes) {
            writeOut(out, chunk);
            chunk.resize(0);
        }
        if (startsStatement)
            chunk += header;
        chunk += '(';
        const QList<FieldInfo> &fields = rs.fields();
        for (int c = 0; c < fields.size(); ++c) {
            if (c)
                chunk += ',';
            appendValue(chunk, fields.at(c), cells[c], lengths[c]);
        }
        chunk += ')';
        if (keepPainting && sincePaint.elapsed() > 100) {
            QCoreApplication::processEvents();
            sincePaint.restart();
        }
        return true;
    });
    if (row > 0) {
        chunk += ";\r\n";
        writeOut(out, chunk);
    }
    return row;
}

} // namespace backupscript

QByteArray TableInsertScript(Connection &con, const QString &table)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    backupscript::writeTableInserts(con, table, buffer, false);
    return buffer.data();
}

void WriteBackupScript(Connection &con, QIODevice &out, const std::function<void(int, int)> &progress,
                       const std::function<void(const QString &, qint64)> &tableWritten)
{
    // One snapshot for all tables, so that rows written by other workstations during the backup
    // cannot leave the tables inconsistent with each other.
    con.begin(true);
    struct Transaction
    {
        Connection &con;
        bool done = false;
        ~Transaction()
        {
            if (!done) {
                try {
                    con.rollback();
                } catch (...) {
                }
            }
        }
    } transaction{con};
    const QStringList tables = con.tableNames();
    for (int i = 0; i < tables.size(); ++i) {
        if (progress)
            progress(i, int(tables.size()));
        QCoreApplication::processEvents();
        backupscript::writeOut(out, "TRUNCATE " + ToCp1250(tables.at(i)) + ";\r\n");
        const qint64 rows = backupscript::writeTableInserts(con, tables.at(i), out, true);
        backupscript::writeOut(out, "\r\n", 2);
        if (tableWritten)
            tableWritten(tables.at(i), rows);
    }
    con.commit();
    transaction.done = true;
    if (progress)
        progress(0, int(tables.size()));
}

void WriteBackupScript(Connection &con, const QString &fileName,
                       const std::function<void(int, int)> &progress,
                       const std::function<void(const QString &, qint64)> &tableWritten)
{
    QSaveFile file(fileName);
    // The script holds every user's password digest: the owner's alone, also where it replaces
    // an older backup that others could read.
    errno = 0;
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        throw DbError(u"Az állomány nem hozható létre: "_s + fileName + u" ("_s +
                      WriteFailureReason(file, errno) + u')');
    WriteBackupScript(con, file, progress, tableWritten);
    // The last bytes still wait in the file's buffer, and QSaveFile::commit() does not fail when
    // writing them fails (a full disk): the backup would be put in place without its end.
    errno = 0;
    if (!file.flush() || !file.commit())
        throw DbError(WriteFailedText(file, errno, fileName));
}
