#include "cp1250.h"

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

QByteArray ToCp1250(const QString &text, QString *unmappable)
{
    QStringEncoder encoder("windows-1250", QStringConverter::Flag::Stateless);
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
        QStringEncoder single("windows-1250", QStringConverter::Flag::Stateless);
        const QByteArray encoded = single.encode(ch);
        if (single.hasError() || encoded.size() != 1) {
            const char32_t code = len == 2 ? QChar::surrogateToUcs4(ch.at(0), ch.at(1)) : ch.at(0).unicode();
            if (!named.contains(code)) {
                named.append(code);
                bad += ch;
            }
            out += '?';
        } else {
            out += encoded;
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
