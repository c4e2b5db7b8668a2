#include "common/cp1250.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "masterdata/masterdatarows.h"
#include "testdatabase.h"

#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

// The master-data writes without their windows, on the real server.
class TestMasterDataRows : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void init();
    void cleanup();

    void checkedTableName_data();
    void checkedTableName();
    void deleteMasterDataRow_data();
    void deleteMasterDataRow();
    void deleteSubject_data();
    void deleteSubject();

private:
    QStringList column(const QString &sql);

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
};

void TestMasterDataRows::init()
{
    m_db = std::make_unique<TestDatabase>();
    REQUIRE_SQL(m_db->client(ToCp1250(
        u"INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Pénzügyi'), (2, 'Ügyrendi'), (3, "
        u"'Oktatási');"
        u"INSERT INTO iktato (ev, csoport, az, datum) VALUES (2024, 2, 1, '2024-01-02');"
        u"INSERT INTO targy (targy) VALUES (''), ('Költségvetés'), ('O''Hara ügye'), ('Telekeladás');"_s)));
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
}

void TestMasterDataRows::cleanup()
{
    m_con.reset();
    m_db.reset();
}

QStringList TestMasterDataRows::column(const QString &sql)
{
    QStringList values;
    AppendQueryToList(*m_con, values, sql);
    return values;
}

void TestMasterDataRows::checkedTableName_data()
{
    QTest::addColumn<QString>("table");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("committees") << u"csoport"_s << true;
    QTest::newRow("underscore and digits") << u"_tabla2"_s << true;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("starts with a digit") << u"2tabla"_s << false;
    QTest::newRow("accented letter") << u"tábla"_s << false;
    QTest::newRow("blank inside") << u"csoport x"_s << false;
    QTest::newRow("more SQL") << u"csoport WHERE 1 = 1 OR csoport"_s << false;
    QTest::newRow("statement end") << u"csoport;"_s << false;
}

void TestMasterDataRows::checkedTableName()
{
    QFETCH(QString, table);
    QFETCH(bool, accepted);
    if (accepted) {
        QCOMPARE(CheckedTableName(table), table);
        QCOMPARE(MasterDataNameColumn(table), table + u"_nev"_s);
        return;
    }
    QVERIFY_THROWS_EXCEPTION(DbError, CheckedTableName(table));
    QVERIFY_THROWS_EXCEPTION(DbError, MasterDataNameColumn(table));
    // Refused before anything is sent.
    QVERIFY_THROWS_EXCEPTION(DbError, DeleteMasterDataRow(*m_con, table, 1));
    QCOMPARE(QueryInt(*m_con, u"SELECT COUNT(*) FROM csoport"_s, -1), 3);
}

void TestMasterDataRows::deleteMasterDataRow_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("unused committee") << 3 << true << QStringList{u"Pénzügyi"_s, u"Ügyrendi"_s};
    // Nothing checks the records: the one of committee 2 keeps its id.
    QTest::newRow("committee of a record") << 2 << true << QStringList{u"Oktatási"_s, u"Pénzügyi"_s};
    QTest::newRow("unknown id") << 99 << false << QStringList{u"Oktatási"_s, u"Pénzügyi"_s, u"Ügyrendi"_s};
    QTest::newRow("id 0") << 0 << false << QStringList{u"Oktatási"_s, u"Pénzügyi"_s, u"Ügyrendi"_s};
}

void TestMasterDataRows::deleteMasterDataRow()
{
    QFETCH(int, id);
    QFETCH(bool, deleted);
    QFETCH(QStringList, left);
    QCOMPARE(DeleteMasterDataRow(*m_con, u"csoport"_s, id), deleted);
    QCOMPARE(column(u"SELECT csoport_nev FROM csoport ORDER BY 1"_s), left);
    QCOMPARE(column(u"SELECT csoport FROM iktato"_s), QStringList{u"2"_s});
}

void TestMasterDataRows::deleteSubject_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<bool>("deleted");
    QTest::addColumn<QStringList>("left");
    const QString all = u"|Költségvetés|O'Hara ügye|Telekeladás"_s;
    QTest::newRow("subject") << u"Telekeladás"_s << true << u"|Költségvetés|O'Hara ügye"_s.split(u'|');
    // The catalogue's key ignores letter case: there is only one such subject.
    QTest::newRow("other letter case")
        << u"TELEKELADÁS"_s << true << u"|Költségvetés|O'Hara ügye"_s.split(u'|');
    QTest::newRow("quote in the subject")
        << u"O'Hara ügye"_s << true << u"|Költségvetés|Telekeladás"_s.split(u'|');
    QTest::newRow("part of a subject") << u"Telek"_s << false << all.split(u'|');
    QTest::newRow("unknown") << u"Zárszámadás"_s << false << all.split(u'|');
    QTest::newRow("the empty subject stays") << QString() << false << all.split(u'|');
    QTest::newRow("blanks are the empty subject") << u"   "_s << false << all.split(u'|');
}

void TestMasterDataRows::deleteSubject()
{
    QFETCH(QString, subject);
    QFETCH(bool, deleted);
    QFETCH(QStringList, left);
    QCOMPARE(DeleteSubject(*m_con, subject), deleted);
    QCOMPARE(column(u"SELECT targy FROM targy ORDER BY 1"_s), left);
}

QTEST_GUILESS_MAIN(TestMasterDataRows)
#include "tst_masterdatarows.moc"
