#include "common/cp1250.h"
#include "db/connection.h"
#include "db/dbroutines.h"
#include "db/resultset.h"
#include "testdatabase.h"

#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

// The schema as sql/schema.sql makes it, loaded the ways the scripts and a person load it.
class TestSchema : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void textColumnsAreLatin2Hungarian_data();
    void textColumnsAreLatin2Hungarian();
};

void TestSchema::textColumnsAreLatin2Hungarian_data()
{
    QTest::addColumn<QByteArray>("charset"); // empty: the client's own default
    QTest::newRow("utf8mb4 client, as the scripts and the file's header say") << QByteArray("utf8mb4");
    QTest::newRow("client's default, as a plain mariadb DB < schema.sql") << QByteArray();
}

void TestSchema::textColumnsAreLatin2Hungarian()
{
    QFETCH(QByteArray, charset);
    TestDatabase db(TestDatabase::Content::Empty);
    db.load(SourcePath(u"sql/schema.sql"_s), charset.isEmpty() ? nullptr : charset.constData());

    Connection con(db.params());
    con.open();
    const auto columns = [&](const QString &condition) {
        const ResultSet rows =
            con.query(u"SELECT CONCAT_WS(' ', TABLE_NAME, COLUMN_NAME, CHARACTER_SET_NAME, COLLATION_NAME) "
                      u"FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() AND "_s +
                      condition + u" ORDER BY TABLE_NAME, ORDINAL_POSITION"_s);
        QStringList found;
        for (int row = 0; row < rows.rowCount(); ++row)
            found.append(rows.text(row, 0));
        return found;
    };
    // Every text column, of the tables and of the views, compares and sorts the Hungarian way.
    QCOMPARE(columns(u"CHARACTER_SET_NAME IS NOT NULL AND (CHARACTER_SET_NAME <> 'latin2' OR "
                     u"COLLATION_NAME <> 'latin2_hungarian_ci')"_s),
             QStringList());
    // The view's columns built by expressions are among them.
    QCOMPARE(columns(u"TABLE_NAME = 'vw_iktato' AND COLUMN_NAME IN "
                     u"('iktatoaz', 'sorrend', 'hatarozatstr', 'hosszu')"_s),
             (QStringList{u"vw_iktato iktatoaz latin2 latin2_hungarian_ci"_s,
                          u"vw_iktato sorrend latin2 latin2_hungarian_ci"_s,
                          u"vw_iktato hatarozatstr latin2 latin2_hungarian_ci"_s,
                          u"vw_iktato hosszu latin2 latin2_hungarian_ci"_s}));

    // Their values keep every letter, also the code page 1250 quotes and dash that latin2
    // stores as control bytes.
    REQUIRE_SQL(db.client(
        ToCp1250(u"INSERT INTO csoport (csoport, csoport_nev) VALUES (3, 'Képviselő-testület');"
                 u"INSERT INTO iktato (ev, csoport, az, datum, targy, hatarozat) VALUES (2024, 3, 12, "
                 u"'2024-03-05', '„Űrlap” – vége', 'Első sor\\r\\nmásodik sor');"_s)));
    QCOMPARE(QueryText(
                 con, u"SELECT CONCAT_WS('|', iktatoaz, sorrend, hatarozatstr, hosszu) FROM vw_iktato"_s, {}),
             u"12/2024. (III. 5.)|2024000030000012|Első sor második sor|"
             u"Képviselő-testület 12/2024. (III. 5.) „Űrlap” – vége"_s);
    // Compared the Hungarian way: é is e, ő is ö and ű is ü whatever the letter case, but ő is
    // no o (a general Unicode collation would take it for one).
    QCOMPARE(QueryInt(con, u"SELECT COUNT(*) FROM vw_iktato WHERE hosszu LIKE '%kepviselö-%ÜRLAP%'"_s, -1),
             1);
    QCOMPARE(QueryInt(con, u"SELECT COUNT(*) FROM vw_iktato WHERE hosszu LIKE '%kepviselo-%'"_s, -1), 0);
}

QTEST_GUILESS_MAIN(TestSchema)
#include "tst_schema.moc"
