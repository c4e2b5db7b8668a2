#include "backupscript.h"

#include "common/cp1250.h"
#include "connection.h"
#include "dberror.h"

#include <QBuffer>
#include <QCoreApplication>
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

// Streams the INSERT IGNORE block of one table into `out`. A row line is finished ("," or ";")
// only when the next row shows whether it closes its statement.
void writeTableInserts(Connection &con, const QString &table, QIODevice &out)
{
    const QByteArray name = ToCp1250(table);
    QByteArray header;
    QByteArray pending; // the previous row line, not yet finished
    int row = 0;
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
        return true;
    });
    if (!pending.isEmpty())
        write(pending + ";\r\n");
}

} // namespace

QByteArray TableInsertScript(Connection &con, const QString &table)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    writeTableInserts(con, table, buffer);
    return buffer.data();
}

void WriteBackupScript(Connection &con, QIODevice &out, const std::function<void(int, int)> &progress)
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
        writeTableInserts(con, tables.at(i), out);
        if (out.write("\r\n", 2) != 2)
            throw DbError(u"Az állomány nem írható: "_s + out.errorString());
    }
    con.commit();
    transaction.done = true;
    if (progress)
        progress(0, int(tables.size()));
}

void WriteBackupScript(Connection &con, const QString &fileName,
                       const std::function<void(int, int)> &progress)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw DbError(u"Az állomány nem hozható létre: "_s + fileName + u" ("_s + file.errorString() + u')');
    WriteBackupScript(con, file, progress);
    if (!file.commit())
        throw DbError(u"Az állomány nem írható: "_s + fileName + u" ("_s + file.errorString() + u')');
}
