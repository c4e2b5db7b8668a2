#pragma once

#include <QByteArray>
#include <QString>
#include <cstdio>
#include <cstdlib>

// A property the target checks on every input. A failure prints what did not hold and aborts,
// so libFuzzer saves the input as a crash file like any other fault.
[[noreturn]] inline void FuzzCheckFailed(const char *condition, const char *file, int line)
{
    std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, condition);
    std::abort();
}

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            FuzzCheckFailed(#condition, __FILE__, __LINE__);                                                 \
    } while (false)

// The input as text whose characters are any UTF-16 code unit (lone surrogates included): pairs
// of bytes, low byte first.
inline QString FuzzUtf16(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size() / 2);
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text += QChar(char16_t(quint8(bytes.at(i)) | (quint8(bytes.at(i + 1)) << 8)));
    return text;
}

// Blanks and tabs cut from both ends, as the settings file reads names and values.
inline QString TrimBlanks(const QString &s)
{
    qsizetype from = 0;
    qsizetype to = s.size();
    while (from < to && (s.at(from) == u' ' || s.at(from) == u'\t'))
        ++from;
    while (to > from && (s.at(to - 1) == u' ' || s.at(to - 1) == u'\t'))
        --to;
    return s.mid(from, to - from);
}
