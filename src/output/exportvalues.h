#pragma once

#include "exportsource.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// How the export writes a field's value, from the bytes the server sent.

// The text of a number, date or time field as the delimited export writes it: numbers with a
// decimal comma, dates as yyyy. MM. dd. (the Hungarian short date), date-times with H:mm:ss
// after the date unless it is midnight, times as H:mm:ss. Values the server writes in a form
// these cannot hold (the zero date, a time beyond a day) stay as the server wrote them. Other
// kinds come back unchanged.
QByteArray ExportDisplayText(ExportKind kind, QByteArrayView raw);

// A spreadsheet cell. Dates and times are day numbers counted from 1899-12-30 (the time of
// day as the fraction), shown through their number format.
struct SheetCell
{
    enum class Type { Empty, Number, Text };
    enum class Format { General, Date, DateTime, Time };
    Type type = Type::Empty;
    Format format = Format::General;
    double number = 0;
    QString text;
};

// The cell for a field's value (`isNull` for NULL, which gives an empty cell). Numbers a
// spreadsheet would round (more than 15 significant digits) and dates before 1900-03-01 (where
// spreadsheets count days differently) become text, so no value changes on the way. Line
// breaks become LF, as spreadsheet cells hold them. Large binary objects give the text "BLOB".
SheetCell ExportSheetCell(ExportKind kind, bool isNull, QByteArrayView raw);
