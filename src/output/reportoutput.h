#pragma once

#include <QString>
#include <QStringList>
#include <exception>

class BandedReport;
class QIODevice;
class QPagedPaintDevice;

// A report that could not be written or printed; the text says why.
class ReportError : public std::exception
{
public:
    explicit ReportError(QString message);
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_message;
    QByteArray m_what;
};

// Paints every page of the report on a paged device that is set up for A4 with its painting
// origin at the paper's corner, laying the pages out as it goes. Returns the number of pages.
int RenderReport(const BandedReport &report, QPagedPaintDevice &device);

// Writes the report as PDF. The file goes through a temporary file renamed when complete: a
// failure leaves the old file, if any, as it was.
void WriteReportPdf(const BandedReport &report, const QString &path);
void WriteReportPdf(const BandedReport &report, QIODevice &device);

// The installed printer of that name (letter case ignored); empty when it is not installed.
QString InstalledPrinterName(const QString &name, const QStringList &installed);

// Prints on an installed printer, the default one for an empty name. Throws ReportError when
// no printer is installed or the printing fails.
void PrintReport(const BandedReport &report, const QString &printerName);
