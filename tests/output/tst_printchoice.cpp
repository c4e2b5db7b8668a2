#include "app/setup.h"
#include "common/paths.h"
#include "modaldialogs.h"
#include "output/frm_nyomvalaszt.h"
#include "output/reportoutput.h"
#include "testutil.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTest>
#include <memory>

using namespace Qt::StringLiterals;

// The print choice dialog: its items and pictures, the printer box, and what it answers.
class TestPrintChoice : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { SetUpApplication(*qApp); }
    void init()
    {
        m_folder = std::make_unique<ScopedDataFolder>();
        QDir().mkpath(DataFolder());
    }
    void cleanup()
    {
        VerifyNoDialogLeftOpen();
        m_folder.reset();
    }

    void opensOnPreviewWithPrinterBoxDisabled();
    void itemShowsItsPictureAndEnablesPrinterBox_data();
    void itemShowsItsPictureAndEnablesPrinterBox();
    void installedPrinter_data();
    void installedPrinter();
    void printerBoxText_data();
    void printerBoxText();
    void answers_data();
    void answers();
    void exportItemNeedsExportWindow();
    void placeIsRemembered();

private:
    std::unique_ptr<ScopedDataFolder> m_folder;
};

void TestPrintChoice::installedPrinter_data()
{
    QTest::addColumn<QString>("name"); // as chosen, or as the settings file holds it
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("printer"); // empty: the default printer prints

    const QStringList installed{u"Iroda"_s, u"Titkárság_HP"_s, u"PDF"_s};
    QTest::newRow("same name") << u"Iroda"_s << installed << u"Iroda"_s;
    // The installed spelling is the one the printer is set to.
    QTest::newRow("other letter case") << u"iRODA"_s << installed << u"Iroda"_s;
    QTest::newRow("accented, other case") << u"TITKÁRSÁG_hp"_s << installed << u"Titkárság_HP"_s;
    QTest::newRow("no longer installed") << u"Régi nyomtató"_s << installed << QString();
    QTest::newRow("only a part of a name") << u"Irod"_s << installed << QString();
    QTest::newRow("empty name") << QString() << installed << QString();
    QTest::newRow("no printer installed") << u"Iroda"_s << QStringList() << QString();
}

// The print choice's name against the installed printers, as the print uses it.
void TestPrintChoice::installedPrinter()
{
    QFETCH(QString, name);
    QFETCH(QStringList, installed);
    QFETCH(QString, printer);
    QCOMPARE(InstalledPrinterName(name, installed), printer);
}

void TestPrintChoice::opensOnPreviewWithPrinterBoxDisabled()
{
    Tfrm_NyomValaszt dialog({u"Iroda"_s, u"Titkárság"_s});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(dialog.windowTitle(), u"Nyomtatás típusa"_s);
    QStringList captions;
    for (int i = 0; i < 4; ++i)
        captions.append(dialog.item(i)->text());
    QCOMPARE(captions, (QStringList{u"Nyomtatási kép"_s, u"Nyomtatás"_s, u"Excelbe (CSV)"_s, u"PDF file"_s}));
    QCOMPARE(dialog.choice(), int(OutputPreview));
    QVERIFY(!dialog.printerBox()->isEnabled());
    QVERIFY(!dialog.printerLabel()->isEnabled());
    QVERIFY(dialog.okButton()->isDefault());
}

void TestPrintChoice::itemShowsItsPictureAndEnablesPrinterBox_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("printerBox");
    QTest::newRow("preview") << int(OutputPreview) << false;
    QTest::newRow("printer") << int(OutputPrinter) << true;
    QTest::newRow("export") << int(OutputExport) << false;
    QTest::newRow("pdf") << int(OutputPdf) << false;
}

void TestPrintChoice::itemShowsItsPictureAndEnablesPrinterBox()
{
    QFETCH(int, choice);
    QFETCH(bool, printerBox);
    Tfrm_NyomValaszt dialog({u"Iroda"_s});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    // Away and back, so that every item is reached by a click from another one.
    QTest::mouseClick(dialog.item(choice == 3 ? 2 : 3), Qt::LeftButton);
    QTest::mouseClick(dialog.item(choice), Qt::LeftButton);
    QCOMPARE(dialog.choice(), choice);
    for (int i = 0; i < 4; ++i) {
        REQUIRE_CHILD(picture, QLabel, &dialog, u"Image%1"_s.arg(i + 1));
        QVERIFY(picture);
        QVERIFY(!picture->pixmap().isNull());
        QCOMPARE(picture->isVisible(), i == choice);
    }
    QCOMPARE(dialog.printerBox()->isEnabled(), printerBox);
    QCOMPARE(dialog.printerLabel()->isEnabled(), printerBox);
    SaveShot(&dialog, u"report-choice-"_s + QString::fromLatin1(QTest::currentDataTag()));
}

void TestPrintChoice::printerBoxText_data()
{
    QTest::addColumn<QStringList>("installed");
    QTest::addColumn<QString>("given");
    QTest::addColumn<QString>("shown");
    const QStringList two{u"Iroda"_s, u"Titkárság"_s};
    QTest::newRow("no name: the first printer") << two << QString() << u"Iroda"_s;
    QTest::newRow("installed printer") << two << u"Titkárság"_s << u"Titkárság"_s;
    QTest::newRow("other letter case kept") << two << u"titkárság"_s << u"titkárság"_s;
    QTest::newRow("printer no longer installed") << two << u"Régi"_s << u"Régi"_s;
    QTest::newRow("no printers, no name") << QStringList() << QString() << QString();
    QTest::newRow("no printers, a name") << QStringList() << u"Régi"_s << u"Régi"_s;
}

void TestPrintChoice::printerBoxText()
{
    QFETCH(QStringList, installed);
    QFETCH(QString, given);
    QFETCH(QString, shown);
    Tfrm_NyomValaszt dialog(installed);
    dialog.setPrinterName(given);
    QCOMPARE(dialog.printerName(), shown);
    QCOMPARE(dialog.printerBox()->count(), installed.size());
}

void TestPrintChoice::answers_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<QString>("typedPrinter");
    QTest::addColumn<QString>("button"); // objectName of the button pressed, or a key
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("printerAfter");
    QTest::newRow("OK on preview") << 0 << QString() << u"btnOK"_s << 0 << u"Alap"_s;
    QTest::newRow("OK on printer with another printer") << 1 << u"Másik"_s << u"btnOK"_s << 1 << u"Másik"_s;
    QTest::newRow("OK on PDF") << 3 << QString() << u"btnOK"_s << 3 << u"Alap"_s;
    QTest::newRow("Enter is OK") << 3 << QString() << u"Enter"_s << 3 << u"Alap"_s;
    QTest::newRow("Mégsem keeps the printer") << 1 << u"Másik"_s << u"btnMegsem"_s << -1 << u"Alap"_s;
    QTest::newRow("Esc keeps the printer") << 1 << u"Másik"_s << u"Esc"_s << -1 << u"Alap"_s;
}

void TestPrintChoice::answers()
{
    QFETCH(int, choice);
    QFETCH(QString, typedPrinter);
    QFETCH(QString, button);
    QFETCH(int, result);
    QFETCH(QString, printerAfter);
    const ModalAnswer choiceDialog = AnswerModal([&](QWidget *w) {
        auto dialog = qobject_cast<Tfrm_NyomValaszt *>(w);
        QVERIFY(dialog);
        dialog->item(choice)->click();
        if (!typedPrinter.isEmpty())
            dialog->printerBox()->setEditText(typedPrinter);
        if (button == u"Enter")
            QTest::keyClick(dialog, Qt::Key_Return);
        else if (button == u"Esc")
            QTest::keyClick(dialog, Qt::Key_Escape);
        else if (auto *pressed = RequireChild<QPushButton>(dialog, button))
            pressed->click();
    });
    QString printer = u"Alap"_s;
    QCOMPARE(ChoosePrintOutput(printer, true, nullptr), result);
    QCOMPARE(printer, printerAfter);
}

void TestPrintChoice::exportItemNeedsExportWindow()
{
    Tfrm_NyomValaszt dialog({});
    dialog.setChoice(OutputExport);
    QCOMPARE(dialog.choice(), int(OutputExport));
    dialog.setExportAvailable(false);
    QVERIFY(!dialog.item(OutputExport)->isEnabled());
    QCOMPARE(dialog.choice(), int(OutputPreview));
    dialog.setChoice(OutputExport);
    QCOMPARE(dialog.choice(), int(OutputPreview));
}

void TestPrintChoice::placeIsRemembered()
{
    {
        Tfrm_NyomValaszt dialog({});
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.move(123, 77);
        dialog.accept();
    }
    Tfrm_NyomValaszt again({});
    again.show();
    QVERIFY(QTest::qWaitForWindowExposed(&again));
    QCOMPARE(again.pos(), QPoint(123, 77));
}

QTEST_MAIN(TestPrintChoice)
#include "tst_printchoice.moc"
