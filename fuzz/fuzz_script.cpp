// The SQL script reader with "delimiter" lines.

#include "common/cp1250.h"
#include "db/script.h"
#include "fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString script = FromCp1250(QByteArrayView(data, qsizetype(size)));
    QStringList lines = script.split(u'\n');
    for (QString &line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    const QStringList statements = SplitScript(lines);

    // Every statement is a piece of the script as written, in script order: no byte is made up,
    // rewritten, reordered or shared between two statements.
    const QString joined = lines.join(u'\n');
    qsizetype next = 0;
    for (const QString &statement : statements) {
        FUZZ_CHECK(!statement.isEmpty());
        const qsizetype at = joined.indexOf(statement, next);
        FUZZ_CHECK(at >= 0);
        next = at + statement.size();
    }

    // Fed line by line, the reader gives the same statements.
    ScriptReader reader;
    QStringList fed;
    for (const QString &line : lines) {
        const QString statement = reader.feed(line);
        if (!statement.isEmpty())
            fed.append(statement);
    }
    FUZZ_CHECK(fed == statements);
    return 0;
}
