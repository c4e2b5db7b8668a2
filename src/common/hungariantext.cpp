#include "hungariantext.h"

#include "cp1250.h"

#include <QString>
#include <array>

namespace hungariantext {

// Upper-case form of each code page 1250 byte (the byte itself when it has none), for the
// case-blind replacements.
const std::array<unsigned char, 256> &upperCp1250()
{
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int b = 0; b < 256; ++b) {
            t[b] = static_cast<unsigned char>(b);
            const QString ch = FromCp1250(QByteArray(1, char(b)));
            const QString up = ch.toUpper();
            if (up != ch && up.size() == 1) {
                QString unmappable;
                const QByteArray back = ToCp1250(up, &unmappable);
                if (unmappable.isEmpty() && back.size() == 1)
                    t[b] = static_cast<unsigned char>(back.at(0));
            }
        }
        return t;
    }();
    return table;
}

// Every non-overlapping occurrence of the two bytes `a b`, from the left, letter case ignored.
void replacePairIgnoreCase(QByteArray &bytes, unsigned char a, unsigned char b, const QByteArray &with)
{
    const auto &up = upperCp1250();
    QByteArray out;
    out.reserve(bytes.size());
    qsizetype i = 0;
    while (i < bytes.size()) {
        if (i + 1 < bytes.size() && up[static_cast<unsigned char>(bytes.at(i))] == up[a] &&
            up[static_cast<unsigned char>(bytes.at(i + 1))] == up[b]) {
            out += with;
            i += 2;
        } else {
            out += bytes.at(i);
            ++i;
        }
    }
    bytes = out;
}

// The second byte of a Hungarian letter after the lead byte C3 (C5 having become C3) and its
// code page 1250 byte; 0 for bytes that are no Hungarian letter.
unsigned char hungarianLetter(unsigned char second)
{
    switch (second) {
    case 0xA1: return 0xE1; // á
    case 0xA9: return 0xE9; // é
    case 0xAD: return 0xED; // í
    case 0xB3: return 0xF3; // ó
    case 0xB6: return 0xF6; // ö
    case 0xB5: return 0xF5; // ő
    case 0x91: return 0xF5; // ő
    case 0xBA: return 0xFA; // ú
    case 0xBC: return 0xFC; // ü
    case 0xBB: return 0xFB; // ű
    case 0x81: return 0xC1; // Á
    case 0x89: return 0xC9; // É
    case 0x8D: return 0xCD; // Í
    case 0x93: return 0xD3; // Ó
    case 0x96: return 0xD6; // Ö
    case 0x90: return 0xD5; // Ő
    case 0x9A: return 0xDA; // Ú
    case 0x9C: return 0xDC; // Ü
    case 0xB1: return 0xDB; // Ű
    case 0xB0: return 0xDB; // Ű
    default: return 0;
    }
}

} // namespace hungariantext

QByteArray HungarianToUtf8(const QByteArray &cp1250)
{
    return FromCp1250(cp1250).toUtf8();
}

QByteArray Utf8ToHungarian(const QByteArray &utf8)
{
    QByteArray b = utf8;
    hungariantext::replacePairIgnoreCase(b, 0xC5, 0xB1, QByteArray(1, char(0xFB))); // ű
    hungariantext::replacePairIgnoreCase(b, 0xC2, 0xAE, QByteArray());              // ®
    hungariantext::replacePairIgnoreCase(b, 0xE2, 0x84, QByteArray());              // letter-like symbols
    b.replace(char(0xC5), char(0xC3));

    const auto at = [&b](qsizetype i) { return static_cast<unsigned char>(b.at(i)); };
    // From the next-to-last byte backwards (0-based index i). A combining acute accent (CC 81)
    // after a, e or i is folded into the letter, except when it ends the text: the walk never
    // looks at the last byte, so the accent is dropped there and the plain letter stays.
    for (qsizetype i = b.size() - 2; i >= 0; --i) {
        if (at(i) == 0xC3) {
            if (const unsigned char letter = hungariantext::hungarianLetter(at(i + 1)))
                b[i + 1] = char(letter);
        }
        if (i >= 2 && at(i) == 0x81 && at(i - 1) == 0xCC) {
            switch (at(i - 2)) {
            case 'a': b[i - 2] = char(0xE1); break;
            case 'e': b[i - 2] = char(0xE9); break;
            case 'i': b[i - 2] = char(0xED); break;
            default: break;
            }
        }
    }
    b.removeIf([](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u == 0xC3 || u == 0xCC || u == 0x81;
    });
    return b;
}
