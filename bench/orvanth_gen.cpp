// orvanth-gen: writes a generated register as a UTF-8 SQL script, or inserts it into a database.
//   orvanth-gen --count 300 --seed 7 --output sql/demo.sql
//   orvanth-gen --count 100000 --host 127.0.0.1 --port 3306 --user root --database orvanth

#include "db/connection.h"
#include "db/dberror.h"
#include "registergenerator.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

[[noreturn]] void Fail(const QString &message)
{
    std::fprintf(stderr, "orvanth-gen: %s\n", qPrintable(message));
    std::exit(1);
}

int IntOption(const QCommandLineParser &parser, const QString &name)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok)
        Fail(u"--%1 needs a whole number, not \"%2\""_s.arg(name, parser.value(name)));
    return value;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"orvanth-gen"_s);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Generates a believable register of resolutions. Give --output for a UTF-8 SQL script "
        "(load it after schema.sql with a utf8mb4 client), or --database to insert through a "
        "latin2 connection into a database made from schema.sql."_s);
    parser.addHelpOption();
    parser.addOptions({
        {u"count"_s, u"Number of records."_s, u"n"_s, u"300"_s},
        {u"seed"_s, u"Seed: the same seed gives the same register."_s, u"n"_s, u"1"_s},
        {u"from"_s, u"First year."_s, u"year"_s, u"2019"_s},
        {u"to"_s, u"Last year."_s, u"year"_s, u"2026"_s},
        {u"until"_s, u"Last date of a record (yyyy-mm-dd); default 31 December of the last year."_s,
         u"date"_s},
        {u"committees"_s, u"Number of committees (1-10)."_s, u"n"_s, u"7"_s},
        {u"chunk"_s, u"Records per INSERT statement."_s, u"n"_s, u"500"_s},
        {{u"o"_s, u"output"_s},
         u"Write a UTF-8 SQL script to this file (- for standard output)."_s,
         u"file"_s},
        {u"host"_s, u"Database server host."_s, u"host"_s, u"127.0.0.1"_s},
        {u"port"_s, u"Database server port."_s, u"port"_s, u"3306"_s},
        {u"user"_s, u"Database user."_s, u"user"_s, u"root"_s},
        {u"password"_s, u"Database password (also read from ORVANTH_GEN_PASSWORD)."_s, u"password"_s},
        {u"database"_s, u"Insert into this database (made from schema.sql, with an empty register)."_s,
         u"name"_s},
    });
    parser.process(app);

    GeneratorOptions options;
    options.records = IntOption(parser, u"count"_s);
    options.seed = quint32(parser.value(u"seed"_s).toUInt());
    options.firstYear = IntOption(parser, u"from"_s);
    options.lastYear = IntOption(parser, u"to"_s);
    options.committees = IntOption(parser, u"committees"_s);
    options.chunkRows = IntOption(parser, u"chunk"_s);
    if (parser.isSet(u"until"_s)) {
        options.until = QDate::fromString(parser.value(u"until"_s), Qt::ISODate);
        if (!options.until.isValid())
            Fail(u"--until needs a date as yyyy-mm-dd"_s);
    }
    if (options.records < 0 || options.lastYear < options.firstYear)
        Fail(u"nothing to generate: check --count, --from and --to"_s);
    if (parser.isSet(u"output"_s) == parser.isSet(u"database"_s))
        Fail(u"give either --output or --database (see --help)"_s);

    QElapsedTimer timer;
    timer.start();
    if (parser.isSet(u"output"_s)) {
        const QString path = parser.value(u"output"_s);
        if (path == u"-"_s) {
            QFile out;
            if (!out.open(stdout, QIODevice::WriteOnly))
                Fail(u"cannot write to standard output"_s);
            WriteRegisterSql(options, out);
        } else {
            QString error;
            if (!WriteRegisterSqlFile(options, path, &error))
                Fail(u"cannot write %1: %2"_s.arg(path, error));
        }
        std::fprintf(stderr, "%d records written in %.1f s\n", options.records, timer.elapsed() / 1000.0);
        return 0;
    }

    ConnectionParams params;
    params.host = parser.value(u"host"_s);
    params.port = IntOption(parser, u"port"_s);
    params.user = parser.value(u"user"_s);
    params.password = parser.isSet(u"password"_s) ? parser.value(u"password"_s)
                                                  : qEnvironmentVariable("ORVANTH_GEN_PASSWORD");
    params.database = parser.value(u"database"_s);
    try {
        Connection connection(params);
        connection.open();
        InsertRegister(options, connection, [&](int done) { std::fprintf(stderr, "\r%d records", done); });
        std::fprintf(stderr, "\n%d records inserted into %s in %.1f s\n", options.records,
                     qPrintable(params.database), timer.elapsed() / 1000.0);
    } catch (const DbError &e) {
        Fail(e.message());
    }
    return 0;
}
