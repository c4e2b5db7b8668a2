// The n-th field of a text with a set of separator characters.

#include "common/text.h"
#include "fuzzcheck.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const int n = input.ConsumeIntegralInRange<int>(-2, 40);
    const std::string sepBytes = input.ConsumeRandomLengthString(8);
    const QString separators = FuzzUtf16(QByteArray(sepBytes.data(), qsizetype(sepBytes.size())));
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QString text = FuzzUtf16(QByteArray(rest.data(), qsizetype(rest.size())));

    const QString field = SplitField(separators, text, n);
    if (n < 1)
        FUZZ_CHECK(field.isEmpty());
    for (const QChar c : field)
        FUZZ_CHECK(!separators.contains(c));

    // The fields and the separators between them make up the whole text.
    qsizetype separatorCount = 0;
    for (const QChar c : text)
        separatorCount += separators.contains(c) ? 1 : 0;
    if (separatorCount > 1000)
        return 0; // the loop below is quadratic
    QStringList fields;
    qsizetype length = separatorCount;
    for (int i = 1; i <= separatorCount + 1; ++i) {
        fields.append(SplitField(separators, text, i));
        length += fields.last().size();
    }
    FUZZ_CHECK(length == text.size());
    FUZZ_CHECK(SplitField(separators, text, int(separatorCount) + 2).isEmpty());
    if (n >= 1 && n <= separatorCount + 1)
        FUZZ_CHECK(fields.at(n - 1) == field);
    // With one separator character, joining the fields gives the text back.
    if (!separators.isEmpty() && separators.count(separators.at(0)) == separators.size())
        FUZZ_CHECK(fields.join(separators.at(0)) == text);
    return 0;
}
