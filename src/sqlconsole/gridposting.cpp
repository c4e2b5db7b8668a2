#include "gridposting.h"

#include "db/table.h"

#include <algorithm>

QVariant GridCellValue(const FieldInfo &field, const QString &text)
{
    const bool textKind = field.kind == FieldInfo::Kind::Text || field.kind == FieldInfo::Kind::Binary;
    return text.isEmpty() && !textKind ? QVariant() : QVariant(text);
}

QVariant NewRowCellValue(const QString &text)
{
    return text.isEmpty() ? QVariant() : QVariant(text);
}

bool PostGridCell(Table &table, int row, int column, const QString &text)
{
    const ResultSet &rows = table.rows();
    if (text == rows.text(row, column))
        return false;
    const FieldInfo &field = rows.fields().at(column);
    try {
        table.edit(row);
        table.setValue(field.name, GridCellValue(field, text));
        table.post();
    } catch (...) {
        table.cancel();
        throw;
    }
    return true;
}

bool PostGridNewRow(Table &table, const QList<QVariant> &values)
{
    if (std::none_of(values.cbegin(), values.cend(), [](const QVariant &v) { return v.isValid(); }))
        return false;
    try {
        table.append();
        for (int c = 0; c < values.size(); ++c) {
            if (values.at(c).isValid())
                table.setValue(table.rows().fields().at(c).name, values.at(c));
        }
        table.post();
    } catch (...) {
        table.cancel();
        throw;
    }
    return true;
}
