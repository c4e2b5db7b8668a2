// The settings file when it is damaged, cannot be read, or cannot be written: reading gives the
// defaults and whatever still makes sense, and a write either lands whole or leaves the old file
// exactly as it was.
#include "common/cp1250.h"
#include "config/conprofile.h"
#include "config/inifile.h"
#include "config/profilelist.h"
#include "config/settings.h"
#include "testutil.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

QString ProfileText(int n)
{
    return u"hatarozat;127.0.0.1;3306;ugyintezo;jelszó %1;Testület %1"_s.arg(n);
}

QByteArray ProfileLine(int n)
{
    return "ConStr" + QByteArray::number(n) + "=" + ToCp1250(EncodeConStr(ProfileText(n))) + "\r\n";
}

// The lines of a file as the reader splits them, without their line ends.
QList<QByteArray> Lines(const QByteArray &bytes)
{
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
    }
    return lines;
}

// True when every line of `before` is still in `after`, in the same order.
bool KeepsEveryLine(const QByteArray &before, const QByteArray &after)
{
    const QList<QByteArray> old = Lines(before);
    const QList<QByteArray> now = Lines(after);
    qsizetype j = 0;
    for (const QByteArray &line : old) {
        while (j < now.size() && now.at(j) != line)
            ++j;
        if (j == now.size())
            return false;
        ++j;
    }
    return true;
}

} // namespace

class TestSettingsFaults : public QObject
{
    Q_OBJECT

private slots:
    void damagedFileReadsWhatItCan_data();
    void damagedFileReadsWhatItCan();
    void damagedFileKeepsItsLinesWhenWritten_data();
    void damagedFileKeepsItsLinesWhenWritten();
    void failedWriteLeavesTheFileAlone_data();
    void failedWriteLeavesTheFileAlone();
    void linkedFile_data();
    void linkedFile();

private:
    static void damagedFiles();
};

void TestSettingsFaults::damagedFiles()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QList<int>>("intact"); // profiles that must still read exactly

    const QByteArray two = "[Adatbazis]\r\n" + ProfileLine(1) + ProfileLine(2);
    QByteArray garbage(4096, '\0');
    QRandomGenerator random(15);
    for (char &c : garbage)
        c = char(random.bounded(256));

    QTest::newRow("empty") << QByteArray() << QList<int>{};
    QTest::newRow("only line ends") << QByteArray("\r\n\n\r\r\n") << QList<int>{};
    QTest::newRow("cut in a section name") << two + "\r\n[Beall" << QList<int>{1, 2};
    QTest::newRow("cut in a value") << two.left(two.size() - 12) << QList<int>{1};
    QTest::newRow("cut in a key") << two + "ConSt" << QList<int>{1, 2};
    QTest::newRow("binary garbage") << garbage << QList<int>{};
    QTest::newRow("garbage after the profiles") << two + garbage << QList<int>{1, 2};
    QTest::newRow("NUL bytes") << "[Adatbazis]\r\n" + ProfileLine(1) + QByteArray("Con\0Str2=\0\0\r\n", 14)
                               << QList<int>{1};
    const QString utf16 = u"\uFEFF[Adatbazis]\r\nConStr1=x\r\n"_s;
    QTest::newRow("UTF-16 from an editor")
        << QByteArray(reinterpret_cast<const char *>(utf16.utf16()), utf16.size() * 2) << QList<int>{};
}

void TestSettingsFaults::damagedFileReadsWhatItCan_data()
{
    damagedFiles();
}

void TestSettingsFaults::damagedFileReadsWhatItCan()
{
    QFETCH(QByteArray, content);
    QFETCH(QList<int>, intact);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"OrvantH.ini"_s);
    WriteTestFile(path, content);

    const IniFile ini(path);
    // Settings the file does not hold come back as their defaults.
    QCOMPARE(ini.readInteger(u"Beallitasok"_s, u"AblakX"_s, 42), 42);
    QCOMPARE(ini.readBool(u"Beallitasok"_s, u"Maximalizalt"_s, true), true);
    QCOMPARE(ini.readString(u"Beallitasok"_s, u"Nyomtato"_s, u"alap"_s), u"alap"_s);

    const QList<StoredProfile> profiles = ReadConnectionProfiles(ini, kMaxConnectionProfiles);
    for (int n : intact) {
        const auto found = std::find_if(profiles.begin(), profiles.end(),
                                        [n](const StoredProfile &p) { return p.number == n; });
        QVERIFY2(found != profiles.end(), qPrintable(u"profile %1 is lost"_s.arg(n)));
        QCOMPARE(found->text, ProfileText(n));
    }
    QCOMPARE(ReadTestFile(path), content); // reading never changes the file
}

void TestSettingsFaults::damagedFileKeepsItsLinesWhenWritten_data()
{
    damagedFiles();
}

void TestSettingsFaults::damagedFileKeepsItsLinesWhenWritten()
{
    QFETCH(QByteArray, content);
    QFETCH(QList<int>, intact);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"OrvantH.ini"_s);
    WriteTestFile(path, content);

    IniFile ini(path);
    ini.writeString(u"Beallitasok"_s, u"Proba"_s, u"érték"_s);
    const int added = AddConnectionProfile(ini, ProfileText(50));

    QCOMPARE(ini.readString(u"Beallitasok"_s, u"Proba"_s), u"érték"_s);
    QVERIFY(added > 0);
    QCOMPARE(DecodeConStr(ini.readString(u"Adatbazis"_s, ConnectionProfileKey(added))), ProfileText(50));
    // What the program did not understand is still there, line for line.
    QVERIFY(KeepsEveryLine(content, ReadTestFile(path)));
    const QList<StoredProfile> profiles = ReadConnectionProfiles(ini, kMaxConnectionProfiles);
    for (int n : intact) {
        QVERIFY(std::any_of(profiles.begin(), profiles.end(), [n](const StoredProfile &p) {
            return p.number == n && p.text == ProfileText(n);
        }));
    }
}

void TestSettingsFaults::failedWriteLeavesTheFileAlone_data()
{
    QTest::addColumn<QString>("fault");

    QTest::newRow("file that cannot be changed") << u"file"_s;
    QTest::newRow("folder that cannot be changed") << u"folder"_s;
    QTest::newRow("a folder where the file should be") << u"unreadable"_s;
    QTest::newRow("disk full") << u"full"_s;
}

void TestSettingsFaults::failedWriteLeavesTheFileAlone()
{
    QFETCH(QString, fault);
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"OrvantH"_s);
    QVERIFY(QDir().mkpath(folder));
    const QString path = folder + u"/OrvantH.ini"_s;
    const QByteArray content = "[Adatbazis]\r\n" + ProfileLine(1) + "[Beallitasok]\r\nAblakX=10\r\n";
    if (fault == u"unreadable"_s)
        QVERIFY(QDir().mkpath(path + u"/x"_s));
    else
        WriteTestFile(path, content);
    const QStringList filesBefore =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

    IniFile ini(path);
    QString message;
    {
        std::unique_ptr<Unchangeable> locked;
        std::unique_ptr<FileSizeLimit> limit;
        if (fault == u"file"_s || fault == u"folder"_s) {
            locked = std::make_unique<Unchangeable>(fault == u"file"_s ? path : folder);
            if (!locked->ok())
                QSKIP("This file system cannot make a file unchangeable here");
        }
        if (fault == u"full"_s)
            limit = std::make_unique<FileSizeLimit>(content.size() + 100);
        try {
            ini.writeString(u"Beallitasok"_s, u"Hosszu"_s, QString(4000, u'x'));
        } catch (const IniError &e) {
            message = e.message();
        }
    }
    // The user is told which file could not be written.
    QVERIFY2(message.contains(path), qPrintable(message));
    QVERIFY(message.startsWith(u"Nem sikerült írni a beállítások fájlját"_s));
    if (fault == u"unreadable"_s) {
        QVERIFY(QFileInfo(path).isDir());
        QVERIFY(QFileInfo::exists(path + u"/x"_s));
    } else {
        QCOMPARE(ReadTestFile(path), content);
        QCOMPARE(ini.readInteger(u"Beallitasok"_s, u"AblakX"_s, 0), 10);
    }
    // No half-written copy is left beside it.
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), filesBefore);
}

void TestSettingsFaults::linkedFile_data()
{
    // Paths are relative to a temporary folder holding "OrvantH" (the data folder) and "mashol"
    // (somewhere else). The file the links end at holds Unix line ends, as another program's
    // file would.
    QTest::addColumn<QStringList>("links"); // "link=what it points to"; "@" stands for the folder
    QTest::addColumn<QString>("target");    // the file the links end at
    QTest::addColumn<bool>("targetExists");
    QTest::addColumn<bool>("written"); // false: every writer refuses

    QTest::newRow("file in another folder") << QStringList{u"OrvantH/OrvantH.ini=../mashol/beallitas.conf"_s}
                                            << u"mashol/beallitas.conf"_s << true << false;
    QTest::newRow("absolute link to another folder")
        << QStringList{u"OrvantH/OrvantH.ini=@/mashol/beallitas.conf"_s} << u"mashol/beallitas.conf"_s << true
        << false;
    QTest::newRow("missing file in another folder")
        << QStringList{u"OrvantH/OrvantH.ini=../mashol/uj.ini"_s} << u"mashol/uj.ini"_s << false << false;
    // A link beside it that leads on to another folder ends outside all the same.
    QTest::newRow("chain leading out") << QStringList{u"OrvantH/kozbulso.ini=../mashol/beallitas.conf"_s,
                                                      u"OrvantH/OrvantH.ini=kozbulso.ini"_s}
                                       << u"mashol/beallitas.conf"_s << true << false;
    // The file stays in the program's own folder: written through, and the link kept.
    QTest::newRow("file in the same folder")
        << QStringList{u"OrvantH/OrvantH.ini=iroda.ini"_s} << u"OrvantH/iroda.ini"_s << true << true;
    // The folder itself is a link (a shared folder mounted elsewhere); the file in it is no link.
    QTest::newRow("linked folder") << QStringList{u"OrvantH=mashol"_s, u"mashol/OrvantH.ini=beallitas.conf"_s}
                                   << u"mashol/beallitas.conf"_s << true << true;
}

// A settings file that is a symbolic link to a file elsewhere: writing through it would rewrite
// a file the program does not own (its line ends, new sections). Every writer refuses, names the
// link and its target, and changes nothing.
void TestSettingsFaults::linkedFile()
{
    QFETCH(QStringList, links);
    QFETCH(QString, target);
    QFETCH(bool, targetExists);
    QFETCH(bool, written);
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath(u"mashol"_s)));
    if (!links.constFirst().startsWith(u"OrvantH="_s))
        QVERIFY(QDir().mkpath(dir.filePath(u"OrvantH"_s)));
    const QString path = dir.filePath(u"OrvantH/OrvantH.ini"_s);
    const QString targetPath = dir.filePath(target);
    const QByteArray content =
        "# a file of another program\n[Adatbazis]\n" + ProfileLine(1).replace("\r\n", "\n");
    if (targetExists)
        WriteTestFile(targetPath, content);
    for (const QString &link : links) {
        QString to = link.section(u'=', 1);
        to.replace(u'@', dir.path());
        QVERIFY(QFile::link(to, dir.filePath(link.section(u'=', 0, 0))));
    }
    const auto entries = [&] {
        const auto list = [](const QString &folder) {
            return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                          QDir::NoDotAndDotDot);
        };
        return list(dir.filePath(u"OrvantH"_s)) + list(dir.filePath(u"mashol"_s));
    };
    const QStringList before = entries();

    IniFile ini(path);
    const QList<std::pair<const char *, std::function<void()>>> writers = {
        {"writeString", [&] { ini.writeString(u"Beallitasok"_s, u"Proba"_s, u"érték"_s); }},
        {"deleteKey", [&] { ini.deleteKey(ConnectionProfileSection(), ConnectionProfileKey(1)); }},
        {"AddConnectionProfile", [&] { AddConnectionProfile(ini, ProfileText(7)); }},
        {"StoreProfileRows", [&] { StoreProfileRows(ini, {}, u"/usr/bin/mariadb-dump"_s); }},
        {"WriteWorkstationSettings", [&] { WriteWorkstationSettings(WorkstationSettings(), ini); }},
    };
    for (const auto &[name, write] : writers) {
        QString message;
        try {
            write();
        } catch (const IniError &e) {
            message = e.message();
        }
        const QString shown = QString::fromLatin1(name) + u": "_s + message;
        if (written) {
            QVERIFY2(message.isEmpty(), qPrintable(shown));
            continue;
        }
        QVERIFY2(message.startsWith(u"Nem sikerült írni a beállítások fájlját"_s), qPrintable(shown));
        QVERIFY2(message.contains(path) && message.contains(targetPath) && message.contains(u"hivatkozás"_s),
                 qPrintable(shown));
    }
    QVERIFY(QFileInfo(dir.filePath(links.constLast().section(u'=', 0, 0))).isSymLink());
    if (written) {
        QCOMPARE(ini.readString(u"Beallitasok"_s, u"Proba"_s), u"érték"_s);
        QCOMPARE(ReadTestFile(targetPath), ini.read().toBytes());
        return;
    }
    QCOMPARE(ReadTestFile(targetPath), targetExists ? content : QByteArray("<missing>"));
    QCOMPARE(entries(), before);
    // Reading through the link still works.
    if (targetExists)
        QCOMPARE(DecodeConStr(ini.readString(ConnectionProfileSection(), ConnectionProfileKey(1))),
                 ProfileText(1));
}

QTEST_GUILESS_MAIN(TestSettingsFaults)
#include "tst_settingsfaults.moc"
