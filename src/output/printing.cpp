#include "output/printing.h"

#include "common/paths.h"
#include "db/arrivingrows.h"
#include "db/query.h"
#include "gui/busycursor.h"
#include "output/frm_nyomvalaszt.h"
#include "output/outputprogress.h"
#include "output/qrhatarozat.h"
#include "output/qrlista.h"
#include "output/reportoutput.h"
#include "output/reportpreview.h"
#include "output/writtenfile.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPrinterInfo>

using namespace Qt::StringLiterals;

namespace {

// `rows`, when given, are still arriving: the preview follows them, the other outputs wait for
// every row.
void OutputReport(BandedReport &report, Query &query, ArrivingRows *rows, const QString &pdfName,
                  const PrintSettings &settings, QWidget *owner)
{
    QString printer = settings.printerName;
    const int choice = ChoosePrintOutput(printer, bool(settings.openExportWindow), owner);
    if (rows && choice >= 0 && choice != OutputPreview) {
        {
            BusyCursor busy;
            rows->waitForAll();
        }
        rows->throwIfFailed();
        report.setHasAllBands(true);
    }
    // A printer that is no longer installed is ignored: the default printer prints.
    const QString installed = InstalledPrinterName(printer, QPrinterInfo::availablePrinterNames());
    report.setPrintedAt(QDateTime::currentDateTime());
    switch (choice) {
    case OutputPreview: {
        ReportPreview preview(report, installed, owner);
        if (rows)
            preview.followRows(*rows);
        preview.exec();
        if (rows)
            rows->throwIfFailed();
        break;
    }
    case OutputPrinter: {
        OutputProgress progress(u"Nyomtatás"_s, owner);
        PrintReport(report, installed, progress.callback());
        break;
    }
    case OutputExport:
        if (settings.openExportWindow)
            settings.openExportWindow(query);
        break;
    case OutputPdf: {
        const QString path = AskPdfFileName(pdfName, owner);
        if (path.isEmpty())
            break;
        bool written = false;
        {
            OutputProgress progress(u"PDF file írása"_s, owner);
            written = WriteReportPdf(report, path, progress.callback());
        }
        if (written)
            OfferToOpenWrittenFile(path, owner);
        break;
    }
    default: break;
    }
}

} // namespace

void PrintResolution(Connection &connection, int recordId, const PrintSettings &settings, QWidget *owner)
{
    Query query(&connection);
    ReportOwner reportOwner;
    {
        BusyCursor busy;
        reportOwner = LoadReportOwner(connection);
        OpenResolutionQuery(query, recordId);
    }
    QrHatarozat report(query.result(), reportOwner);
    OutputReport(report, query, nullptr, u"Hatarozat.pdf"_s, settings, owner);
}

void PrintList(Connection &connection, ArrivingRows &rows, const QString &caption,
               const PrintSettings &settings, QWidget *owner)
{
    ReportOwner reportOwner;
    {
        BusyCursor busy;
        reportOwner = LoadReportOwner(connection);
        rows.waitForFirstRows();
    }
    rows.throwIfFailed();
    QrLista report(rows.query().result(), reportOwner, caption);
    report.setHasAllBands(rows.isComplete());
    OutputReport(report, rows.query(), &rows, u"Lista.pdf"_s, settings, owner);
}

QString AskPdfFileName(const QString &suggestedName, QWidget *owner)
{
    QString path = QFileDialog::getSaveFileName(
        owner, u"Mentés PDF fileba"_s, QDir(DocumentsPath()).filePath(suggestedName), u"PDF file (*.pdf)"_s);
    if (!path.isEmpty() && QFileInfo(path).suffix().isEmpty())
        path += u".pdf"_s;
    return path;
}
