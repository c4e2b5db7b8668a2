// The settings file reader from raw bytes, and one change written into what it read.

#include "common/cp1250.h"
#include "config/inifile.h"
#include "fuzzcheck.h"

#include <QStringList>
#include <algorithm>
#include <fuzzer/FuzzedDataProvider.h>
#include <limits>

namespace {

QByteArray Bytes(const std::string &s)
{
    return QByteArray(s.data(), qsizetype(s.size()));
}

// The names in the file that look like section headers, read loosely; the document decides
// which of them it knows.
QStringList SectionCandidates(const QByteArray &file)
{
    QStringList names;
    for (QByteArray line : file.split('\n')) {
        if (line.endsWith('\r'))
            line.chop(1);
        QString text = TrimBlanks(FromCp1250(line));
        if (!text.startsWith(u'['))
            continue;
        text = text.mid(1);
        const qsizetype close = text.indexOf(u']');
        if (close >= 0)
            text.truncate(close);
        names.append(TrimBlanks(text));
    }
    // A name repeated, in any letter case, finds the same section: once is enough.
    const auto less = [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    };
    std::stable_sort(names.begin(), names.end(), less);
    names.erase(std::unique(names.begin(), names.end(),
                            [](const QString &a, const QString &b) {
                                return a.compare(b, Qt::CaseInsensitive) == 0;
                            }),
                names.end());
    return names;
}

struct Entry
{
    QString section;
    QString key;
    QString value;
};

QList<Entry> Entries(const IniDocument &doc, const QStringList &sections)
{
    QList<Entry> entries;
    for (const QString &section : sections) {
        const QStringList keys = doc.keys(section);
        for (const QString &key : keys) {
            FUZZ_CHECK(doc.contains(section, key));
            const auto value = doc.value(section, key);
            FUZZ_CHECK(value.has_value());
            entries.append({section, key, *value});
        }
        // Each key once, whatever its letter case: sorted without regard to it, no two
        // neighbours are the same.
        QStringList sorted = keys;
        std::sort(sorted.begin(), sorted.end(),
                  [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
        for (qsizetype i = 1; i < sorted.size(); ++i)
            FUZZ_CHECK(sorted.at(i - 1).compare(sorted.at(i), Qt::CaseInsensitive) != 0);
    }
    return entries;
}

void CheckInteger(const QString &value)
{
    const auto n = ParseIniInteger(value);
    const QString t = value.trimmed();
    bool decimal = !t.isEmpty();
    for (qsizetype i = 0; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (!(c.isDigit() && c.unicode() < 128) && !(i == 0 && (c == u'-' || c == u'+')))
            decimal = false;
    }
    if (t.size() == 1 && !t.at(0).isDigit())
        decimal = false;
    if (decimal) {
        bool ok = false;
        const qlonglong expected = t.toLongLong(&ok);
        const bool fits =
            ok && expected >= std::numeric_limits<int>::min() && expected <= std::numeric_limits<int>::max();
        FUZZ_CHECK(n.has_value() == fits);
        if (fits)
            FUZZ_CHECK(*n == expected);
    }
    if (n)
        FUZZ_CHECK(ParseIniInteger(QString::number(*n)) == n);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const QString section = FuzzUtf16(Bytes(input.ConsumeRandomLengthString(40)));
    const QString key = FuzzUtf16(Bytes(input.ConsumeRandomLengthString(40)));
    const QString value = FuzzUtf16(Bytes(input.ConsumeRandomLengthString(80)));
    const QByteArray file = Bytes(input.ConsumeRemainingBytesAsString());

    IniDocument doc = IniDocument::fromBytes(file);
    const QByteArray written = doc.toBytes();
    FUZZ_CHECK(IniDocument::fromBytes(written).toBytes() == written);
    // A file that already ends every line with CR LF comes back byte for byte.
    if (file.isEmpty() || (file.endsWith("\r\n") && file.count('\n') == file.count("\r\n")))
        FUZZ_CHECK(written == file);

    QStringList sections = SectionCandidates(file);
    const QList<Entry> before = Entries(doc, sections);
    for (const Entry &e : before)
        CheckInteger(e.value);

    try {
        doc.setValue(section, key, value);
    } catch (const IniError &) {
        FUZZ_CHECK(doc.toBytes() == written); // a refused change leaves the document alone
        return 0;
    }
    QString oneLine = value;
    oneLine.replace(u'\r', u' ').replace(u'\n', u' ');
    const QString expected = TrimBlanks(oneLine);
    FUZZ_CHECK(doc.value(section, key) == expected);
    const IniDocument reread = IniDocument::fromBytes(doc.toBytes());
    FUZZ_CHECK(reread.value(section, key) == expected);

    // Nothing else changed.
    const QString sectionName = TrimBlanks(section);
    const auto sameName = [](const QString &a, const QString &b) {
        return a.compare(b, Qt::CaseInsensitive) == 0;
    };
    for (const Entry &e : before) {
        if (sameName(e.section, sectionName) && sameName(e.key, key))
            continue;
        FUZZ_CHECK(reread.value(e.section, e.key) == e.value);
    }

    FUZZ_CHECK(doc.remove(section, key));
    FUZZ_CHECK(!doc.contains(section, key));
    for (const Entry &e : before) {
        if (sameName(e.section, sectionName) && sameName(e.key, key))
            continue;
        FUZZ_CHECK(doc.value(e.section, e.key) == e.value);
    }
    return 0;
}
