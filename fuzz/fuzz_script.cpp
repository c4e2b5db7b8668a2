// The SQL script reader with "delimiter" lines, fed the lines of a script with their own line
// breaks, as the console feeds them.

#include "common/cp1250.h"
#include "db/script.h"
#include "fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString script = FromCp1250(QByteArrayView(data, qsizetype(size)));
    // The lines as the console gives them: each with its own line break (LF, CR LF or CR).
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < script.size(); ++i) {
        if (script[i] != u'\n' && script[i] != u'\r')
            continue;
        if (script[i] == u'\r' && i + 1 < script.size() && script[i + 1] == u'\n')
            ++i;
        lines.append(script.mid(start, i + 1 - start));
        start = i + 1;
    }
    if (start < script.size())
        lines.append(script.mid(start));
    const QStringList statements = SplitScript(lines);

    // Every statement is a piece of the script as written, in script order: no byte is made up,
    // rewritten, reordered or shared between two statements.
    const QString &joined = script;
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
