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

QTEST_GUILESS_MAIN(TestNoticeReply)
#include "tst_noticereply.moc"
