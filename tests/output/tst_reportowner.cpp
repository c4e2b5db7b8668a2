#include "db/connection.h"
#include "output/reportsource.h"
#include "testdatabase.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The owner block the reports print, read from the view on the real server.
class TestReportOwner : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void loadReportOwner_data();
    void loadReportOwner();
};

void TestReportOwner::loadReportOwner_data()
{
    QTest::addColumn<QByteArray>("setup");
    QTest::addColumn<QString>("tulajdonos");
    QTest::addColumn<QString>("irszvaros");
    QTest::addColumn<QString>("telefon");

    QTest::newRow("the schema's row: no address, no phone")
        << QByteArray() << u"Képviselő-testület"_s << QString() << QString();
    QTest::newRow("a full row")
        << QByteArray("UPDATE tulajdonos SET irsz = '7400', varos = 'Kaposvár', telefon = '82/555-123';")
        << u"Képviselő-testület"_s << u"7400 Kaposvár"_s << u"82/555-123"_s;
    QTest::newRow("no row") << QByteArray("DELETE FROM tulajdonos;") << QString() << QString() << QString();
    QTest::newRow("the first of two rows")
        << QByteArray("INSERT INTO tulajdonos (tulajdonos, irsz, varos, telefon) "
                      "VALUES ('Második', '1000', 'Budapest', '1');")
        << u"Képviselő-testület"_s << QString() << QString();
    QTest::newRow("an older view without the phone")
        << QByteArray("CREATE OR REPLACE VIEW vw_tulajdonos AS SELECT tulajdonos, varos AS irszvaros "
                      "FROM tulajdonos; UPDATE tulajdonos SET varos = 'Pécs';")
        << u"Képviselő-testület"_s << u"Pécs"_s << QString();
}

void TestReportOwner::loadReportOwner()
{
    QFETCH(QByteArray, setup);
    QFETCH(QString, tulajdonos);
    QFETCH(QString, irszvaros);
    QFETCH(QString, telefon);

    TestDatabase db;
    if (!setup.isEmpty())
        db.client(setup, "utf8mb4");
    Connection con(db.params());
    con.open();
    const ReportOwner owner = LoadReportOwner(con);
    QCOMPARE(owner.tulajdonos, tulajdonos);
    QCOMPARE(owner.irszvaros, irszvaros);
    QCOMPARE(owner.telefon, telefon);
}

QTEST_GUILESS_MAIN(TestReportOwner)
#include "tst_reportowner.moc"
