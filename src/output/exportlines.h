#pragma once

#include "exportsource.h"

#include <QByteArray>
#include <QIODevice>
#include <QList>
#include <QString>

// The choices of the export window. The separator and the qualifier are single characters of
// code page 1250; a qualifier of 0 means none ("Semmi").
struct ExportOptions
{
    char separator = ';';
    char qualifier = 0;
    bool multiLineFields = true;     // memo fields written as text, else as BLOB
    bool fieldNamesInHeader = false; // field names instead of display labels
    bool noHeader = false;           // the header line stays empty
};

// The characters of the window's radio groups, in their order: "Pontosvessző (;)",
// "Tabulátor", "Vessző (,)", "Cső (|)"; and double quote, apostrophe, none.
inline constexpr char ExportSeparators[4] = {';', '\t', ',', '|'};
inline constexpr char ExportQualifiers[3] = {'"', '\'', 0};

// The header text of a column as the options choose it (field name or display label).
QString ExportHeaderText(const ExportSource &source, int column, const ExportOptions &options);

// Builds the delimited lines in code page 1250, without line ends.
//
// Header: empty with noHeader; otherwise Q + name + Q + S for every column, the final S kept.
// Row: for every column Q + value + Q, joined by S. The value is the field's text with every
// backslash doubled, CR written as \n and LF dropped, so a record stays on one line; numbers
// as digits (decimal comma), dates as yyyy. MM. dd.; NULL gives empty text. A memo (with
// multiLineFields) also has every S replaced by a comma; any other large object is "BLOB".
// A qualifier inside a value or a name is doubled, so the value reads back whole; without a
// qualifier the value is written as it is, separators and all.
class DelimitedLineBuilder
{
public:
    DelimitedLineBuilder(const ExportSource &source, QList<int> columns, const ExportOptions &options);

    QByteArray headerLine() const;
    // Appends the line of the row (no line end) to `out`.
    void appendRowLine(QByteArray &out, int row) const;

private:
    void appendQualified(QByteArray &out, QByteArrayView text, bool separatorToComma) const;

    const ExportSource &m_source;
    QList<int> m_columns;
    ExportOptions m_options;
};

// The lines, each ended by CR LF, into the device. Throws ExportError when a write fails.
ExportResult WriteDelimited(QIODevice &out, const ExportSource &source, const QList<int> &columns,
                            const ExportOptions &options, const ExportControl &control = {});

// The clipboard's text ("Vágólapra!"): the same lines, each ended by CR LF, always with the tab
// separator and no qualifier whatever the options say.
QString ClipboardText(const ExportSource &source, const QList<int> &columns, const ExportOptions &options,
                      const ExportControl &control = {}, ExportResult *result = nullptr);
