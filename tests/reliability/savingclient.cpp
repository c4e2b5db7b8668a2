// One workstation that adds records as a clerk does: a new record of the committee and year,
// saved through the register's own save routine. Started several times at once by the tests.
//
//   orvanth_savingclient HOST PORT USER DATABASE COMMITTEE DATE COUNT LABEL STARTFILE STORE
//
// Waits until STARTFILE exists, so that every process begins together, then saves COUNT
// records with subject LABEL and prints, one line each, the number it got and 1 when another
// process had taken the number it was opened with (else 0). Any failed save
// is printed to stderr and makes the exit code 1.

#include "db/connection.h"
#include "register/resolutionsave.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>
#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 11) {
        std::fprintf(stderr, "usage: %s HOST PORT USER DATABASE COMMITTEE DATE COUNT LABEL STARTFILE STORE\n",
                     argv[0]);
        return 2;
    }
    ConnectionParams params;
    params.host = args.at(1);
    params.port = args.at(2).toInt();
    params.user = args.at(3);
    params.database = args.at(4);
    const int committee = args.at(5).toInt();
    const QDate date = QDate::fromString(args.at(6), Qt::ISODate);
    const int count = args.at(7).toInt();
    const QString label = args.at(8);
    const QString startFile = args.at(9);
    const QString store = args.at(10);

    int failures = 0;
    try {
        Connection con(params);
        con.open();
        QElapsedTimer waiting;
        waiting.start();
        while (!QFile::exists(startFile)) {
            if (waiting.elapsed() > 60000) {
                std::fprintf(stderr, "no start signal\n");
                return 2;
            }
            QThread::msleep(1);
        }
        for (int i = 0; i < count; ++i) {
            const Resolution loaded = NewResolutionRecord(con, committee, date);
            Resolution edited = loaded;
            edited.subject = label;
            edited.text = u"%1 / %2"_s.arg(label).arg(i + 1);
            const SaveResult saved = SaveResolution(con, loaded, edited, store);
            if (saved.ok) {
                std::printf("%d %d\n", saved.number, saved.renumbered ? 1 : 0);
            } else {
                std::fprintf(stderr, "save %d: %s\n", i + 1, qPrintable(saved.error));
                ++failures;
            }
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    std::fflush(stdout);
    return failures ? 1 : 0;
}
