// The delimited export over a result built in memory, and the field values it and the
// spreadsheets write.
//
// Input: an options byte (separator, qualifier, memo as text, field names, no header), the
// column count, then per column a kind byte and its name ended by 0x1F; the rest are cells
// ended by 0x1E, row after row, a cell of the single byte 0x1D being NULL.

#include "fuzzcheck.h"
#include "output/exportlines.h"
#include "output/exportvalues.h"

#include <QBuffer>
#include <QDate>
#include <cmath>
#include <mysql.h>
#include <optional>
#include <vector>

namespace {

struct ColumnKind
{
    FieldInfo::Kind kind;
    int mysqlType;
};

const ColumnKind kKinds[] = {
    {FieldInfo::Kind::Integer, MYSQL_TYPE_LONGLONG},   {FieldInfo::Kind::Float, MYSQL_TYPE_DOUBLE},
    {FieldInfo::Kind::Decimal, MYSQL_TYPE_NEWDECIMAL}, {FieldInfo::Kind::Date, MYSQL_TYPE_DATE},
    {FieldInfo::Kind::DateTime, MYSQL_TYPE_DATETIME},  {FieldInfo::Kind::Time, MYSQL_TYPE_TIME},
    {FieldInfo::Kind::Text, MYSQL_TYPE_VAR_STRING},    {FieldInfo::Kind::Text, MYSQL_TYPE_BLOB},
    {FieldInfo::Kind::Binary, MYSQL_TYPE_BLOB},
};

// A line written with a qualifier read back as a reader of such files would: each field between
// qualifiers, a doubled qualifier standing for one, fields separated by the separator, an empty
// field after a final separator. nullopt when the line is not of that form.
std::optional<QList<QByteArray>> ParseQualified(QByteArrayView line, char separator, char qualifier)
{
    QList<QByteArray> fields;
    qsizetype i = 0;
    for (;;) {
        if (i >= line.size() || line[i] != qualifier)
            return std::nullopt;
        ++i;
        QByteArray field;
        for (;;) {
            if (i >= line.size())
                return std::nullopt;
            if (line[i] == qualifier) {
                if (i + 1 < line.size() && line[i + 1] == qualifier) {
                    field += qualifier;
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            field += line[i++];
        }
        fields.append(field);
        if (i == line.size())
            return fields;
        if (line[i] != separator)
            return std::nullopt;
        if (++i == line.size()) {
            fields.append(QByteArray());
            return fields;
        }
    }
}

// What a value becomes so that the record stays on one line.
QByteArray OneLine(QByteArrayView value, char separator, bool separatorToComma)
{
    QByteArray out;
    // A line break is CR LF, a lone CR or a lone LF: one backslash-n each.
    const auto lineBreaks = QByteArray(value.data(), value.size()).replace("\r\n", "\n").replace('\r', '\n');
    for (const char c : lineBreaks) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else
            out += separatorToComma && c == separator ? ',' : c;
    }
    return out;
}

QByteArray ExpectedField(const ResultSet &rows, ExportKind kind, int row, int column,
                         const ExportOptions &options)
{
    if (kind == ExportKind::Blob || (kind == ExportKind::Memo && !options.multiLineFields))
        return "BLOB";
    if (rows.isNull(row, column))
        return {};
    const QByteArrayView raw = rows.raw(row, column);
    switch (kind) {
    case ExportKind::Text:
    case ExportKind::Integer: return OneLine(raw, options.separator, false);
    case ExportKind::Memo: return OneLine(raw, options.separator, true);
    default: return OneLine(ExportDisplayText(kind, raw), options.separator, false);
    }
}

void CheckValue(ExportKind kind, bool isNull, QByteArrayView raw)
{
    const QString rawText = QString::fromLatin1(raw);
    if (!isNull && kind == ExportKind::Date) {
        const QByteArray shown = ExportDisplayText(kind, raw);
        if (shown != raw) {
            const QDate date = QDate::fromString(QString::fromLatin1(shown), QStringLiteral("yyyy. MM. dd."));
            FUZZ_CHECK(date.isValid());
            FUZZ_CHECK(date == QDate::fromString(rawText.left(10), QStringLiteral("yyyy-MM-dd")));
        }
    }

    const SheetCell cell = ExportSheetCell(kind, isNull, raw);
    if (kind == ExportKind::Blob) {
        FUZZ_CHECK(cell.type == SheetCell::Type::Text && cell.text == QStringLiteral("BLOB"));
        return;
    }
    if (isNull) {
        FUZZ_CHECK(cell.type == SheetCell::Type::Empty);
        return;
    }
    FUZZ_CHECK(cell.type != SheetCell::Type::Empty);
    if (cell.type == SheetCell::Type::Text) {
        FUZZ_CHECK(!cell.text.contains(u'\r'));
        return;
    }
    FUZZ_CHECK(std::isfinite(cell.number));
    // 1900-03-01 is day 61 and 9999-12-31 day 2958465.
    switch (cell.format) {
    case SheetCell::Format::General:
        if (kind == ExportKind::Integer) {
            FUZZ_CHECK(std::fabs(cell.number) <= 9007199254740992.0);
            FUZZ_CHECK(qlonglong(cell.number) == raw.toLongLong());
        }
        break;
    case SheetCell::Format::Date:
        FUZZ_CHECK(cell.number >= 61 && cell.number <= 2958465 && cell.number == std::floor(cell.number));
        break;
    case SheetCell::Format::DateTime: FUZZ_CHECK(cell.number >= 61 && cell.number < 2958466); break;
    case SheetCell::Format::Time: FUZZ_CHECK(cell.number >= 0 && cell.number < 1); break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const QByteArrayView input(data, qsizetype(size));
    const quint8 flags = quint8(input[0]);
    ExportOptions options;
    options.separator = ExportSeparators[flags & 3];
    options.qualifier = ExportQualifiers[((flags >> 2) & 3) % 3];
    options.multiLineFields = flags & 0x10;
    options.fieldNamesInHeader = flags & 0x20;
    options.noHeader = flags & 0x40;
    const int columns = 1 + quint8(input[1]) % 6;

    qsizetype pos = 2;
    QList<FieldInfo> fields;
    for (int c = 0; c < columns; ++c) {
        FieldInfo field;
        const ColumnKind &kind = kKinds[pos < input.size() ? quint8(input[pos++]) % std::size(kKinds) : 0];
        field.kind = kind.kind;
        field.mysqlType = kind.mysqlType;
        qsizetype end = input.indexOf('\x1f', pos);
        if (end < 0)
            end = input.size();
        // Line breaks in a column name are left out: names come from the program or from a
        // query's aliases.
        field.name = QString::fromLatin1(input.sliced(pos, end - pos)).remove(u'\r').remove(u'\n');
        fields.append(field);
        pos = qMin(end + 1, input.size());
    }
    ResultSet rows;
    rows.setFields(fields);
    std::vector<QByteArray> cells;
    while (pos < input.size()) {
        qsizetype end = input.indexOf('\x1e', pos);
        if (end < 0)
            end = input.size();
        cells.push_back(input.sliced(pos, end - pos).toByteArray());
        pos = end + 1;
    }
    while (cells.size() % columns)
        cells.push_back("\x1d");
    for (std::size_t r = 0; r < cells.size(); r += columns) {
        std::vector<const char *> pointers;
        std::vector<unsigned long> lengths;
        for (int c = 0; c < columns; ++c) {
            const QByteArray &cell = cells[r + c];
            const bool null = cell == "\x1d";
            pointers.push_back(null ? nullptr : cell.constData());
            lengths.push_back(null ? 0 : cell.size());
        }
        rows.appendRow(pointers.data(), lengths.data());
    }

    const ExportSource source(rows);
    QList<int> all;
    for (int c = 0; c < columns; ++c)
        all.append(c);
    const DelimitedLineBuilder builder(source, all, options);

    const QByteArray header = builder.headerLine();
    FUZZ_CHECK(!header.contains('\r') && !header.contains('\n'));
    if (options.noHeader)
        FUZZ_CHECK(header.isEmpty());
    else if (options.qualifier) {
        const auto names = ParseQualified(header, options.separator, options.qualifier);
        FUZZ_CHECK(names && names->size() == columns + 1 && names->last().isEmpty());
    }

    QByteArray expectedFile = header + "\r\n";
    for (int r = 0; r < rows.rowCount(); ++r) {
        QByteArray line;
        builder.appendRowLine(line, r);
        FUZZ_CHECK(!line.contains('\r') && !line.contains('\n'));
        if (options.qualifier) {
            const auto values = ParseQualified(line, options.separator, options.qualifier);
            FUZZ_CHECK(values && values->size() == columns);
            for (int c = 0; c < columns; ++c)
                FUZZ_CHECK(values->at(c) == ExpectedField(rows, source.kind(c), r, c, options));
        }
        expectedFile += line + "\r\n";
        for (int c = 0; c < columns; ++c) {
            CheckValue(source.kind(c), rows.isNull(r, c), rows.raw(r, c));
            rows.value(r, c);
        }
    }

    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    const ExportResult result = WriteDelimited(buffer, source, all, options);
    FUZZ_CHECK(result.rowsWritten == rows.rowCount() && !result.stopped);
    FUZZ_CHECK(buffer.data() == expectedFile);
    const QString clipboard = ClipboardText(source, all, options);
    FUZZ_CHECK(clipboard.count(u'\n') == rows.rowCount() + 1);
    return 0;
}
