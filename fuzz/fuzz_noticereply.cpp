// The notices web service's reply files: read as lines, then split into the version notice and
// the news item.

#include "common/text.h"
#include "fuzzcheck.h"
#include "notices/noticereply.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

// The lines of the file, counted apart from the reader: CR LF, CR and LF each end one, and
// text after the last break is one more.
qsizetype LineCount(const QByteArray &bytes)
{
    qsizetype lines = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        if (bytes.at(i) == '\r' || bytes.at(i) == '\n') {
            ++lines;
            if (bytes.at(i) == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
                ++i;
        } else if (i + 1 == bytes.size()) {
            ++lines;
        }
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const std::string dismissed = input.ConsumeRandomLengthString(24);
    const std::string own = input.ConsumeRandomLengthString(24);
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray bytes(rest.data(), qsizetype(rest.size()));

    // Every line ends in CR LF, and no other CR or LF is left.
    const QString reply = ReadNoticeReply(bytes);
    FUZZ_CHECK(reply.isEmpty() == bytes.isEmpty());
    FUZZ_CHECK(bytes.isEmpty() || reply.endsWith(u"\r\n"));
    FUZZ_CHECK(reply.count(u"\r\n") == LineCount(bytes));
    FUZZ_CHECK(reply.count(u'\r') == reply.count(u'\n'));
    for (qsizetype i = 0; i < reply.size(); ++i) {
        if (reply.at(i) == u'\r')
            FUZZ_CHECK(i + 1 < reply.size() && reply.at(i + 1) == u'\n');
    }

    const QString dismissedVersion = QString::fromLatin1(dismissed.data(), qsizetype(dismissed.size()));
    const QString ownVersion = QString::fromLatin1(own.data(), qsizetype(own.size()));
    if (const auto notice = VersionNoticeFrom(reply, dismissedVersion, ownVersion)) {
        FUZZ_CHECK(BuildNumber(notice->version) > BuildNumber(dismissedVersion));
        FUZZ_CHECK(BuildNumber(notice->version) > BuildNumber(ownVersion));
        FUZZ_CHECK(notice->version == notice->version.trimmed());
        FUZZ_CHECK(notice->message == ReplyField(reply, 2));
    }
    if (const auto news = NewsItemFrom(reply)) {
        FUZZ_CHECK(!news->numberText.isEmpty() && news->numberText != u"0");
        FUZZ_CHECK(news->numberText == news->numberText.trimmed());
        FUZZ_CHECK(news->number == TextToInt(news->numberText));
        FUZZ_CHECK(news->title == ReplyField(reply, 2));
        FUZZ_CHECK(news->body == ReplyField(reply, 3));
        FUZZ_CHECK(!news->title.contains(u'|') && !news->body.contains(u'|'));
    }
    return 0;
}
