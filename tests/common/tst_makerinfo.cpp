#include "common/makerinfo.h"

#include <QTest>

using namespace Qt::StringLiterals;

// The maker's addresses as the build settings give them: what the help menu opens, what the
// about box and the report footers show, and what F1 opens.
class TestMakerInfo : public QObject
{
    Q_OBJECT

private slots:
    void addresses_data();
    void addresses();
    void contactText_data();
    void contactText();
    void helpTarget_data();
    void helpTarget();
};

void TestMakerInfo::addresses_data()
{
    QTest::addColumn<QString>("setting");
    QTest::addColumn<QString>("docsPage");
    QTest::addColumn<QString>("homePage");
    QTest::addColumn<QString>("shown");

    QTest::newRow("not set") << QString() << QString() << QString() << QString();
    QTest::newRow("blanks only") << u"  "_s << QString() << QString() << QString();
    QTest::newRow("site with slash") << u"https://docs.example.org/"_s
                                     << u"https://docs.example.org/prgdocs/index.php?prg=7"_s
                                     << u"https://docs.example.org/"_s << u"docs.example.org"_s;
    // The page is not glued to the host's name.
    QTest::newRow("site without slash")
        << u"https://example.org"_s << u"https://example.org/prgdocs/index.php?prg=7"_s
        << u"https://example.org"_s << u"example.org"_s;
    // Without a scheme the desktop would look for a file of that name in the program's folder.
    QTest::newRow("bare host") << u"www.example.org"_s << u"https://www.example.org/prgdocs/index.php?prg=7"_s
                               << u"https://www.example.org"_s << u"www.example.org"_s;
    QTest::newRow("plain http kept") << u"http://intranet.local/doc/"_s
                                     << u"http://intranet.local/doc/prgdocs/index.php?prg=7"_s
                                     << u"http://intranet.local/doc/"_s << u"intranet.local/doc"_s;
    QTest::newRow("spaces around") << u" https://example.org/ "_s
                                   << u"https://example.org/prgdocs/index.php?prg=7"_s
                                   << u"https://example.org/"_s << u"example.org"_s;
}

void TestMakerInfo::addresses()
{
    QFETCH(QString, setting);
    QFETCH(QString, docsPage);
    QFETCH(QString, homePage);
    QFETCH(QString, shown);
    QCOMPARE(DocsPageAddress(setting), docsPage);
    QCOMPARE(HomePageAddress(setting), homePage);
    QCOMPARE(ShownWebAddress(setting), shown);
}

void TestMakerInfo::contactText_data()
{
    QTest::addColumn<QString>("homePage");
    QTest::addColumn<QString>("mail");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QString>("mailLink");
    QTest::addColumn<QString>("contact");

    QTest::newRow("nothing set") << QString() << QString() << QStringList() << QString() << QString();
    QTest::newRow("everything")
        << u"https://www.example.org/"_s << u"info@example.org"_s
        << QStringList{u"Példa Kft."_s, u"terméktámogatás"_s}
        << u"mailto:info@example.org?subject=OrvantH program"_s
        << u"Példa Kft.\nterméktámogatás\n\nhonlap: www.example.org\ne-mail: info@example.org"_s;
    QTest::newRow("lines only") << QString() << QString() << QStringList{u"Informatikai osztály"_s}
                                << QString() << u"Informatikai osztály"_s;
    // A link given whole is not doubled.
    QTest::newRow("mail given as a link")
        << QString() << u"mailto:it@example.org"_s << QStringList()
        << u"mailto:it@example.org?subject=OrvantH program"_s << u"e-mail: mailto:it@example.org"_s;
    QTest::newRow("home page only") << u"www.example.org"_s << u" "_s << QStringList() << QString()
                                    << u"honlap: www.example.org"_s;
}

void TestMakerInfo::contactText()
{
    QFETCH(QString, homePage);
    QFETCH(QString, mail);
    QFETCH(QStringList, lines);
    QFETCH(QString, mailLink);
    QFETCH(QString, contact);
    QCOMPARE(MailLink(mail), mailLink);
    QCOMPARE(ContactText(MakerInfo{QString(), homePage, mail, lines}), contact);
}

void TestMakerInfo::helpTarget_data()
{
    QTest::addColumn<QString>("installedGuide");
    QTest::addColumn<QString>("docsUrl");
    QTest::addColumn<QString>("target");

    const QString guide = u"/usr/share/orvanth/help/index.html"_s;
    // Offline first: the installed guide is there without a network.
    QTest::newRow("guide and site") << guide << u"https://example.org/"_s << guide;
    QTest::newRow("guide only") << guide << QString() << guide;
    QTest::newRow("site only") << QString() << u"https://example.org/"_s
                               << u"https://example.org/prgdocs/index.php?prg=7"_s;
    QTest::newRow("neither") << QString() << QString() << QString();
}

void TestMakerInfo::helpTarget()
{
    QFETCH(QString, installedGuide);
    QFETCH(QString, docsUrl);
    QFETCH(QString, target);
    QCOMPARE(HelpTarget(installedGuide, docsUrl), target);
}

QTEST_GUILESS_MAIN(TestMakerInfo)
#include "tst_makerinfo.moc"
