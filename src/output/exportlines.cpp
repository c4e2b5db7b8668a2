#include "exportlines.h"

#include "common/cp1250.h"
#include "common/fileerror.h"
#include "common/sqltext.h"
#include "exportvalues.h"

#include <cerrno>

using namespace Qt::StringLiterals;

QString ExportHeaderText(const ExportSource &source, int column, const ExportOptions &options)
{
    return options.fieldNamesInHeader ? source.field(column).name : source.displayLabel(column);
}

DelimitedLineBuilder::DelimitedLineBuilder(const ExportSource &source, QList<int> columns,
                                           const ExportOptions &options)
    : m_source(source), m_columns(ExportColumns(source, std::move(columns))), m_options(options)
{
}

namespace exportlines {

// A qualifier inside a value or a name is doubled, so the field reads back whole.
void appendDoubled(QByteArray &out, char c, char qualifier)
{
    out += c;
    if (qualifier && c == qualifier)
        out += qualifier;
}

void writeOrThrow(QIODevice &out, const QByteArray &bytes)
{
    errno = 0;
    if (out.write(bytes) != bytes.size())
        throw ExportError(WriteFailedText(out, errno));
}

} // namespace exportlines

QByteArray DelimitedLineBuilder::headerLine() const
{
    QByteArray line;
    if (m_options.noHeader)
        return line;
    const char q = m_options.qualifier;
    for (const int column : m_columns) {
        const QByteArray name = ToCp1250(ExportHeaderText(m_source, column, m_options));
        if (q)
            line += q;
        for (const char c : name)
            exportlines::appendDoubled(line, c, q);
        if (q)
            line += q;
        line += m_options.separator;
    }
    return line;
}

void DelimitedLineBuilder::appendQualified(QByteArray &out, QByteArrayView text, bool separatorToComma) const
{
    const char q = m_options.qualifier;
    const char s = m_options.separator;
    if (q)
        out += q;
    AppendExportEscaped(out, text, [&](QByteArray &o, char c) {
        if (separatorToComma && c == s)
            o += ',';
        else
            exportlines::appendDoubled(o, c, q);
    });
    if (q)
        out += q;
}

void DelimitedLineBuilder::appendRowLine(QByteArray &out, int row) const
{
    const ResultSet &rows = m_source.rows();
    bool first = true;
    for (const int column : m_columns) {
        if (!first)
            out += m_options.separator;
        first = false;
        const ExportKind kind = m_source.kind(column);
        if (kind == ExportKind::Blob || (kind == ExportKind::Memo && !m_options.multiLineFields)) {
            appendQualified(out, "BLOB", false);
            continue;
        }
        if (rows.isNull(row, column)) {
            appendQualified(out, {}, false);
            continue;
        }
        const QByteArrayView raw = rows.raw(row, column);
        switch (kind) {
        case ExportKind::Text:
        case ExportKind::Integer: appendQualified(out, raw, false); break;
        case ExportKind::Memo: appendQualified(out, raw, true); break;
        default: appendQualified(out, ExportDisplayText(kind, raw), false); break;
        }
    }
}

ExportResult WriteDelimited(QIODevice &out, const ExportSource &source, const QList<int> &columns,
                            const ExportOptions &options, const ExportControl &control)
{
    const DelimitedLineBuilder lines(source, columns, options);
    QByteArray pending = lines.headerLine() + "\r\n";
    constexpr qsizetype FlushSize = 256 * 1024;
    ExportResult result = ForEachExportRow(source, control, [&](int row) {
        lines.appendRowLine(pending, row);
        pending += "\r\n";
        if (pending.size() >= FlushSize) {
            exportlines::writeOrThrow(out, pending);
            pending.clear();
        }
    });
    exportlines::writeOrThrow(out, pending);
    return result;
}

QString ClipboardText(const ExportSource &source, const QList<int> &columns, const ExportOptions &options,
                      const ExportControl &control, ExportResult *result)
{
    ExportOptions clipboard = options;
    clipboard.separator = '\t';
    clipboard.qualifier = 0;
    const DelimitedLineBuilder lines(source, columns, clipboard);
    QByteArray text = lines.headerLine() + "\r\n";
    const ExportResult done = ForEachExportRow(source, control, [&](int row) {
        lines.appendRowLine(text, row);
        text += "\r\n";
    });
    if (result)
        *result = done;
    return FromCp1250(text);
}
