#include "output/reportoutput.h"

#include "common/busycursor.h"
#include "output/reportlayout.h"

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace {

QPageLayout A4WithoutMargins()
{
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0),
                       QPageLayout::Millimeter);
}

} // namespace

ReportError::ReportError(QString message) : m_message(std::move(message)), m_what(m_message.toUtf8()) {}

int RenderReport(const BandedReport &report, QPagedPaintDevice &device)
{
    BusyCursor busy;
    ReportLayout layout(report);
    QPainter painter;
    if (!painter.begin(&device))
        throw ReportError(u"A nyomtatás nem indítható el."_s);
    painter.setRenderHint(QPainter::Antialiasing);
    int page = 0;
    for (;;) {
        layout.paintPage(painter, page);
        if (!layout.ensurePage(page + 1))
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

void WriteReportPdf(const BandedReport &report, QIODevice &device)
{
    QPdfWriter writer(&device);
    writer.setResolution(1200);
    writer.setPageLayout(A4WithoutMargins());
    writer.setTitle(report.title());
    writer.setCreator(u"OrvantH"_s);
    RenderReport(report, writer);
}

void WriteReportPdf(const BandedReport &report, const QString &path)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        throw ReportError(u"Az állomány nem írható: "_s + file.errorString());
    WriteReportPdf(report, file);
    if (!file.commit())
        throw ReportError(u"Az állomány nem írható: "_s + file.errorString());
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

void PrintReport(const BandedReport &report, const QString &printerName)
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
    RenderReport(report, printer);
}
