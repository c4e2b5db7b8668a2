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

    // The lines that can carry a statement.
    QStringList content;
    for (const QString &line : lines) {
        const QString t = line.trimmed();
        if (!t.isEmpty() && !t.startsWith(QStringLiteral("delimiter")))
            content.append(t);
    }
    FUZZ_CHECK(statements.size() <= content.size());

    // Every statement is a run of those lines in script order, the last one without its
    // delimiter: no line is made up, reordered or shared between two statements.
    qsizetype next = 0;
    for (const QString &statement : statements) {
        FUZZ_CHECK(!statement.isEmpty());
        const QStringList parts = statement.split(QStringLiteral("\r\n"));
        bool found = false;
        for (qsizetype at = next; !found && at + parts.size() <= content.size(); ++at) {
            bool same = true;
            for (qsizetype i = 0; same && i < parts.size(); ++i) {
                const QString &line = content.at(at + i);
                same = i + 1 < parts.size() ? line == parts.at(i) : line.startsWith(parts.at(i));
            }
            if (same) {
                next = at + parts.size();
                found = true;
            }
        }
        FUZZ_CHECK(found);
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
