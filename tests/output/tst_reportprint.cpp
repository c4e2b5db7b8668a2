#include "app/beall.h"
#include "app/frm_main.h"
#include "app/mainactions.h"
#include "app/mainregister.h"
#include "app/setup.h"
#include "common/makerinfo.h"
#include "common/paths.h"
#include "config/conprofile.h"
#include "config/inifile.h"
#include "db/query.h"
#include "gui/messagebox.h"
#include "modaldialogs.h"
#include "output/frm_nyomvalaszt.h"
#include "output/reportpreview.h"
#include "pdfwords.h"
#include "register/flowtabbar.h"
#include "register/registerquery.h"
#include "register/registerview.h"
#include "reportfixture.h"
#include "startedprogram.h"
#include "testdatabase.h"
#include "testutil.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPrinterInfo>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The private CUPS server of the test run (scripts/cups.sh, a CTest fixture) with its virtual PDF
// printer; `unavailable` says why there is none.
struct TestPrinter
{
    QString queue;
    QString outputFolder; // where cups-pdf files the jobs
    QString logFile;
    QString unavailable;
};

QString FirstLine(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readLine()).trimmed();
}

TestPrinter FindTestPrinter()
{
    const QDir dir(qEnvironmentVariable("ORVANTH_TEST_CUPS_DIR"));
    TestPrinter printer;
    if (qEnvironmentVariableIsEmpty("ORVANTH_TEST_CUPS_DIR")) {
        printer.unavailable = u"ORVANTH_TEST_CUPS_DIR is not set: run the test through CTest"_s;
        return printer;
    }
    printer.unavailable = FirstLine(dir.filePath(u"unavailable"_s));
    printer.queue = FirstLine(dir.filePath(u"queue"_s));
    printer.outputFolder = FirstLine(dir.filePath(u"outdir"_s));
    printer.logFile = dir.filePath(u"log/error_log"_s);
    if (printer.unavailable.isEmpty() && printer.queue.isEmpty())
        printer.unavailable = u"the CUPS fixture (scripts/cups.sh) did not run"_s;
    return printer;
}

QStringList PdfFilesIn(const QString &folder)
{
    return QDir(folder).entryList({u"*.pdf"_s}, QDir::Files, QDir::Name);
}

// Jobs of the queue that are not done: lpstat lists them until they are.
QString PendingJobs(const QString &queue)
{
    QProcess lpstat;
    lpstat.start(u"lpstat"_s, {u"-o"_s, queue});
    lpstat.waitForFinished(10000);
    return QString::fromLocal8Bit(lpstat.readAllStandardOutput()).trimmed();
}

// The text of a page as both outputs can give it back: its words, sorted. Left out: the time of
// printing, which two outputs a minute apart need not share, and the letters ő and ű, which the
// virtual printer's PostScript route returns without a Unicode value, breaking their word in
// two (cups-pdf makes its PDF from PostScript, where they sit outside the fonts' encoding).
QStringList ComparableWords(const PdfWords &pdf, int page)
{
    static const QRegularExpression time(u"^[0-9.:]+$"_s);
    static const QRegularExpression notReadBack(u"[őűŐŰ]"_s);
    QStringList words;
    for (const PdfWord &w : pdf.wordsOnPage(page)) {
        for (const QString &part : w.text.split(notReadBack, Qt::SkipEmptyParts)) {
            if (!time.match(part).hasMatch())
                words.append(part);
        }
    }
    words.sort();
    return words;
}

// A page drawn at 50 dots per inch in grey by poppler; a null image when it cannot be.
QImage PageImage(const QString &pdfPath, int page, const QString &folder)
{
    const QString prefix = QDir(folder).filePath(u"page%1"_s.arg(page));
    const QString number = QString::number(page + 1);
    QProcess pdftoppm;
    pdftoppm.start(u"pdftoppm"_s, {u"-gray"_s, u"-r"_s, u"50"_s, u"-f"_s, number, u"-l"_s, number,
                                   u"-singlefile"_s, pdfPath, prefix});
    if (!pdftoppm.waitForFinished(60000) || pdftoppm.exitCode() != 0)
        return QImage();
    return QImage(prefix + u".pgm"_s).convertToFormat(QImage::Format_Grayscale8);
}

// How many dots of two pictures of a page differ by more than a grey step that edge smoothing
// makes; -1 when their sizes differ.
qsizetype DifferentDots(const QImage &a, const QImage &b)
{
    if (a.size() != b.size())
        return -1;
    qsizetype count = 0;
    for (int y = 0; y < a.height(); ++y) {
        const uchar *lineA = a.constScanLine(y);
        const uchar *lineB = b.constScanLine(y);
        for (int x = 0; x < a.width(); ++x)
            count += std::abs(int(lineA[x]) - int(lineB[x])) > 96 ? 1 : 0;
    }
    return count;
}

} // namespace

// Printing from the main window: aNyomtat and aLista through the print choice to a PDF file,
// the preview or the export window, on a started program over the report fixture.
class TestReportPrint : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        REQUIRE_TEST_SERVER();
        SetUpApplication(*qApp);
    }
    void init();
    void cleanup();

    void listFollowsSearchAndOrder();
    void pdfChoiceTellsWhereTheFileWentAndOpensIt_data();
    void pdfChoiceTellsWhereTheFileWentAndOpensIt();
    void emptyListPrintsTheResolutionReportWithoutText();
    void cancelledChoicePrintsNothing_data();
    void cancelledChoicePrintsNothing();
    void exportChoiceOpensTheExportWindowOnTheReportRows();
    void previewChoiceShowsThePreview();
    void printsOnAPrinterQueue_data();
    void printsOnAPrinterQueue();

private:
    RegisterView &view() { return m_window->mainRegister()->view(); }
    // Triggers the action and answers the print choice with `choice`; for the PDF file the save
    // dialog gets `target` as the path, for the printer the printer box gets it as the name. A
    // written PDF file is told with the offer to open it, which `openPdf` answers.
    void print(QAction *action, int choice, const QString &target = QString(), bool openPdf = false);
    void search(const QString &text);

    std::unique_ptr<ScopedDataFolder> m_folder;
    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Tfrm_Main> m_window;
    QTemporaryDir m_dir;
};

void TestReportPrint::init()
{
    m_folder = std::make_unique<ScopedDataFolder>();
    Beall = TBeall();
    m_db = std::make_unique<TestDatabase>();
    {
        Connection connection(m_db->params());
        connection.open();
        FillReportFixture(connection);
    }
    m_window = StartMainWindow(*m_db);
    QVERIFY(m_window);
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    // The program-wide printer, as the settings file would give it.
    Beall.workstation.printer = u"Irodai nyomtató"_s;
    // Every committee of the year.
    FlowTabBar *committees = view().committeeTabs();
    committees->setCurrentIndex(committees->count() - 1);
    QCOMPARE(committees->currentText(), u"Összes"_s);
    // The register's rows are read on another thread.
    QTRY_VERIFY_WITH_TIMEOUT(!view().isBusy(), 20000);
}

void TestReportPrint::cleanup()
{
    VerifyNoDialogLeftOpen();
    m_window.reset();
    m_db.reset();
    m_folder.reset();
}

void TestReportPrint::print(QAction *action, int choice, const QString &target, bool openPdf)
{
    std::optional<MessageBoxRecorder> boxes;
    if (choice == OutputPdf)
        boxes.emplace(std::initializer_list<bool>{openPdf});

    const ModalAnswer choiceDialog =
        AnswerModal(u"Nyomtatás típusa"_s, [choice, pdfPath = target](QDialog *dialog) {
            auto form = qobject_cast<Tfrm_NyomValaszt *>(dialog);
            QVERIFY(form);
            form->item(choice)->click();
            if (choice == OutputPrinter)
                form->printerBox()->setEditText(pdfPath);
            if (choice == OutputPdf) {
                AnswerModal(u"Mentés PDF fileba"_s, [pdfPath](QDialog *files) {
                    auto fileDialog = qobject_cast<QFileDialog *>(files);
                    QVERIFY(fileDialog);
                    // selectFile() leaves the name alone once the name field has the focus, which it
                    // gets when the dialog becomes active: the path goes into the field itself.
                    REQUIRE_CHILD(name, QLineEdit, fileDialog, u"fileNameEdit"_s);
                    QVERIFY(name);
                    name->setText(pdfPath);
                    static_cast<QDialog *>(fileDialog)->accept();
                });
            }
            form->okButton()->click();
        });
    action->trigger();
    if (boxes) {
        const QString shown = QDir::toNativeSeparators(QFileInfo(target).absoluteFilePath());
        QCOMPARE(boxes->texts(), QStringList{shown + u" file kész.\nMegnyitja?"_s});
        QCOMPARE(boxes->unanswered(), 0);
    }
}

void TestReportPrint::search(const QString &text)
{
    view().searchEdit()->setText(text);
    QTRY_VERIFY_WITH_TIMEOUT(!view().isBusy(), 20000); // the rows are read on another thread
}

void TestReportPrint::listFollowsSearchAndOrder()
{
    QCOMPARE(view().yearTabs()->currentText(), u"2024"_s);
    SaveShot(m_window.get(), u"register"_s);
    search(u"elfogad"_s);
    // Sorted by the responsible person: "pénzügyi osztály" before "polgármester", against the
    // register's own order.
    QHeaderView *header = view().grid()->horizontalHeader();
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                      QPoint(header->sectionViewportPosition(5) + 5, header->height() / 2));
    QTRY_VERIFY_WITH_TIMEOUT(!view().isBusy(), 20000);
    RegisterQuery &rows = view().registerQuery();
    QCOMPARE(rows.query().rowCount(), 2);
    SaveShot(m_window.get(), u"register-search"_s);
    // The heading is not among the grid's columns: read for each record as it becomes current.
    QStringList expected;
    for (int row = 0; row < rows.query().rowCount(); ++row) {
        rows.query().setRecNo(row);
        expected.append(rows.currentText(u"hosszu"_s));
    }
    QVERIFY(expected.first().startsWith(u"Pénzügyi Bizottság 1/2024."_s));

    const QString path = m_dir.filePath(u"lista.pdf"_s);
    print(m_window->actions().action(MainAction::PrintList), OutputPdf, path);
    const PdfWords pdf(path);
    QVERIFY2(pdf.error().isEmpty(), qPrintable(pdf.error()));
    QCOMPARE(pdf.pageCount(), 1);
    const QString text = pdf.text();
    const qsizetype first = text.indexOf(expected[0]);
    const qsizetype second = text.indexOf(expected[1]);
    QVERIFY2(first >= 0 && second > first, qPrintable(text));
    // The rest of 2024 is not on the list.
    for (const QString &other : {u"Rendelet módosítása"_s, u"Adóbevételek"_s, u"Közvilágítás"_s})
        QVERIFY2(!text.contains(other), qPrintable(other));
    const auto caption = NearestPlace(pdf, 0, u"2024"_s, Edge::Left, QPointF(10, 20.6));
    QVERIFY(caption && std::abs(caption->y() - 20.6) < 0.5 && std::abs(caption->x() - 10) < 0.5);
}

void TestReportPrint::pdfChoiceTellsWhereTheFileWentAndOpensIt_data()
{
    QTest::addColumn<bool>("open");
    QTest::newRow("opened") << true;
    QTest::newRow("not opened") << false;
}

// After the PDF file is written the program says where it went and offers to open it (the
// text of the box is checked by print()); only a Yes hands the file to the desktop.
void TestReportPrint::pdfChoiceTellsWhereTheFileWentAndOpensIt()
{
    QFETCH(bool, open);
    UrlCatcher opened;
    // A name of its own for each case: the save dialog would ask before overwriting.
    const QString path = m_dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + u".pdf"_s);
    print(m_window->actions().action(MainAction::PrintList), OutputPdf, path, open);
    QVERIFY(QFileInfo(path).size() > 0);
    QCOMPARE(opened.urls, open ? QList<QUrl>{QUrl::fromLocalFile(path)} : QList<QUrl>());
}

void TestReportPrint::emptyListPrintsTheResolutionReportWithoutText()
{
    search(u"nincsilyenszó"_s);
    QCOMPARE(view().registerQuery().query().rowCount(), 0);
    const QString path = m_dir.filePath(u"ures.pdf"_s);
    print(m_window->actions().action(MainAction::Print), OutputPdf, path);
    const PdfWords pdf(path);
    QVERIFY2(pdf.error().isEmpty(), qPrintable(pdf.error()));
    QCOMPARE(pdf.pageCount(), 1);
    // The title block with empty fields and the footer; no text band.
    QStringList words = pdf.text().split(u' ');
    words.removeIf([](const QString &w) { return QRegularExpression(u"^[0-9.:]+$"_s).match(w).hasMatch(); });
    words.sort();
    const QString shown =
        u"Határozat Dátum Határidő Felelős "_s + OwnerName + u" Hársfalva +36 Orvant.H oldal: "_s;
    QStringList expected = shown.split(u' ', Qt::SkipEmptyParts);
    // The footer names the maker's web address only when the build sets one.
    if (const QString web = ShownWebAddress(BuiltInMakerInfo().homePage); !web.isEmpty())
        expected << web;
    expected << u"qrHatarozat"_s;
    expected.sort();
    QCOMPARE(words, expected);
}

void TestReportPrint::cancelledChoicePrintsNothing_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("button");
    QTest::newRow("aNyomtat, Mégsem") << u"aNyomtat"_s << u"btnMegsem"_s;
    QTest::newRow("aLista, Mégsem") << u"aLista"_s << u"btnMegsem"_s;
    QTest::newRow("aLista, closed") << u"aLista"_s << QString();
}

void TestReportPrint::cancelledChoicePrintsNothing()
{
    QFETCH(QString, action);
    QFETCH(QString, button);
    int exports = 0;
    m_window->mainRegister()->setExportWindowOpener([&exports](Query &) { ++exports; });
    std::unique_ptr<ModalWatch> after;
    const ModalAnswer choiceDialog = AnswerModal(u"Nyomtatás típusa"_s, [&](QDialog *dialog) {
        auto form = qobject_cast<Tfrm_NyomValaszt *>(dialog);
        // Even with the printer and another printer chosen, cancelling uses neither.
        form->item(OutputPrinter)->click();
        form->printerBox()->setEditText(u"Másik"_s);
        after = std::make_unique<ModalWatch>();
        if (button.isEmpty()) {
            form->close();
        } else {
            REQUIRE_CHILD(pressed, QPushButton, form, button);
            pressed->click();
        }
    });
    MessageBoxRecorder boxes;
    m_window->actions().byName(action)->trigger();
    QVERIFY(after);
    QCOMPARE(after->seen(), QStringList());
    QCOMPARE(boxes.count(), 0); // printing would have told that there is no printer
    QCOMPARE(exports, 0);
    QCOMPARE(Beall.workstation.printer, u"Irodai nyomtató"_s);
}

void TestReportPrint::exportChoiceOpensTheExportWindowOnTheReportRows()
{
    // The main window plugs the export window in, so the choice offers it.
    bool offered = false;
    const ModalAnswer choiceDialog = AnswerModal(u"Nyomtatás típusa"_s, [&offered](QDialog *dialog) {
        offered = qobject_cast<Tfrm_NyomValaszt *>(dialog)->item(OutputExport)->isEnabled();
        dialog->reject();
    });
    m_window->actions().action(MainAction::PrintList)->trigger();
    QVERIFY(offered);

    QList<qint64> exported;
    m_window->mainRegister()->setExportWindowOpener([&exported](Query &query) {
        for (int row = 0; row < query.rowCount(); ++row) {
            query.setRecNo(row);
            exported.append(query.value(u"iktato"_s).toLongLong());
        }
    });
    print(m_window->actions().action(MainAction::PrintList), OutputExport);
    const Query &rows = view().registerQuery().query();
    QList<qint64> listed;
    for (int row = 0; row < rows.rowCount(); ++row)
        listed.append(rows.result().value(row, rows.fieldIndex(u"iktato"_s)).toLongLong());
    QCOMPARE(exported, listed);
    QCOMPARE(exported.size(), 4);
}

void TestReportPrint::previewChoiceShowsThePreview()
{
    QString pages;
    const ModalAnswer choiceDialog = AnswerModal(u"Nyomtatás típusa"_s, [&](QDialog *dialog) {
        qobject_cast<Tfrm_NyomValaszt *>(dialog)->okButton()->click(); // the preview is preselected
    });
    const ModalAnswer previewDialog = AnswerModal(
        u"Nyomtatási kép - Határozat"_s,
        [&](QDialog *dialog) {
            auto preview = qobject_cast<ReportPreview *>(dialog);
            QVERIFY(preview);
            QTRY_VERIFY(!preview->pageCountLabel()->text().endsWith(u"…"_s));
            pages = preview->pageCountLabel()->text();
            preview->reject();
        },
        10000);
    QVERIFY(view().registerQuery().locateId(LongRecordId));
    m_window->actions().action(MainAction::Print)->trigger();
    QVERIFY(previewDialog.answered());
    QVERIFY2(pages.mid(2).toInt() >= 3, qPrintable(pages));
}

void TestReportPrint::printsOnAPrinterQueue_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<int>("recordId"); // the record under the cursor
    QTest::addColumn<QString>("reportName");
    // The long record runs over several pages, each with its footer.
    QTest::newRow("record sheet") << u"aNyomtat"_s << LongRecordId << u"qrHatarozat"_s;
    QTest::newRow("list report") << u"aLista"_s << ShortRecordId << u"qrLista"_s;
}

// Both reports through the print choice to a real CUPS queue, read back from the pages the
// virtual printer made: the same words in the same places, on as many pages, as the report's own
// PDF file.
void TestReportPrint::printsOnAPrinterQueue()
{
    QFETCH(QString, action);
    QFETCH(int, recordId);
    QFETCH(QString, reportName);
    const TestPrinter printer = FindTestPrinter();
    if (!printer.unavailable.isEmpty())
        QSKIP(qPrintable(u"no CUPS server to print on: "_s + printer.unavailable));
    QVERIFY2(QPrinterInfo::availablePrinterNames().contains(printer.queue),
             qPrintable(QPrinterInfo::availablePrinterNames().join(u", "_s)));
    QVERIFY(view().registerQuery().locateId(recordId));
    QAction *printAction = m_window->actions().byName(action);

    const QString filePath = m_dir.filePath(reportName + u".pdf"_s);
    print(printAction, OutputPdf, filePath);
    const PdfWords file(filePath);
    QVERIFY2(file.error().isEmpty(), qPrintable(file.error()));

    const QStringList before = PdfFilesIn(printer.outputFolder);
    MessageBoxRecorder boxes;
    // Typed in other letter case, the name still finds the installed queue.
    print(printAction, OutputPrinter, printer.queue.toLower());
    QCOMPARE(boxes.texts(), QStringList());
    // The job is queued when the print returns; cups-pdf writes the file when it has run.
    QStringList made;
    auto printedFiles = [&] {
        made = PdfFilesIn(printer.outputFolder);
        made.removeIf([&before](const QString &f) { return before.contains(f); });
        return PendingJobs(printer.queue).isEmpty() && !made.isEmpty();
    };
    QTRY_VERIFY2_WITH_TIMEOUT(printedFiles(),
                              qPrintable(u"no printed file; the server's log ends: "_s +
                                         QString::fromLocal8Bit(ReadTestFile(printer.logFile).right(600))),
                              60000);
    QCOMPARE(made.size(), 1);
    const QString printedPath = QDir(printer.outputFolder).filePath(made.first());
    // The virtual printer's folder is shared: the file goes also when a check fails.
    const auto removePrinted = qScopeGuard([&printedPath] { QFile::remove(printedPath); });
    const PdfWords printed(printedPath);
    QVERIFY2(printed.error().isEmpty(), qPrintable(printed.error()));
    QCOMPARE(printed.pageCount(), file.pageCount());
    for (int page = 0; page < printed.pageCount(); ++page) {
        QVERIFY2(!printed.find(page, reportName).isEmpty(), qPrintable(printed.text(page)));
        QCOMPARE(ComparableWords(printed, page), ComparableWords(file, page));
        // Everything in its place: the printed page looks like the file's but for edge smoothing
        // (measured: a few dozen of some 240,000 dots; one word moved or missing is hundreds).
        const QImage printedImage = PageImage(printedPath, page, m_dir.path());
        const QImage fileImage = PageImage(filePath, page, m_dir.path());
        QVERIFY(!printedImage.isNull() && !fileImage.isNull());
        const qsizetype different = DifferentDots(printedImage, fileImage);
        QVERIFY2(different >= 0 && different < 150,
                 qPrintable(u"page %1: %2 dots differ"_s.arg(page + 1).arg(different)));
    }
}

QTEST_MAIN(TestReportPrint)
#include "tst_reportprint.moc"
