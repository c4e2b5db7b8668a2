#include "common/paths.h"
#include "config/conprofile.h"
#include "config/inifile.h"
#include "config/profilelist.h"
#include "gui/dialogfields.h"
#include "gui/messagebox.h"
#include "gui/sortcolumn.h"
#include "modaldialogs.h"
#include "profiles/frm_adatbazis.h"
#include "profiles/frm_adatbazis_szerkeszt.h"
#include "silentserver.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFrame>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString kSection = u"Adatbazis"_s;

// The settings file of the scoped data folder, with its folder made.
IniFile SettingsIni()
{
    QDir().mkpath(DataFolder());
    return IniFile(SettingsFilePath());
}

void StoreProfile(IniFile &ini, int number, const QString &plain)
{
    ini.writeString(kSection, ConnectionProfileKey(number), EncodeConStr(plain));
}

// The ConStr keys of the file in file order, and their decoded texts.
QStringList ProfileKeys(const IniFile &ini)
{
    QStringList keys;
    for (const QString &key : ini.readKeys(kSection)) {
        if (key.startsWith(u"ConStr"_s, Qt::CaseInsensitive))
            keys.append(key);
    }
    return keys;
}

QStringList StoredTexts(const IniFile &ini)
{
    QStringList texts;
    for (const QString &key : ProfileKeys(ini))
        texts.append(DecodeConStr(ini.readString(kSection, key)));
    return texts;
}

QStringList DisplayNames(const QList<ProfileRow> &rows)
{
    QStringList names;
    for (const ProfileRow &row : rows)
        names.append(row.profile.displayName);
    return names;
}

QStringList DisplayNamesOf(const QStringList &texts)
{
    QStringList names;
    for (const QString &text : texts)
        names.append(ConnectionProfile::fromText(text).displayName);
    return names;
}

// Types `path` into a file dialog's own name box and accepts it.
void AcceptFile(QDialog *dialog, const QString &path)
{
    REQUIRE_CHILD(name, QLineEdit, dialog, u"fileNameEdit"_s);
    QVERIFY(name);
    name->setText(path);
    static_cast<QDialog *>(dialog)->accept();
}

// Runs the profile manager on `ini` as the main window does; `work` drives the open window, and
// the window is then closed with `closeBy`: "aBezar", "Escape" or "reject" (the close button).
void RunManager(IniFile &ini, const std::function<void(Tfrm_Adatbazis *)> &work,
                const QString &closeBy = u"aBezar"_s)
{
    const ModalAnswer manager = AnswerModal(u"Tárhelyek"_s, [&](QDialog *dialog) {
        auto *window = qobject_cast<Tfrm_Adatbazis *>(dialog);
        QVERIFY(window);
        // Every change the window makes to its list keeps the model's promises to the grid.
        const QAbstractItemModelTester tester(window->grid()->model(),
                                              QAbstractItemModelTester::FailureReportingMode::QtTest);
        work(window);
        if (!window->isVisible())
            return;
        if (closeBy == u"aBezar"_s)
            window->action(u"aBezar"_s)->trigger();
        else if (closeBy == u"Escape"_s)
            QTest::keyClick(window->grid(), Qt::Key_Escape);
        else
            window->reject();
    });
    ManageProfiles(ini, 9, nullptr);
    QVERIFY(manager.answered());
}

void ClickTitle(QTableView *grid, int column)
{
    QHeaderView *header = grid->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(column) + 4, header->height() / 2));
}

QString ProfileText(const TestDatabase &db, const QString &password, const QString &name)
{
    const ConnectionParams p = db.params();
    return u"%1;%2;%3;%4;%5;%6"_s.arg(p.database, p.host).arg(p.port).arg(p.user, password, name);
}

} // namespace

class TestProfileManager : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void storedRenumberedInDisplayNameOrder_data();
    void storedRenumberedInDisplayNameOrder();
    void titleClickSortsAndIsStoredSo_data();
    void titleClickSortsAndIsStoredSo();
    void deleteAsksFirst_data();
    void deleteAsksFirst();
    void portThatIsNoNumberIsListedAndStoredAsZero_data();
    void portThatIsNoNumberIsListedAndStoredAsZero();
    void actionsOfTheWindow_data();
    void actionsOfTheWindow();
    void gridColumnsAndWidths_data();
    void gridColumnsAndWidths();
    void fullBackupPanelHiddenAtEachOpenAndPathKept();
    void newProfileThroughEditor_data();
    void newProfileThroughEditor();
    void editorRefusesWhatCannotBeStored_data();
    void editorRefusesWhatCannotBeStored();
    void editorKeysAndPasswordToggle();
    void connectionTest_data();
    void connectionTest();
    void rowLockedWhileTested();
    void backupActionsOpenTheirDialogs_data();
    void backupActionsOpenTheirDialogs();
    void backupsFromTheWindow_data();
    void backupsFromTheWindow();
    void screenshots();

private:
    std::unique_ptr<ScopedDataFolder> m_folder;
};

void TestProfileManager::init()
{
    m_folder = std::make_unique<ScopedDataFolder>();
}

void TestProfileManager::cleanup()
{
    VerifyNoDialogLeftOpen();
    m_folder.reset();
    QVERIFY(!QApplication::activeModalWidget());
}

void TestProfileManager::storedRenumberedInDisplayNameOrder_data()
{
    QTest::addColumn<QString>("closeBy");
    QTest::newRow("Bezár") << u"aBezar"_s;
    QTest::newRow("Esc") << u"Escape"_s;
    QTest::newRow("close button") << u"reject"_s;
}

void TestProfileManager::storedRenumberedInDisplayNameOrder()
{
    QFETCH(QString, closeBy);
    IniFile ini = SettingsIni();
    StoreProfile(ini, 2, u"db2;host2;3306;u2;p2;Közép"_s);
    StoreProfile(ini, 5, u"db5;host5;3307;u5;p5;Alsó"_s);
    StoreProfile(ini, 7, u"db7;host7;3308;u7;p7;Zárt"_s);

    RunManager(
        ini, [](Tfrm_Adatbazis *window) { QCOMPARE(window->currentRow(), 0); }, closeBy);

    QCOMPARE(ProfileKeys(ini), (QStringList{u"ConStr1"_s, u"ConStr2"_s, u"ConStr3"_s}));
    QCOMPARE(StoredTexts(ini), (QStringList{u"db5;host5;3307;u5;p5;Alsó;"_s, u"db2;host2;3306;u2;p2;Közép;"_s,
                                            u"db7;host7;3308;u7;p7;Zárt;"_s}));
}

void TestProfileManager::titleClickSortsAndIsStoredSo_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("order");
    // Each column puts the three profiles in another order. The port is compared as a number
    // (as text 13306 would come first), the database name without regard to letter case.
    QTest::newRow("database") << 1 << QStringList{u"B"_s, u"C"_s, u"A"_s};
    QTest::newRow("host") << 2 << QStringList{u"C"_s, u"A"_s, u"B"_s};
    QTest::newRow("port") << 3 << QStringList{u"B"_s, u"A"_s, u"C"_s};
    QTest::newRow("user") << 4 << QStringList{u"C"_s, u"B"_s, u"A"_s};
    QTest::newRow("display name") << 0 << QStringList{u"A"_s, u"B"_s, u"C"_s};
}

void TestProfileManager::titleClickSortsAndIsStoredSo()
{
    QFETCH(int, column);
    QFETCH(QStringList, order);
    IniFile ini = SettingsIni();
    StoreProfile(ini, 1, u"zeta;beta;3306;ursula;x;A"_s);
    StoreProfile(ini, 2, u"Alfa;gamma;990;tamas;x;B"_s);
    StoreProfile(ini, 3, u"beta;alfa;13306;sanyi;x;C"_s);

    RunManager(ini, [&](Tfrm_Adatbazis *window) {
        // Start from another order, so the click is what decides.
        ClickTitle(window->grid(), column == 3 ? 4 : 3);
        ClickTitle(window->grid(), column);
        QCOMPARE(DisplayNames(window->rows()), order);
        QCOMPARE(HighlightedSortColumn(window->grid()), column);
        // The grid shows the same order.
        for (int row = 0; row < order.size(); ++row)
            QCOMPARE(window->grid()->model()->index(row, 0).data().toString(), order.at(row));
    });
    QCOMPARE(DisplayNamesOf(StoredTexts(ini)), order);
}

void TestProfileManager::deleteAsksFirst_data()
{
    QTest::addColumn<QList<bool>>("answers");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("No keeps the row") << QList<bool>{false} << QStringList{u"Első"_s, u"Második"_s};
    QTest::newRow("one deleted") << QList<bool>{true} << QStringList{u"Második"_s};
    QTest::newRow("all deleted") << QList<bool>{true, true} << QStringList{};
}

void TestProfileManager::deleteAsksFirst()
{
    QFETCH(QList<bool>, answers);
    QFETCH(QStringList, left);
    IniFile ini = SettingsIni();
    StoreProfile(ini, 1, u"a;h;3306;u;p;Első"_s);
    StoreProfile(ini, 100, u"b;h;3306;u;p;Második"_s);
    ini.writeString(kSection, u"HtmlUt"_s, u"/tmp/html"_s);

    MessageBoxRecorder boxes;
    RunManager(ini, [&](Tfrm_Adatbazis *window) {
        for (const bool yes : answers) {
            boxes.queueAnswer(yes);
            window->setCurrentRow(0);
            window->action(u"aTorol"_s)->trigger();
        }
        QCOMPARE(DisplayNames(window->rows()), left);
    });
    QCOMPARE(boxes.count(), answers.size());
    for (const MessageBoxRecorder::Box &box : boxes.boxes()) {
        QCOMPARE(box.kind, MessageBoxRecorder::Kind::Confirm);
        QCOMPARE(box.caption, u"Megerősítés"_s);
        QCOMPARE(box.text, u"Valóban töröljem az adatbázist a listából?"_s);
    }
    QCOMPARE(DisplayNamesOf(StoredTexts(ini)), left);
    QCOMPARE(ProfileKeys(ini).size(), left.size());
    // The section's other keys stay.
    QCOMPARE(ini.readString(kSection, u"HtmlUt"_s), u"/tmp/html"_s);
}

void TestProfileManager::portThatIsNoNumberIsListedAndStoredAsZero_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("listed");
    QTest::newRow("letters") << u"abc"_s << 0;
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("letter o for zero") << u"33o6"_s << 0;
    QTest::newRow("fraction") << u"3306.5"_s << 0;
    QTest::newRow("number") << u"3307"_s << 3307;
}

void TestProfileManager::portThatIsNoNumberIsListedAndStoredAsZero()
{
    QFETCH(QString, port);
    QFETCH(int, listed);
    IniFile ini = SettingsIni();
    StoreProfile(ini, 3, u"db;host;%1;user;pw;Név"_s.arg(port));

    RunManager(ini, [&](Tfrm_Adatbazis *window) {
        QCOMPARE(window->rows().size(), 1);
        QCOMPARE(window->grid()->model()->index(0, 3).data().toInt(), listed);
    });
    QCOMPARE(StoredTexts(ini), QStringList{u"db;host;%1;user;pw;Név;"_s.arg(listed)});
}

void TestProfileManager::actionsOfTheWindow_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("shortcut");
    QTest::newRow("aUj") << u"aUj"_s << u"Új"_s << u"Ins"_s;
    QTest::newRow("aSzerkeszt") << u"aSzerkeszt"_s << u"Szerkeszt"_s << u"F2"_s;
    QTest::newRow("aTorol") << u"aTorol"_s << u"Töröl"_s << u"Ctrl+Del"_s;
    QTest::newRow("aTeszt") << u"aTeszt"_s << u"Teszt"_s << u"Ctrl+T"_s;
    QTest::newRow("aBackup") << u"aBackup"_s << u"Biztonsági mentés készítés"_s << u"F3"_s;
    QTest::newRow("aMySQLDump") << u"aMySQLDump"_s << u"Teljes biztonsági mentés készítés"_s << u"F6"_s;
    QTest::newRow("aTeljesMentes") << u"aTeljesMentes"_s << u"Teljes mentés futtatása"_s << QString();
    QTest::newRow("aVisszaallitas") << u"aVisszaallitas"_s << u"Visszaállítás"_s << QString();
    QTest::newRow("aBezar") << u"aBezar"_s << u"Bezár"_s << u"Esc"_s;
}

void TestProfileManager::actionsOfTheWindow()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, shortcut);
    Tfrm_Adatbazis window({}, {}, 9);
    QAction *a = window.action(name);
    QVERIFY(a);
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->shortcut().toString(QKeySequence::PortableText), shortcut);
    QVERIFY(window.actions().contains(a));
    // Every action but the full backup's own button is in the grid's pop-up menu; the backups
    // also under the "Mentés" tool button.
    REQUIRE_CHILD(popupMenu1, QMenu, &window, u"PopupMenu1"_s);
    QCOMPARE(popupMenu1->actions().contains(a), name != u"aTeljesMentes"_s);
    REQUIRE_CHILD(backupButton, QToolButton, &window, u"Mentes"_s);
    QCOMPARE(backupButton->text(), u"Mentés"_s);
    const bool underBackupButton =
        name == u"aBackup"_s || name == u"aMySQLDump"_s || name == u"aVisszaallitas"_s;
    QCOMPARE(backupButton->menu()->actions().contains(a), underBackupButton);
}

void TestProfileManager::gridColumnsAndWidths_data()
{
    QTest::addColumn<int>("gridWidth");
    QTest::addColumn<QList<int>>("widths");
    QTest::newRow("544") << 544 << QList<int>{150, 75, 75, 50, 75, 75};
    // 30 % of 101 is 30.3, 15 % is 15.15, 10 % is 10.1.
    QTest::newRow("145") << 145 << QList<int>{30, 15, 15, 10, 15, 15};
    // Rounded, not cut: 30 % of 705 is 211.5, 15 % is 105.75, 10 % is 70.5.
    QTest::newRow("749") << 749 << QList<int>{212, 106, 106, 71, 106, 106};
}

void TestProfileManager::gridColumnsAndWidths()
{
    QFETCH(int, gridWidth);
    QFETCH(QList<int>, widths);
    QCOMPARE(Tfrm_Adatbazis::ColumnWidths(gridWidth), widths);

    ProfileRow row = ProfileRow::fromProfile(ConnectionProfile::fromText(u"db;host;3310;user;secret;Név"_s));
    Tfrm_Adatbazis window({row}, {}, 9);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTableView *grid = window.grid();
    QCOMPARE(grid->objectName(), u"DBGrid1"_s);
    // The grid follows its own width.
    for (int i = 0; i < widths.size(); ++i)
        QCOMPARE(grid->columnWidth(i), Tfrm_Adatbazis::ColumnWidths(grid->width()).at(i));
    QAbstractItemModel *model = grid->model();
    QStringList titles;
    QStringList cells;
    for (int c = 0; c < model->columnCount(); ++c) {
        titles.append(model->headerData(c, Qt::Horizontal).toString());
        cells.append(model->index(0, c).data().toString());
    }
    QCOMPARE(titles, (QStringList{u"Megjelenített név"_s, u"Adatbázis / tárhely"_s, u"Kiszolgáló"_s,
                                  u"Port"_s, u"Felhasználó"_s, u"Verzió"_s}));
    // The password is not shown.
    QCOMPARE(cells, (QStringList{u"Név"_s, u"db"_s, u"host"_s, u"3310"_s, u"user"_s, QString()}));
    QCOMPARE(HighlightedSortColumn(grid), 0);
    QVERIFY(grid->editTriggers() == QAbstractItemView::NoEditTriggers);
    QCOMPARE(window.font().pointSize(), 9);
    QCOMPARE(window.windowTitle(), u"Tárhelyek"_s);
}

void TestProfileManager::fullBackupPanelHiddenAtEachOpenAndPathKept()
{
    IniFile ini = SettingsIni();
    StoreProfile(ini, 1, u"db;host;3306;user;pw;Név"_s);
    ini.writeString(u"frm_Adatbazis"_s, u"MysqlDump"_s, u"/usr/bin/mysqldump"_s);

    RunManager(ini, [](Tfrm_Adatbazis *window) {
        QFrame *panel = window->fullBackupPanel();
        QVERIFY(!panel->isVisible());
        REQUIRE_CHILD(path, QLineEdit, window, u"Edit1"_s);
        QCOMPARE(path->text(), u"/usr/bin/mysqldump"_s);
        window->action(u"aMySQLDump"_s)->trigger();
        QVERIFY(panel->isVisible());
        // The panel's own button hides it; the action shows it again.
        REQUIRE_CHILD(speedButton2, QToolButton, window, u"SpeedButton2"_s);
        speedButton2->click();
        QVERIFY(!panel->isVisible());
        window->action(u"aMySQLDump"_s)->trigger();
        QVERIFY(panel->isVisible());
        path->setText(u"/opt/mariadb/bin/mariadb-dump"_s);
    });
    QCOMPARE(ini.readString(u"frm_Adatbazis"_s, u"MysqlDump"_s), u"/opt/mariadb/bin/mariadb-dump"_s);
    // The window's bounds are kept in the same section.
    for (const QString &key : {u"Left"_s, u"Top"_s, u"Width"_s, u"Height"_s})
        QVERIFY2(ini.keyExists(u"frm_Adatbazis"_s, key), qPrintable(key));

    RunManager(ini, [](Tfrm_Adatbazis *window) {
        QVERIFY(!window->fullBackupPanel()->isVisible());
        REQUIRE_CHILD(edit1, QLineEdit, window, u"Edit1"_s);
        QCOMPARE(edit1->text(), u"/opt/mariadb/bin/mariadb-dump"_s);
    });
}

void TestProfileManager::newProfileThroughEditor_data()
{
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<QStringList>("stored");
    QTest::newRow("Ctrl+Enter takes it")
        << true << QStringList{u"uj;szerver;3306;kati;titok;Alfa;"_s, u"db;host;3306;user;pw;Béta;"_s};
    QTest::newRow("Esc gives it up") << false << QStringList{u"db;host;3306;user;pw;Béta;"_s};
}

void TestProfileManager::newProfileThroughEditor()
{
    QFETCH(bool, confirm);
    QFETCH(QStringList, stored);
    IniFile ini = SettingsIni();
    StoreProfile(ini, 1, u"db;host;3306;user;pw;Béta"_s);

    RunManager(ini, [&](Tfrm_Adatbazis *window) {
        ModalAnswer editor = AnswerModal(u"Tárhely"_s, [&](QDialog *dialog) {
            // A new profile comes with the usual port.
            REQUIRE_CHILD(dbEdit6, QLineEdit, dialog, u"DBEdit6"_s);
            QCOMPARE(dbEdit6->text(), u"3306"_s);
            REQUIRE_CHILD(dbEdit1, QLineEdit, dialog, u"DBEdit1"_s);
            QCOMPARE(dbEdit1->text(), QString());
            dbEdit1->setText(u"Alfa"_s);
            REQUIRE_CHILD(dbEdit2, QLineEdit, dialog, u"DBEdit2"_s);
            dbEdit2->setText(u"szerver"_s);
            REQUIRE_CHILD(dbEdit3, QLineEdit, dialog, u"DBEdit3"_s);
            dbEdit3->setText(u"kati"_s);
            REQUIRE_CHILD(dbEdit4, QLineEdit, dialog, u"DBEdit4"_s);
            dbEdit4->setText(u"titok"_s);
            REQUIRE_CHILD(database, QLineEdit, dialog, u"DBEdit5"_s);
            database->setFocus();
            QTest::keyClicks(database, u"uj"_s);
            if (confirm)
                QTest::keyClick(database, Qt::Key_Return, Qt::ControlModifier);
            else
                QTest::keyClick(database, Qt::Key_Escape);
        });
        window->action(u"aUj"_s)->trigger();
        QVERIFY(editor.verify());
        // The new row takes its place in the order and becomes the current one.
        if (confirm) {
            QCOMPARE(DisplayNames(window->rows()), (QStringList{u"Alfa"_s, u"Béta"_s}));
            QCOMPARE(window->currentRow(), 0);
        }
    });
    QCOMPARE(StoredTexts(ini), stored);
    // The editor keeps its place, also when given up.
    QVERIFY(ini.keyExists(u"frm_Adatbazis_Szerkeszt"_s, u"Left"_s));
    QVERIFY(ini.keyExists(u"frm_Adatbazis_Szerkeszt"_s, u"Top"_s));
}

void TestProfileManager::editorRefusesWhatCannotBeStored_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    const QString port = u"A port értéke 0 és 65535 közötti egész szám lehet"_s;
    QTest::newRow("port with letters") << u"DBEdit6"_s << u"12a"_s << port;
    QTest::newRow("empty port") << u"DBEdit6"_s << QString() << port;
    QTest::newRow("negative port") << u"DBEdit6"_s << u"-1"_s << port;
    QTest::newRow("port too large") << u"DBEdit6"_s << u"70000"_s << port;
    QTest::newRow("port with a fraction") << u"DBEdit6"_s << u"3306.5"_s << port;
    // A ";" would shift every later field of the stored profile.
    QTest::newRow("separator in the password")
        << u"DBEdit4"_s << u"ti;tok"_s << u"A(z) \"Jelszó\" mező nem tartalmazhat pontosvesszőt (;)."_s;
    // The settings file holds code page 1250 only; the store would fail for the whole list.
    QTest::newRow("Cyrillic in the name")
        << u"DBEdit1"_s << u"Жurnal"_s << u"A kapcsolat adatai nem tárolható karaktereket tartalmaznak: Ж"_s;
}

void TestProfileManager::editorRefusesWhatCannotBeStored()
{
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    ProfileRow row = ProfileRow::fromProfile(ConnectionProfile::fromText(u"db;host;3306;user;pw;Név"_s));
    ProfileRow expected = row;
    expected.setPort(3310);
    MessageBoxRecorder boxes;
    bool stayedOpen = false;
    const ModalAnswer editor = AnswerModal(u"Tárhely"_s, [&](QDialog *dialog) {
        REQUIRE_CHILD(edit, QLineEdit, dialog, field);
        const QString before = edit->text();
        edit->setText(text);
        REQUIRE_CHILD(btnOK, QPushButton, dialog, u"btnOK"_s);
        btnOK->click();
        stayedOpen = dialog->isVisible();
        // Everything typed is still there; once mended, the row is taken.
        QCOMPARE(edit->text(), text);
        edit->setText(before);
        REQUIRE_CHILD(dbEdit6, QLineEdit, dialog, u"DBEdit6"_s);
        dbEdit6->setText(u"3310"_s);
        btnOK->click();
    });
    QVERIFY(EditProfileRow(row, 9));
    QVERIFY(stayedOpen);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().first().kind, MessageBoxRecorder::Kind::Error);
    QVERIFY2(boxes.boxes().first().text.startsWith(message), qPrintable(boxes.boxes().first().text));
    QCOMPARE(row, expected);
}

void TestProfileManager::editorKeysAndPasswordToggle()
{
    Tfrm_Adatbazis_Szerkeszt editor;
    ProfileRow row = ProfileRow::fromProfile(ConnectionProfile::fromText(u"db;host;3306;user;titok;Név"_s));
    editor.setRow(row);
    editor.show();
    QVERIFY(QTest::qWaitForWindowActive(&editor));
    QCOMPARE(editor.windowTitle(), u"Tárhely"_s);

    // Enter walks the fields in their order and never closes the editor.
    const QStringList order{u"DBEdit1"_s, u"DBEdit2"_s, u"DBEdit3"_s,
                            u"DBEdit4"_s, u"DBEdit5"_s, u"DBEdit6"_s};
    REQUIRE_CHILD(firstField, QLineEdit, &editor, order.first());
    firstField->setFocus();
    for (int i = 0; i < order.size(); ++i) {
        QWidget *focused = QApplication::focusWidget();
        QCOMPARE(focused->objectName(), order.at(i));
        // The field with the focus is painted light blue.
        QCOMPARE(focused->palette().color(QPalette::Base), FocusedFieldColour());
        QTest::keyClick(focused, Qt::Key_Return);
        QVERIFY(editor.isVisible());
        QVERIFY(focused->palette().color(QPalette::Base) != FocusedFieldColour());
    }

    // The password shows as "*" until the button beside it shows it; the typing goes on there.
    REQUIRE_CHILD(password, QLineEdit, &editor, u"DBEdit4"_s);
    REQUIRE_CHILD(toggle, QToolButton, &editor, u"SpeedButton1"_s);
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QCOMPARE(password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password),
             int('*'));
    REQUIRE_CHILD(dbEdit1, QLineEdit, &editor, u"DBEdit1"_s);
    dbEdit1->setFocus();
    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(password->echoMode(), QLineEdit::Normal);
    QCOMPARE(QApplication::focusWidget(), password);
    QTest::mouseClick(toggle, Qt::LeftButton);
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QCOMPARE(editor.row(), row);
    editor.reject();
}

void TestProfileManager::connectionTest_data()
{
    QTest::addColumn<QByteArray>("sql");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QString>("box");
    QTest::newRow("schema version shown")
        << QByteArray() << QString() << u"23.0.0.37"_s << u"Kapcsolat vizsgálata sikeres"_s;
    QTest::newRow("empty verzio table")
        << QByteArray("DELETE FROM verzio;") << QString() << QString() << u"Kapcsolat vizsgálata sikeres"_s;
    QTest::newRow("wrong password") << QByteArray() << u"rossz"_s << QString() << u"Hiba: "_s;
    QTest::newRow("no verzio table") << QByteArray("DROP TABLE verzio;") << QString() << QString()
                                     << u"Hiba: "_s;
}

void TestProfileManager::connectionTest()
{
    REQUIRE_TEST_SERVER();
    QFETCH(QByteArray, sql);
    QFETCH(QString, password);
    QFETCH(QString, version);
    QFETCH(QString, box);
    TestDatabase db;
    if (!sql.isEmpty())
        REQUIRE_SQL(db.client(sql));
    const ProfileRow other =
        ProfileRow::fromProfile(ConnectionProfile::fromText(u"x;127.0.0.1;1;root;;Other"_s));
    const ProfileRow tested =
        ProfileRow::fromProfile(ConnectionProfile::fromText(ProfileText(db, password, u"Tested"_s)));

    Tfrm_Adatbazis window({other, tested}, {}, 9);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setCurrentRow(1);
    MessageBoxRecorder boxes;
    window.action(u"aTeszt"_s)->trigger();

    QCOMPARE(boxes.count(), 1);
    QVERIFY2(boxes.texts().first().startsWith(box), qPrintable(boxes.texts().first()));
    const bool success = box.startsWith(u"Kapcsolat"_s);
    QCOMPARE(boxes.boxes().first().kind,
             success ? MessageBoxRecorder::Kind::Info : MessageBoxRecorder::Kind::Error);
    ProfileRow expected = tested;
    expected.version = version;
    QCOMPARE(window.rows().at(1), expected);
    QCOMPARE(window.rows().at(0), other);
    QCOMPARE(window.grid()->model()->index(1, 5).data().toString(), version);
    // The grid is usable again.
    QVERIFY(window.grid()->isEnabled());
}

void TestProfileManager::rowLockedWhileTested()
{
    // The server takes the connection and keeps silent: the test waits, the window paints.
    SilentServer server(1500);
    const ProfileRow slow = ProfileRow::fromProfile(
        ConnectionProfile::fromText(u"x;127.0.0.1;%1;root;;Lassú"_s.arg(server.port())));
    const ProfileRow other = ProfileRow::fromProfile(ConnectionProfile::fromText(u"y;h;3306;u;;Másik"_s));
    Tfrm_Adatbazis window({slow, other}, {}, 9);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.setCurrentRow(0);
    QCOMPARE(window.rows().at(0), slow);

    ModalWatch watch;
    MessageBoxRecorder boxes{true}; // a Yes, should the delete ask
    bool tried = false;
    bool locked = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, &window, [&] {
        if (tried || !server.holding())
            return;
        tried = true;
        locked = !window.action(u"aTorol"_s)->isEnabled() && !window.action(u"aSzerkeszt"_s)->isEnabled() &&
                 !window.action(u"aUj"_s)->isEnabled() && !window.action(u"aTeszt"_s)->isEnabled() &&
                 window.action(u"aBezar"_s)->isEnabled();
        QTest::keyClick(&window, Qt::Key_Delete, Qt::ControlModifier);
        window.action(u"aTorol"_s)->trigger();
        window.action(u"aUj"_s)->trigger();
        ClickTitle(window.grid(), 1);
    });
    poll.start(10);
    window.action(u"aTeszt"_s)->trigger();
    poll.stop();

    QVERIFY(tried);
    QVERIFY(locked);
    QCOMPARE(watch.seen(), QStringList());
    QCOMPARE(boxes.pendingAnswers(), 1);
    QCOMPARE(boxes.count(), 1);
    QCOMPARE(boxes.boxes().first().kind, MessageBoxRecorder::Kind::Error);
    QVERIFY(boxes.texts().first().startsWith(u"Hiba: "_s));
    QCOMPARE(window.rows(), (QList<ProfileRow>{slow, other}));
    QVERIFY(window.action(u"aTorol"_s)->isEnabled());
    QVERIFY(window.grid()->isEnabled());
}

void TestProfileManager::backupActionsOpenTheirDialogs_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("caption");
    QTest::newRow("aBackup") << u"aBackup"_s << u"Biztonsági mentés készítés"_s;
    QTest::newRow("aTeljesMentes") << u"aTeljesMentes"_s << u"Teljes biztonsági mentés készítés"_s;
    QTest::newRow("panel's button") << u"Button1"_s << u"Teljes biztonsági mentés készítés"_s;
    QTest::newRow("aVisszaallitas") << u"aVisszaallitas"_s << u"Visszaállítás"_s;
}

void TestProfileManager::backupActionsOpenTheirDialogs()
{
    QFETCH(QString, trigger);
    QFETCH(QString, caption);
    const ProfileRow row =
        ProfileRow::fromProfile(ConnectionProfile::fromText(u"jegyzokonyv;h;3306;u;;Név"_s));
    Tfrm_Adatbazis window({row}, u"/usr/bin/mariadb-dump"_s, 9);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.action(u"aMySQLDump"_s)->trigger();
    QString proposed;
    const ModalAnswer dialog = AnswerModal(caption, [&](QDialog *d) {
        auto *files = qobject_cast<QFileDialog *>(d);
        QVERIFY(files);
        if (files->acceptMode() == QFileDialog::AcceptSave)
            proposed = QFileInfo(files->selectedFiles().value(0)).fileName();
        d->reject();
    });
    if (QAction *a = window.action(trigger)) {
        a->trigger();
    } else {
        REQUIRE_CHILD(button, QPushButton, &window, trigger);
        button->click();
    }
    QVERIFY(dialog.answered());
    // The save dialogs propose the current row's database with the date and time.
    if (caption != u"Visszaállítás"_s)
        QVERIFY2(proposed.startsWith(u"jegyzokonyv-"_s), qPrintable(proposed));
}

void TestProfileManager::backupsFromTheWindow_data()
{
    QTest::addColumn<QString>("trigger");
    QTest::addColumn<QString>("caption");
    QTest::newRow("built-in backup") << u"aBackup"_s << u"Biztonsági mentés készítés"_s;
    QTest::newRow("full backup") << u"aTeljesMentes"_s << u"Teljes biztonsági mentés készítés"_s;
}

void TestProfileManager::backupsFromTheWindow()
{
    REQUIRE_TEST_SERVER();
    QFETCH(QString, trigger);
    QFETCH(QString, caption);
    TestDatabase db;
    REQUIRE_SQL(db.client("INSERT INTO csoport (csoport, csoport_nev) VALUES (7, 'Hetedik');"));
    // The path box names the dump program: a wrapper that notes it was started.
    const QString marker = QDir(m_folder->path()).filePath(u"started"_s);
    const QString wrapper = QDir(m_folder->path()).filePath(u"dump-wrapper"_s);
    QFile script(wrapper);
    QVERIFY(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\ntouch '" + QFile::encodeName(marker) + "'\nexec /usr/bin/mariadb-dump \"$@\"\n");
    script.close();
    QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

    const ProfileRow row =
        ProfileRow::fromProfile(ConnectionProfile::fromText(ProfileText(db, QString(), u"Mentendő"_s)));
    Tfrm_Adatbazis window({row}, wrapper, 9);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QString target = QDir(m_folder->path()).filePath(u"mentes.sql"_s);
    ModalAnswer save = AnswerModal(caption, [&](QDialog *d) { AcceptFile(d, target); });
    MessageBoxRecorder boxes;
    window.action(trigger)->trigger();
    QVERIFY(save.verify());

    QFile written(target);
    QVERIFY2(written.open(QIODevice::ReadOnly), qPrintable(boxes.texts().join(u'\n')));
    const QByteArray text = written.readAll();
    QVERIFY(text.contains("Hetedik"));
    QCOMPARE(QFile::exists(marker), trigger == u"aTeljesMentes"_s);
    REQUIRE_CHILD(progressBar1, QProgressBar, &window, u"ProgressBar1"_s);
    QCOMPARE(progressBar1->value(), 0);
    for (const MessageBoxRecorder::Box &box : boxes.boxes())
        QVERIFY2(box.kind != MessageBoxRecorder::Kind::Error, qPrintable(box.text));
}

void TestProfileManager::screenshots()
{
    if (qEnvironmentVariableIsEmpty("ORVANTH_SHOTS"))
        QSKIP("Set ORVANTH_SHOTS to a folder to take the pictures");
    IniFile ini = SettingsIni();
    StoreProfile(ini, 1, u"jegyzokonyv;db.hivatal.local;3306;iktato;titok;Képviselő-testület"_s);
    StoreProfile(ini, 2, u"bizottsag;127.0.0.1;3307;root;;Pénzügyi bizottság"_s);
    StoreProfile(ini, 3, u"archiv;backup.hivatal.local;3306;olvaso;x;Archívum 2019"_s);
    ini.writeString(u"frm_Adatbazis"_s, u"MysqlDump"_s, u"/usr/bin/mariadb-dump"_s);
    RunManager(ini, [](Tfrm_Adatbazis *window) {
        window->action(u"aMySQLDump"_s)->trigger();
        window->setCurrentRow(1);
        QTest::qWait(200);
        SaveShot(window, u"profile-manager"_s);
        const ModalAnswer editor = AnswerModal(u"Tárhely"_s, [](QDialog *dialog) {
            REQUIRE_CHILD(dbEdit2, QLineEdit, dialog, u"DBEdit2"_s);
            dbEdit2->setFocus();
            QTest::qWait(200);
            SaveShot(dialog, u"profile-editor"_s);
            dialog->reject();
        });
        window->action(u"aSzerkeszt"_s)->trigger();

        // The restore asks before it loads anything; the answer here is No.
        const QString backup = QDir(DataFolder()).filePath(u"bizottsag-2024-03-05-14-07-09.sql"_s);
        QFile file(backup);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("TRUNCATE csoport;\r\n\r\n");
        file.close();
        const ModalAnswer open = AnswerModal(u"Visszaállítás"_s, [&](QDialog *d) {
            AnswerModal(u"Megerősítés"_s, [](QDialog *box) {
                QTest::qWait(200);
                SaveShot(box, u"restore-confirmation"_s);
                box->reject();
            });
            AcceptFile(d, backup);
        });
        window->action(u"aVisszaallitas"_s)->trigger();
    });
}

QTEST_MAIN(TestProfileManager)
#include "tst_profilemanager.moc"
