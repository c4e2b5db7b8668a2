#pragma once

#include "exportlines.h"
#include "exportsource.h"
#include "exportvalues.h"

#include <QList>
#include <QString>

// A spreadsheet file being built: sheets one after the other, each filled row by row in
// increasing order (row 0 is the header). The formats differ in their limits and records; what
// goes into which cell is decided once, by WriteSheets.
class SheetBuilder
{
public:
    // The longest text a cell holds, in both formats.
    static constexpr int MaxCellText = 32767;

    virtual ~SheetBuilder() = default;

    // Rows a sheet holds (the header included) and columns.
    virtual int maxRows() const = 0;
    virtual int maxColumns() const = 0;

    virtual void addSheet(const QString &name) = 0;
    // Width in characters; called after addSheet, before the sheet's first cell.
    virtual void setColumnWidth(int column, int characters) = 0;
    virtual void writeHeader(int column, const QString &text) = 0;
    // A text of at most MaxCellText characters, or a number; empty cells are not written.
    virtual void writeCell(int row, int column, const SheetCell &cell) = 0;
};

// One column per export column in dataset order, a header row (display labels or field names,
// as the options say; always there, as each further sheet repeats it), one row per dataset row. Rows beyond a
// sheet continue on the next sheet
// ("Munka2", ...) under the same header. Longer texts are cut at MaxCellText and counted in
// the result. Throws ExportError when there are more columns than a sheet holds.
ExportResult WriteSheets(SheetBuilder &book, const ExportSource &source, const QList<int> &columns,
                         const ExportOptions &options, const ExportControl &control = {});
