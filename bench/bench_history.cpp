// The change history on a large register:
//
//   bench-history --port P --socket S --database D [--runs N]
//
// - a save of an existing record (subject and text changed) with the history triggers against
//   the same save without them, alternating, medians of the runs;
// - "Változások" of a record with 1,000 changes: from the action to the window shown and painted;
// - "Változások időszakra" over 100,000 changes: the longest stall of the window's event loop
//   while the rows arrive, and the time until they are in.
// The database is extended by the benchmark (its triggers are dropped and made again between runs).

#include "benchclient.h"
#include "db/connection.h"
#include "db/dbroutines.h"
#include "history/changehistory.h"
#include "history/frm_valtozasok.h"
#include "history/frm_valtozasok_idoszak.h"
#include "register/resolutionrecord.h"
#include "register/resolutionsave.h"
#include "schema/schemaupgrade.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QTableView>
#include <QTimer>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// Milliseconds per save of `count` records from `firstId` on, each changing its subject and text.
double saveMs(Connection &con, const QList<int> &ids, int round)
{
    QElapsedTimer t;
    t.start();
    for (int id : ids) {
        const Resolution loaded = *LoadResolution(con, id);
        Resolution edited = loaded;
        edited.subject = u"Mérés %1"_s.arg(round);
        edited.text = loaded.text + u" módosítva"_s;
        const SaveResult saved = SaveResolution(con, loaded, edited, QString());
        if (!saved.ok)
            qFatal("save failed: %s", qPrintable(saved.error));
    }
    return msSince(t) / double(ids.size());
}

void dropTriggers(Connection &con)
{
    for (const char16_t *name : {u"iktato_naplo_ai", u"iktato_naplo_au", u"iktato_naplo_ad"})
        con.exec(u"DROP TRIGGER IF EXISTS "_s + QString::fromUtf16(name));
}

void upgrade(Connection &con)
{
    const UpgradeResult result = UpgradeDatabase(con);
    if (!result.ok)
        qFatal("upgrade failed: %s", qPrintable(result.error));
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    AddServerOptions(parser, 5);
    parser.process(app);
    const BenchServer server = ServerOptions(parser);
    Connection con(server.params());
    con.open();
    upgrade(con);

    // Saves with and without the triggers, alternating, on records spread over the register.
    QList<int> ids;
    const ResultSet rs = con.query(u"SELECT iktato FROM iktato ORDER BY iktato LIMIT 200"_s);
    for (int row = 0; row < rs.rowCount(); ++row)
        ids.append(rs.value(row, 0).toInt());
    QList<double> without, with;
    for (int round = 0; round < server.runs; ++round) {
        dropTriggers(con);
        without.append(saveMs(con, ids, 2 * round));
        upgrade(con);
        with.append(saveMs(con, ids, 2 * round + 1));
    }
    const double plain = Median(without), recorded = Median(with);
    std::printf("save of one record: %.2f ms without history, %.2f ms with it: %.2f x (limit 1.2)\n", plain,
                recorded, recorded / plain);

    // A record with a thousand changes of its text.
    const int record = ids.constFirst();
    con.exec(u"INSERT INTO iktato_naplo (iktato, muvelet, mezo, regi, uj, mikor, kliens) "
             "SELECT %1, 'U', 'hatarozat', REPEAT('Régi szöveg ', 40 + seq % 7), REPEAT('Új szöveg ', 40 + seq % 5), "
             "NOW() - INTERVAL seq MINUTE, 'gep@10.0.0.1' FROM seq_1_to_1000"_s.arg(record));
    QList<double> opens;
    for (int run = 0; run < server.runs; ++run) {
        QElapsedTimer t;
        t.start();
        Tfrm_Valtozasok form;
        form.setRows(RecordChanges(con, record));
        form.show();
        form.grid()->viewport()->repaint();
        QCoreApplication::processEvents();
        opens.append(msSince(t));
    }
    std::printf("history window of a record with 1,000 changes: %.1f ms to show (limit 100)\n", Median(opens));

    // A period of 100,000 changes.
    con.exec(u"INSERT INTO iktato_naplo (iktato, muvelet, mezo, regi, uj, mikor, kliens) "
             "SELECT 1 + seq % 1000, IF(seq % 50 = 0, 'D', 'U'), 'targy', CONCAT('Régi tárgy ', seq), "
             "CONCAT('Új tárgy ', seq), NOW() - INTERVAL seq SECOND, 'gep@10.0.0.2' FROM seq_1_to_100000"_s);
    const QDate today = QDate::currentDate();
    Tfrm_ValtozasokIdoszak period(server.params(), today.addDays(-30), today);
    period.show();
    QElapsedTimer sinceTick;
    double longestStall = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestStall = std::max(longestStall, msSince(sinceTick));
        sinceTick.restart();
    });
    bool loaded = false;
    QElapsedTimer total;
    total.start();
    sinceTick.start();
    ticker.start();
    period.load([&] { loaded = true; });
    while (!loaded)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    const double loadMs = msSince(total);
    // The first screenful painted after the rows came.
    sinceTick.restart();
    period.grid()->viewport()->repaint();
    QCoreApplication::processEvents();
    longestStall = std::max(longestStall, msSince(sinceTick));
    std::printf("period view of %d changes: in after %.0f ms, longest stall of the window %.1f ms (limit 50)\n",
                period.rows().rowCount(), loadMs, longestStall);
    return 0;
}
