// The register with a large database: how long the clerk waits, compared with the mariadb
// command-line client fetching the same SELECT in the same run, and how much memory the loaded
// rows take compared with their bytes.
//
//   bench-register --port P --socket S --database D
//
// Each time is the median of several runs. The client's time is its wall time minus the wall
// time of the same client running "DO 0" (start-up and log-in), so both sides are measured from
// sending the query to holding the last row.

#include "benchclient.h"
#include "db/connection.h"
#include "register/flowtabbar.h"
#include "register/registerquery.h"
#include "register/registerview.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

QString whereSql(RegisterView &view)
{
    return view.registerQuery().query().sqlText();
}

void paint(RegisterView &view)
{
    view.grid()->viewport()->repaint();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addOption({u"port"_s, u"server port"_s, u"port"_s});
    parser.addOption({u"socket"_s, u"server socket for the command-line client"_s, u"socket"_s});
    parser.addOption({u"database"_s, u"database"_s, u"name"_s, u"orvanth"_s});
    parser.addOption({u"runs"_s, u"runs per measurement"_s, u"n"_s, u"5"_s});
    parser.process(app);
    const MariadbClient client(parser.value(u"socket"_s), parser.value(u"database"_s));
    const int runs = parser.value(u"runs"_s).toInt();

    ConnectionParams params;
    params.host = u"127.0.0.1"_s;
    params.port = parser.value(u"port"_s).toInt();
    params.database = parser.value(u"database"_s);
    Connection con(params);
    con.open();

    const long rssBefore = ResidentKb();
    QWidget window;
    auto view = new RegisterView(&con);
    auto layout = new QVBoxLayout(&window);
    layout->addWidget(view->searchEdit());
    layout->addWidget(view);
    window.resize(1280, 800);
    window.show();
    view->start();
    FlowTabBar *years = view->yearTabs();
    FlowTabBar *committees = view->committeeTabs();
    committees->setCurrentIndex(committees->count() - 1);
    const int allTab = years->count() - 1;
    const int yearTab = 1; // a full year, not the running one

    // Opening "Összes" until the first rows are painted.
    QList<double> openMs;
    QList<double> yearMs;
    for (int i = 0; i < runs; ++i) {
        years->setCurrentIndex(yearTab);
        QElapsedTimer t;
        t.start();
        years->setCurrentIndex(allTab);
        paint(*view);
        openMs.append(double(t.nsecsElapsed()) / 1e6);
        t.restart();
        years->setCurrentIndex(yearTab);
        paint(*view);
        yearMs.append(double(t.nsecsElapsed()) / 1e6);
    }
    years->setCurrentIndex(yearTab);
    const QString yearSql = whereSql(*view);
    years->setCurrentIndex(allTab);
    paint(*view);
    const QString allSql = whereSql(*view);
    const int allRows = view->registerQuery().query().rowCount();
    const qsizetype resultBytes = view->registerQuery().query().result().dataBytes();
    const long rssLoaded = ResidentKb();

    // One search keystroke on "Összes": the query and the grid updated.
    const QString typed = u"költségvetés"_s;
    QList<double> keyMs;
    QList<double> keyClientMs;
    for (int n = 1; n <= 4; ++n) {
        view->searchEdit()->clear();
        QCoreApplication::processEvents();
        QList<double> samples;
        for (int i = 0; i < runs; ++i) {
            view->searchEdit()->setText(typed.left(n - 1));
            QCoreApplication::processEvents();
            QElapsedTimer t;
            t.start();
            view->searchEdit()->setText(typed.left(n));
            QCoreApplication::processEvents();
            paint(*view);
            samples.append(double(t.nsecsElapsed()) / 1e6);
        }
        keyMs.append(Median(samples));
        keyClientMs.append(client.ms(whereSql(*view), runs));
    }

    // Typing fast: four keys queued while the program is busy give one query for the newest text.
    view->searchEdit()->clear();
    QCoreApplication::processEvents();
    int queries = 0;
    const Query &registerQuery = view->registerQuery().query();
    QObject::connect(&registerQuery, &Query::reset, [&queries, &registerQuery] {
        if (registerQuery.isOpen())
            ++queries;
    });
    for (int n = 1; n <= 4; ++n)
        view->searchEdit()->setText(typed.left(n));
    QCoreApplication::processEvents();

    QList<double> fetchMs;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer t;
        t.start();
        const ResultSet rs = con.query(allSql);
        fetchMs.append(double(t.nsecsElapsed()) / 1e6);
    }
    const double openClient = client.ms(allSql, runs);
    const double yearClient = client.ms(yearSql, runs);
    const double open = Median(openMs);
    const double year = Median(yearMs);
    const double key = Median(keyMs);
    const double keyClient = Median(keyClientMs);
    const double rssMb = double(rssLoaded - rssBefore) / 1024.0;
    const double resultMb = double(resultBytes) / (1024.0 * 1024.0);

    std::printf("Register benchmark: %d records in \"Összes\", %d runs per figure (medians)\n", allRows,
                runs);
    std::printf(
        "  open \"Összes\" until painted : %8.1f ms   client %8.1f ms   ratio %.2f  (target <= 1.0)\n", open,
        openClient, open / openClient);
    std::printf("  (of which the fetch alone    : %8.1f ms)\n", Median(fetchMs));
    std::printf("  one search keystroke         : %8.1f ms   client %8.1f ms   ratio %.2f  (target <= 1.2)\n",
                key, keyClient, key / keyClient);
    std::printf("  year tab switch              : %8.1f ms   client %8.1f ms   ratio %.2f\n", year,
                yearClient, year / yearClient);
    std::printf("  resident memory, rows loaded : %8.1f MB   result %6.1f MB   ratio %.2f  (target <= 1.5)\n",
                rssMb, resultMb, rssMb / resultMb);
    std::printf("  four keys typed at once      : %d query for the newest text\n", queries);
    std::printf("  (rows: %d; result %lld bytes)\n", allRows, (long long)resultBytes);
    return 0;
}
