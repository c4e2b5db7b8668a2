#include "common/cp1250.h"
#include "config/inifile.h"
#include "testutil.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

void WriteRaw(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QByteArray ReadRaw(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Every byte value that can stand inside a line; blanks and tabs sit in the middle, where they
// are not trimmed.
QByteArray AllLineBytes()
{
    QByteArray bytes = "<";
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            bytes += char(b);
    }
    return bytes + '>';
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void reads_data();
    void reads();
    void readsCp1250Bytes_data();
    void readsCp1250Bytes();
    void namesMatchWithoutCaseForEveryByte();
    void writeKeepsBytesOfOtherLines();
    void writes_data();
    void writes();
    void integersAndBooleans_data();
    void integersAndBooleans();
    void booleansWrittenAsDigits();
    void missingOrUnreadableFileReadsEmpty();
    void deleteAndExists();
    void lineBreakInValueCannotAddKeys();
    void refusedChangeLeavesDocumentAlone_data();
    void refusedChangeLeavesDocumentAlone();
    void failedWriteLeavesFileAlone();
    void unreadableFileIsNotRewritten();
    void secondInstanceSeesWrite();
    void othersCannotReadTheFile_data();
    void othersCannotReadTheFile();

private:
    QString path() const { return m_dir->filePath(u"OrvantH.ini"_s); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestIniFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestIniFile::reads_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected"); // "<default>" when absent

    const QByteArray basic = "[User]\r\nLastUser=admin\r\n\r\n[Font]\r\nSize=11\r\n";
    QTest::newRow("crlf") << basic << u"Font"_s << u"Size"_s << u"11"_s;
    QTest::newRow("lf only") << QByteArray("[User]\nLastUser=admin\n[Font]\nSize=11\n") << u"Font"_s
                             << u"Size"_s << u"11"_s;
    QTest::newRow("no newline at end")
        << QByteArray("[User]\r\nLastUser=admin\r\n[Font]\r\nSize=11") << u"Font"_s << u"Size"_s << u"11"_s;
    QTest::newRow("letter case of names") << basic << u"FONT"_s << u"size"_s << u"11"_s;
    QTest::newRow("accented names, case")
        << QByteArray("[\xc1llapot]\r\n\xc9rt\xe9k=x\r\n") << u"áLLAPOT"_s << u"ÉRTÉK"_s << u"x"_s;
    QTest::newRow("blanks around") << QByteArray("  [ Font ]  \r\n\t Size \t=  12 \t\r\n") << u"Font"_s
                                   << u"Size"_s << u"12"_s;
    QTest::newRow("blanks around the section asked for") << basic << u" Font\t"_s << u"Size"_s << u"11"_s;
    QTest::newRow("inner blanks kept")
        << QByteArray("[P]\r\nPrinter= HP  Laser Jet \r\n") << u"P"_s << u"Printer"_s << u"HP  Laser Jet"_s;
    QTest::newRow("equals sign in value") << QByteArray("[A]\r\nk=a=b\r\n") << u"A"_s << u"k"_s << u"a=b"_s;
    QTest::newRow("quotes kept") << QByteArray("[A]\r\nk=\"x\"\r\n") << u"A"_s << u"k"_s << u"\"x\""_s;
    QTest::newRow("empty value exists") << QByteArray("[A]\r\nk=\r\n") << u"A"_s << u"k"_s << QString();
    QTest::newRow("first duplicate key") << QByteArray("[A]\r\nk=1\r\nk=2\r\n") << u"A"_s << u"k"_s << u"1"_s;
    QTest::newRow("first duplicate section")
        << QByteArray("[A]\r\nk=1\r\n[B]\r\n[A]\r\nk=2\r\nj=3\r\n") << u"A"_s << u"k"_s << u"1"_s;
    QTest::newRow("key of another section") << basic << u"User"_s << u"Size"_s << u"<default>"_s;
    QTest::newRow("missing section") << basic << u"Lang"_s << u"Lang"_s << u"<default>"_s;
    QTest::newRow("key before any section")
        << QByteArray("k=1\r\n[A]\r\n") << u"A"_s << u"k"_s << u"<default>"_s;
    QTest::newRow("line without equals") << QByteArray("[A]\r\nk\r\n") << u"A"_s << u"k"_s << u"<default>"_s;
}

void TestIniFile::reads()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    WriteRaw(path(), file);
    const IniFile ini(path());
    QCOMPARE(ini.readString(section, key, u"<default>"_s), expected);
    QCOMPARE(ini.keyExists(section, key), expected != u"<default>"_s);
}

void TestIniFile::readsCp1250Bytes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("hungarian letters")
        << QByteArray("\xe1\xe9\xed\xf3\xf6\xf5\xfa\xfc\xfb\xc1\xc9\xcd\xd3\xd6\xd5\xda\xdc\xdb")
        << u"áéíóöőúüűÁÉÍÓÖŐÚÜŰ"_s;
    QTest::newRow("quotes and dash") << QByteArray("\x84id\xe9zet\x94 \x96 v\xe9ge") << u"„idézet” – vége"_s;
    QTest::newRow("every byte") << AllLineBytes() << FromCp1250(AllLineBytes());
}

// A file as a Windows workstation writes it reads as the same letters, and a value written back
// lands as the same bytes.
void TestIniFile::readsCp1250Bytes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    WriteRaw(path(), "[Adatbazis]\r\nHtmlUt=" + bytes + "\r\n");
    IniFile ini(path());
    const QString read = ini.readString(u"Adatbazis"_s, u"HtmlUt"_s);
    QCOMPARE(read, text);
    ini.writeString(u"Másol"_s, u"Érték"_s, read);
    QCOMPARE(ReadRaw(path()),
             "[Adatbazis]\r\nHtmlUt=" + bytes + "\r\n\r\n[M\xe1sol]\r\n\xc9rt\xe9k=" + bytes + "\r\n");
}

void TestIniFile::writeKeepsBytesOfOtherLines()
{
    // LF-only lines, a comment, odd spacing and no final newline: untouched lines keep their
    // bytes; every line ends in CRLF afterwards.
    WriteRaw(path(), "; megjegyz\xe9s\n[Font]\nSize = 9\n[User]\n  LastUser=\xc9va  ");
    IniFile ini(path());
    ini.writeString(u"Font"_s, u"Size"_s, u"10"_s);
    QCOMPARE(ReadRaw(path()),
             QByteArray("; megjegyz\xe9s\r\n[Font]\r\nSize=10\r\n[User]\r\n  LastUser=\xc9va  \r\n"));
    QCOMPARE(ini.readString(u"User"_s, u"LastUser"_s), u"Éva"_s);
}

void TestIniFile::writes_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    const QByteArray three =
        "[User]\r\nLastUser=admin\r\n\r\n[Font]\r\nSize=9\r\n\r\n[Printers]\r\nPrinter=PDF\r\n";
    QTest::newRow("replace in place")
        << three << u"font"_s << u"SIZE"_s << u"12"_s
        << QByteArray("[User]\r\nLastUser=admin\r\n\r\n[Font]\r\nSIZE=12\r\n\r\n"
                      "[Printers]\r\nPrinter=PDF\r\n");
    QTest::newRow("new key ends its section")
        << three << u"User"_s << u"Other"_s << u"x"_s
        << QByteArray("[User]\r\nLastUser=admin\r\nOther=x\r\n\r\n[Font]\r\nSize=9\r\n\r\n[Printers]"
                      "\r\nPrinter=PDF\r\n");
    QTest::newRow("new key in last section")
        << three << u"Printers"_s << u"Other"_s << u"x"_s
        << QByteArray("[User]\r\nLastUser=admin\r\n\r\n[Font]\r\nSize=9\r\n\r\n[Printers]\r\nPrinter="
                      "PDF\r\nOther=x\r\n");
    QTest::newRow("new section at end")
        << three << u"Lang"_s << u"Lang"_s << u"/x/Lang.ini"_s
        << QByteArray(
               "[User]\r\nLastUser=admin\r\n\r\n[Font]\r\nSize=9\r\n\r\n[Printers]\r\nPrinter=PDF\r\n\r\n"
               "[Lang]\r\nLang=/x/Lang.ini\r\n");
    QTest::newRow("into empty section") << QByteArray("[A]\r\n[B]\r\nk=1\r\n") << u"A"_s << u"k"_s << u"2"_s
                                        << QByteArray("[A]\r\nk=2\r\n[B]\r\nk=1\r\n");
    QTest::newRow("creates file") << QByteArray() << u"Font"_s << u"Size"_s << u"9"_s
                                  << QByteArray("[Font]\r\nSize=9\r\n");
    QTest::newRow("empty value") << QByteArray("[A]\r\nk=1\r\n") << u"A"_s << u"k"_s << QString()
                                 << QByteArray("[A]\r\nk=\r\n");
    // The name is taken without the blanks around it, for finding the section as for writing it.
    QTest::newRow("section name with blanks, new section")
        << QByteArray() << u" Ablak "_s << u"Bal"_s << u"5"_s << QByteArray("[Ablak]\r\nBal=5\r\n");
    QTest::newRow("section name with blanks, existing section")
        << three << u"  Font\t"_s << u"Size"_s << u"12"_s
        << QByteArray(
               "[User]\r\nLastUser=admin\r\n\r\n[Font]\r\nSize=12\r\n\r\n[Printers]\r\nPrinter=PDF\r\n");
    QTest::newRow("section name with blanks, section stored with blanks")
        << QByteArray("[ Ablak ]\r\nBal=1\r\n") << u"Ablak "_s << u"Felul"_s << u"7"_s
        << QByteArray("[ Ablak ]\r\nBal=1\r\nFelul=7\r\n");
}

void TestIniFile::writes()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    if (!before.isNull())
        WriteRaw(path(), before);
    IniFile ini(path());
    ini.writeString(section, key, value);
    QCOMPARE(ReadRaw(path()), after);
    QCOMPARE(ini.readString(section, key, u"<default>"_s), value);
    QVERIFY(ini.keyExists(section, key));
    // Writing the same again finds what the first write left and changes nothing.
    ini.writeString(section, key, value);
    QCOMPARE(ReadRaw(path()), after);
}

void TestIniFile::integersAndBooleans_data()
{
    QTest::addColumn<QByteArray>("stored"); // null: key absent
    QTest::addColumn<int>("integer");       // read with default 9
    QTest::addColumn<bool>("boolean");      // read with default true

    QTest::newRow("absent") << QByteArray() << 9 << true;
    QTest::newRow("number") << QByteArray("12") << 12 << true;
    QTest::newRow("zero") << QByteArray("0") << 0 << false;
    QTest::newRow("two") << QByteArray("2") << 2 << true;
    QTest::newRow("negative") << QByteArray("-7") << -7 << true;
    QTest::newRow("plus sign") << QByteArray("+3") << 3 << true;
    QTest::newRow("blanks around") << QByteArray("  400 ") << 400 << true;
    QTest::newRow("hex dollar") << QByteArray("$1F") << 31 << true;
    QTest::newRow("hex 0x") << QByteArray("0x10") << 16 << true;
    QTest::newRow("letters") << QByteArray("abc") << 9 << true;
    QTest::newRow("number and word") << QByteArray("12 pt") << 9 << true;
    QTest::newRow("fraction") << QByteArray("1.5") << 9 << true;
    QTest::newRow("empty") << QByteArray("") << 9 << true;
    QTest::newRow("too large") << QByteArray("2147483648") << 9 << true;
    QTest::newRow("smallest") << QByteArray("-2147483648") << std::numeric_limits<int>::min() << true;
    QTest::newRow("false word") << QByteArray("false") << 9 << true;
}

void TestIniFile::integersAndBooleans()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, integer);
    QFETCH(bool, boolean);
    WriteRaw(path(), stored.isNull() ? QByteArray("[Font]\r\n") : "[Font]\r\nSize=" + stored + "\r\n");
    const IniFile ini(path());
    QCOMPARE(ini.readInteger(u"Font"_s, u"Size"_s, 9), integer);
    QCOMPARE(ini.readBool(u"Font"_s, u"Size"_s, true), boolean);
}

void TestIniFile::booleansWrittenAsDigits()
{
    IniFile ini(path());
    ini.writeBool(u"Alapertek"_s, u"TeljesKep"_s, false);
    ini.writeBool(u"Alapertek"_s, u"Masik"_s, true);
    ini.writeInteger(u"Alapertek"_s, u"Bal"_s, -20);
    QCOMPARE(ReadRaw(path()), QByteArray("[Alapertek]\r\nTeljesKep=0\r\nMasik=1\r\nBal=-20\r\n"));
    QCOMPARE(ini.readBool(u"Alapertek"_s, u"TeljesKep"_s, true), false);
    QCOMPARE(ini.readInteger(u"Alapertek"_s, u"Bal"_s, 5), -20);
}

void TestIniFile::missingOrUnreadableFileReadsEmpty()
{
    const IniFile missing(m_dir->filePath(u"nincs/OrvantH.ini"_s));
    QCOMPARE(missing.readString(u"User"_s, u"LastUser"_s, u"d"_s), u"d"_s);
    QCOMPARE(missing.readInteger(u"Font"_s, u"Size"_s, 9), 9);
    QVERIFY(!missing.keyExists(u"User"_s, u"LastUser"_s));

    // A folder where the file should be cannot be read: empty as well.
    QVERIFY(QDir(m_dir->path()).mkdir(u"OrvantH.ini"_s));
    const IniFile folder(path());
    QCOMPARE(folder.readString(u"User"_s, u"LastUser"_s, u"d"_s), u"d"_s);
}

void TestIniFile::deleteAndExists()
{
    WriteRaw(path(), "[Adatbazis]\r\nConStr1=abc\r\nConStr2=\r\nconstr1=dup\r\nHtmlUt=/h\r\n");
    IniFile ini(path());
    QVERIFY(ini.keyExists(u"adatbazis"_s, u"ConStr2"_s));
    QCOMPARE(ini.readKeys(u"Adatbazis"_s), (QStringList{u"ConStr1"_s, u"ConStr2"_s, u"HtmlUt"_s}));
    ini.deleteKey(u"Adatbazis"_s, u"CONSTR1"_s);
    QVERIFY(!ini.keyExists(u"Adatbazis"_s, u"ConStr1"_s));
    QCOMPARE(ReadRaw(path()), QByteArray("[Adatbazis]\r\nConStr2=\r\nHtmlUt=/h\r\n"));

    // Deleting from a file that is not there does not create one.
    IniFile none(m_dir->filePath(u"masik.ini"_s));
    none.deleteKey(u"A"_s, u"k"_s);
    QVERIFY(!QFile::exists(none.path()));
}

void TestIniFile::lineBreakInValueCannotAddKeys()
{
    IniFile ini(path());
    ini.writeString(u"User"_s, u"LastUser"_s, u"x\r\n[Font]\r\nSize=99"_s);
    QCOMPARE(ini.readInteger(u"Font"_s, u"Size"_s, 9), 9);
    QCOMPARE(ini.readString(u"User"_s, u"LastUser"_s), u"x  [Font]  Size=99"_s);
    QVERIFY_THROWS_EXCEPTION(IniError, ini.writeString(u"User\n[Font]"_s, u"k"_s, u"v"_s));
    QVERIFY_THROWS_EXCEPTION(IniError, ini.writeString(u"User"_s, u"Size=1"_s, u"v"_s));
    QVERIFY_THROWS_EXCEPTION(IniError, ini.writeString(u"User"_s, QString(), u"v"_s));
}

void TestIniFile::refusedChangeLeavesDocumentAlone_data()
{
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("new section with a name cp1250 lacks") << u"Жук"_s << u"k"_s << u"v"_s;
    QTest::newRow("value cp1250 lacks") << u"User"_s << u"LastUser"_s << u"Иван"_s;
    QTest::newRow("key cp1250 lacks") << u"Uj"_s << u"Ключ"_s << u"v"_s;
    QTest::newRow("key with an equals sign") << u"Uj"_s << u"a=b"_s << u"v"_s;
}

// A change that is refused adds nothing, not even the blank line before a new section.
void TestIniFile::refusedChangeLeavesDocumentAlone()
{
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QByteArray before = "[User]\r\nLastUser=admin\r\n";
    IniDocument doc = IniDocument::fromBytes(before);
    QVERIFY_THROWS_EXCEPTION(IniError, doc.setValue(section, key, value));
    QCOMPARE(doc.toBytes(), before);
}

void TestIniFile::failedWriteLeavesFileAlone()
{
    IniFile noFolder(m_dir->filePath(u"nincs/OrvantH.ini"_s));
    QVERIFY_THROWS_EXCEPTION(IniError, noFolder.writeString(u"A"_s, u"k"_s, u"v"_s));
    QVERIFY(!QDir(m_dir->filePath(u"nincs"_s)).exists());

    const QByteArray before = "[User]\r\nLastUser=admin\r\n";
    WriteRaw(path(), before);
    IniFile ini(path());
    // A letter code page 1250 lacks is refused, not written as '?'.
    QVERIFY_THROWS_EXCEPTION(IniError, ini.writeString(u"User"_s, u"LastUser"_s, u"Иван"_s));
    QCOMPARE(ReadRaw(path()), before);

    {
        const Unchangeable locked(path());
        QVERIFY(locked.ok());
        QVERIFY_THROWS_EXCEPTION(IniError, ini.writeString(u"User"_s, u"LastUser"_s, u"x"_s));
    }
    QCOMPARE(ReadRaw(path()), before);
}

void TestIniFile::unreadableFileIsNotRewritten()
{
    const QByteArray before = "[User]\r\nLastUser=admin\r\n";
    WriteRaw(path(), before);
    IniFile ini(path());
    if (geteuid() == 0)
        QSKIP("file permissions do not keep root from reading");
    // Unreadable: writing would throw away the rest of the file.
    QVERIFY(QFile::setPermissions(path(), QFileDevice::WriteOwner));
    QVERIFY_THROWS_EXCEPTION(IniError, ini.writeString(u"User"_s, u"LastUser"_s, u"x"_s));
    QVERIFY(QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    QCOMPARE(ReadRaw(path()), before);
}

void TestIniFile::secondInstanceSeesWrite()
{
    IniFile first(path());
    const IniFile second(path());
    first.writeString(u"User"_s, u"LastUser"_s, u"egy"_s);
    QCOMPARE(second.readString(u"User"_s, u"LastUser"_s), u"egy"_s);
    first.writeString(u"User"_s, u"LastUser"_s, u"kettő"_s);
    QCOMPARE(second.readString(u"User"_s, u"LastUser"_s), u"kettő"_s);
}

void TestIniFile::othersCannotReadTheFile_data()
{
    QTest::addColumn<int>("before"); // the file's mode before the write; -1: there is no file
    QTest::addColumn<int>("after");
    QTest::newRow("new file") << -1 << 0600;
    // Files that older versions made readable by everyone.
    QTest::newRow("readable by everyone") << 0644 << 0640;
    QTest::newRow("writable by everyone") << 0666 << 0660;
    // What an administrator chose for the owner and the group stays.
    QTest::newRow("shared with the group") << 0660 << 0660;
    QTest::newRow("owner only") << 0600 << 0600;
}

// The file holds the connection profiles, passwords included, in a reversible form.
void TestIniFile::othersCannotReadTheFile()
{
    QFETCH(int, before);
    QFETCH(int, after);
    // Whatever the process's mask would let through.
    const mode_t mask = umask(0);
    if (before >= 0) {
        WriteRaw(path(), "[User]\r\nLastUser=admin\r\n");
        QCOMPARE(chmod(QFile::encodeName(path()).constData(), mode_t(before)), 0);
    }
    IniFile ini(path());
    ini.writeString(u"Adatbazis"_s, u"ConStr1"_s, u"!#%b?cA"_s);
    umask(mask);
    struct stat st = {};
    QCOMPARE(stat(QFile::encodeName(path()).constData(), &st), 0);
    QCOMPARE(QString::number(st.st_mode & 07777, 8), QString::number(after, 8));
    QCOMPARE(ini.readString(u"Adatbazis"_s, u"ConStr1"_s), u"!#%b?cA"_s);
}

// Names in the file are compared in their cp1250 bytes: for every pair of characters, a key is
// found by the other exactly when the two are the same text letter case aside.
void TestIniFile::namesMatchWithoutCaseForEveryByte()
{
    int found = 0;
    for (int stored = 0; stored < 256; ++stored) {
        const char c = char(stored);
        if (c == ' ' || c == '\t' || c == '=' || c == '[' || c == '\r' || c == '\n')
            continue;
        const IniDocument doc = IniDocument::fromBytes(QByteArray(QByteArray("[S]\r\n") + c + "=1\r\n"));
        const QString storedName = FromCp1250(QByteArray(1, c));
        for (int asked = 0; asked < 256; ++asked) {
            const QString name = FromCp1250(QByteArray(1, char(asked)));
            const bool same = storedName.compare(name, Qt::CaseInsensitive) == 0;
            if (doc.contains(u"s"_s, name) != same)
                QFAIL(qPrintable(u"stored byte %1, asked byte %2"_s.arg(stored).arg(asked)));
            found += same ? 1 : 0;
        }
    }
    // Each byte finds itself, and the letters with two cases find each other.
    QVERIFY(found > 250 + 2 * 26);
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
