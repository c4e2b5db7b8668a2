#pragma once

#include <QList>
#include <QString>

// What the benchmarks share: medians, the mariadb command-line client as the yardstick, and the
// process's resident memory.

double Median(QList<double> values);

// The mariadb command-line client on the benchmark's server: the statement goes in on standard
// input as the cp1250 bytes this program sends, over the same compressed latin2 protocol, in
// batch mode (tab-separated rows, as `mariadb -B`).
class MariadbClient
{
public:
    MariadbClient(QString socket, QString database);

    // Wall time of one run, in milliseconds; its output goes to `outputFile` (discarded when empty).
    double runOnce(const QString &sql, const QString &outputFile = {}) const;
    // Milliseconds the client needs for the statement beyond its own start-up and log-in (the
    // same client running "DO 0"): the median of `runs` runs.
    double ms(const QString &sql, int runs, const QString &outputFile = {}) const;
    // Wall time of the client reading a script file on its standard input (`mariadb < file`), in
    // milliseconds, less its own start-up and log-in.
    double fileMs(const QString &path) const;

private:
    QString m_socket;
    QString m_database;
};

// VmRSS of this process in kB.
long ResidentKb();

class QCommandLineParser;
struct ConnectionParams;

// The options every benchmark takes: the server's --port, its --socket for the command-line
// client, the --database and the --runs per figure.
void AddServerOptions(QCommandLineParser &parser, int defaultRuns);

struct BenchServer
{
    int port = 0;
    QString socket;
    QString database;
    int runs = 1;

    // Root over TCP on 127.0.0.1, as a workstation connects.
    ConnectionParams params() const;
    MariadbClient client() const { return MariadbClient(socket, database); }
};
// The values of those options, once the parser has processed the arguments.
BenchServer ServerOptions(const QCommandLineParser &parser);
