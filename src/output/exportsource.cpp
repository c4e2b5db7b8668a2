#include "exportsource.h"

#include "db/query.h"

#include <algorithm>
#include <mysql.h>

ExportKind ExportKindOf(const FieldInfo &field)
{
    switch (field.kind) {
    case FieldInfo::Kind::Integer: return ExportKind::Integer;
    case FieldInfo::Kind::Float: return ExportKind::Float;
    case FieldInfo::Kind::Decimal: return ExportKind::Decimal;
    case FieldInfo::Kind::Date: return ExportKind::Date;
    case FieldInfo::Kind::DateTime: return ExportKind::DateTime;
    case FieldInfo::Kind::Time: return ExportKind::Time;
    case FieldInfo::Kind::Text:
    case FieldInfo::Kind::Binary:
    case FieldInfo::Kind::Other: break;
    }
    switch (field.mysqlType) {
    case MYSQL_TYPE_TINY_BLOB:
    case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB:
    case MYSQL_TYPE_BLOB: return field.kind == FieldInfo::Kind::Text ? ExportKind::Memo : ExportKind::Blob;
    default: return ExportKind::Text;
    }
}

namespace {

QList<ExportKind> kindsOf(const ResultSet &rows)
{
    QList<ExportKind> kinds;
    kinds.reserve(rows.columnCount());
    for (const FieldInfo &field : rows.fields())
        kinds.append(ExportKindOf(field));
    return kinds;
}

} // namespace

ExportSource::ExportSource(const ResultSet &rows) : m_rows(&rows), m_kinds(kindsOf(rows)) {}

ExportSource::ExportSource(Query &query) : ExportSource(query.result())
{
    m_query = &query;
}

QString ExportSource::displayLabel(int column) const
{
    const QString label = m_labels.value(column);
    return label.isEmpty() ? field(column).name : label;
}

void ExportSource::moveTo(int row) const
{
    if (m_query && row >= 0)
        m_query->setRecNo(row);
}

QList<int> ExportColumns(const ExportSource &source, QList<int> ticked)
{
    std::sort(ticked.begin(), ticked.end());
    ticked.erase(std::unique(ticked.begin(), ticked.end()), ticked.end());
    ticked.removeIf([&](int column) { return column < 0 || column >= source.fieldCount(); });
    return ticked;
}

ExportResult ForEachExportRow(const ExportSource &source, const ExportControl &control,
                              const std::function<void(int row)> &writeRow)
{
    ExportResult result;
    const int rows = source.rowCount();
    struct LeaveDataset
    {
        const ExportSource &source;
        const ExportResult &result;
        ~LeaveDataset() { source.moveTo(result.endRow); }
    } leave{source, result};
    for (int row = 0; row < rows; ++row) {
        // A stop or a failure leaves the dataset on this row.
        result.endRow = row;
        if (control.stopRequested && control.stopRequested()) {
            result.stopped = true;
            return result;
        }
        writeRow(row);
        ++result.rowsWritten;
        if (control.rowDone)
            control.rowDone(result.rowsWritten);
    }
    result.endRow = rows - 1;
    return result;
}
