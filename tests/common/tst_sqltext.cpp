#include "common/sqltext.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestSqlText : public QObject
{
    Q_OBJECT

private slots:
    void sqlQuoted_data();
    void sqlQuoted();
    void exportEscape_data();
    void exportEscape();
    void replaceLine_data();
    void replaceLine();
    void likeAnyColumn_data();
    void likeAnyColumn();
    void likeAllWords_data();
    void likeAllWords();
};

void TestSqlText::sqlQuoted_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("NULL") << QVariant() << u"''"_s;
    QTest::newRow("quote backslash line break")
        << QVariant(u"O'Brien\\x\r\ny"_s) << u"'O''Brien\\\\x\\r\\ny'"_s;
    QTest::newRow("NUL written as escape")
        << QVariant(QString(u"a" + QString(QChar(0)) + u"b")) << u"'a\\0b'"_s;
    QTest::newRow("number") << QVariant(12) << u"'12'"_s;
    QTest::newRow("accented") << QVariant(u"Ő'ű"_s) << u"'Ő''ű'"_s;
}

void TestSqlText::sqlQuoted()
{
    QFETCH(QVariant, value);
    QFETCH(QString, expected);
    QCOMPARE(SqlQuoted(value), expected);
}

void TestSqlText::exportEscape_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("NULL") << QVariant() << QString();
    QTest::newRow("CR LF becomes one backslash-n") << QVariant(u"a\r\nb"_s) << u"a\\nb"_s;
    QTest::newRow("lone LF is a line break too") << QVariant(u"a\nb"_s) << u"a\\nb"_s;
    QTest::newRow("lone CR, lone LF, CR LF") << QVariant(u"egy\rkettő\nhárom\r\nnégy"_s)
                                              << u"egy\\nkettő\\nhárom\\nnégy"_s;
    QTest::newRow("LF CR is two breaks") << QVariant(u"a\n\rb"_s) << u"a\\n\\nb"_s;
    QTest::newRow("backslash doubled") << QVariant(u"c:\\x"_s) << u"c:\\\\x"_s;
}

void TestSqlText::exportEscape()
{
    QFETCH(QVariant, value);
    QFETCH(QString, expected);
    QCOMPARE(ExportEscape(value), expected);
}

void TestSqlText::replaceLine_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<bool>("order");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");

    const QStringList registerQuery{u"SELECT * FROM vw_iktato"_s, u"WHERE (ev = 2017)"_s, u"ORDER BY 1;"_s};
    QTest::newRow("where") << registerQuery << false << u"(ev = 2018)"_s
                           << QStringList{u"SELECT * FROM vw_iktato"_s, u"WHERE (ev = 2018)"_s,
                                          u"ORDER BY 1;"_s};
    QTest::newRow("order") << registerQuery << true << u"sorrend DESC"_s
                           << QStringList{u"SELECT * FROM vw_iktato"_s, u"WHERE (ev = 2017)"_s,
                                          u"ORDER BY sorrend DESC;"_s};
    QTest::newRow("lower-case where") << QStringList{u"select 1"_s, u"where x"_s} << false << u"y"_s
                                      << QStringList{u"select 1"_s, u"WHERE y"_s};
    QTest::newRow("no where line") << QStringList{u"SELECT 1"_s, u"ORDER BY 1;"_s} << false << u"y"_s
                                   << QStringList{u"SELECT 1"_s, u"ORDER BY 1;"_s};
    QTest::newRow("indented where not recognised") << QStringList{u"SELECT 1"_s, u"  WHERE x"_s} << false
                                                   << u"y"_s << QStringList{u"SELECT 1"_s, u"  WHERE x"_s};
    QTest::newRow("only the first where") << QStringList{u"WHERE a"_s, u"WHERE b"_s} << false << u"c"_s
                                          << QStringList{u"WHERE c"_s, u"WHERE b"_s};
}

void TestSqlText::replaceLine()
{
    QFETCH(QStringList, lines);
    QFETCH(bool, order);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    const QString sql = order ? ReplaceOrderBy(lines, text) : ReplaceWhere(lines, text);
    QCOMPARE(lines, expected);
    QCOMPARE(sql, expected.join(u'\n'));
}

void TestSqlText::likeAnyColumn_data()
{
    QTest::addColumn<QString>("columns");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("expected");

    QTest::newRow("two columns") << u"a;b"_s << u"x"_s << u" AND ((a LIKE '%x%') OR (b LIKE '%x%'))"_s;
    QTest::newRow("empty search") << u"a;b"_s << QString() << QString();
    QTest::newRow("blanks kept in the pattern") << u"a"_s << u" x "_s << u" AND ((a LIKE '% x %'))"_s;
    QTest::newRow("quote doubled inside the literal")
        << u"a;b"_s << u"' OR 1=1 --"_s << u" AND ((a LIKE '%'' OR 1=1 --%') OR (b LIKE '%'' OR 1=1 --%'))"_s;
    // Doubled once for LIKE, whose escape character it is, and again for the string literal.
    QTest::newRow("backslash finds a backslash") << u"a"_s << u"\\'"_s << u" AND ((a LIKE '%\\\\\\\\''%'))"_s;
    QTest::newRow("character the database cannot hold matches nothing")
        << u"a;b"_s << u"x😀"_s << u" AND (1 = 0)"_s;
    QTest::newRow("wildcards typed stay wildcards") << u"a"_s << u"5_%"_s << u" AND ((a LIKE '%5_%%'))"_s;
    QTest::newRow("column list ends at an empty field") << u"a;;b"_s << u"x"_s << u" AND ((a LIKE '%x%'))"_s;
    QTest::newRow("expression used verbatim")
        << u"CONVERT(DATE_FORMAT(datum,'%Y.%m.%d') USING latin2)"_s << u"2017"_s
        << u" AND ((CONVERT(DATE_FORMAT(datum,'%Y.%m.%d') USING latin2) LIKE '%2017%'))"_s;
    QTest::newRow("no columns") << QString() << u"x"_s << QString();
    QString sixteen;
    QString expected;
    for (int i = 1; i <= 16; ++i) {
        sixteen += u"c%1;"_s.arg(i);
        if (i <= 15)
            expected += (i > 1 ? u" OR "_s : QString()) + u"(c%1 LIKE '%x%')"_s.arg(i);
    }
    QTest::newRow("at most fifteen columns") << sixteen << u"x"_s << u" AND ("_s + expected + u')';
}

void TestSqlText::likeAnyColumn()
{
    QFETCH(QString, columns);
    QFETCH(QString, search);
    QFETCH(QString, expected);
    QCOMPARE(LikeAnyColumn(columns, search), expected);
}

void TestSqlText::likeAllWords_data()
{
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("expected");

    const auto group = [](const QString &w) -> QString {
        return u"((a LIKE '%"_s + w + u"%') OR (b LIKE '%"_s + w + u"%'))"_s;
    };
    QTest::newRow("two words") << u"x y"_s << u" AND ("_s + group(u"x"_s) + u" AND "_s + group(u"y"_s) + u')';
    QTest::newRow("word the database cannot hold matches nothing")
        << u"x Привет"_s << u" AND ("_s + group(u"x"_s) + u" AND (1 = 0))"_s;
    QTest::newRow("five words use the first four")
        << u"p q r s t"_s
        << u" AND ("_s +
               QStringList{group(u"p"_s), group(u"q"_s), group(u"r"_s), group(u"s"_s)}.join(u" AND "_s) +
               u')';
    QTest::newRow("two blanks between two words")
        << u"x  y"_s << u" AND ("_s + group(u"x"_s) + u" AND "_s + group(u"y"_s) + u')';
    QTest::newRow("empty field counts as one of four")
        << u"p  q r s"_s
        << u" AND ("_s + QStringList{group(u"p"_s), group(u"q"_s), group(u"r"_s)}.join(u" AND "_s) + u')';
    QTest::newRow("comma and semicolon separate")
        << u"x,y;z"_s
        << u" AND ("_s + QStringList{group(u"x"_s), group(u"y"_s), group(u"z"_s)}.join(u" AND "_s) + u')';
    QTest::newRow("blanks commas semicolons only") << u" ,; ;, "_s << QString();
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("four blanks before the word") << u"    x"_s << QString();
    QTest::newRow("three blanks before the word") << u"   x"_s << u" AND ("_s + group(u"x"_s) + u')';
    QTest::newRow("quote doubled inside the literal")
        << u"' OR 1=1 --"_s
        << u" AND ("_s +
               QStringList{group(u"''"_s), group(u"OR"_s), group(u"1=1"_s), group(u"--"_s)}.join(u" AND "_s) +
               u')';
}

void TestSqlText::likeAllWords()
{
    QFETCH(QString, search);
    QFETCH(QString, expected);
    QCOMPARE(LikeAllWords(u"a;b"_s, search), expected);
}

QTEST_GUILESS_MAIN(TestSqlText)
#include "tst_sqltext.moc"
