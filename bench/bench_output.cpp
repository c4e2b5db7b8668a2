// Output with a large register: the export window, the list report's preview and its PDF, each
// against a yardstick measured in the same run.
//
//   bench-output --port P --socket S --database D [--runs N] [--folder F]
//
// - CSV export of "Összes" through the export window (the rows fetched, then written) against
//   `mariadb -B` of the same SELECT into a file;
// - XLSX (and XLS) export of "Összes" against the CSV export;
// - the list report of one year: the query run and the first preview page painted, against
//   the register opening the same year tab and painting its first rows;
// - the PDF of that year's list against the same texts written by QTextDocument::print;
// - resident memory while the whole "Összes" list is previewed, against the result's bytes.
// Times are medians of several runs.

#include "app/setup.h"
#include "benchclient.h"
#include "benchregister.h"
#include "common/sqltext.h"
#include "db/connection.h"
#include "db/query.h"
#include "gui/messagebox.h"
#include "output/frm_hatarolt.h"
#include "output/qrlista.h"
#include "output/reportdata.h"
#include "output/reportoutput.h"
#include "output/reportpreview.h"
#include "db/resultset.h"
#include "register/flowtabbar.h"
#include "register/registerlistreader.h"
#include "register/registerquery.h"
#include "register/registerview.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPageLayout>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTextBlockFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

double ElapsedMs(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

double FileMb(const QString &path)
{
    return double(QFileInfo(path).size()) / (1024.0 * 1024.0);
}

// The register's SQL text for a year tab ("Összes" for every year), as the register builds it.
QString RegisterSql(RegisterView &view, int yearTab)
{
    view.yearTabs()->setCurrentIndex(yearTab);
    SettleRegister(view);
    return view.registerQuery().query().sqlText();
}

// One export as the user runs it: the query fetched (as the register does before the window can
// open), then the window's "Export indítás" on every field.
double ExportMs(Connection &con, const QString &sql, const QString &path)
{
    QFile::remove(path);
    QElapsedTimer t;
    t.start();
    Query query(&con);
    query.setSql(sql);
    query.open();
    Tfrm_Hatarolt window(query);
    window.setFileName(path);
    MessageBoxRecorder boxes; // the closing message would wait for a click
    window.startButton()->click();
    const double ms = ElapsedMs(t);
    const bool failed = std::any_of(boxes.boxes().begin(), boxes.boxes().end(), [](const auto &box) {
        return box.kind == MessageBoxRecorder::Kind::Error;
    });
    if (failed || !QFileInfo::exists(path))
        qFatal("export to %s failed: %s", qPrintable(path), qPrintable(boxes.texts().join(u' ')));
    return ms;
}

// The same texts the list report prints, as plain paragraphs of a QTextDocument on A4 with the
// report's margins: what a general text layout costs for the same words.
void WriteTextDocumentPdf(const ResultSet &result, const QString &path)
{
    const ReportRows rows(result);
    QTextDocument document;
    QFont base(u"Tahoma"_s, 8);
    document.setDefaultFont(base);
    QTextCursor cursor(&document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    QTextCharFormat plain;
    for (int row = 0; row < rows.count(); ++row) {
        if (row > 0)
            cursor.insertBlock();
        cursor.insertText(rows.text(row, ReportRows::Hosszu), bold);
        cursor.insertBlock();
        cursor.insertText(rows.text(row, ReportRows::Datum) + u'\t' + rows.text(row, ReportRows::Targy) +
                              u'\t' + rows.text(row, ReportRows::Felelos) + u'\t' +
                              rows.text(row, ReportRows::DatHatid) + u'\t' +
                              rows.text(row, ReportRows::StatuszNev),
                          plain);
        cursor.insertBlock();
        cursor.insertText(rows.text(row, ReportRows::Hatarozat), plain);
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                      QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
    document.print(&printer);
}

// Shows the preview and waits until its first page is on the screen, as the user waits for it.
void ShowFirstPage(ReportPreview &preview)
{
    preview.resize(900, 1000);
    preview.show();
    while (preview.pageView()->paintedPages() < 1)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

struct PreviewMemory
{
    int rows = 0;
    int pages = 0;
    double resultMb = 0;
    double firstPageMb = 0; // resident growth with the first page shown
    double laidOutMb = 0;   // ... with every page laid out and the last one shown
};

// The whole "Összes" list in the preview: memory over the process's state before the query.
PreviewMemory PreviewAll(Connection &con, const QString &sql)
{
    PreviewMemory m;
    const long before = ResidentKb();
    RegisterListReader rows(con, sql);
    rows.waitForFirstRows();
    rows.throwIfFailed();
    const Query &query = rows.query();
    QrLista report(query.result(), LoadReportOwner(con), u"Összes"_s);
    ReportPreview preview(report, QString());
    preview.followRows(rows);
    ShowFirstPage(preview);
    m.firstPageMb = double(ResidentKb() - before) / 1024.0;
    // The preview lays out the rest while idle ("/ 12…" until the number is known); wait for it,
    // then look at the last page.
    while (preview.pageCountLabel()->text().endsWith(u"…"_s))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    m.pages = preview.pageCountLabel()->text().mid(2).toInt();
    preview.pageView()->goToLastPage();
    preview.pageView()->viewport()->repaint();
    m.laidOutMb = double(ResidentKb() - before) / 1024.0;
    m.rows = query.rowCount();
    m.resultMb = double(query.result().dataBytes()) / (1024.0 * 1024.0);
    return m;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    KeepLargeBlocksMapped();
    QApplication app(argc, argv);
    SetUpApplication(app);
    QCommandLineParser parser;
    AddServerOptions(parser, 3);
    parser.addOption(
        {u"folder"_s, u"folder for the files written (a temporary one by default)"_s, u"folder"_s});
    parser.process(app);
    const BenchServer server = ServerOptions(parser);
    const MariadbClient client = server.client();
    const int runs = server.runs;
    QTemporaryDir temporary;
    const QDir folder(parser.isSet(u"folder"_s) ? parser.value(u"folder"_s) : temporary.path());

    Connection con(server.params());
    con.open();

    // The register, as in the main window, gives the statements: "Összes" of every committee,
    // and a full year that is not the running one. "Összes" is not opened in the register, so
    // that the memory figure below starts from a process that has never held those rows.
    QWidget registerWindow;
    RegisterView *view = ShowRegister(registerWindow, con);
    const RegisterQuery &registerQuery = view->registerQuery();
    RegisterFilter everyYear = registerQuery.statement().filter();
    everyYear.year = 0;
    everyYear.search.clear();
    const QString allSql = RegisterStatement(everyYear).sql();
    const int allTab = view->yearTabs()->count() - 1;
    const int yearTab = std::min(1, allTab);

    // Memory first, while the process has not yet held other big results.
    const PreviewMemory memory = PreviewAll(con, allSql);

    const QString yearSql = RegisterSql(*view, yearTab);
    const RegisterStatement yearStatement = view->registerQuery().statement();
    const bool yearFirstPartAlone = view->registerQuery().firstScreenfulIsQuick();
    const QString yearCaption = view->yearTabs()->currentText();

    // Export of "Összes".
    const QString csv = folder.filePath(u"Iktato.csv"_s);
    const QString xlsx = folder.filePath(u"Iktato.xlsx"_s);
    const QString xls = folder.filePath(u"Iktato.xls"_s);
    const QString clientFile = folder.filePath(u"mariadb-B.txt"_s);
    QList<double> csvMs, xlsxMs, xlsMs;
    for (int i = 0; i < runs; ++i) {
        csvMs.append(ExportMs(con, allSql, csv));
        xlsxMs.append(ExportMs(con, allSql, xlsx));
        xlsMs.append(ExportMs(con, allSql, xls));
    }
    const double csvClient = client.ms(allSql, runs, clientFile);

    // The list report of one year: the first preview page against the register's year tab.
    QList<double> firstPageMs, firstRowsMs, tabMs, pdfMs, textPdfMs;
    int yearRows = 0;
    int yearPages = 0;
    for (int i = 0; i < runs; ++i) {
        // From the running year's tab, a small one, so the switch does not also free a big list.
        view->yearTabs()->setCurrentIndex(yearTab == 0 ? allTab : 0);
        SettleRegister(*view);
        QElapsedTimer t;
        t.start();
        view->yearTabs()->setCurrentIndex(yearTab);
        PaintFirstRows(*view);
        tabMs.append(ElapsedMs(t));
        SettleRegister(*view);

        // As the list is printed: the rows read on their own thread, the first page laid out
        // from the first of them.
        t.restart();
        RegisterListReader rows(con, yearStatement, yearFirstPartAlone);
        ReportOwner owner = LoadReportOwner(con);
        rows.waitForFirstRows();
        rows.throwIfFailed();
        firstRowsMs.append(ElapsedMs(t));
        const Query &query = rows.query();
        QrLista report(query.result(), std::move(owner), yearCaption);
        ReportPreview preview(report, QString());
        preview.followRows(rows);
        ShowFirstPage(preview);
        firstPageMs.append(ElapsedMs(t));
        preview.hide();
        rows.waitForAll();
        report.setHasAllBands(true);

        const QString pdf = folder.filePath(u"Lista.pdf"_s);
        t.restart();
        WriteReportPdf(report, pdf, [&yearPages](int pages, int, int) {
            yearPages = pages;
            return true;
        });
        pdfMs.append(ElapsedMs(t));
        yearRows = query.rowCount();

        t.restart();
        WriteTextDocumentPdf(query.result(), folder.filePath(u"Szoveg.pdf"_s));
        textPdfMs.append(ElapsedMs(t));
    }

    const double csvT = Median(csvMs), xlsxT = Median(xlsxMs), xlsT = Median(xlsMs);
    const double firstPage = Median(firstPageMs), tab = Median(tabMs);
    const double pdf = Median(pdfMs), textPdf = Median(textPdfMs);
    std::printf(
        "Output benchmark: %d records in \"Összes\", %d in the year %s; %d runs per figure (medians)\n",
        memory.rows, yearRows, qPrintable(yearCaption), runs);
    std::printf("  CSV export of \"Összes\"      : %8.1f ms   mariadb -B > file %8.1f ms   ratio %.2f  "
                "(target <= 1.5)\n",
                csvT, csvClient, csvT / csvClient);
    std::printf("    (files: CSV %.1f MB, client's %.1f MB)\n", FileMb(csv), FileMb(clientFile));
    std::printf(
        "  XLSX export of \"Összes\"     : %8.1f ms   CSV export %8.1f ms          ratio %.2f  (%.1f MB)\n",
        xlsxT, csvT, xlsxT / csvT, FileMb(xlsx));
    std::printf(
        "  XLS export of \"Összes\"      : %8.1f ms   CSV export %8.1f ms          ratio %.2f  (%.1f MB)\n",
        xlsT, csvT, xlsT / csvT, FileMb(xls));
    std::printf("  list of one year, 1st page  : %8.1f ms   register year tab %8.1f ms   ratio %.2f  (target "
                "<= 1.2)\n",
                firstPage, tab, firstPage / tab);
    std::printf("    (of which the first rows in: %.1f ms)\n", Median(firstRowsMs));
    std::printf("  PDF of the year's list      : %8.1f ms   QTextDocument::print %6.1f ms   ratio %.2f  "
                "(target <= 1.5)\n",
                pdf, textPdf, pdf / textPdf);
    std::printf("    (%d pages; files: report %.1f MB, text document %.1f MB)\n", yearPages,
                FileMb(folder.filePath(u"Lista.pdf"_s)), FileMb(folder.filePath(u"Szoveg.pdf"_s)));
    std::printf("  preview of \"Összes\", memory : %8.1f MB   result %6.1f MB              ratio %.2f  "
                "(target <= 1.5)\n",
                memory.laidOutMb, memory.resultMb, memory.laidOutMb / memory.resultMb);
    std::printf(
        "    (every row in, all %d pages laid out, last page shown; with the first page shown %.1f MB)\n",
        memory.pages, memory.firstPageMb);
    return 0;
}
