#include "app/appevents.h"
#include "app/beall.h"
#include "app/frm_logo.h"
#include "app/frm_main.h"
#include "app/frm_nevjegy.h"
#include "app/helpaddresses.h"
#include "app/mainactions.h"
#include "app/setup.h"
#include "app/statuspanels.h"
#include "common/makerinfo.h"
#include "gui/formgeometry.h"
#include "gui/messagebox.h"
#include "gui/openwithshell.h"
#include "testutil.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>
#include <QWidgetAction>

using namespace Qt::StringLiterals;

namespace {

// "Frissít|Új,Szerkeszt" style description of a widget's actions: "|" for a separator, the
// caption (or the drop-down button's caption) otherwise.
QString Describe(const QList<QAction *> &actions)
{
    QString out;
    bool afterSeparator = true;
    for (QAction *a : actions) {
        if (a->isSeparator()) {
            out += u'|';
            afterSeparator = true;
            continue;
        }
        QString text = a->text();
        if (auto wa = qobject_cast<QWidgetAction *>(a)) {
            if (auto button = qobject_cast<QToolButton *>(wa->defaultWidget()))
                text = button->text();
        }
        if (!afterSeparator)
            out += u',';
        out += text;
        afterSeparator = false;
    }
    return out;
}

// "Brennik honlapja,Levélküldés Brenniknek|" as far as the build sets the maker's addresses.
QString MakerActionsPart()
{
    QStringList shown;
    if (!HomePageAddress(BuiltInMakerInfo().homePage).isEmpty())
        shown << u"Brennik honlapja"_s;
    if (!MailLink(BuiltInMakerInfo().mail).isEmpty())
        shown << u"Levélküldés Brenniknek"_s;
    return shown.isEmpty() ? QString() : shown.join(u',') + u'|';
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void applicationSetUp_data();
    void applicationSetUp();
    void actionList_data();
    void actionList();
    void enabledState_data();
    void enabledState();
    void adminGate_data();
    void adminGate();
    void menusAndToolBars_data();
    void menusAndToolBars();
    void hintsGoToPanel1();
    void fontSize_data();
    void fontSize();
    void dialogsTakeFontSize();
    void wheelBecomesKeys_data();
    void wheelBecomesKeys();
    void makerActionsFollowTheBuild();
    void guideBesideTheProgram_data();
    void guideBesideTheProgram();
    void aboutBoxNamesNoInventedMaker();
    void shellTarget_data();
    void shellTarget();
    void registerViewSeam();
    void splashFadesAndFrees();
    void screenshots();

private:
    ScopedDataFolder m_data;
    bool m_translated = false;
};

void TestMainWindow::initTestCase()
{
    m_translated = SetUpApplication(*qobject_cast<QApplication *>(qApp));
    // The settings file (window positions) goes into the temporary data folder.
    QVERIFY(QDir().mkpath(m_data.dataFolder()));
}

void TestMainWindow::init()
{
    Beall = TBeall();
}

void TestMainWindow::cleanup()
{
    // Every test closes what it opened.
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void TestMainWindow::applicationSetUp_data()
{
    QTest::addColumn<QString>("windowsFont");
    QTest::addColumn<QString>("expectedFamily");
    QTest::newRow("Arial") << u"Arial"_s << u"Liberation Sans"_s;
    QTest::newRow("Courier New") << u"Courier New"_s << u"Liberation Mono"_s;
    QTest::newRow("Tahoma") << u"Tahoma"_s << u"DejaVu Sans"_s;
    QTest::newRow("Segoe UI") << u"Segoe UI"_s << u"DejaVu Sans"_s;
}

void TestMainWindow::applicationSetUp()
{
    QFETCH(QString, windowsFont);
    QFETCH(QString, expectedFamily);
    QCOMPARE(QFontInfo(QFont(windowsFont, 9)).family(), expectedFamily);

    QVERIFY(m_translated);
    QMessageBox box;
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text().remove(u'&'), u"Igen"_s);
    QCOMPARE(box.button(QMessageBox::No)->text().remove(u'&'), u"Nem"_s);
}

void TestMainWindow::actionList_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::addColumn<QString>("shortcut");

    const QString book = u"Iktatókönyv"_s;
    QTest::newRow("aFrissit") << book << u"Frissít"_s << u"Frissít"_s << u"F5"_s;
    QTest::newRow("aUj") << book << u"Új"_s << u"Új"_s << u"Ins"_s;
    QTest::newRow("aSzerkeszt") << book << u"Szerkeszt"_s << u"Szerkeszt"_s << u"F2"_s;
    QTest::newRow("aTorol") << book << u"Töröl"_s << u"Töröl"_s << u"Ctrl+Del"_s;
    QTest::newRow("aNyomtat") << u"Nyomtatások"_s << u"Nyomtat"_s << u"Nyomtat"_s << u"Ctrl+P"_s;
    QTest::newRow("aExcel") << book << u"Excelbe..."_s << u"Excelbe"_s << u"Ctrl+E"_s;
    QTest::newRow("aBezar") << book << u"Bezár"_s << u"Bezár"_s << QString();
    QTest::newRow("aSzur0") << u"Szűrés"_s << u"Nincs szűrés"_s << u"Nincs szűrés"_s << QString();
    QTest::newRow("aSzur1") << u"Szűrés"_s << u"Időszak"_s << u"Időszak"_s << QString();
    QTest::newRow("aMegnez") << book << u"Megnéz"_s << u"Megnéz"_s << u"F7"_s;
    QTest::newRow("aMegnez2") << book << u"2. file"_s << u"Megnéz (2. file)"_s << u"F8"_s;
    QTest::newRow("aMegnez3") << book << u"3. file"_s << u"3. file"_s << u"F9"_s;
    QTest::newRow("aStatusz") << QString() << u"Státusz"_s << u"Státusz beállítás"_s << u"F3"_s;
    QTest::newRow("aBetuNovel") << u"Nézet"_s << u"Betűméret növelés"_s << u"Betűméret növelés"_s << u"F11"_s;
    QTest::newRow("aBetuCsokkent") << u"Nézet"_s << u"Betűméret csökkentése"_s << u"Betűméret csökkentése"_s
                                   << u"F12"_s;
    QTest::newRow("aHatarozat") << u"Nézet"_s << u"Határozat"_s << u"Határozat"_s << u"F6"_s;
    QTest::newRow("aBizottsag") << u"Törzsadatok"_s << u"Bizottságok"_s << u"Bizottságok"_s << QString();
    QTest::newRow("aTargy") << u"Törzsadatok"_s << u"Tárgy katalógus"_s << u"Tárgy katalógus"_s << QString();
    QTest::newRow("aLista") << u"Nyomtatások"_s << u"Lista nyomtatás"_s << u"Lista nyomtatás"_s << QString();
    QTest::newRow("aFelhasznalo") << u"Rendszer"_s << u"Felhasználók"_s << u"Felhasználók"_s << QString();
    QTest::newRow("aSQL") << u"Rendszer"_s << u"Szabad lekérdezés"_s << u"Szabad lekérdezés"_s << QString();
    QTest::newRow("aAdatbazisok") << u"Rendszer"_s << u"Adatbázisok"_s << u"Adatbázisok"_s << QString();
    QTest::newRow("aBeallit") << u"Rendszer"_s << u"Beállítások"_s << u"Beállítások"_s << QString();
    QTest::newRow("aSugo") << u"Súgó"_s << u"Súgó"_s << u"Súgó"_s << u"F1"_s;
    QTest::newRow("aHonlap") << u"Súgó"_s << u"Brennik honlapja"_s << u"Brennik honlapja"_s << QString();
    QTest::newRow("aLevel") << u"Súgó"_s << u"Levélküldés Brenniknek"_s << u"Levélküldés Brenniknek"_s
                            << QString();
    QTest::newRow("aNevjegy") << u"Súgó"_s << u"Névjegy"_s << u"Névjegy"_s << QString();
}

void TestMainWindow::actionList()
{
    QFETCH(QString, category);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    QFETCH(QString, shortcut);

    Tfrm_Main w;
    QAction *a = w.actions().byName(QString::fromLatin1(QTest::currentDataTag()));
    QVERIFY(a);
    QCOMPARE(MainActions::category(a), category);
    QCOMPARE(a->text(), caption);
    QCOMPARE(a->statusTip(), hint);
    QCOMPARE(a->toolTip(), hint);
    QCOMPARE(a->shortcut().toString(QKeySequence::PortableText), shortcut);
    // The table above is the whole list.
    QCOMPARE(w.actions().all().size(), 27);
}

void TestMainWindow::enabledState_data()
{
    QTest::addColumn<bool>("adminRight");
    QTest::newRow("administrator") << true;
    QTest::newRow("plain user") << false;
}

void TestMainWindow::enabledState()
{
    QFETCH(bool, adminRight);
    Beall.adminRight = adminRight;
    Beall.masterDataRight = adminRight;

    Tfrm_Main w;
    // Only what the frame itself does is enabled until the other windows hand in their work. A
    // hidden action (a maker's address the build did not set) is disabled too: its shortcut
    // does nothing.
    const QStringList working{u"aBezar"_s,  u"aBetuNovel"_s, u"aBetuCsokkent"_s, u"aSugo"_s,
                              u"aHonlap"_s, u"aLevel"_s,     u"aNevjegy"_s};
    for (QAction *a : w.actions().all()) {
        const bool enabled = working.contains(a->objectName()) && a->isVisible();
        QVERIFY2(a->isEnabled() == enabled, qPrintable(a->objectName()));
    }

    QVERIFY(w.actions().action(MainAction::NoFilter)->isChecked());
    QVERIFY(!w.actions().action(MainAction::PeriodFilter)->isChecked());
    w.actions().action(MainAction::PeriodFilter)->setChecked(true);
    QVERIFY(!w.actions().action(MainAction::NoFilter)->isChecked());
    QVERIFY(w.actions().action(MainAction::ResolutionPanel)->isCheckable());
    QVERIFY(w.actions().action(MainAction::ResolutionPanel)->isChecked());
}

void TestMainWindow::adminGate_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("adminRight");
    QTest::addColumn<bool>("runs");
    for (const char *name : {"aFelhasznalo", "aSQL", "aAdatbazisok", "aBeallit"}) {
        QTest::addRow("%s administrator", name) << QString::fromLatin1(name) << true << true;
        QTest::addRow("%s plain user", name) << QString::fromLatin1(name) << false << false;
    }
    // Everything else tests no right.
    for (const char *name : {"aUj", "aBizottsag", "aFrissit"})
        QTest::addRow("%s plain user", name) << QString::fromLatin1(name) << false << true;
}

void TestMainWindow::adminGate()
{
    QFETCH(QString, action);
    QFETCH(bool, adminRight);
    QFETCH(bool, runs);
    Beall.adminRight = adminRight;

    Tfrm_Main w;
    QAction *a = w.actions().byName(action);
    int calls = 0;
    w.actions().bind(a, [&calls] { ++calls; });
    // A plain user sees the action enabled and is refused only when using it.
    QVERIFY(a->isEnabled());

    MessageBoxRecorder boxes;
    a->trigger();
    QCOMPARE(calls, runs ? 1 : 0);
    if (runs) {
        QCOMPARE(boxes.count(), 0);
    } else {
        QCOMPARE(boxes.count(), 1);
        QCOMPARE(boxes.boxes().first().kind, MessageBoxRecorder::Kind::Error);
        QCOMPARE(boxes.texts(), QStringList{u"Nincs jogosultság a művelethez."_s});
    }
}

void TestMainWindow::menusAndToolBars_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Orvant") << u"Orvant"_s
                            << u"Frissít|Új,Szerkeszt,Töröl|Nyomtat|Excelbe...|Nincs szűrés,Időszak|Bezár"_s;
    QTest::newRow("Nézet") << u"Nézet"_s << u"Betűméret növelés,Betűméret csökkentése|Határozat"_s;
    QTest::newRow("Törzsadatok") << u"Törzsadatok"_s << u"Bizottságok,Tárgy katalógus"_s;
    QTest::newRow("Nyomtatások") << u"Nyomtatások"_s << u"Nyomtat,Lista nyomtatás"_s;
    QTest::newRow("Rendszer") << u"Rendszer"_s << u"Felhasználók,Szabad lekérdezés|Adatbázisok|Beállítások"_s;
    // The maker's home page and mail are there only when the build gives their addresses.
    const QString maker = MakerActionsPart();
    QTest::newRow("Súgó") << u"Súgó"_s << u"Súgó|"_s + maker + u"Névjegy"_s;
    QTest::newRow("tool bar 1") << u"toolbar1"_s
                                << u"Frissít|Betűméret növelés,Betűméret csökkentése|Beállítások|"
                                   u"Felhasználók,Szabad lekérdezés|Súgó|"_s +
                                       maker + u"Bezár"_s;
    QTest::newRow("tool bar 2") << u"toolbar2"_s << u"Szűrés|Új,Szerkeszt,Töröl|Nyomtat|Megnéz|Státusz"_s;
    QTest::newRow("Szűrés drop-down") << u"btnSzures"_s << u"Nincs szűrés,Időszak"_s;
    QTest::newRow("Megnéz drop-down") << u"btnMegnez"_s << u"Megnéz,2. file,3. file"_s;
    QTest::newRow("grid pop-up") << u"popup"_s
                                 << u"Státusz,Megnéz|Új,Szerkeszt,Töröl|Nyomtat,Excelbe...|Bezár"_s;
}

void TestMainWindow::menusAndToolBars()
{
    QFETCH(QString, which);
    QFETCH(QString, expected);

    Tfrm_Main w;
    QList<QAction *> actions;
    if (which == u"toolbar1")
        actions = w.mainToolBar()->actions();
    else if (which == u"toolbar2")
        actions = w.registerToolBar()->actions();
    else if (which == u"popup")
        actions = w.gridPopup()->actions();
    else if (which.startsWith(u"btn")) {
        REQUIRE_CHILD(button, QToolButton, &w, which);
        QVERIFY(button && button->menu());
        actions = button->menu()->actions();
    } else {
        const QList<QAction *> menus = w.menuBar()->actions();
        for (QAction *m : menus) {
            if (m->text() == which)
                actions = m->menu()->actions();
        }
        // The six menus in their order.
        QStringList titles;
        for (QAction *m : menus)
            titles << m->text();
        QCOMPARE(titles, QStringList({u"Orvant"_s, u"Nézet"_s, u"Törzsadatok"_s, u"Nyomtatások"_s,
                                      u"Rendszer"_s, u"Súgó"_s}));
    }
    QCOMPARE(Describe(actions), expected);
}

void TestMainWindow::hintsGoToPanel1()
{
    Tfrm_Main w;
    w.statusPanels().setText(StatusPanel::Attachment2, u"Rendezés"_s);
    QToolButton *button = qobject_cast<QToolButton *>(
        w.mainToolBar()->widgetForAction(w.actions().action(MainAction::Refresh)));
    QVERIFY(button);
    QCOMPARE(button->statusTip(), u"Frissít"_s);

    // What a tool button sends when the mouse enters it and leaves it.
    QStatusTipEvent enter(button->statusTip());
    QApplication::sendEvent(button, &enter);
    QCOMPARE(w.statusPanels().text(StatusPanel::Attachment1), u"Frissít"_s);
    QVERIFY(w.statusBar()->currentMessage().isEmpty());

    QStatusTipEvent leave{QString()};
    QApplication::sendEvent(button, &leave);
    QCOMPARE(w.statusPanels().text(StatusPanel::Attachment1), QString());
    // Other panels are left alone.
    QCOMPARE(w.statusPanels().text(StatusPanel::Attachment2), u"Rendezés"_s);

    // A later writer of panel 1 (the attachment name) wins until the next hint.
    w.statusPanels().setText(StatusPanel::Attachment1, u"level.pdf"_s);
    QCOMPARE(w.statusPanels().text(StatusPanel::Attachment1), u"level.pdf"_s);
}

void TestMainWindow::fontSize_data()
{
    QTest::addColumn<int>("start");
    QTest::addColumn<bool>("bigger");
    QTest::addColumn<int>("expected");
    QTest::newRow("9 up") << 9 << true << 10;
    QTest::newRow("10 up stays") << 10 << true << 10;
    QTest::newRow("9 down") << 9 << false << 8;
    QTest::newRow("8 down stays") << 8 << false << 8;
    QTest::newRow("10 down") << 10 << false << 9;
}

void TestMainWindow::fontSize()
{
    QFETCH(int, start);
    QFETCH(bool, bigger);
    QFETCH(int, expected);

    Beall.workstation.fontSize = start;
    Tfrm_Main w;
    w.applyFontSize();
    auto search = new QLabel(u"keresés"_s);
    search->setFont(QFont(u"Tahoma"_s, 8));
    w.setSearchPanel(search);

    (bigger ? w.actions().action(MainAction::FontBigger) : w.actions().action(MainAction::FontSmaller))
        ->trigger();
    QCOMPARE(Beall.workstation.fontSize, expected);
    QCOMPARE(w.font().pointSize(), expected);
    QCOMPARE(w.registerToolBar()->font().pointSize(), expected);
    // A control with a font of its own keeps it.
    QCOMPARE(search->font().pointSize(), 8);
}

void TestMainWindow::dialogsTakeFontSize()
{
    Beall.workstation.fontSize = 10;
    QDialog dialog;
    dialog.show();
    QCOMPARE(dialog.font().pointSize(), 10);
    dialog.close();

    Beall.workstation.fontSize = 8;
    QDialog second;
    second.show();
    QCOMPARE(second.font().pointSize(), 8);
    second.close();

    // The about box keeps the font it is designed for.
    Beall.workstation.fontSize = 10;
    Tfrm_Nevjegy about;
    about.show();
    QCOMPARE(about.font().pointSize(), 8);
    about.close();
}

void TestMainWindow::wheelBecomesKeys_data()
{
    QTest::addColumn<QPoint>("angleDelta");
    QTest::addColumn<int>("expectedRow");
    QTest::newRow("away from the user: one up") << QPoint(0, 120) << 2;
    QTest::newRow("towards the user: one down") << QPoint(0, -120) << 4;
    QTest::newRow("small touchpad step: one row too") << QPoint(0, -15) << 4;
    QTest::newRow("sideways: no row change") << QPoint(120, 0) << 3;
}

void TestMainWindow::wheelBecomesKeys()
{
    QFETCH(QPoint, angleDelta);
    QFETCH(int, expectedRow);

    QListWidget list;
    for (int i = 0; i < 30; ++i)
        list.addItem(u"Határozat %1"_s.arg(i));
    list.resize(200, 120);
    list.setCurrentRow(3);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    const QPointF pos(50, 30);
    QWheelEvent wheel(pos, list.viewport()->mapToGlobal(pos), QPoint(), angleDelta, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(list.viewport(), &wheel);
    QCOMPARE(list.currentRow(), expectedRow);
}

void TestMainWindow::makerActionsFollowTheBuild()
{
    const MakerInfo &maker = BuiltInMakerInfo();
    Tfrm_Main w;
    QCOMPARE(w.actions().action(MainAction::HomePage)->isVisible(),
             !HomePageAddress(maker.homePage).isEmpty());
    QCOMPARE(w.actions().action(MainAction::Mail)->isVisible(), !MailLink(maker.mail).isEmpty());
    QVERIFY(w.actions().action(MainAction::Help)->isVisible());

    // F1 with neither a guide beside the program nor a documentation site says so, and opens nothing.
    if (!HelpTarget(InstalledGuidePath(), maker.docsUrl).isEmpty())
        return;
    MessageBoxRecorder boxes;
    w.actions().action(MainAction::Help)->trigger();
    QCOMPARE(boxes.texts(), QStringList{u"A súgó nincs telepítve."_s});
}

void TestMainWindow::guideBesideTheProgram_data()
{
    QTest::addColumn<QString>("guideFile"); // made under a temporary folder; empty: none
    QTest::addColumn<bool>("found");
    // usr/bin/orvanth and usr/share/orvanth/help; build/src/orvanth and build/share/... alike.
    QTest::newRow("installed") << u"share/orvanth/help/index.html"_s << true;
    QTest::newRow("no guide") << QString() << false;
    QTest::newRow("guide elsewhere") << u"share/doc/orvanth/help/index.html"_s << false;
}

void TestMainWindow::guideBesideTheProgram()
{
    QFETCH(QString, guideFile);
    QFETCH(bool, found);
    QTemporaryDir root;
    QVERIFY(QDir(root.path()).mkpath(u"bin"_s));
    if (!guideFile.isEmpty()) {
        QVERIFY(QDir(root.path()).mkpath(QFileInfo(guideFile).path()));
        WriteTestFile(root.filePath(guideFile), "<html></html>");
    }
    const QString expected = found ? QDir::cleanPath(root.filePath(guideFile)) : QString();
    QCOMPARE(GuidePathBeside(root.filePath(u"bin"_s)), expected);
}

void TestMainWindow::aboutBoxNamesNoInventedMaker()
{
    Tfrm_Nevjegy about;
    QCOMPARE(about.productLabel()->text(), u"OrvantH\nV23.0.0.37"_s);
    QCOMPARE(about.licenceLabel()->text(), LicenceText());
    QStringList texts;
    for (const QLabel *label : about.findChildren<QLabel *>())
        texts << label->text();
    QVERIFY2(texts.contains(u"Orvant.H - Határozatok könyve"_s), qPrintable(texts.join(u" / ")));

    const QString contact = ContactText(BuiltInMakerInfo());
    QCOMPARE(about.contactLabel() != nullptr, !contact.isEmpty());
    QCOMPARE(texts.contains(u"Elérhetőség"_s), !contact.isEmpty());
    if (!contact.isEmpty())
        QCOMPARE(about.contactLabel()->text(), contact);
}

void TestMainWindow::shellTarget_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("address");   // expected address, for web and mail targets
    QTest::addColumn<QString>("localFile"); // expected file, for file targets
    QTest::newRow("web address") << u"https://www.example.org/prgdocs/index.php?prg=7"_s
                                 << u"https://www.example.org/prgdocs/index.php?prg=7"_s << QString();
    QTest::newRow("mail link with subject")
        << u"mailto:info@example.org?subject=OrvantH program"_s
        << u"mailto:info@example.org?subject=OrvantH program"_s << QString();
    QTest::newRow("file with # and spaces") << u"/srv/iratok/tmp/jegyzőkönyv #3 2024.pdf"_s << QString()
                                            << u"/srv/iratok/tmp/jegyzőkönyv #3 2024.pdf"_s;
    QTest::newRow("file with ? and %")
        << u"/srv/iratok/mi?100%.doc"_s << QString() << u"/srv/iratok/mi?100%.doc"_s;
    QTest::newRow("relative to the program folder")
        << u"doc/../doc/kezikonyv.pdf"_s << QString()
        << QCoreApplication::applicationDirPath() + u"/doc/kezikonyv.pdf"_s;
}

void TestMainWindow::shellTarget()
{
    QFETCH(QString, target);
    QFETCH(QString, address);
    QFETCH(QString, localFile);
    const QUrl url = ShellTargetUrl(target);
    QVERIFY(url.isValid());
    QCOMPARE(url.isLocalFile(), !localFile.isEmpty());
    if (url.isLocalFile())
        QCOMPARE(url.toLocalFile(), localFile);
    else
        QCOMPARE(url.toString(QUrl::PrettyDecoded), address);
}

void TestMainWindow::registerViewSeam()
{
    Tfrm_Main w;
    QPointer<QWidget> placeholder = w.registerView();
    QVERIFY(placeholder);

    auto view = new QLabel(u"register"_s);
    w.setRegisterView(view);
    QCOMPARE(w.registerView(), view);
    QVERIFY(w.isAncestorOf(view));
    QTRY_VERIFY(placeholder.isNull());

    auto search = new QLabel(u"search"_s);
    w.setSearchPanel(search);
    QVERIFY(w.isAncestorOf(search));

    // The register sits below tool bar 2, the search panel above it.
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const int barTop = w.registerToolBar()->mapTo(&w, QPoint(0, 0)).y();
    QVERIFY(search->mapTo(&w, QPoint(0, 0)).y() < barTop);
    QVERIFY(view->mapTo(&w, QPoint(0, 0)).y() > barTop);
    QVERIFY(view->height() > 300);
}

void TestMainWindow::splashFadesAndFrees()
{
    QPointer<Tfrm_Logo> logo = ShowSplash();
    QVERIFY(logo->isVisible());
    QCOMPARE(logo->size(), QSize(256, 256));
    QCOMPARE(logo->holdInterval(), 1000);
    // With a shorter hold the logo stays whole for all of it, then fades and frees itself.
    constexpr int hold = 200;
    QElapsedTimer held;
    held.start();
    logo->setHoldInterval(hold);
    QVERIFY(logo);
    QCOMPARE(logo->alpha(), 255);
    QTRY_VERIFY_WITH_TIMEOUT(logo.isNull() || logo->alpha() < 255, 5000);
    QVERIFY2(held.elapsed() >= hold, qPrintable(u"the fade began after %1 ms"_s.arg(held.elapsed())));
    QTRY_VERIFY_WITH_TIMEOUT(logo.isNull(), 5000);
}

void TestMainWindow::screenshots()
{
    Beall.profileName = u"Képviselő-testület"_s;
    Tfrm_Main w;
    w.updateTitle();
    w.statusPanels().setText(StatusPanel::Position, u"12: 3"_s);
    w.statusPanels().setText(StatusPanel::Attachment1, u"meghivo_2024_03.pdf"_s);
    w.resize(1026, 570);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    SaveShot(&w, u"mainwindow"_s);

    Tfrm_Nevjegy about;
    QCOMPARE(about.productLabel()->text(), u"OrvantH\nV23.0.0.37"_s);
    about.show();
    QVERIFY(QTest::qWaitForWindowExposed(&about));
    QCOMPARE(about.size(), QSize(672, 437));
    SaveShot(&about, u"about"_s);
    // It opens where it was left last time.
    about.move(140, 90);
    about.close();
    QCOMPARE(LoadFormPos(u"frm_Nevjegy"_s), QPoint(140, 90));
    Tfrm_Nevjegy again;
    again.show();
    QCOMPARE(again.pos(), QPoint(140, 90));
    again.close();

    QMenu *orvant = w.menuBar()->actions().first()->menu();
    orvant->popup(QPoint(0, 0));
    QVERIFY(QTest::qWaitForWindowExposed(orvant));
    SaveShot(orvant, u"menu_orvant"_s);
    orvant->close();
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
