// Connection profiles: the scrambled text as the settings file holds it, and the six fields.

#include "common/cp1250.h"
#include "config/conprofile.h"
#include "fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // Whatever is stored decodes to a profile whose text gives the same profile again.
    const QString plain = DecodeConStr(FromCp1250(bytes));
    const ConnectionProfile profile = ConnectionProfile::fromText(plain);
    FUZZ_CHECK(ConnectionProfile::fromText(profile.toText()) == profile);
    FUZZ_CHECK(ConnectionProfile::fromText(profile.toText(true)) == profile);
    if (const auto port = profile.portNumber())
        FUZZ_CHECK(*port >= 0 && *port <= 65535);

    // Any code page 1250 text scrambled, written into the settings file, read back and
    // unscrambled is the same text, whatever fillers were drawn.
    const QString text = FromCp1250(bytes);
    qsizetype next = 0;
    const auto filler = [&] {
        const char c = bytes.isEmpty() ? 'A' : char('!' + quint8(bytes.at(next++ % bytes.size())) % 55);
        return c;
    };
    const QString stored = EncodeConStr(text, filler);
    FUZZ_CHECK(DecodeConStr(stored) == text);
    IniDocument doc = IniDocument::fromBytes("[Adatbazis]\r\nConStr1=x\r\n");
    doc.setValue(ConnectionProfileSection(), ConnectionProfileKey(2), stored);
    const IniDocument reread = IniDocument::fromBytes(doc.toBytes());
    FUZZ_CHECK(reread.value(ConnectionProfileSection(), ConnectionProfileKey(2)) == stored);
    FUZZ_CHECK(reread.value(ConnectionProfileSection(), ConnectionProfileKey(1)) == QStringLiteral("x"));
    return 0;
}
