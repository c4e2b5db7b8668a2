#pragma once

#include <QString>
#include <functional>

class ArrivingRows;
class BandedReport;
class Connection;
class Query;
class QWidget;

// What a print takes from the program around it.
struct PrintSettings
{
    // The program-wide printer, preselected in the print choice; the choice made there holds
    // for this print only.
    QString printerName;
    // Opens the export window on the report's query in file mode with its default file name.
    // Without it the print choice does not offer "Excelbe (CSV)".
    std::function<void(Query &query)> openExportWindow;
};

// Prints one resolution record (0 or an id not in the register gives the title block with empty
// fields and no text): opens its data, asks for the output in the print choice, then shows the
// preview, prints, exports or writes a PDF file. Errors of the database reach the caller.
void PrintResolution(Connection &connection, int recordId, const PrintSettings &settings, QWidget *owner);

// Prints the register list from rows that are being read (the register query's SQL text as it
// stood, so its year, committee, period, search and order carry over), with `caption` under the
// title. The rows arrive while the owner block is read and while the user chooses the output;
// the preview starts from the first of them.
void PrintList(Connection &connection, ArrivingRows &rows, const QString &caption,
               const PrintSettings &settings, QWidget *owner);

// The save dialog for a PDF file in the documents folder; ".pdf" is added to a name without it.
QString AskPdfFileName(const QString &suggestedName, QWidget *owner);
