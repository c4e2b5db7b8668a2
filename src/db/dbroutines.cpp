#include "dbroutines.h"

#include "common/cp1250.h"
#include "common/sqltext.h"
#include "connection.h"
#include "dberror.h"
#include "query.h"

using namespace Qt::StringLiterals;

namespace {

// The first column of the first row, or nullopt-like (hasRow false) when there is none.
struct FirstValue
{
    bool hasRow = false;
    bool isNull = false;
    QString text;
};

FirstValue firstValue(Connection &con, const QString &sql)
{
    FirstValue v;
    con.forEachRow(sql, [&v](const ResultSet &, const char *const *cells, const unsigned long *lengths) {
        v.hasRow = true;
        v.isNull = cells[0] == nullptr;
        if (cells[0])
            v.text = FromCp1250(QByteArrayView(cells[0], qsizetype(lengths[0])));
        return false;
    });
    return v;
}

bool isBlank(const QString &text)
{
    for (const QChar ch : text) {
        if (ch.unicode() > 32)
            return false;
    }
    return true;
}

} // namespace

void ExecSql(Connection &con, const QString &sql)
{
    if (isBlank(sql))
        return;
    con.exec(UnescapeCrLf(sql));
}

int QueryInt(Connection &con, const QString &sql, int defaultValue)
{
    const FirstValue v = firstValue(con, sql);
    if (!v.hasRow)
        return defaultValue;
    if (v.isNull)
        return 0;
    bool ok = false;
    const int n = v.text.trimmed().toInt(&ok);
    return ok ? n : 0;
}

QString QueryText(Connection &con, const QString &sql, const QString &defaultValue)
{
    const FirstValue v = firstValue(con, sql);
    if (!v.hasRow)
        return defaultValue;
    return v.text;
}

QDateTime QueryDateTime(Connection &con, const QString &sql, const QDateTime &defaultValue)
{
    const FirstValue v = firstValue(con, sql);
    if (!v.hasRow)
        return defaultValue;
    if (v.isNull)
        return {};
    QDateTime dt = QDateTime::fromString(v.text.left(19), u"yyyy-MM-dd HH:mm:ss"_s);
    if (!dt.isValid())
        dt = QDateTime(QDate::fromString(v.text.left(10), u"yyyy-MM-dd"_s), QTime(0, 0));
    return dt;
}

QDate ServerDate(Connection &con)
{
    return QueryDateTime(con, u"SELECT CURDATE();"_s, QDateTime()).date();
}

QString ServerMd5(Connection &con, const QString &text)
{
    return QueryText(con, u"SELECT MD5("_s + SqlQuoted(text) + u");"_s, QString());
}

int NextId(Connection &con, const QString &column, const QString &table)
{
    const QString from = table.isEmpty() ? column : table;
    return QueryInt(con, u"SELECT MAX("_s + column + u") AS maxid FROM "_s + from + u';', 0) + 1;
}

QString LookupName(Connection &con, int id, const QString &table, const QString &defaultValue)
{
    return QueryText(con,
                     u"SELECT "_s + table + u"_nev FROM "_s + table + u" WHERE "_s + table + u'=' +
                         QString::number(id) + u';',
                     defaultValue);
}

QStringList CommitteeNames(Connection &con)
{
    QStringList names;
    AppendQueryToList(con, names, u"SELECT csoport_nev FROM csoport ORDER BY 1;"_s);
    return names;
}

int CommitteeId(Connection &con, const QString &name)
{
    return QueryInt(con, u"SELECT csoport FROM csoport WHERE csoport_nev = "_s + SqlQuoted(name) + u';', -1);
}

void AppendQueryToList(Connection &con, QStringList &list, const QString &sql)
{
    con.forEachRow(sql, [&list](const ResultSet &, const char *const *cells, const unsigned long *lengths) {
        list.append(cells[0] ? FromCp1250(QByteArrayView(cells[0], qsizetype(lengths[0]))) : QString());
        return true;
    });
}

QString RecordPositionText(const Query &query)
{
    return RecordPositionText(query.rowCount(), query.recNo());
}

QString RecordPositionText(int rowCount, int currentRow)
{
    return QString::number(rowCount) + u": "_s + QString::number(currentRow + 1);
}

QList<QByteArray> DataSetToLines(Query &query, bool header, const QString &excluded, QChar separator,
                                 bool utf8, bool rowNumbers)
{
    QList<QByteArray> lines = DataSetToLines(query.result(), header, excluded, separator, utf8, rowNumbers);
    query.last();
    return lines;
}

QList<QByteArray> DataSetToLines(const ResultSet &rs, bool header, const QString &excluded, QChar separator,
                                 bool utf8, bool rowNumbers)
{
    const QString excludedList = u';' + excluded + u';';
    QList<int> columns;
    for (int c = 0; c < rs.columnCount(); ++c) {
        if (excluded.isEmpty() || !excludedList.contains(u';' + rs.fields().at(c).name + u';'))
            columns.append(c);
    }
    const auto encode = [utf8](const QString &line) { return utf8 ? line.toUtf8() : ToCp1250(line); };
    QList<QByteArray> lines;
    if (header) {
        QString line;
        for (int c : columns)
            line += rs.fields().at(c).name + separator;
        lines.append(encode(line));
    }
    for (int r = 0; r < rs.rowCount(); ++r) {
        QString line;
        if (rowNumbers)
            line += QString::number(r + 1) + separator;
        for (int c : columns) {
            QString value = rs.text(r, c);
            value.replace(u';', u',');
            line += value + separator;
        }
        lines.append(encode(line));
    }
    return lines;
}

void KillQuery(Connection &con, unsigned long threadId)
{
    if (threadId > 0)
        con.exec(u"KILL QUERY "_s + QString::number(threadId));
}

bool KillQueryOver(Connection &stoppingLine, unsigned long threadId)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        try {
            if (!stoppingLine.isOpen())
                stoppingLine.open();
            KillQuery(stoppingLine, threadId);
            return true;
        } catch (const DbError &error) {
            if (!error.isConnectionLost())
                return false;
        }
    }
    return false;
}
