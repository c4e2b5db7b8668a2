#include "config/conprofile.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

using StoredTexts = QList<std::pair<int, QString>>;

// What the start-up's profile choice lists, read from a settings file.
class TestStartupProfiles : public QObject
{
    Q_OBJECT

private slots:
    void readStartupProfiles_data();
    void readStartupProfiles();
    void profileListLines_data();
    void profileListLines();
};

void TestStartupProfiles::readStartupProfiles_data()
{
    QTest::addColumn<StoredTexts>("stored");
    QTest::addColumn<QString>("listText");
    QTest::addColumn<QStringList>("profileStrings");

    const QString first = u"hat;db1;3306;u;p;Első"_s;
    const QString fourth = u"hat;db4;3307;u;p;Negyedik;"_s;
    QTest::newRow("none stored") << StoredTexts{} << QString() << QStringList{};
    QTest::newRow("key order, gaps keep their numbers")
        << StoredTexts{{4, fourth}, {1, first}} << u"1; Első\r\n4; Negyedik\r\n"_s
        << QStringList{first, fourth};
    QTest::newRow("an empty display name is not offered")
        << StoredTexts{{1, u"hat;db;3306;u;p;"_s}, {2, first}} << u"2; Első\r\n"_s << QStringList{first};
    QTest::newRow("only the first 25 keys")
        << StoredTexts{{25, first}, {26, fourth}} << u"25; Első\r\n"_s << QStringList{first};
    QTest::newRow("a value that decodes to nothing is skipped")
        << StoredTexts{{1, QString()}, {3, first}} << u"3; Első\r\n"_s << QStringList{first};
}

void TestStartupProfiles::readStartupProfiles()
{
    QFETCH(StoredTexts, stored);
    QFETCH(QString, listText);
    QFETCH(QStringList, profileStrings);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    IniFile ini(dir.filePath(u"OrvantH.ini"_s));
    for (const auto &[number, text] : stored)
        ini.writeString(ConnectionProfileSection(), ConnectionProfileKey(number), EncodeConStr(text));

    const StartupProfiles profiles = ReadStartupProfiles(ini);
    QCOMPARE(profiles.listText, listText);
    QCOMPARE(profiles.profileStrings, profileStrings);
    // The chooser shows one line per profile text, in the same order.
    QCOMPARE(ProfileListLines(profiles.listText).size(), profiles.profileStrings.size());
}

void TestStartupProfiles::profileListLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");

    QTest::newRow("empty") << QString() << QStringList{};
    QTest::newRow("CR LF after each line") << u"1; A\r\n2; B\r\n"_s << QStringList{u"1; A"_s, u"2; B"_s};
    QTest::newRow("LF, no break at the end") << u"1; A\n2; B"_s << QStringList{u"1; A"_s, u"2; B"_s};
    QTest::newRow("an empty line inside stays")
        << u"1; A\r\n\r\n3; C\r\n"_s << QStringList{u"1; A"_s, QString(), u"3; C"_s};
}

void TestStartupProfiles::profileListLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QCOMPARE(ProfileListLines(text), lines);
}

QTEST_GUILESS_MAIN(TestStartupProfiles)
#include "tst_startupprofiles.moc"
