#include "db/connection.h"
#include "db/dberror.h"
#include "testdatabase.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestConnection : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void opensWithHungarianCollation();
};

void TestConnection::opensWithHungarianCollation()
{
    TestDatabase db;
    Connection con(db.params());
    con.open();
    const ResultSet rs = con.query(u"SELECT @@collation_connection, @@character_set_client"_s);
    QCOMPARE(rs.rowCount(), 1);
    QCOMPARE(rs.text(0, 0), u"latin2_hungarian_ci"_s);
    QCOMPARE(rs.text(0, 1), u"latin2"_s);
}

QTEST_GUILESS_MAIN(TestConnection)
#include "tst_connection.moc"
