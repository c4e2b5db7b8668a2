// The one converter between code page 1250 bytes and text.

#include "common/cp1250.h"
#include "fuzzcheck.h"

#include <QSet>
#include <QStringList>

namespace {

qsizetype CodePoints(const QString &text)
{
    qsizetype n = 0;
    for (qsizetype i = 0; i < text.size(); ++i, ++n) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
    }
    return n;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // Every byte string, the five undefined bytes included, comes back unchanged.
    const QString decoded = FromCp1250(bytes);
    FUZZ_CHECK(decoded.size() == bytes.size());
    QString unmappable;
    FUZZ_CHECK(ToCp1250(decoded, &unmappable) == bytes);
    FUZZ_CHECK(unmappable.isEmpty());

    // Any text: one byte per character, what cannot be stored is named (each once) and nothing
    // is replaced without saying so.
    const QString text = FuzzUtf16(bytes);
    const QByteArray encoded = ToCp1250(text, &unmappable);
    FUZZ_CHECK(encoded.size() == CodePoints(text));
    FUZZ_CHECK(UnmappableCp1250Chars(text) == unmappable);
    if (unmappable.isEmpty()) {
        FUZZ_CHECK(FromCp1250(encoded) == text);
        return 0;
    }
    // Named: each character that cannot be stored on its own, once, in order of appearance.
    QSet<char32_t> named;
    QString expected;
    QString rest;
    QString alone;
    for (qsizetype i = 0; i < text.size();) {
        // A surrogate pair is one character, a lone surrogate one of its own.
        const qsizetype len =
            text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate() ? 2 : 1;
        const QString ch = QString::fromRawData(text.constData() + i, len);
        const char32_t code = len == 2 ? QChar::surrogateToUcs4(ch.at(0), ch.at(1)) : ch.at(0).unicode();
        i += len;
        ToCp1250(ch, &alone);
        if (alone.isEmpty()) {
            rest += ch;
        } else if (!named.contains(code)) {
            FUZZ_CHECK(alone == ch);
            named.insert(code);
            expected += ch;
        }
    }
    FUZZ_CHECK(unmappable == expected);
    // The characters that can be stored are stored as themselves.
    QString restUnmappable;
    const QByteArray restEncoded = ToCp1250(rest, &restUnmappable);
    FUZZ_CHECK(restUnmappable.isEmpty());
    FUZZ_CHECK(FromCp1250(restEncoded) == rest);
    return 0;
}
