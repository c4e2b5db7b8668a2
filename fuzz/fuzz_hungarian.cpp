// Text between code page 1250 and the UTF-8 of the notices web service.

#include "common/cp1250.h"
#include "common/hungariantext.h"
#include "fuzzcheck.h"

#include <iterator>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray in(reinterpret_cast<const char *>(data), qsizetype(size));

    const QByteArray hungarian = Utf8ToHungarian(in);
    FUZZ_CHECK(hungarian.size() <= in.size());
    bool ascii = true;
    for (const char c : in)
        ascii = ascii && quint8(c) < 0x80;
    if (ascii)
        FUZZ_CHECK(hungarian == in);

    // Any code page 1250 bytes become UTF-8 that reads as the same text.
    const QByteArray utf8 = HungarianToUtf8(in);
    FUZZ_CHECK(QString::fromUtf8(utf8) == FromCp1250(in));
    FUZZ_CHECK(QString::fromUtf8(utf8).toUtf8() == utf8);

    // Hungarian text (ASCII and the eighteen accented letters) survives the trip to the web
    // service and back.
    static const quint8 letters[] = {0xE1, 0xE9, 0xED, 0xF3, 0xF6, 0xF5, 0xFA, 0xFC, 0xFB,
                                     0xC1, 0xC9, 0xCD, 0xD3, 0xD6, 0xD5, 0xDA, 0xDC, 0xDB};
    QByteArray text;
    for (const char c : in)
        text += quint8(c) < 0x80 ? c : char(letters[quint8(c) % std::size(letters)]);
    FUZZ_CHECK(Utf8ToHungarian(HungarianToUtf8(text)) == text);
    return 0;
}
