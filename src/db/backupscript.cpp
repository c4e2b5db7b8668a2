#include "backupscript.h"

#include "common/cp1250.h"
#include "connection.h"
#include "dberror.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

constexpr int RowsPerStatement = 100;

void appendQuoted(QByteArray &out, const char *data, unsigned long length)
{
    out += '\'';
    for (unsigned long i = 0; i < length; ++i) {
        const char c = data[i];
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\0': out += "\\0"; break;
        case '\'': out += "''"; break;
        default: out += c;
        }
    }
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
    case FieldInfo::Kind::Decimal: out += QByteArray(data, qsizetype(length)).replace(',', '.'); return;
    case FieldInfo::Kind::Date:
        out += '\'' + QByteArray(data, qsizetype(qMin<unsigned long>(length, 10))) + '\'';
        return;
    case FieldInfo::Kind::DateTime:
        out += '\'' + QByteArray(data, qsizetype(qMin<unsigned long>(length, 19))) + '\'';
        return;
    case FieldInfo::Kind::Time:
    case FieldInfo::Kind::Text:
    // Binary values are quoted like text: unquoted bytes would not read back as SQL.
    case FieldInfo::Kind::Binary: appendQuoted(out, data, length); return;
    case FieldInfo::Kind::Other: out += QByteArray(data, qsizetype(length)).replace(',', '.'); return;
    }
}

// Streams the INSERT IGNORE block of one table into `out` and returns its row count. A row line
// is finished ("," or ";") only when the next row shows whether it closes its statement.
// `keepPainting` lets the window repaint now and then while a large table streams.
qint64 writeTableInserts(Connection &con, const QString &table, QIODevice &out, bool keepPainting)
{
    const QByteArray name = ToCp1250(table);
    QByteArray header;
    QByteArray pending; // the previous row line, not yet finished
    qint64 row = 0;
    QElapsedTimer sincePaint;
    sincePaint.start();
    const auto write = [&out](const QByteArray &bytes) {
        if (out.write(bytes) != bytes.size())
            throw DbError(u"Az állomány nem írható: "_s + out.errorString());
    };
    con.forEachRow(u"SELECT * FROM "_s + table, [&](const ResultSet &rs, const char *const *cells,
                                                    const unsigned long *lengths) {
        if (header.isEmpty()) {
            QStringList columns;
            for (const FieldInfo &f : rs.fields())
                columns.append(f.name.toLower());
            header = "INSERT IGNORE INTO " + name + " (" + ToCp1250(columns.join(u',')) + ") VALUES\r\n";
        }
        ++row;
        const bool startsStatement = row == 1 || row % RowsPerStatement == 0;
        if (!pending.isEmpty()) {
            pending += startsStatement ? ";\r\n" : ",\r\n";
            write(pending);
        }
        pending = startsStatement ? header : QByteArray();
        pending += '(';
        for (int c = 0; c < rs.columnCount(); ++c) {
            if (c)
                pending += ',';
            appendValue(pending, rs.fields().at(c), cells[c], lengths[c]);
        }
        pending += ')';
        if (keepPainting && sincePaint.elapsed() > 100) {
            QCoreApplication::processEvents();
            sincePaint.restart();
        }
        return true;
    });
    if (!pending.isEmpty())
        write(pending + ";\r\n");
    return row;
}

} // namespace

QByteArray TableInsertScript(Connection &con, const QString &table)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeTableInserts(con, table, buffer, false);
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
        const QByteArray truncate = "TRUNCATE " + ToCp1250(tables.at(i)) + ";\r\n";
        if (out.write(truncate) != truncate.size())
            throw DbError(u"Az állomány nem írható: "_s + out.errorString());
        const qint64 rows = writeTableInserts(con, tables.at(i), out, true);
        if (out.write("\r\n", 2) != 2)
            throw DbError(u"Az állomány nem írható: "_s + out.errorString());
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
    if (!file.open(QIODevice::WriteOnly))
        throw DbError(u"Az állomány nem hozható létre: "_s + fileName + u" ("_s + file.errorString() + u')');
    WriteBackupScript(con, file, progress, tableWritten);
    if (!file.commit())
        throw DbError(u"Az állomány nem írható: "_s + fileName + u" ("_s + file.errorString() + u')');
}
