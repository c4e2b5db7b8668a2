#pragma once

#include "exportlines.h"
#include "exportsource.h"

#include <QList>
#include <QString>

// The export to a file as the export window starts it: the format follows the file name's
// extension, the file is written under a temporary name and put in place only when complete,
// so a failed export leaves no file that looks whole and an older file of that name intact.
//
// A window calls, with the dataset it was given:
//     ExportSource source(query);                  // or ExportSource(resultSet)
//     ExportControl control{[&](int done) { bar->setValue(done); processEvents(); },
//                           [&] { return !m_running; }};
//     ExportResult r = ExportToFile(name, source, tickedColumns, options, control);
//     QString note = ExportDoneText(name, ExportFormatOf(name), r);
// or, for "Vágólapra!", ClipboardText(source, tickedColumns, options, control).

enum class ExportFormat { Delimited, Xls, Xlsx, Unsupported };

// By the extension in any letter case: .xls and .xlsx spreadsheets, .xml not offered in this
// version, anything else (or none) delimited text.
ExportFormat ExportFormatOf(const QString &fileName);

// "Ebben a verzióban ez nem támogatott."
QString UnsupportedFormatText();

// The file name the window starts with: the caller's name, a bare name placed in the user's
// documents folder (not in whatever folder the process happens to run in), and "File001.csv"
// there when the caller gives none.
QString DefaultExportFileName(const QString &given);

// Writes the ticked columns of the source into the file. Throws ExportError: with
// UnsupportedFormatText() for .xml (nothing is written), with the reason when the file cannot be
// written or a spreadsheet limit is passed.
ExportResult ExportToFile(const QString &fileName, const ExportSource &source, const QList<int> &columns,
                          const ExportOptions &options, const ExportControl &control = {});

// The information shown after an export to a file; empty when there is nothing to say. Delimited
// text: the file name + " file kész."; a spreadsheet: how many texts were cut at the cell limit.
QString ExportDoneText(const QString &fileName, ExportFormat format, const ExportResult &result);

// The file name + " file kész.": what the program says of any file it has finished writing.
QString FileDoneText(const QString &fileName);

// "Adatok vágólapra másolása kész."
QString ClipboardDoneText();
