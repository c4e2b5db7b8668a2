#include "notices/noticereply.h"

#include <QTest>

using namespace Qt::StringLiterals;

// Reading the web service's replies and deciding on them, without a network or a database.
class TestNoticeReply : public QObject
{
    Q_OBJECT

private slots:
    void readReply_data();
    void readReply();
    void buildNumber_data();
    void buildNumber();
    void newsItem_data();
    void newsItem();
    void versionNotice_data();
    void versionNotice();
};

void TestNoticeReply::readReply_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("one line without a break") << QByteArray("12|T|B") << u"12|T|B\r\n"_s;
    QTest::newRow("LF lines") << QByteArray("12|T|első\nmásodik\n") << u"12|T|első\r\nmásodik\r\n"_s;
    QTest::newRow("CR LF lines stay") << QByteArray("a\r\nb\r\n") << u"a\r\nb\r\n"_s;
    QTest::newRow("lone CR breaks a line") << QByteArray("a\rb") << u"a\r\nb\r\n"_s;
    QTest::newRow("empty line kept") << QByteArray("a\n\nb") << u"a\r\n\r\nb\r\n"_s;
    QTest::newRow("Hungarian letters from UTF-8") << u"23.0.0.40|Árvíztűrő tükörfúrógép ŐŰőű"_s.toUtf8()
                                                  << u"23.0.0.40|Árvíztűrő tükörfúrógép ŐŰőű\r\n"_s;
}

void TestNoticeReply::readReply()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(ReadNoticeReply(bytes), text);
}

void TestNoticeReply::buildNumber_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<int>("build");

    QTest::newRow("own") << u"23.0.0.37"_s << 37;
    QTest::newRow("line break after it") << u"23.0.0.38\r\n"_s << 38;
    QTest::newRow("blanks around it") << u"23.0.0. 39 \r\n"_s << 39;
    QTest::newRow("three parts") << u"24.1.2"_s << 0;
    QTest::newRow("not a number") << u"23.0.0.x"_s << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("five parts take the fourth") << u"1.2.3.44.5"_s << 44;
}

void TestNoticeReply::buildNumber()
{
    QFETCH(QString, version);
    QFETCH(int, build);
    QCOMPARE(BuildNumber(version), build);
}

void TestNoticeReply::newsItem_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("numberText");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("body");

    QTest::newRow("0") << QByteArray("0|") << false << 0 << QString() << QString() << QString();
    QTest::newRow("0 alone") << QByteArray("0") << false << 0 << QString() << QString() << QString();
    QTest::newRow("empty") << QByteArray() << false << 0 << QString() << QString() << QString();
    QTest::newRow("empty number") << QByteArray("|T|B") << false << 0 << QString() << QString() << QString();
    QTest::newRow("12, T, B") << QByteArray("12|T|B") << true << 12 << u"12"_s << u"T"_s << u"B\r\n"_s;
    QTest::newRow("no separator") << QByteArray("7\n") << true << 7 << u"7"_s << QString() << QString();
    QTest::newRow("body over lines") << u"3|Cím|első\nmásodik|"_s.toUtf8() << true << 3 << u"3"_s << u"Cím"_s
                                     << u"első\r\nmásodik"_s;
}

void TestNoticeReply::newsItem()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, shown);
    const auto item = NewsItemFrom(ReadNoticeReply(reply));
    QCOMPARE(item.has_value(), shown);
    if (!item)
        return;
    QTEST(item->number, "number");
    QTEST(item->numberText, "numberText");
    QTEST(item->title, "title");
    QTEST(item->body, "body");
}

// Whether a reply of the version service calls for the notice, against the version dismissed on
// every workstation and this program's own. (The settings row's NULL reads as an empty text, a
// missing row as the own version.)
void TestNoticeReply::versionNotice_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QString>("dismissed");
    QTest::addColumn<QString>("own");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("message");

    const QString own = u"23.0.0.37"_s;
    QTest::newRow("dismissed 45, offered 44")
        << QByteArray("23.0.0.44|Új verzió") << u"23.0.0.45"_s << own << false << QString() << QString();
    QTest::newRow("nothing dismissed, offered 24.0.0.1: the build number decides")
        << QByteArray("24.0.0.1|Új főverzió") << QString() << own << false << QString() << QString();
    QTest::newRow("nothing dismissed, build 38")
        << u"23.0.0.38|Letölthető az új verzió: árvíztűrő"_s.toUtf8() << QString() << own << true
        << u"23.0.0.38"_s << u"Letölthető az új verzió: árvíztűrő\r\n"_s;
    QTest::newRow("38 dismissed, offered 38")
        << QByteArray("23.0.0.38|M") << u"23.0.0.38"_s << own << false << QString() << QString();
    QTest::newRow("38 dismissed, offered 39; later fields ignored")
        << QByteArray("23.0.0.39|M|x") << u"23.0.0.38"_s << own << true << u"23.0.0.39"_s << u"M"_s;
    QTest::newRow("offered the own build")
        << QByteArray("23.0.0.37|M") << QString() << own << false << QString() << QString();
    QTest::newRow("own build above the dismissed one")
        << QByteArray("23.0.0.35|M") << u"23.0.0.30"_s << own << false << QString() << QString();
    QTest::newRow("dismissed above the own build, offered between")
        << QByteArray("23.0.0.39|M") << u"23.0.0.40"_s << own << false << QString() << QString();
    QTest::newRow("dismissed above the own build, offered above both")
        << QByteArray("23.0.0.41|M") << u"23.0.0.40"_s << own << true << u"23.0.0.41"_s << u"M\r\n"_s;
    QTest::newRow("no settings row: the own build is the dismissed one")
        << QByteArray("23.0.0.38|M") << own << own << true << u"23.0.0.38"_s << u"M\r\n"_s;
    QTest::newRow("lower first parts, higher build")
        << QByteArray("1.0.0.50|M") << QString() << own << true << u"1.0.0.50"_s << u"M\r\n"_s;
    QTest::newRow("line break after the version, no message")
        << QByteArray("23.0.0.40\r\n") << QString() << own << true << u"23.0.0.40"_s << QString();
    QTest::newRow("blanks in the fourth part")
        << QByteArray("23.0.0. 41 \n") << QString() << own << true << u"23.0.0. 41"_s << QString();
    QTest::newRow("blanks before the version")
        << QByteArray("  23.0.0.39|M") << QString() << own << true << u"23.0.0.39"_s << u"M\r\n"_s;
    QTest::newRow("message over two lines") << QByteArray("23.0.0.42|first\nsecond|") << QString() << own
                                            << true << u"23.0.0.42"_s << u"first\r\nsecond"_s;
    QTest::newRow("three parts never notify")
        << QByteArray("24.1.99|M") << QString() << own << false << QString() << QString();
    QTest::newRow("build not a number")
        << QByteArray("23.0.0.x|M") << QString() << own << false << QString() << QString();
    QTest::newRow("empty reply") << QByteArray() << QString() << own << false << QString() << QString();
    QTest::newRow("dismissed text not a version counts as nothing")
        << QByteArray("23.0.0.38|M") << u"nem verzió"_s << own << true << u"23.0.0.38"_s << u"M\r\n"_s;
}

void TestNoticeReply::versionNotice()
{
    QFETCH(QByteArray, reply);
    QFETCH(QString, dismissed);
    QFETCH(QString, own);
    QFETCH(bool, shown);
    const auto notice = VersionNoticeFrom(ReadNoticeReply(reply), dismissed, own);
    QCOMPARE(notice.has_value(), shown);
    if (!notice)
        return;
    QTEST(notice->version, "version");
    QTEST(notice->message, "message");
}

QTEST_GUILESS_MAIN(TestNoticeReply)
#include "tst_noticereply.moc"
