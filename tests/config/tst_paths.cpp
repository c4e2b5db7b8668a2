#include "common/paths.h"
#include "config/conprofile.h"
#include "config/documentstore.h"
#include "config/settings.h"
#include "gui/formgeometry.h"
#include "testutil.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <QWindow>

using namespace Qt::StringLiterals;

namespace {

void WriteRaw(const QString &path, const QByteArray &bytes)
{
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(bytes), bytes.size());
}

// A window that remembers its place as the program's windows do: loaded before it is shown (in
// its constructor) or while it is being shown (in its showEvent), saved when it closes.
class RememberingDialog : public QDialog
{
public:
    RememberingDialog(bool bounds, bool inShowEvent, QWidget *parent)
        : QDialog(parent), m_bounds(bounds), m_inShowEvent(inShowEvent)
    {
        setObjectName(u"frm_Torzsadat"_s);
        resize(320, 200);
        if (!m_inShowEvent)
            load();
    }
    void save() const { m_bounds ? SaveFormBounds(this) : SaveFormPos(this); }

protected:
    void showEvent(QShowEvent *event) override
    {
        if (m_inShowEvent)
            load();
        QDialog::showEvent(event);
    }

private:
    void load() { m_bounds ? LoadFormBounds(this) : LoadFormPos(this); }

    bool m_bounds;
    bool m_inShowEvent;
};

QByteArray ReadRaw(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestPaths : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void programFolderKeepsLetterCase();
    void iniBesideProgramWins();
    void sharedFolderWhenNoIniBesideProgram();
    void firstStartCreatesDataFolder();
    void noSharedFolderFallsBackToProgramFolder();
    void workAreaFromPrimaryScreen();
    void defaults();
    void numbersAndFlagsRead_data();
    void numbersAndFlagsRead();
    void workstationSettingsWrittenBack();
    void fitIntoWorkArea_data();
    void fitIntoWorkArea();
    void formPosition();
    void formBoundsFitted();
    void saveErrors();
    void widgetOverloads();
    void outerGeometryRoundTrip_data();
    void outerGeometryRoundTrip();
    void documentStore_data();
    void documentStore();
    void storeMappingsInTheSettingsFile();
    void storeMappingProblem_data();
    void storeMappingProblem();
    void documentsFolder_data();
    void documentsFolder();

private:
    std::unique_ptr<ScopedDataFolder> m_config;
    std::unique_ptr<QTemporaryDir> m_program;
    QString programFolder() const { return m_program->filePath(u"Program Files/OrvantH"_s); }
};

void TestPaths::init()
{
    m_config = std::make_unique<ScopedDataFolder>();
    m_program = std::make_unique<QTemporaryDir>();
    QVERIFY(QDir().mkpath(programFolder()));
    InitPaths(programFolder());
}

void TestPaths::cleanup()
{
    m_config.reset();
    m_program.reset();
    InitPaths();
}

void TestPaths::programFolderKeepsLetterCase()
{
    InitPaths();
    QCOMPARE(ProgramFolder(), QCoreApplication::applicationDirPath());
    InitPaths(programFolder() + u"/"_s);
    QCOMPARE(ProgramFolder(), programFolder());
    QVERIFY(ProgramFolder().contains(u"Program Files/OrvantH"_s));
}

void TestPaths::iniBesideProgramWins()
{
    WriteRaw(programFolder() + u"/OrvantH.ini"_s, "[User]\r\nLastUser=helyi\r\n");
    WriteRaw(m_config->dataFolder() + u"/OrvantH.ini"_s, "[User]\r\nLastUser=kozos\r\n");
    InitPaths(programFolder());
    QCOMPARE(DataFolder(), programFolder());
    QCOMPARE(SettingsFilePath(), programFolder() + u"/OrvantH.ini"_s);
    QCOMPARE(IniReadString(u"User"_s, u"LastUser"_s, QString()), u"helyi"_s);
    QCOMPARE(ReadSettingString(Setting::HtmlFolder), programFolder() + u"/Html"_s);
}

void TestPaths::sharedFolderWhenNoIniBesideProgram()
{
    WriteRaw(m_config->dataFolder() + u"/OrvantH.ini"_s, "[User]\r\nLastUser=kozos\r\n");
    QCOMPARE(CommonAppDataPath(), m_config->path());
    QCOMPARE(DataFolder(), m_config->dataFolder());
    QCOMPARE(IniReadString(u"User"_s, u"LastUser"_s, QString()), u"kozos"_s);
}

void TestPaths::firstStartCreatesDataFolder()
{
    QVERIFY(!QFileInfo::exists(m_config->dataFolder()));
    const WorkstationSettings s = ReadWorkstationSettings();
    QCOMPARE(s.htmlFolder, m_config->dataFolder() + u"/Html"_s);
    QVERIFY(CreateHtmlFolder(s.htmlFolder));
    QVERIFY(QFileInfo(m_config->dataFolder() + u"/Html"_s).isDir());
    IniFile ini = SettingsFile();
    QCOMPARE(AddConnectionProfile(ini, u"iktato;localhost;3306;root;pw;Helyi"_s), 1);
    QVERIFY(QFile::exists(m_config->dataFolder() + u"/OrvantH.ini"_s));
    QVERIFY(!QFile::exists(programFolder() + u"/OrvantH.ini"_s));
}

void TestPaths::noSharedFolderFallsBackToProgramFolder()
{
    QCOMPARE(ChooseDataFolder(u"/opt/OrvantH"_s, false, QString()), u"/opt/OrvantH"_s);
    QCOMPARE(ChooseDataFolder(u"/opt/OrvantH"_s, false, u"/etc/xdg/"_s), u"/etc/xdg/OrvantH"_s);
    QCOMPARE(ChooseDataFolder(u"/opt/OrvantH"_s, true, u"/etc/xdg"_s), u"/opt/OrvantH"_s);
}

void TestPaths::workAreaFromPrimaryScreen()
{
    QVERIFY(QGuiApplication::primaryScreen());
    QCOMPARE(WorkArea(), QGuiApplication::primaryScreen()->availableGeometry());
    QVERIFY(!WorkArea().isEmpty());
}

void TestPaths::defaults()
{
    const WorkstationSettings s = ReadWorkstationSettings();
    QCOMPARE(s.lastUser, QString());
    QCOMPARE(s.fontSize, 9);
    QCOMPARE(s.printer, QString());
    QCOMPARE(s.lang, m_config->dataFolder() + u"/Lang.ini"_s);
    QCOMPARE(s.htmlFolder, m_config->dataFolder() + u"/Html"_s);
    QCOMPARE(s.fullScreen, true);
    QCOMPARE(QList<int>({s.left, s.top, s.height, s.width}), QList<int>({5, 5, 400, 640}));
    QCOMPARE(ReadSettingString(Setting::MysqlDump), QString());
    QCOMPARE(ReadSettingInt(Setting::Width), 640);
    QVERIFY(ReadSettingBool(Setting::FullScreen));
    QVERIFY(!QFileInfo::exists(SettingsFilePath())); // reading creates nothing
}

void TestPaths::numbersAndFlagsRead_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("fontSize");
    QTest::addColumn<bool>("fullScreen");
    QTest::newRow("not a number") << QByteArray("[Font]\r\nSize=nagy\r\n[Alapertek]\r\nTeljesKep=igen\r\n")
                                  << 9 << true;
    QTest::newRow("zero is false") << QByteArray("[Font]\r\nSize=12\r\n[Alapertek]\r\nTeljesKep=0\r\n") << 12
                                   << false;
    QTest::newRow("two is true") << QByteArray("[Font]\r\nSize=8\r\n[Alapertek]\r\nTeljesKep=2\r\n") << 8
                                 << true;
    QTest::newRow("empty values") << QByteArray("[Font]\r\nSize=\r\n[Alapertek]\r\nTeljesKep=\r\n") << 9
                                  << true;
}

void TestPaths::numbersAndFlagsRead()
{
    QFETCH(QByteArray, file);
    QFETCH(int, fontSize);
    QFETCH(bool, fullScreen);
    WriteRaw(SettingsFilePath(), file);
    const WorkstationSettings s = ReadWorkstationSettings();
    QCOMPARE(s.fontSize, fontSize);
    QCOMPARE(s.fullScreen, fullScreen);
    QCOMPARE(ReadSettingInt(Setting::FontSize), fontSize);
    QCOMPARE(ReadSettingBool(Setting::FullScreen), fullScreen);
}

void TestPaths::workstationSettingsWrittenBack()
{
    WriteRaw(SettingsFilePath(), "[Adatbazis]\r\nConStr1=!!!b!\r\n\r\n[frm_SQL]\r\nLeft=3\r\n");
    WorkstationSettings s = ReadWorkstationSettings();
    s.lastUser = u"Kovács Éva"_s;
    s.fontSize = 11;
    s.printer = u"Nyomtató „A”"_s;
    s.fullScreen = false;
    s.left = -4;
    s.top = 20;
    s.height = 500;
    s.width = 700;
    WriteWorkstationSettings(s);
    const WorkstationSettings back = ReadWorkstationSettings();
    QCOMPARE(back.lastUser, s.lastUser);
    QCOMPARE(back.fontSize, 11);
    QCOMPARE(back.printer, s.printer);
    QCOMPARE(back.lang, m_config->dataFolder() + u"/Lang.ini"_s);
    QCOMPARE(back.fullScreen, false);
    QCOMPARE(QList<int>({back.left, back.top, back.height, back.width}), QList<int>({-4, 20, 500, 700}));
    QVERIFY(!IniKeyExists(u"Adatbazis"_s, u"HtmlUt"_s));
    QCOMPARE(IniReadString(u"Adatbazis"_s, u"ConStr1"_s, QString()), u"!!!b!"_s);
    QCOMPARE(IniReadInteger(u"frm_SQL"_s, u"Left"_s, 0), 3);
}

void TestPaths::fitIntoWorkArea_data()
{
    QTest::addColumn<QRect>("bounds");
    QTest::addColumn<QRect>("area");
    QTest::addColumn<QRect>("expected");
    const QRect hd(0, 0, 1920, 1040); // right edge 1920, bottom 1040
    QTest::newRow("fits") << QRect(10, 10, 640, 400) << hd << QRect(10, 10, 640, 400);
    QTest::newRow("exactly to the edges") << QRect(1280, 640, 640, 400) << hd << QRect(1280, 640, 640, 400);
    QTest::newRow("wider than area") << QRect(300, 10, 2500, 400) << hd << QRect(0, 10, 1920, 400);
    QTest::newRow("as wide as area, moved") << QRect(1, 10, 1920, 400) << hd << QRect(0, 10, 1920, 400);
    QTest::newRow("taller than area") << QRect(10, 50, 640, 1200) << hd << QRect(10, 0, 640, 1040);
    QTest::newRow("overflows right") << QRect(1500, 10, 640, 400) << hd << QRect(1280, 10, 640, 400);
    QTest::newRow("overflows bottom") << QRect(10, 900, 640, 400) << hd << QRect(10, 640, 640, 400);
    QTest::newRow("left beyond right edge") << QRect(3000, 10, 640, 400) << hd << QRect(0, 10, 640, 400);
    QTest::newRow("top beyond bottom edge") << QRect(10, 2000, 640, 400) << hd << QRect(10, 0, 640, 400);
    QTest::newRow("negative kept") << QRect(-30, -20, 640, 400) << hd << QRect(-30, -20, 640, 400);
    // Only the right and bottom edges count: a task bar at the left does not push the window.
    QTest::newRow("area not at origin")
        << QRect(10, 10, 640, 400) << QRect(60, 0, 1860, 1080) << QRect(10, 10, 640, 400);
    QTest::newRow("small screen") << QRect(10, 10, 640, 400) << QRect(0, 0, 600, 380)
                                  << QRect(0, 0, 600, 380);
    QTest::newRow("unknown area") << QRect(5000, 10, 640, 400) << QRect() << QRect(5000, 10, 640, 400);
}

void TestPaths::fitIntoWorkArea()
{
    QFETCH(QRect, bounds);
    QFETCH(QRect, area);
    QFETCH(QRect, expected);
    QCOMPARE(FitIntoWorkArea(bounds, area), expected);
}

void TestPaths::formPosition()
{
    QCOMPARE(LoadFormPos(u"frm_Beallit"_s), QPoint(10, 10));
    WriteRaw(SettingsFilePath(), "[frm_Beallit]\r\nLeft=5000\r\nTop=abc\r\n");
    QCOMPARE(LoadFormPos(u"frm_Beallit"_s), QPoint(5000, 10)); // no fitting
    SaveFormPos(u"frm_Datumbe"_s, 120, -3);
    QCOMPARE(LoadFormPos(u"FRM_DATUMBE"_s), QPoint(120, -3));
}

void TestPaths::formBoundsFitted()
{
    QVERIFY(QDir().mkpath(DataFolder()));
    const QRect area = WorkArea();
    const int right = area.x() + area.width();
    // Nothing stored: the current size at 10, 10.
    QCOMPARE(LoadFormBounds(u"frm_SQL"_s, 300, 300, 200, 300), QRect(10, 10, 300, 200));
    // Nothing stored but too wide for the screen.
    QCOMPARE(LoadFormBounds(u"frm_SQL"_s, 300, 300, 200, right + 100).width(), right);

    SaveFormBounds(u"frm_SQL"_s, 40, 30, 250, right + 500);
    QCOMPARE(LoadFormBounds(u"frm_SQL"_s, 0, 0, 100, 100), QRect(0, 30, right, 250));
}

void TestPaths::saveErrors()
{
    // The data folder has not been created.
    QVERIFY(!QFileInfo::exists(DataFolder()));
    SaveFormPos(u"frm_Idoszak"_s, 1, 2);
    QVERIFY_THROWS_EXCEPTION(IniError, SaveFormBounds(u"frm_SQL"_s, 1, 2, 3, 4));
    QVERIFY(!QFileInfo::exists(SettingsFilePath()));
}

void TestPaths::widgetOverloads()
{
    QVERIFY(QDir().mkpath(DataFolder()));
    QWidget saved;
    saved.setObjectName(u"frm_Torzsadat"_s);
    saved.move(33, 44);
    saved.resize(320, 210);
    SaveFormBounds(&saved);
    SaveFormPos(&saved);
    QCOMPARE(IniReadInteger(u"frm_Torzsadat"_s, u"Width"_s, 0), 320);

    QWidget loaded;
    loaded.setObjectName(u"frm_Torzsadat"_s);
    loaded.resize(100, 100);
    LoadFormBounds(&loaded);
    QCOMPARE(loaded.pos(), QPoint(33, 44));
    QCOMPARE(loaded.size(), QSize(320, 210));

    QWidget dialog;
    dialog.setObjectName(u"frm_Nevjegy"_s);
    LoadFormPos(&dialog);
    QCOMPARE(dialog.pos(), QPoint(10, 10));
}

void TestPaths::outerGeometryRoundTrip_data()
{
    QTest::addColumn<bool>("bounds");
    QTest::addColumn<bool>("inShowEvent");
    QTest::addColumn<bool>("withParent");
    QTest::addColumn<int>("savedWhen"); // 0 shown, 1 hidden (as after exec()), 2 closed
    QTest::newRow("position, before shown") << false << false << false << 0;
    QTest::newRow("position, while shown") << false << true << false << 0;
    QTest::newRow("position, while shown over a window") << false << true << true << 0;
    QTest::newRow("position, saved when hidden") << false << true << false << 1;
    QTest::newRow("position, saved when closed") << false << true << false << 2;
    QTest::newRow("bounds, before shown") << true << false << false << 0;
    QTest::newRow("bounds, while shown") << true << true << false << 0;
    QTest::newRow("bounds, before shown over a window") << true << false << true << 0;
    QTest::newRow("bounds, saved when hidden") << true << false << false << 1;
    QTest::newRow("bounds, saved when closed") << true << false << false << 2;
}

// What is stored is the outer window, frame included, and it is what the next use shows: the
// window neither creeps nor grows however often it is opened and closed.
void TestPaths::outerGeometryRoundTrip()
{
    QFETCH(bool, bounds);
    QFETCH(bool, inShowEvent);
    QFETCH(bool, withParent);
    QFETCH(int, savedWhen);
    QVERIFY(QDir().mkpath(DataFolder()));
    const QRect stored(40, 30, 400, 300);
    SaveFormBounds(u"frm_Torzsadat"_s, stored.x(), stored.y(), stored.height(), stored.width());
    const QByteArray before = ReadRaw(SettingsFilePath());

    QWidget parent;
    if (withParent) {
        parent.setGeometry(200, 200, 300, 200);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
    }
    for (int use = 1; use <= 3; ++use) {
        RememberingDialog dialog(bounds, inShowEvent, withParent ? &parent : nullptr);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        QTRY_VERIFY2(!dialog.windowHandle()->frameMargins().isNull(), "this test needs windows with a frame");
        QTRY_COMPARE(ShownOuterGeometry(&dialog).topLeft(), stored.topLeft());
        if (bounds)
            QCOMPARE(ShownOuterGeometry(&dialog).size(), stored.size());
        if (savedWhen == 1)
            dialog.hide();
        else if (savedWhen == 2)
            dialog.close();
        dialog.save();
        dialog.close();
        QCOMPARE(ReadRaw(SettingsFilePath()), before);
    }
}

void TestPaths::documentStore_data()
{
    QTest::addColumn<QString>("databasePath"); // beallit.mentesutvonal
    QTest::addColumn<QStringList>("mappings"); // database path, local folder, database path, ...
    QTest::addColumn<QString>("folder");       // what attaching and viewing use
    QTest::addColumn<QStringList>("problem");  // what the message names; empty: usable

    const QString windows = u"H:\\Dok\\Hatarozatok"_s;
    const QStringList mapped{u"G:\\Regi"_s, u"/mnt/g"_s, windows, u"/mnt/h/Dok/Hatarozatok"_s};
    const QStringList setOnWindows{windows, u"Windows"_s};

    QTest::newRow("absolute here") << u"/srv/dok"_s << QStringList() << u"/srv/dok"_s << QStringList();
    QTest::newRow("Windows drive") << windows << QStringList() << windows << setOnWindows;
    QTest::newRow("Windows share") << u"\\\\szerver\\dok"_s << QStringList() << u"\\\\szerver\\dok"_s
                                   << QStringList{u"\\\\szerver\\dok"_s, u"Windows"_s};
    QTest::newRow("relative") << u"Dok"_s << QStringList() << u"Dok"_s << QStringList{u"\"Dok\""_s};
    QTest::newRow("empty") << QString() << QStringList() << QString()
                           << QStringList{u"Nem létező mentés útvonal"_s};
    QTest::newRow("Windows drive mapped")
        << windows << mapped << u"/mnt/h/Dok/Hatarozatok"_s << QStringList();
    // Windows does not tell these apart, so neither does the mapping.
    QTest::newRow("mapped, other letter case")
        << u"h:\\dok\\HATAROZATOK"_s << mapped << u"/mnt/h/Dok/Hatarozatok"_s << QStringList();
    QTest::newRow("mapped, closing backslash")
        << windows + u'\\' << mapped << u"/mnt/h/Dok/Hatarozatok"_s << QStringList();
    QTest::newRow("a longer path is another one")
        << windows + u'2' << mapped << windows + u'2' << QStringList{windows + u'2', u"Windows"_s};
    QTest::newRow("a shorter path is another one")
        << u"H:\\Dok"_s << mapped << u"H:\\Dok"_s << QStringList{u"H:\\Dok"_s, u"Windows"_s};
    QTest::newRow("absolute here and mapped")
        << u"/srv/dok"_s << QStringList{u"/srv/dok"_s, u"/mnt/dok"_s} << u"/mnt/dok"_s << QStringList();
    QTest::newRow("mapped to a relative folder")
        << windows << QStringList{windows, u"Dok2"_s} << u"Dok2"_s << QStringList{u"\"Dok2\""_s};
}

void TestPaths::documentStore()
{
    QFETCH(QString, databasePath);
    QFETCH(QStringList, mappings);
    QFETCH(QString, folder);
    QFETCH(QStringList, problem);
    QList<StoreMapping> list;
    for (qsizetype i = 0; i + 1 < mappings.size(); i += 2)
        list.append({mappings.at(i), mappings.at(i + 1)});

    const QString resolved = ResolveDocumentStore(databasePath, list);
    QCOMPARE(resolved, folder);
    const QString message = DocumentStoreProblem(resolved);
    QCOMPARE(message.isEmpty(), problem.isEmpty());
    for (const QString &part : problem)
        QVERIFY2(message.contains(part), qPrintable(message));
}

void TestPaths::storeMappingsInTheSettingsFile()
{
    QVERIFY(QDir().mkpath(DataFolder()));
    IniFile ini = SettingsFile();
    WriteStoreMapping(ini, u"H:\\Dok"_s, u"/mnt/h/Dok"_s);
    WriteStoreMapping(ini, u"G:\\Regi"_s, u"/mnt/g"_s);
    // The same path in other letters replaces the mapping rather than adding a second one.
    WriteStoreMapping(ini, u"h:\\dok\\"_s, u"/mnt/hivatal/Dok"_s);
    QCOMPARE(ini.readKeys(StoreMappingSection()), (QStringList{u"G:\\Regi"_s, u"h:\\dok\\"_s}));
    const QList<StoreMapping> read = ReadStoreMappings(ini);
    QCOMPARE(MappedLocalFolder(u"H:\\DOK"_s, read), u"/mnt/hivatal/Dok"_s);
    QCOMPARE(MappedLocalFolder(u"G:\\Regi"_s, read), u"/mnt/g"_s);
    // An empty folder removes the mapping.
    WriteStoreMapping(ini, u"G:\\regi"_s, QString());
    QCOMPARE(ini.readKeys(StoreMappingSection()), QStringList{u"h:\\dok\\"_s});
    // A path that cannot be a key of the file is refused, and the file is left alone.
    const QByteArray before = ini.read().toBytes();
    QVERIFY_THROWS_EXCEPTION(IniError, WriteStoreMapping(ini, u"H:\\a=b"_s, u"/mnt/ab"_s));
    QCOMPARE(ini.read().toBytes(), before);
}

void TestPaths::storeMappingProblem_data()
{
    QTest::addColumn<QString>("databasePath");
    QTest::addColumn<QString>("localFolder");
    QTest::addColumn<QString>("named"); // what the message names; empty: the mapping can be stored
    QTest::newRow("absolute folder") << u"H:\\Dok"_s << u"/mnt/h/Dok"_s << QString();
    QTest::newRow("no folder: removed") << u"H:\\Dok"_s << QString() << QString();
    QTest::newRow("relative folder") << u"H:\\Dok"_s << u"mnt/h"_s << u"\"mnt/h\""_s;
    QTest::newRow("a Windows folder again") << u"H:\\Dok"_s << u"D:\\Dok"_s << u"\"D:\\Dok\""_s;
    // The settings file cannot hold these as keys.
    QTest::newRow("path with an equals sign") << u"H:\\a=b"_s << u"/mnt/ab"_s << u"\"H:\\a=b\""_s;
    QTest::newRow("path like a section") << u"[H:]\\Dok"_s << u"/mnt/h"_s << u"\"[H:]\\Dok\""_s;
    QTest::newRow("no path") << u"  "_s << u"/mnt/h"_s << u"\"  \""_s;
}

void TestPaths::storeMappingProblem()
{
    QFETCH(QString, databasePath);
    QFETCH(QString, localFolder);
    QFETCH(QString, named);
    const QString problem = StoreMappingProblem(databasePath, localFolder);
    QCOMPARE(problem.isEmpty(), named.isEmpty());
    QVERIFY2(problem.contains(named), qPrintable(problem));
    if (!problem.isEmpty())
        return;
    QVERIFY(QDir().mkpath(DataFolder()));
    IniFile ini = SettingsFile();
    WriteStoreMapping(ini, databasePath, localFolder);
    QCOMPARE(MappedLocalFolder(databasePath, ReadStoreMappings(ini)), localFolder);
}

void TestPaths::documentsFolder_data()
{
    QTest::addColumn<QString>("present"); // what stands at ~/Documents: nothing, a folder, a file
    QTest::addColumn<bool>("inDocuments");
    QTest::newRow("no folder: made") << u"nothing"_s << true;
    QTest::newRow("folder") << u"folder"_s << true;
    QTest::newRow("a file in its place: home") << u"file"_s << false;
}

// An account without a documents folder still gets a place for its exports and backups.
void TestPaths::documentsFolder()
{
    QFETCH(QString, present);
    QFETCH(bool, inDocuments);
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    const QString documents = home.filePath(u"Documents"_s);
    if (present == u"folder"_s)
        QVERIFY(QDir().mkpath(documents));
    else if (present == u"file"_s)
        WriteRaw(documents, "nem mappa");
    const QString path = DocumentsPath();
    qputenv("HOME", oldHome);
    QCOMPARE(path, inDocuments ? documents : home.path());
    QVERIFY(QFileInfo(path).isDir());
}

QTEST_MAIN(TestPaths)
#include "tst_paths.moc"
