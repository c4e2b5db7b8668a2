#include "common/cp1250.h"
#include "config/conprofile.h"
#include "db/profileparams.h"
#include "db/dberror.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QByteArray ReadRaw(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteRaw(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

QString Bytes(const QByteArray &cp1250)
{
    return FromCp1250(cp1250);
}

} // namespace

class TestConProfile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void fixedFillers();
    void decodes_data();
    void decodes();
    void roundTripsEveryByte_data();
    void roundTripsEveryByte();
    void roundTripsThroughSettingsFile();
    void refusesTextCp1250CannotHold();
    void splitsFields_data();
    void splitsFields();
    void plainForms();
    void port_data();
    void port();
    void readsProfiles();
    void addsAtFirstFreeKey();
    void addRefusedWhenAllKeysTaken();
    void rewritesList();

private:
    QString path() const { return m_dir->filePath(u"OrvantH.ini"_s); }
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestConProfile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestConProfile::fixedFillers()
{
    QByteArray fillers = "!#%?A";
    const auto next = [&fillers] {
        const char c = fillers.front();
        fillers.remove(0, 1);
        return c;
    };
    QCOMPARE(EncodeConStr(u"ab"_s, next), u"!#%b?cA"_s);
    QVERIFY(fillers.isEmpty());
}

void TestConProfile::decodes_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QByteArray>("plain");
    QTest::newRow("example") << QByteArray("!#%b?cA") << QByteArray("ab");
    QTest::newRow("other fillers") << QByteArray("WWWbWcW") << QByteArray("ab");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("three fillers only") << QByteArray("!!!") << QByteArray();
    QTest::newRow("two characters") << QByteArray("!!") << QByteArray();
    QTest::newRow("no final filler") << QByteArray("!!!b!c") << QByteArray("ab");
    // Byte 254 stored by the plain rule, followed by an ordinary filler.
    QTest::newRow("0xff plus filler") << QByteArray("!!!\xffW") << QByteArray("\xfe");
    QTest::newRow("0xff marked") << QByteArray("!!!\xff~") << QByteArray("\xff");
    QTest::newRow("tab marked") << QByteArray("!!!a!\t~b!")
                                << QByteArray("`\t"
                                              "a");
}

void TestConProfile::decodes()
{
    QFETCH(QByteArray, stored);
    QFETCH(QByteArray, plain);
    QCOMPARE(DecodeConStr(Bytes(stored)), Bytes(plain));
}

void TestConProfile::roundTripsEveryByte_data()
{
    QTest::addColumn<QByteArray>("plain");
    for (int b = 0; b < 256; ++b)
        QTest::addRow("byte %d", b) << "db;" + QByteArray(1, char(b)) + QByteArray(1, char(b)) + ";end";
    QByteArray all;
    for (int b = 255; b >= 0; --b)
        all += char(b);
    QTest::newRow("all bytes") << all;
    QTest::newRow("profile") << QByteArray("iktato;192.168.1.10;3306;root;titok;K\xf6zponti");
}

// Every byte comes back, 255 included, and the stored form can stand on one line of the
// settings file: no line break, no NUL, no blank at either end.
void TestConProfile::roundTripsEveryByte()
{
    QFETCH(QByteArray, plain);
    const QString stored = EncodeConStr(Bytes(plain));
    QCOMPARE(stored.size(), 3 + 2 * plain.size());
    QCOMPARE(DecodeConStr(stored), Bytes(plain));
    const QByteArray storedBytes = ToCp1250(stored);
    QVERIFY(!storedBytes.contains('\r'));
    QVERIFY(!storedBytes.contains('\n'));
    QVERIFY(!storedBytes.contains('\0'));
    QCOMPARE(stored.trimmed(), stored);
    for (qsizetype i = 0; i < 3; ++i)
        QVERIFY(storedBytes.at(i) >= '!' && storedBytes.at(i) <= 'W');
}

void TestConProfile::roundTripsThroughSettingsFile()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    IniFile ini(path());
    ini.writeString(u"Adatbazis"_s, u"ConStr1"_s, EncodeConStr(Bytes(all)));
    ini.writeString(u"Adatbazis"_s, u"ConStr2"_s, EncodeConStr(u"a;b;1;c;d;e"_s));
    QCOMPARE(DecodeConStr(ini.readString(u"Adatbazis"_s, u"ConStr1"_s)), Bytes(all));
    QCOMPARE(DecodeConStr(ini.readString(u"Adatbazis"_s, u"ConStr2"_s)), u"a;b;1;c;d;e"_s);
}

void TestConProfile::refusesTextCp1250CannotHold()
{
    QVERIFY_THROWS_EXCEPTION(IniError, EncodeConStr(u"db;host;3306;user;jelszó😀;név"_s));
    QCOMPARE(DecodeConStr(EncodeConStr(u"jelszó őŰ „” –"_s)), u"jelszó őŰ „” –"_s);
}

void TestConProfile::splitsFields_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("fields");
    const QStringList six{u"iktato"_s, u"srv"_s, u"3306"_s, u"root"_s, u"pw"_s, u"Központi"_s};
    QTest::newRow("set-up form") << u"iktato;srv;3306;root;pw;Központi"_s << six;
    QTest::newRow("manager form") << u"iktato;srv;3306;root;pw;Központi;"_s << six;
    QTest::newRow("after sixth ignored") << u"iktato;srv;3306;root;pw;Központi;x;y"_s << six;
    QTest::newRow("short") << u"iktato;srv"_s
                           << QStringList{u"iktato"_s, u"srv"_s, QString(), QString(), QString(), QString()};
    QTest::newRow("empty display name")
        << u"a;b;1;c;d;"_s << QStringList{u"a"_s, u"b"_s, u"1"_s, u"c"_s, u"d"_s, QString()};
    QTest::newRow("empty password") << u"a;b;1;c;;e"_s
                                    << QStringList{u"a"_s, u"b"_s, u"1"_s, u"c"_s, QString(), u"e"_s};
}

void TestConProfile::splitsFields()
{
    QFETCH(QString, text);
    QFETCH(QStringList, fields);
    const ConnectionProfile p = ConnectionProfile::fromText(text);
    QCOMPARE((QStringList{p.database, p.host, p.port, p.user, p.password, p.displayName}), fields);
}

void TestConProfile::plainForms()
{
    const ConnectionProfile p = ConnectionProfile::fromText(u"iktato;srv;3306;root;pw;Központi"_s);
    QCOMPARE(p.toText(), u"iktato;srv;3306;root;pw;Központi"_s);
    QCOMPARE(p.toText(true), u"iktato;srv;3306;root;pw;Központi;"_s);
    QCOMPARE(ConnectionProfile::fromText(p.toText(true)), p);
}

void TestConProfile::port_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("expected"); // -1: the connection attempt must fail
    QTest::newRow("default") << u"3306"_s << 3306;
    QTest::newRow("other") << u"3307"_s << 3307;
    QTest::newRow("largest") << u"65535"_s << 65535;
    QTest::newRow("empty") << QString() << -1;
    QTest::newRow("letters") << u"abc"_s << -1;
    QTest::newRow("inner blank") << u"33 06"_s << -1;
    QTest::newRow("fraction") << u"3306.5"_s << -1;
    QTest::newRow("negative") << u"-1"_s << -1;
    QTest::newRow("would wrap") << u"68842"_s << -1;
    QTest::newRow("hex") << u"$CEA"_s << -1;
}

void TestConProfile::port()
{
    QFETCH(QString, port);
    QFETCH(int, expected);
    ConnectionProfile p = ConnectionProfile::fromText(u"iktato;db.example;x;admin;titok;Név"_s);
    p.port = port;
    if (expected < 0) {
        QVERIFY(!p.portNumber());
        QVERIFY_THROWS_EXCEPTION(DbError, ProfileConnectionParams(p));
        return;
    }
    const ConnectionParams params = ProfileConnectionParams(p);
    QCOMPARE(params.port, expected);
    QCOMPARE(params.database, u"iktato"_s);
    QCOMPARE(params.host, u"db.example"_s);
    QCOMPARE(params.user, u"admin"_s);
    QCOMPARE(params.password, u"titok"_s);
}

void TestConProfile::readsProfiles()
{
    IniFile ini(path());
    ini.update([](IniDocument &doc) {
        const auto put = [&doc](int n, const QString &text) {
            doc.setValue(u"Adatbazis"_s, ConnectionProfileKey(n), EncodeConStr(text));
        };
        put(4, u"d4;h;3306;u;p;Negyedik"_s);
        put(1, u"d1;h;3306;u;p;Első;"_s);
        put(2, u"d2;h;3306;u;p;Második"_s);
        put(5, u"d5;h;3306;u;p;"_s); // no display name
        put(26, u"d26;h;3306;u;p;Huszonhatodik"_s);
        doc.setValue(u"Adatbazis"_s, u"ConStr6"_s, QString()); // empty value
        doc.setValue(u"Adatbazis"_s, u"ConStr7"_s, u"!!!"_s);  // decodes to nothing
        doc.setValue(u"Adatbazis"_s, u"HtmlUt"_s, u"/h"_s);
    });

    const auto numbers = [](const QList<StoredProfile> &list) {
        QList<int> n;
        for (const StoredProfile &p : list)
            n.append(p.number);
        return n;
    };
    const QList<StoredProfile> startup = ReadConnectionProfiles(ini, kStartupConnectionProfiles);
    QCOMPARE(numbers(startup), (QList<int>{1, 2, 4, 5}));
    QCOMPARE(startup.at(2).text, u"d4;h;3306;u;p;Negyedik"_s);
    QCOMPARE(startup.at(2).profile.database, u"d4"_s);
    QCOMPARE(startup.at(0).profile.displayName, u"Első"_s);
    QVERIFY(startup.at(3).profile.displayName.isEmpty());
    QCOMPARE(numbers(ReadConnectionProfiles(ini, kMaxConnectionProfiles)), (QList<int>{1, 2, 4, 5, 26}));
    QVERIFY(ReadConnectionProfiles(IniFile(m_dir->filePath(u"nincs.ini"_s)), 100).isEmpty());
}

void TestConProfile::addsAtFirstFreeKey()
{
    // An empty value still takes its number.
    WriteRaw(path(), "[Adatbazis]\r\nConStr1=" + ToCp1250(EncodeConStr(u"a;b;1;c;d;e"_s)) +
                         "\r\nConStr2=\r\n"
                         "HtmlUt=/h\r\n\r\n[Font]\r\nSize=9\r\n");
    IniFile ini(path());
    QCOMPARE(AddConnectionProfile(ini, u"uj;srv;3306;root;pw;Új"_s), 3);
    QCOMPARE(DecodeConStr(ini.readString(u"Adatbazis"_s, u"ConStr3"_s)), u"uj;srv;3306;root;pw;Új"_s);
    QCOMPARE(ini.readKeys(u"Adatbazis"_s),
             (QStringList{u"ConStr1"_s, u"ConStr2"_s, u"HtmlUt"_s, u"ConStr3"_s}));
    QCOMPARE(ini.readInteger(u"Font"_s, u"Size"_s, 0), 9);

    IniFile fresh(m_dir->filePath(u"uj.ini"_s));
    QCOMPARE(AddConnectionProfile(fresh, u"x;y;1;z;w;v"_s), 1);
}

void TestConProfile::addRefusedWhenAllKeysTaken()
{
    QByteArray file = "[Adatbazis]\r\n";
    for (int n = 1; n <= 100; ++n)
        file += "ConStr" + QByteArray::number(n) + "=!!!a!\r\n";
    WriteRaw(path(), file);
    IniFile ini(path());
    QCOMPARE(AddConnectionProfile(ini, u"x;y;1;z;w;v"_s), 0);
    QCOMPARE(ReadRaw(path()), file);
}

void TestConProfile::rewritesList()
{
    IniFile ini(path());
    ini.update([](IniDocument &doc) {
        doc.setValue(u"Adatbazis"_s, u"HtmlUt"_s, u"/h"_s);
        for (int n : {2, 5, 7, 100})
            doc.setValue(u"Adatbazis"_s, ConnectionProfileKey(n),
                         EncodeConStr(u"old"_s + QString::number(n)));
        doc.setValue(u"Font"_s, u"Size"_s, u"9"_s);
    });
    RewriteConnectionProfiles(ini, {u"a;h;1;u;p;A;"_s, u"b;h;1;u;p;B;"_s, u"c;h;1;u;p;C;"_s});
    QCOMPARE(ini.readKeys(u"Adatbazis"_s),
             (QStringList{u"HtmlUt"_s, u"ConStr1"_s, u"ConStr2"_s, u"ConStr3"_s}));
    const QList<StoredProfile> list = ReadConnectionProfiles(ini, 100);
    QCOMPARE(list.size(), 3);
    QCOMPARE(list.at(1).text, u"b;h;1;u;p;B;"_s);
    QCOMPARE(ini.readString(u"Font"_s, u"Size"_s), u"9"_s);

    RewriteConnectionProfiles(ini, {});
    QCOMPARE(ini.readKeys(u"Adatbazis"_s), QStringList{u"HtmlUt"_s});
}

QTEST_GUILESS_MAIN(TestConProfile)
#include "tst_conprofile.moc"
