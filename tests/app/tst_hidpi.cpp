#include "app/application.h"
#include "app/beall.h"
#include "app/frm_logo.h"
#include "app/frm_main.h"
#include "app/frm_nevjegy.h"
#include "app/setup.h"
#include "common/cp1250.h"
#include "common/paths.h"
#include "config/inifile.h"
#include "gui/icons.h"
#include "output/printchoicepictures.h"
#include "startedprogram.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QAction>
#include <QDir>
#include <QLabel>
#include <QTest>
#include <QToolBar>

using namespace Qt::StringLiterals;

// The program on a screen at a scale factor of 2: pictures are drawn with twice the pixels, not
// enlarged from small ones.
class TestHiDpi : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void toolBarIconsHaveDoubleSizePictures();
    void drawnPicturesUseTheScreensPixels_data();
    void drawnPicturesUseTheScreensPixels();
};

void TestHiDpi::initTestCase()
{
    SetUpApplication(*qApp);
    QCOMPARE(qGuiApp->devicePixelRatio(), 2.0);
}

// Every action of both tool bars has a picture drawn at twice its shown size; the main window is
// saved as a picture for a person to look at.
void TestHiDpi::toolBarIconsHaveDoubleSizePictures()
{
    REQUIRE_TEST_SERVER();
    ScopedDataFolder folder;
    Beall = TBeall();
    TestDatabase db;
    REQUIRE_SQL(db.client(
        ToCp1250(u"INSERT INTO csoport (csoport, csoport_nev) VALUES (1, 'Pénzügyi Bizottság');"_s)));
    // At the designed size, not over the whole screen.
    QVERIFY(QDir().mkpath(DataFolder()));
    IniFile(SettingsFilePath()).writeString(u"Alapertek"_s, u"TeljesKep"_s, u"0"_s);
    IniFile(SettingsFilePath()).writeString(u"Alapertek"_s, u"Szeles"_s, u"1026"_s);
    IniFile(SettingsFilePath()).writeString(u"Alapertek"_s, u"Magas"_s, u"570"_s);
    const std::unique_ptr<Tfrm_Main> started = StartMainWindow(db);
    QVERIFY(started);
    Tfrm_Main &window = *started;
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.devicePixelRatio(), 2.0);

    for (QToolBar *bar : {window.mainToolBar(), window.registerToolBar()}) {
        const QSize shown = bar->iconSize();
        for (QAction *action : bar->actions()) {
            if (action->isSeparator() || action->icon().isNull())
                continue;
            bool sharp = false;
            for (const QSize available : action->icon().availableSizes())
                sharp = sharp ||
                        (available.width() >= 2 * shown.width() && available.height() >= 2 * shown.height());
            QVERIFY2(sharp, qPrintable(bar->objectName() + u": "_s + action->objectName()));
        }
    }
    SaveShot(&window, u"main-scale2"_s);
    window.close();
}

void TestHiDpi::drawnPicturesUseTheScreensPixels_data()
{
    QTest::addColumn<QString>("picture");
    QTest::newRow("logo") << u"logo"_s;
    QTest::newRow("print choice") << u"print choice"_s;
    QTest::newRow("about box logo") << u"about"_s;
}

void TestHiDpi::drawnPicturesUseTheScreensPixels()
{
    QFETCH(QString, picture);
    QPixmap pixmap;
    QSize logical;
    if (picture == u"logo"_s) {
        pixmap = LogoPixmap(256);
        logical = QSize(256, 256);
    } else if (picture == u"print choice"_s) {
        pixmap = PrintChoicePicture(1, 96);
        logical = QSize(96, 96);
    } else {
        Tfrm_Nevjegy about;
        about.show();
        QVERIFY(QTest::qWaitForWindowExposed(&about));
        for (const QLabel *label : about.findChildren<QLabel *>()) {
            if (!label->pixmap().isNull())
                pixmap = label->pixmap();
        }
        logical = QSize(256, 256);
    }
    QVERIFY(!pixmap.isNull());
    QCOMPARE(pixmap.devicePixelRatio(), 2.0);
    QCOMPARE(pixmap.size(), logical * 2);
    QCOMPARE(pixmap.deviceIndependentSize().toSize(), logical);
}

int main(int argc, char *argv[])
{
    qputenv("QT_SCALE_FACTOR", "2");
    OrvanthApplication app(argc, argv);
    TestHiDpi test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_hidpi.moc"
