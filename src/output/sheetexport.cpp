#include "sheetexport.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Wide enough that dates do not show as ####, narrow enough that a memo does not push the
// other columns off the screen.
int columnWidth(ExportKind kind, const QString &header)
{
    int width = std::clamp(int(header.size()) + 2, 10, 40);
    switch (kind) {
    case ExportKind::Date: return std::max(width, 12);
    case ExportKind::DateTime: return std::max(width, 19);
    case ExportKind::Memo: return std::max(width, 40);
    default: return width;
    }
}

} // namespace

ExportResult WriteSheets(SheetBuilder &book, const ExportSource &source, const QList<int> &ticked,
                         const ExportOptions &options, const ExportControl &control)
{
    const QList<int> columns = ExportColumns(source, ticked);
    if (columns.size() > book.maxColumns())
        throw ExportError(
            u"Egy munkalapra legfeljebb %1 oszlop fér, most %2 mező van kijelölve."_s.arg(book.maxColumns())
                .arg(columns.size()));
    QStringList headers;
    for (const int column : columns)
        headers.append(ExportHeaderText(source, column, options));

    const int rowsPerSheet = book.maxRows() - 1;
    int sheets = 0;
    auto startSheet = [&] {
        ++sheets;
        book.addSheet(u"Munka%1"_s.arg(sheets));
        for (int c = 0; c < columns.size(); ++c)
            book.setColumnWidth(c, columnWidth(source.kind(columns.at(c)), headers.at(c)));
        for (int c = 0; c < columns.size(); ++c) {
            if (!headers.at(c).isEmpty())
                book.writeHeader(c, headers.at(c).left(SheetBuilder::MaxCellText));
        }
    };
    startSheet();

    const ResultSet &rows = source.rows();
    int cellsCut = 0;
    ExportResult result = ForEachExportRow(source, control, [&](int row) {
        if (row > 0 && row % rowsPerSheet == 0)
            startSheet();
        const int sheetRow = row % rowsPerSheet + 1;
        for (int c = 0; c < columns.size(); ++c) {
            const int column = columns.at(c);
            SheetCell cell =
                ExportSheetCell(source.kind(column), rows.isNull(row, column), rows.raw(row, column));
            if (cell.type == SheetCell::Type::Empty)
                continue;
            if (cell.type == SheetCell::Type::Text) {
                if (cell.text.isEmpty())
                    continue;
                if (cell.text.size() > SheetBuilder::MaxCellText) {
                    cell.text.truncate(SheetBuilder::MaxCellText);
                    ++cellsCut;
                }
            }
            book.writeCell(sheetRow, c, cell);
        }
    });
    result.cellsCut = cellsCut;
    result.sheets = sheets;
    return result;
}
