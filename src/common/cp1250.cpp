#include "cp1250.h"

#include <QHash>
#include <QList>
#include <QStringDecoder>
#include <QStringEncoder>

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
// lacks it. Asked once per character and thread: the clerk's text repeats the same few.
int Cp1250Byte(const QString &ch)
{
    thread_local QHash<QString, int> known;
    const auto found = known.constFind(ch);
    if (found != known.constEnd())
        return *found;
    QStringEncoder single = NewEncoder();
    const QByteArray encoded = single.encode(ch);
    const int byte = single.hasError() || encoded.size() != 1 ? -1 : int(uchar(encoded.at(0)));
    if (known.size() >= 4096) // pasted text from anywhere must not grow it without end
        known.clear();
    known.insert(ch, byte);
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
    // Slow path, only for text that holds something cp1250 lacks: encode code point by code
    // point so that the offending characters can be named.
    QString bad;
    // Named once each, compared as whole characters: a lone surrogate is also half of an emoji.
    QList<char32_t> named;
    QByteArray out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size();) {
        // A surrogate pair is one character; a lone surrogate is one on its own and must not
        // take the character after it along.
        const qsizetype len =
            (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) ? 2 : 1;
        const QString ch = text.mid(i, len);
        const int byte = Cp1250Byte(ch);
        if (byte < 0) {
            const char32_t code = len == 2 ? QChar::surrogateToUcs4(ch.at(0), ch.at(1)) : ch.at(0).unicode();
            if (!named.contains(code)) {
                named.append(code);
                bad += ch;
            }
            out += '?';
        } else {
            out += char(byte);
        }
        i += len;
    }
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
