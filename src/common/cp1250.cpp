#include "cp1250.h"

#include <QHash>
#include <QSet>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QVarLengthArray>
#include <algorithm>
#include <memory>

QString FromCp1250(QByteArrayView bytes)
{
    // Opening the converter costs more than decoding a field; a single-byte code page keeps no
    // state between calls, so one decoder per thread serves every call.
    thread_local QStringDecoder decoder("windows-1250", QStringConverter::Flag::Stateless);
    return decoder.decode(bytes);
}

namespace {

QStringEncoder NewEncoder()
{
    return QStringEncoder("windows-1250", QStringConverter::Flag::Stateless);
}

// The single byte for one character (a lone UTF-16 unit or a surrogate pair), or -1 when cp1250
// lacks it, as a fresh encoder says (a converter's error flag stays up once raised). Opening one
// costs far more than a lookup, so each thread keeps the answers: for every UTF-16 unit, and for
// the surrogate pairs up to a bound, since pasted text from anywhere must not grow it without end.
int Cp1250Byte(QStringView ch)
{
    constexpr qint16 NotAsked = -2;
    thread_local std::unique_ptr<qint16[]> units;
    thread_local QHash<char32_t, qint16> pairs;
    qint16 *slot = nullptr;
    char32_t pair = 0;
    if (ch.size() == 1) {
        if (!units) {
            units.reset(new qint16[0x10000]);
            std::fill_n(units.get(), 0x10000, NotAsked);
        }
        slot = &units[ch.at(0).unicode()];
        if (*slot != NotAsked)
            return *slot;
    } else {
        pair = QChar::surrogateToUcs4(ch.at(0), ch.at(1));
        const auto found = pairs.constFind(pair);
        if (found != pairs.constEnd())
            return *found;
    }
    QStringEncoder single = NewEncoder();
    const QByteArray encoded = single.encode(ch);
    const int byte = single.hasError() || encoded.size() != 1 ? -1 : int(uchar(encoded.at(0)));
    if (slot) {
        *slot = qint16(byte);
    } else {
        if (pairs.size() >= 4096)
            pairs.clear();
        pairs.insert(pair, qint16(byte));
    }
    return byte;
}

} // namespace

QByteArray ToCp1250(const QString &text, QString *unmappable)
{
    // Opening the converter costs more than encoding a field, so each thread keeps one; its
    // error flag tells about the last call only.
    thread_local QStringEncoder encoder = NewEncoder();
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError() || text.isEmpty()) {
        if (unmappable)
            unmappable->clear();
        return bytes;
    }
    // Slow path, only for text that holds something cp1250 lacks: encode character by character
    // so that the offending characters can be named.
    QString bad;
    // Named once each, compared as whole characters: a lone surrogate is also half of an emoji.
    // A few are looked up in a short list, more in a set.
    QVarLengthArray<char32_t, 16> namedFew;
    QSet<char32_t> namedMany;
    const auto firstTime = [&](char32_t code) {
        if (namedMany.isEmpty()) {
            if (std::find(namedFew.cbegin(), namedFew.cend(), code) != namedFew.cend())
                return false;
            if (namedFew.size() < 16) {
                namedFew.append(code);
                return true;
            }
            namedMany = QSet<char32_t>(namedFew.cbegin(), namedFew.cend());
        }
        if (namedMany.contains(code))
            return false;
        namedMany.insert(code);
        return true;
    };
    QByteArray out(text.size(), Qt::Uninitialized);
    qsizetype written = 0;
    for (qsizetype i = 0; i < text.size();) {
        // A surrogate pair is one character; a lone surrogate is one on its own and must not
        // take the character after it along.
        const qsizetype len =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const QStringView ch = QStringView(text).sliced(i, len);
        const int byte = Cp1250Byte(ch);
        if (byte < 0) {
            if (firstTime(len == 2 ? QChar::surrogateToUcs4(ch.at(0), ch.at(1)) : ch.at(0).unicode()))
                bad += ch;
            out[written++] = '?';
        } else {
            out[written++] = char(byte);
        }
        i += len;
    }
    out.truncate(written);
    if (unmappable)
        *unmappable = bad;
    return out;
}

QString UnmappableCp1250Chars(const QString &text)
{
    QString bad;
    ToCp1250(text, &bad);
    return bad;
}
