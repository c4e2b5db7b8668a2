#include "register/registerstatement.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The register's statement is made from its selections each time; these are the lines the rest
// of the program (and a copy of the statement, the list report) reads.
class TestRegisterStatement : public QObject
{
    Q_OBJECT

private slots:
    void lines_data();
    void lines();
    void yearOfTab_data();
    void yearOfTab();
    void firstRowsKeepTheSearch();
};

void TestRegisterStatement::lines_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<QDate>("from");
    QTest::addColumn<QDate>("to");
    QTest::addColumn<int>("committee"); // -2: every committee
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("order");
    QTest::addColumn<QString>("where");
    QTest::addColumn<QString>("orderLine");

    QTest::newRow("everything") << 0 << QDate() << QDate() << -2 << QString() << QString()
                                << u"WHERE (iktato > 0)"_s << u"ORDER BY 1;"_s;
    QTest::newRow("a year, a period, a committee, sorted")
        << 2024 << QDate(2016, 1, 1) << QDate(2017, 3, 2) << 3 << QString() << u"targy"_s
        << u"WHERE (ev = 2024) AND (datum BETWEEN '2016-01-01' AND '2017-03-02') AND (csoport = 3)"_s
        << u"ORDER BY targy;"_s;
    // A committee tab whose committee is gone lists nothing, not every committee.
    QTest::newRow("a committee that is gone") << 0 << QDate() << QDate() << -1 << QString() << QString()
                                              << u"WHERE (iktato > 0) AND (csoport = -1)"_s << u"ORDER BY 1;"_s;
    QTest::newRow("half a period is none") << 0 << QDate(2016, 1, 1) << QDate() << -2 << QString() << QString()
                                           << u"WHERE (iktato > 0)"_s << u"ORDER BY 1;"_s;
    QTest::newRow("a search, quoted")
        << 2020 << QDate() << QDate() << -2 << u"o'k"_s << u"sorrend"_s
        << u"WHERE (ev = 2020) AND ((csoport_nev LIKE '%o''k%') OR (CONVERT(iktatoaz USING latin2) LIKE "
           "'%o''k%') OR (targy LIKE '%o''k%') OR (hatarozat LIKE '%o''k%') OR (felelos LIKE '%o''k%') OR "
           "(statusz_nev LIKE '%o''k%') OR (CONVERT(DATE_FORMAT(datum,'%Y.%m.%d') USING latin2) LIKE "
           "'%o''k%'))"_s
        << u"ORDER BY sorrend;"_s;
}

void TestRegisterStatement::lines()
{
    QFETCH(int, year);
    QFETCH(QDate, from);
    QFETCH(QDate, to);
    QFETCH(int, committee);
    QFETCH(QString, search);
    QFETCH(QString, order);
    QFETCH(QString, where);
    QFETCH(QString, orderLine);
    RegisterFilter filter;
    filter.year = year;
    filter.periodFrom = from;
    filter.periodTo = to;
    if (committee != -2)
        filter.committeeId = committee;
    filter.search = search;
    filter.orderField = order;
    const RegisterStatement statement(filter);
    QCOMPARE(statement.lines(), (QStringList{u"SELECT * FROM vw_iktato"_s, where, orderLine}));
    QCOMPARE(statement.withColumns(u"iktato, targy"_s).lines().first(), u"SELECT iktato, targy FROM vw_iktato"_s);
}

void TestRegisterStatement::yearOfTab_data()
{
    QTest::addColumn<QString>("tab");
    QTest::addColumn<int>("year");
    QTest::newRow("a year") << u"2024"_s << 2024;
    QTest::newRow("with blanks") << u" 2019 "_s << 2019;
    QTest::newRow("every year") << u"Összes"_s << 0;
    QTest::newRow("empty") << QString() << 0;
    // The text never reaches the statement: only a whole number does.
    QTest::newRow("digits among other text") << u"20x24"_s << 0;
    QTest::newRow("SQL after a year") << u"2024) OR (1=1"_s << 0;
    QTest::newRow("negative") << u"-5"_s << 0;
}

void TestRegisterStatement::yearOfTab()
{
    QFETCH(QString, tab);
    QFETCH(int, year);
    QCOMPARE(RegisterStatement::yearOfTab(tab), year);
}

// The first rows alone are the same statement with a LIMIT, whatever the search text says.
void TestRegisterStatement::firstRowsKeepTheSearch()
{
    RegisterFilter filter;
    filter.search = u"limit 5"_s;
    filter.orderField = u"sorrend"_s;
    const RegisterStatement statement(filter);
    QVERIFY(filter.orderIsTotal());
    QString expected = statement.sql();
    expected.chop(1);
    QCOMPARE(statement.firstRowsSql(64), expected + u"\nLIMIT 64;"_s);
    QVERIFY(statement.firstRowsSql(64).contains(u"LIKE '%limit 5%'"_s));
    filter.orderField = u"targy"_s;
    QVERIFY(!filter.orderIsTotal());
}

QTEST_GUILESS_MAIN(TestRegisterStatement)
#include "tst_registerstatement.moc"
