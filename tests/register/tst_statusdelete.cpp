// Status toggle (F3) and deletion (Ctrl+Del) of a resolution record.
#include "db/connection.h"
#include "db/dbroutines.h"
#include "gui/messagebox.h"
#include "register/resolutionstatus.h"
#include "register/statusdelete.h"
#include "testdatabase.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

class TestStatusDelete : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void init();
    void cleanup();

    void toggledStatus_data();
    void toggledStatus();
    void status_data();
    void status();
    void toggleThereAndBack();
    void deletion_data();
    void deletion();

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
};

void TestStatusDelete::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
}

void TestStatusDelete::cleanup()
{
    m_con.reset();
    m_db.reset();
}

void TestStatusDelete::toggledStatus_data()
{
    QTest::addColumn<QVariant>("status"); // as the register row holds it
    QTest::addColumn<int>("next");        // 0: nothing to set

    QTest::newRow("open") << QVariant(1) << 2;
    QTest::newRow("done") << QVariant(2) << 1;
    QTest::newRow("done, as the database's text") << QVariant(u"2"_s) << 1;
    QTest::newRow("no deadline") << QVariant(0) << 0;
    QTest::newRow("NULL") << QVariant() << 0;
    QTest::newRow("unknown value") << QVariant(3) << 0;
    QTest::newRow("negative") << QVariant(-1) << 0;
}

// The rule behind F3, without a window or a database.
void TestStatusDelete::toggledStatus()
{
    QFETCH(QVariant, status);
    QFETCH(int, next);
    QCOMPARE(ToggledResolutionStatus(status), next);
}

void TestStatusDelete::status_data()
{
    QTest::addColumn<QVariant>("status"); // as the register row holds it
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("written");

    const int confirm = int(MessageBoxRecorder::Kind::Confirm);
    const int error = int(MessageBoxRecorder::Kind::Error);
    QTest::newRow("open, yes") << QVariant(1) << true << u"Valóban készre állítod?"_s << confirm << u"2"_s
                               << true;
    QTest::newRow("open, no") << QVariant(1) << false << u"Valóban készre állítod?"_s << confirm << u"1"_s
                              << false;
    QTest::newRow("done, yes") << QVariant(2) << true << u"Valóban visszavonod a kész státuszt?"_s << confirm
                               << u"1"_s << true;
    QTest::newRow("done, no") << QVariant(2) << false << u"Valóban visszavonod a kész státuszt?"_s << confirm
                              << u"2"_s << false;
    QTest::newRow("no deadline") << QVariant(0) << true << u"Nincs mit beállítani."_s << error << u"0"_s
                                 << false;
    QTest::newRow("NULL") << QVariant() << true << u"Nincs mit beállítani."_s << error << u"NULL"_s << false;
}

void TestStatusDelete::status()
{
    QFETCH(QVariant, status);
    QFETCH(bool, answer);
    QFETCH(QString, message);
    QFETCH(int, kind);
    QFETCH(QString, stored);
    QFETCH(bool, written);

    m_con->exec(
        u"INSERT INTO iktato SET iktato = 3, ev = 2025, csoport = 1, az = 1, datum = '2025-01-01', statusz = %1"_s
            .arg(status.isNull() ? u"NULL"_s : status.toString()));
    m_con->exec(
        u"INSERT INTO iktato SET iktato = 4, ev = 2025, csoport = 1, az = 2, datum = '2025-01-01', statusz = 1"_s);
    MessageBoxRecorder boxes;
    if (kind == int(MessageBoxRecorder::Kind::Confirm))
        boxes.queueAnswer(answer);
    QCOMPARE(ChangeResolutionStatus(*m_con, 3, status), written);
    QCOMPARE(boxes.texts(), QStringList{message});
    QCOMPARE(int(boxes.boxes().first().kind), kind);
    if (kind == int(MessageBoxRecorder::Kind::Confirm))
        QCOMPARE(boxes.boxes().first().caption, u"Megerősítés"_s);
    QCOMPARE(QueryText(*m_con, u"SELECT IFNULL(statusz, 'NULL') FROM iktato WHERE iktato = 3"_s, {}), stored);
    QCOMPARE(QueryInt(*m_con, u"SELECT statusz FROM iktato WHERE iktato = 4"_s, -1), 1);
}

void TestStatusDelete::toggleThereAndBack()
{
    m_con->exec(
        u"INSERT INTO iktato SET iktato = 3, ev = 2025, csoport = 1, az = 1, datum = '2025-01-01', statusz = 1"_s);
    MessageBoxRecorder boxes{true, true};
    QVERIFY(ChangeResolutionStatus(*m_con, 3, QueryInt(*m_con, u"SELECT statusz FROM iktato"_s, 0)));
    QCOMPARE(QueryInt(*m_con, u"SELECT statusz FROM iktato"_s, 0), 2);
    QVERIFY(ChangeResolutionStatus(*m_con, 3, QueryInt(*m_con, u"SELECT statusz FROM iktato"_s, 0)));
    QCOMPARE(QueryInt(*m_con, u"SELECT statusz FROM iktato"_s, 0), 1);
    QCOMPARE(boxes.unanswered(), 0);
}

void TestStatusDelete::deletion_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<QString>("left");

    QTest::newRow("yes") << true << u"4"_s;
    QTest::newRow("no") << false << u"3,4"_s;
}

void TestStatusDelete::deletion()
{
    QFETCH(bool, answer);
    QFETCH(QString, left);

    QTemporaryDir store;
    QFile file(store.filePath(u"0000003-1.pdf"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("melléklet");
    file.close();
    m_con->exec(u"INSERT INTO iktato SET iktato = 3, ev = 2025, csoport = 1, az = 1, datum = '2025-01-01', "
                "filenev = '0000003-1.pdf', origfilenev = 'a.pdf'"_s);
    m_con->exec(u"INSERT INTO iktato SET iktato = 4, ev = 2025, csoport = 1, az = 2, datum = '2025-01-01'"_s);

    MessageBoxRecorder boxes{answer};
    QCOMPARE(DeleteResolution(*m_con, 3), answer);
    QCOMPARE(boxes.texts(), QStringList{u"Valóban töröljem a sort?"_s});
    QCOMPARE(boxes.boxes().first().caption, u"Megerősítés"_s);
    QCOMPARE(QueryText(*m_con, u"SELECT GROUP_CONCAT(iktato ORDER BY iktato) FROM iktato"_s, {}), left);
    QVERIFY(QFileInfo(file.fileName()).isFile());

    // An empty register has no record: the user is told so and nothing is asked.
    MessageBoxRecorder again{true};
    QVERIFY(!DeleteResolution(*m_con, 0));
    QCOMPARE(again.texts(), QStringList{u"Nincs mit törölni."_s});
    QCOMPARE(int(again.boxes().first().kind), int(MessageBoxRecorder::Kind::Error));
    QCOMPARE(again.pendingAnswers(), 1);
    QCOMPARE(QueryText(*m_con, u"SELECT GROUP_CONCAT(iktato ORDER BY iktato) FROM iktato"_s, {}), left);
}

QTEST_MAIN(TestStatusDelete)
#include "tst_statusdelete.moc"
