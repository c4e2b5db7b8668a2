#pragma once

#include "common/sqltext.h"
#include "db/connection.h"

#include <QFile>
#include <QStringList>

using namespace Qt::StringLiterals;

// A table with a column of every kind the export treats apart, and rows that hold what breaks
// delimited text and spreadsheets: separators, both qualifiers, backslashes, CR LF, a lone CR
// and a lone LF, Hungarian and typographic characters of code page 1250, NULLs, binary bytes.
inline void CreateSampleTable(Connection &con)
{
    con.exec(u"CREATE TABLE minta (id INT NOT NULL PRIMARY KEY, nev VARCHAR(100), osszeg DECIMAL(12,2), "
             "arany DOUBLE, nap DATE, idopont DATETIME, ido TIME, leiras TEXT, adat BLOB) "
             "ENGINE=InnoDB DEFAULT CHARSET=latin2 COLLATE=latin2_hungarian_ci"_s);
    auto insert = [&](const QString &values) { con.exec(u"INSERT INTO minta VALUES ("_s + values + u')'); };
    insert(u"1, "_s + SqlQuoted(u"Kőrút „A” – ű"_s) +
           u", 1234.50, 0.25, '2024-03-05', '2024-03-05 14:07:09', '08:05:00', "_s +
           SqlQuoted(u"első sor\r\nmásodik; sor"_s) + u", X'0001'"_s);
    insert(u"2, "_s + SqlQuoted(u"a;b|c,d"_s) +
           u", -3.00, NULL, '2024-12-31', '2024-01-01 00:00:00', NULL, "_s +
           SqlQuoted(u"c:\\mappa\t|;,vége"_s) + u", NULL"_s);
    insert(u"3, "_s + SqlQuoted(u"Idéző \"jel\""_s) + u", NULL, 1e20, NULL, NULL, '23:59:59', NULL, NULL"_s);
    insert(u"4, "_s + SqlQuoted(u"O'Brien"_s) + u", 0, -1.5, '1999-01-01', NULL, NULL, "_s +
           SqlQuoted(u"egy\rkettő\nhárom"_s) + u", X'FF'"_s);
    insert(u"5, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL"_s);
}

inline const QString SampleSelect =
    u"SELECT id, nev, osszeg, arany, nap, idopont, ido, leiras, adat FROM minta"_s;

// Each line ended by CR LF, as the delimited export writes them.
inline QString lines(const QStringList &list)
{
    QString text;
    for (const QString &line : list)
        text += line + u"\r\n"_s;
    return text;
}

// A written file's bytes; empty when it cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}
