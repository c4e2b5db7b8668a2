#include "output/reportoutput.h"

#include "common/fileerror.h"
#include "gui/busycursor.h"
#include "output/reportlayout.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>
#include <cerrno>

using namespace Qt::StringLiterals;

namespace {

QPageLayout A4WithoutMargins()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

} // namespace

int RenderReport(const BandedReport &report, QPagedPaintDevice &device, const RenderProgress &progress)
{
    BusyCursor busy;
    ReportLayout layout(report);
    QPainter painter;
    if (!painter.begin(&device))
        throw ReportError(u"A nyomtatás nem indítható el."_s);
    painter.setRenderHint(QPainter::Antialiasing);
    int page = 0;
    const int bands = report.bodyBandCount();
    for (;;) {
        layout.paintPage(painter, page);
        const bool more = layout.ensurePage(page + 1);
        if (progress && !progress(page + 1, more ? layout.firstBandOf(page + 1) : bands, bands)) {
            // A printer drops the job; a PDF writer is left unfinished for its caller to drop.
            if (auto printer = dynamic_cast<QPrinter *>(&device))
                printer->abort();
            painter.end();
            return -1;
        }
        if (!more)
            break;
        if (!device.newPage()) {
            painter.end();
            throw ReportError(u"A nyomtatás megszakadt."_s);
        }
        ++page;
    }
    if (!painter.end())
        throw ReportError(u"A nyomtatás nem fejeződött be."_s);
    return page + 1;
}

bool WriteReportPdf(const BandedReport &report, QIODevice &device, const RenderProgress &progress)
{
    QPdfWriter writer(&device);
    writer.setResolution(1200);
    writer.setPageLayout(A4WithoutMargins());
    writer.setTitle(report.title());
    writer.setCreator(u"OrvantH"_s);
    return RenderReport(report, writer, progress) >= 0;
}

bool WriteReportPdf(const BandedReport &report, const QString &path, const RenderProgress &progress)
{
    QSaveFile file(path);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        throw ReportError(WriteFailedText(file, errno));
    if (!WriteReportPdf(report, file, progress)) {
        file.cancelWriting();
        return false;
    }
    // flush() first: a failure on the last buffered bytes does not fail commit().
    errno = 0;
    if (!file.flush() || !file.commit())
        throw ReportError(WriteFailedText(file, errno));
    return true;
}

QString InstalledPrinterName(const QString &name, const QStringList &installed)
{
    if (name.isEmpty())
        return QString();
    for (const QString &printer : installed) {
        if (printer.compare(name, Qt::CaseInsensitive) == 0)
            return printer;
    }
    return QString();
}

bool PrintReport(const BandedReport &report, const QString &printerName, const RenderProgress &progress)
{
    if (QPrinterInfo::availablePrinterNames().isEmpty())
        throw ReportError(u"Nincs telepített nyomtató."_s);
    QPrinter printer(QPrinter::HighResolution);
    if (!printerName.isEmpty())
        printer.setPrinterName(printerName);
    // A printer may refuse margins narrower than it can print; the report keeps its own
    // margins and paints from the paper's corner.
    printer.setFullPage(true);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setDocName(report.title());
    printer.setCreator(u"OrvantH"_s);
    return RenderReport(report, printer, progress) >= 0;
}
