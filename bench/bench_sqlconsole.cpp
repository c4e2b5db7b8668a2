// The SQL console with a large register, each figure against a yardstick of the same run:
//
//   bench-sqlconsole --port P --socket S --database D [--runs N]
//
// - SELECT * FROM vw_iktato run in query mode until the grid has painted its first rows, against
//   the mariadb client fetching the same SELECT; resident memory against the result's bytes;
// - the program's own backup script of the database, opened in the editor and run in script
//   mode, against `mariadb < file` (both restore the same database over itself; run once).

#include "db/resultset.h"
#include "app/setup.h"
#include "benchclient.h"
#include "db/backupscript.h"
#include "db/connection.h"
#include "gui/messagebox.h"
#include "sqlconsole/frm_sql.h"
#include "sqlconsole/sqleditor.h"
#include "sqlconsole/sqlfiles.h"

#include <QAction>
#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTableView>
#include <QTemporaryDir>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

double ElapsedMs(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

// F5 as the user presses it; fails the benchmark when a box says something went wrong.
void RunInConsole(Tfrm_SQL &window, const QString &expectedStart)
{
    MessageBoxRecorder boxes;
    window.action(Tfrm_SQL::Run)->trigger();
    // The run goes on off the window's thread; its parts and its end come as events.
    while (window.isRunning())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    const QString said = boxes.texts().join(u' ');
    if (expectedStart.isEmpty() ? boxes.count() != 0 : !said.startsWith(expectedStart))
        qFatal("the console said: %s", qPrintable(said));
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    KeepLargeBlocksMapped();
    QApplication app(argc, argv);
    SetUpApplication(app);
    QCommandLineParser parser;
    AddServerOptions(parser, 3);
    parser.process(app);
    const BenchServer server = ServerOptions(parser);
    const MariadbClient client = server.client();
    const int runs = server.runs;
    Connection con(server.params());
    con.open();

    Tfrm_SQL window(con.params());
    window.resize(1000, 700);
    window.show();
    QCoreApplication::processEvents();

    // Query mode: the view until its first rows are painted, memory from the first run (the
    // process has held no big result before it).
    const QString select = u"SELECT * FROM vw_iktato"_s;
    window.editor()->setText(select);
    QList<double> queryMs;
    double residentMb = 0;
    double resultMb = 0;
    int rows = 0;
    for (int i = 0; i < runs; ++i) {
        const long before = ResidentKb();
        QElapsedTimer t;
        t.start();
        RunInConsole(window, QString());
        window.grid()->viewport()->repaint();
        queryMs.append(ElapsedMs(t));
        if (i == 0) {
            residentMb = double(ResidentKb() - before) / 1024.0;
            resultMb = double(window.query().result().dataBytes()) / (1024.0 * 1024.0);
            rows = window.query().rowCount();
        }
    }
    const double queryClient = client.ms(select, runs);

    // Script mode: the backup script written by the program.
    QTemporaryDir folder;
    const QString script = folder.filePath(u"mentes.sql"_s);
    WriteBackupScript(con, script);
    QElapsedTimer t;
    t.start();
    const QString text = ReadSqlFile(script);
    const double readMs = ElapsedMs(t);
    t.restart();
    window.editor()->setText(text);
    const double loadMs = ElapsedMs(t);
    t.restart();
    RunInConsole(window, u"SQL futtatás kész."_s);
    const double scriptMs = ElapsedMs(t);
    const double scriptClient = client.fileMs(script);

    std::printf("SQL console benchmark: %d records in vw_iktato, backup script %.1f MB\n", rows,
                double(QFileInfo(script).size()) / (1024.0 * 1024.0));
    std::printf(
        "  SELECT * FROM vw_iktato, grid painted: %8.1f ms   client %8.1f ms   ratio %.2f  (target <= 1.0, "
        "median of %d)\n",
        Median(queryMs), queryClient, Median(queryMs) / queryClient, runs);
    std::printf("    resident growth %.1f MB, result %.1f MB, ratio %.2f  (target <= 1.5)\n", residentMb,
                resultMb, residentMb / resultMb);
    std::printf(
        "  backup script in script mode         : %8.1f ms   mariadb < file %8.1f ms   ratio %.2f  (target "
        "<= 1.0)\n",
        scriptMs, scriptClient, scriptMs / scriptClient);
    std::printf("    (opening the file: reading and decoding %.1f ms, into the editor %.1f ms)\n", readMs,
                loadMs);
    window.hide();
    return 0;
}
