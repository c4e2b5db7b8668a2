#include "db/connection.h"
#include "db/dbroutines.h"
#include "register/registerfetcher.h"
#include "testdatabase.h"

#include <QElapsedTimer>
#include <QTest>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// What the fetcher delivered, gathered from its thread.
class Answers
{
public:
    void add(RegisterAnswer answer)
    {
        const std::lock_guard lock(m_mutex);
        m_answers.push_back(std::move(answer));
    }
    std::vector<RegisterAnswer> all() const
    {
        const std::lock_guard lock(m_mutex);
        return m_answers;
    }
    std::size_t count() const { return all().size(); }

private:
    mutable std::mutex m_mutex;
    std::vector<RegisterAnswer> m_answers;
};

RegisterRequest request(quint64 generation, const QString &sql)
{
    RegisterRequest r;
    r.generation = generation;
    r.sql = sql;
    return r;
}

// The first cell of an answer's first row.
QString firstCell(const RegisterAnswer &answer)
{
    return answer.rows && answer.rows->rowCount() > 0 ? answer.rows->text(0, 0) : QString();
}

// Whether the server connection is running a statement that begins with `prefix`.
bool runs(Connection &admin, unsigned long threadId, const QString &prefix)
{
    return QueryInt(admin,
                    u"SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = %1 AND INFO LIKE '%2%'"_s
                        .arg(threadId)
                        .arg(prefix),
                    0) > 0;
}

} // namespace

class TestRegisterFetcher : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { REQUIRE_TEST_SERVER(); }
    void init();
    void cleanup();

    void landingRow_data();
    void landingRow();
    void staleReadingIsStoppedAndTheConnectionGoesOn();
    void lostConnectionIsMadeAgainOnce_data();
    void lostConnectionIsMadeAgainOnce();
    void failureIsDelivered();
    void partsMakeTheWholeResult_data();
    void partsMakeTheWholeResult();
    void listChangedAfterTheFirstPart_data();
    void listChangedAfterTheFirstPart();

private:
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_admin; // another workstation, or the administrator
    std::unique_ptr<Answers> m_answers;
    std::unique_ptr<RegisterFetcher> m_fetcher;
};

void TestRegisterFetcher::init()
{
    m_db = std::make_unique<TestDatabase>();
    m_admin = std::make_unique<Connection>(m_db->params());
    m_admin->open();
    m_answers = std::make_unique<Answers>();
    m_fetcher =
        std::make_unique<RegisterFetcher>(m_db->params(), [answers = m_answers.get()](RegisterAnswer answer) {
            answers->add(std::move(answer));
        });
}

void TestRegisterFetcher::cleanup()
{
    m_fetcher.reset();
    m_answers.reset();
    m_admin.reset();
    m_db.reset();
}

void TestRegisterFetcher::landingRow_data()
{
    QTest::addColumn<QList<qint64>>("ids");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("row");
    QTest::newRow("first row when nothing is asked") << QList<qint64>{} << QString() << 0;
    QTest::newRow("the record") << QList<qint64>{30} << QString() << 2;
    QTest::newRow("a record that is gone: the next one asked") << QList<qint64>{99, 20} << QString() << 1;
    QTest::newRow("the first asked wins") << QList<qint64>{20, 30} << QString() << 1;
    QTest::newRow("none listed: first row") << QList<qint64>{98, 99} << QString() << 0;
    QTest::newRow("text begins a cell, any case") << QList<qint64>{} << u"KÖR"_s << 1;
    QTest::newRow("text inside a cell does not count") << QList<qint64>{} << u"rte"_s << 0;
    QTest::newRow("accents count") << QList<qint64>{} << u"kor"_s << 0;
}

void TestRegisterFetcher::landingRow()
{
    QFETCH(QList<qint64>, ids);
    QFETCH(QString, text);
    QFETCH(int, row);
    const ResultSet rows = m_admin->query(u"SELECT 10 AS iktato, 'Alma' AS targy UNION ALL "
                                          "SELECT 20, 'Körte' UNION ALL SELECT 30, 'körözött'"_s);
    RegisterRequest r;
    r.locateIds = ids;
    r.locateField = u"targy"_s;
    r.locateText = text;
    QCOMPARE(RegisterFetcher::landingRow(rows, r), row);
}

void TestRegisterFetcher::staleReadingIsStoppedAndTheConnectionGoesOn()
{
    m_fetcher->submit(request(1, u"SELECT SLEEP(20) AS iktato"_s));
    QTRY_VERIFY(m_fetcher->serverThreadId() != 0);
    const unsigned long worker = m_fetcher->serverThreadId();
    QTRY_VERIFY(runs(*m_admin, worker, u"SELECT SLEEP"_s));

    QElapsedTimer clock;
    clock.start();
    m_fetcher->submit(request(2, u"SELECT 7 AS iktato"_s));
    QTRY_COMPARE_WITH_TIMEOUT(m_answers->count(), std::size_t(1), 10000);
    // Well before the sleep would have ended: the server stopped working on the stale reading.
    QVERIFY2(clock.elapsed() < 10000, qPrintable(QString::number(clock.elapsed())));
    const RegisterAnswer answer = m_answers->all().front();
    QCOMPARE(answer.generation, quint64(2));
    QCOMPARE(firstCell(answer), u"7"_s);
    QCOMPARE(m_fetcher->stoppedReadings(), 1);
    QVERIFY(!runs(*m_admin, worker, u"SELECT SLEEP"_s));
    // The same server connection answered: stopping the statement did not end it.
    QCOMPARE(m_fetcher->serverThreadId(), worker);
    QCOMPARE(m_fetcher->reconnects(), 0);
}

void TestRegisterFetcher::lostConnectionIsMadeAgainOnce_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<bool>("whileReading");
    QTest::newRow("lost while idle") << u"SELECT 2 AS iktato"_s << false;
    QTest::newRow("lost while the rows come") << u"SELECT 2 AS iktato, SLEEP(1) AS pause"_s << true;
}

void TestRegisterFetcher::lostConnectionIsMadeAgainOnce()
{
    QFETCH(QString, sql);
    QFETCH(bool, whileReading);
    m_fetcher->submit(request(1, u"SELECT 1 AS iktato"_s));
    QTRY_COMPARE(m_answers->count(), std::size_t(1));
    const unsigned long worker = m_fetcher->serverThreadId();
    QVERIFY(worker != 0);
    if (!whileReading)
        m_admin->exec(u"KILL "_s + QString::number(worker));
    m_fetcher->submit(request(2, sql));
    if (whileReading) {
        QTRY_VERIFY(runs(*m_admin, worker, u"SELECT 2"_s));
        m_admin->exec(u"KILL "_s + QString::number(worker));
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_answers->count(), std::size_t(2), 15000);
    const RegisterAnswer answer = m_answers->all().back();
    QVERIFY2(answer.rows, qPrintable(answer.error));
    QCOMPARE(answer.generation, quint64(2));
    QCOMPARE(firstCell(answer), u"2"_s);
    QCOMPARE(m_fetcher->reconnects(), 1);
    QVERIFY(m_fetcher->serverThreadId() != worker);
}

void TestRegisterFetcher::failureIsDelivered()
{
    m_fetcher->submit(request(1, u"SELECT * FROM vw_nincs"_s));
    QTRY_COMPARE(m_answers->count(), std::size_t(1));
    const RegisterAnswer failed = m_answers->all().front();
    QVERIFY(!failed.rows);
    QVERIFY2(failed.error.contains(u"vw_nincs"_s), qPrintable(failed.error));
    QCOMPARE(failed.errorNumber, 1146u); // no such table
    // The next reading works on the same connection.
    m_fetcher->submit(request(2, u"SELECT 3 AS iktato"_s));
    QTRY_COMPARE(m_answers->count(), std::size_t(2));
    QCOMPARE(firstCell(m_answers->all().back()), u"3"_s);
}

void TestRegisterFetcher::partsMakeTheWholeResult_data()
{
    QTest::addColumn<int>("firstRows");
    QTest::addColumn<int>("laterRows");
    QTest::addColumn<qint64>("locateId");
    QTest::addColumn<int>("landingPart"); // the part that names the landing row
    QTest::addColumn<bool>("quick");      // the first part read on its own with a LIMIT
    // 23 rows of 11 columns with NULLs scattered over them: the parts' NULL marks land on
    // every bit position when the parts are put together.
    for (const bool quick : {false, true}) {
        const char *how = quick ? "first part alone, " : "";
        QTest::addRow("%sone row a part, landing late", how) << 1 << 1 << qint64(17) << 16 << quick;
        QTest::addRow("%suneven parts", how) << 2 << 3 << qint64(17) << 5 << quick;
        QTest::addRow("%slanding in the first part", how) << 5 << 7 << qint64(3) << 0 << quick;
        QTest::addRow("%sa record not listed: the last part names row 0", how)
            << 2 << 5 << qint64(99) << 5 << quick;
        QTest::addRow("%sall in the first part", how) << 256 << 256 << qint64(17) << 0 << quick;
    }
}

void TestRegisterFetcher::partsMakeTheWholeResult()
{
    QFETCH(int, firstRows);
    QFETCH(int, laterRows);
    QFETCH(qint64, locateId);
    QFETCH(int, landingPart);
    QFETCH(bool, quick);
    QByteArray rows;
    for (int id = 1; id <= 23; ++id) {
        rows += QByteArray(rows.isEmpty() ? "" : ",") + "(" + QByteArray::number(id) + ", 2020, 1, " +
                QByteArray::number(id) + ", '2020-01-02', 'T\xE1rgy', " + (id % 5 ? "'sz\xF6veg'" : "NULL") +
                ", " + (id % 7 ? "NULL" : "'2020-05-06'") + ", " + (id % 4 ? "NULL" : "'jegyz\xF5'") + ", " +
                (id % 3 ? QByteArray::number(id % 3) : QByteArray("NULL")) + ")";
    }
    m_admin->exec(u"INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Pénzügyi');"_s);
    m_admin->execRaw("INSERT INTO iktato (iktato, ev, csoport, az, datum, targy, hatarozat, dat_hatid, "
                     "felelos, statusz) VALUES " +
                     rows + ";");
    const RegisterStatement statement(RegisterFilter{}, u"iktato, iktatoaz, csoport_nev, datum, targy, "
                                                        "hatarozatstr, felelos, dat_hatid, statusz_nev, "
                                                        "statusz, sorrend"_s);
    const QString sql = statement.sql();
    const ResultSet whole = m_admin->query(sql);
    QCOMPARE(whole.rowCount(), 23);

    m_fetcher->setPartRows(firstRows, laterRows);
    RegisterRequest r = request(1, sql);
    r.locateIds = {locateId};
    if (quick)
        r.firstRowsAlone = statement;
    m_fetcher->submit(r);
    QTRY_VERIFY(!m_answers->all().empty() && m_answers->all().back().complete);
    const std::vector<RegisterAnswer> parts = m_answers->all();
    ResultSet joined;
    int landing = -1;
    int landingAt = -1;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const RegisterAnswer &part = parts[i];
        QVERIFY2(part.rows, qPrintable(part.error));
        QCOMPARE(part.first, i == 0);
        QCOMPARE(part.complete, i + 1 == parts.size());
        QCOMPARE(bool(part.details), part.complete);
        if (!part.complete)
            QCOMPARE(part.rows->rowCount(), i == 0 ? firstRows : laterRows);
        if (part.row >= 0 && landing < 0) {
            landing = part.row;
            landingAt = int(i);
        }
        joined.append(std::move(*part.rows));
    }
    QCOMPARE(landingAt, landingPart);
    QCOMPARE(landing, locateId <= 23 ? int(locateId - 1) : 0);
    QCOMPARE(joined.rowCount(), whole.rowCount());
    QCOMPARE(joined.columnCount(), whole.columnCount());
    QCOMPARE(joined.dataBytes(), whole.dataBytes());
    for (int row = 0; row < whole.rowCount(); ++row) {
        for (int column = 0; column < whole.columnCount(); ++column) {
            QCOMPARE(joined.isNull(row, column), whole.isNull(row, column));
            QCOMPARE(joined.raw(row, column), whole.raw(row, column));
        }
    }
    // The texts of the records around the landing one come with the last part.
    const RegisterDetails &details = *parts.back().details;
    QVERIFY(details.has(landing + 1));
    QCOMPARE(details.text(landing + 1, u"hatarozat"_s), (landing + 1) % 5 ? u"szöveg"_s : QString());
}

void TestRegisterFetcher::listChangedAfterTheFirstPart_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("sentAgain"); // the list is sent again from its top
    QTest::newRow("a record added at the top")
        << u"INSERT INTO iktato (iktato, ev, csoport, az, datum, targy) VALUES (1, 2020, 1, 1, '2020-01-02', 'Új')"_s
        << true;
    QTest::newRow("a record of the first part changed")
        << u"UPDATE iktato SET targy = 'Más' WHERE iktato = 4"_s << true;
    QTest::newRow("the list now shorter than the first part")
        << u"DELETE FROM iktato WHERE iktato > 4"_s << true;
    QTest::newRow("a record after the first part changed")
        << u"UPDATE iktato SET targy = 'Más' WHERE iktato = 20"_s << false;
}

// The first part is read on its own before the whole list: when another workstation changes the
// list in between, what the fetcher hands over in the end is the list as the whole reading saw it.
void TestRegisterFetcher::listChangedAfterTheFirstPart()
{
    QFETCH(QString, change);
    QFETCH(bool, sentAgain);
    m_admin->exec(u"INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Pénzügyi');"_s);
    for (int id = 2; id <= 21; ++id)
        m_admin->exec(u"INSERT INTO iktato (iktato, ev, csoport, az, datum, targy) VALUES (%1, 2020, 1, %1, "
                      "'2020-01-02', 'Tárgy');"_s.arg(id));
    const RegisterStatement statement(RegisterFilter{}, u"iktato, iktatoaz, targy, sorrend"_s);
    const QString sql = statement.sql();

    m_fetcher->setPartRows(5, 1000);
    const ConnectionParams params = m_db->params();
    std::atomic<bool> changed{false};
    m_fetcher->setAfterPart([&](const RegisterRequest &, int) {
        if (changed.exchange(true))
            return;
        Connection other(params);
        other.open();
        other.exec(change);
    });
    RegisterRequest r = request(1, sql);
    r.firstRowsAlone = statement;
    m_fetcher->submit(r);
    QTRY_VERIFY(!m_answers->all().empty() && m_answers->all().back().complete);
    QVERIFY(changed);

    const std::vector<RegisterAnswer> parts = m_answers->all();
    int firsts = 0;
    ResultSet joined;
    for (const RegisterAnswer &part : parts) {
        QVERIFY2(part.rows, qPrintable(part.error));
        if (part.first) {
            ++firsts;
            joined = ResultSet();
        }
        joined.append(std::move(*part.rows));
    }
    QCOMPARE(firsts, sentAgain ? 2 : 1);
    const ResultSet now = m_admin->query(sql);
    QCOMPARE(joined.rowCount(), now.rowCount());
    for (int row = 0; row < now.rowCount(); ++row) {
        for (int column = 0; column < now.columnCount(); ++column)
            QCOMPARE(joined.raw(row, column), now.raw(row, column));
    }
    QCOMPARE(parts.back().row, 0);
}

QTEST_MAIN(TestRegisterFetcher)
#include "tst_registerfetcher.moc"
