#pragma once

#include "common/apperror.h"

#include <QString>
#include <QStringList>
#include <functional>

class BandedReport;
class QIODevice;
class QPagedPaintDevice;

// A report that could not be written or printed; the text says why.
class ReportError : public AppError
{
public:
    using AppError::AppError;
};

// Told after each page how many pages and how many of the report's body bands are done;
// returns false to stop the output there.
using RenderProgress = std::function<bool(int pagesDone, int bandsDone, int bandCount)>;

// Paints every page of the report on a paged device that is set up for A4 with its painting
// origin at the paper's corner, laying the pages out as it goes. Returns the number of pages,
// or -1 when `progress` stopped it (the device is then left unfinished).
int RenderReport(const BandedReport &report, QPagedPaintDevice &device, const RenderProgress &progress = {});

// Writes the report as PDF; false when `progress` stopped it. The file goes through a
// temporary file renamed when complete: a stopped or failed output leaves no file, and an old
// file of that name as it was.
bool WriteReportPdf(const BandedReport &report, const QString &path, const RenderProgress &progress = {});
// Into a device; a stopped output leaves an unfinished PDF there.
bool WriteReportPdf(const BandedReport &report, QIODevice &device, const RenderProgress &progress = {});

// The installed printer of that name (letter case ignored); empty when it is not installed.
QString InstalledPrinterName(const QString &name, const QStringList &installed);

// Prints on an installed printer, the default one for an empty name; false when `progress`
// stopped it (the job is aborted). Throws ReportError when no printer is installed or the
// printing fails.
bool PrintReport(const BandedReport &report, const QString &printerName, const RenderProgress &progress = {});
