#pragma once

#include "common/apperror.h"
#include "db/resultset.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class Query;

// How the export treats a field. Large objects (the server's TEXT and BLOB columns) are told
// apart from short text because the delimited export writes them differently.
enum class ExportKind { Integer, Float, Decimal, Date, DateTime, Time, Text, Memo, Blob };

ExportKind ExportKindOf(const FieldInfo &field);

// What an export reads: the rows of an open dataset, its fields in dataset order with a display
// label each, and where the dataset is left when the export ends. The rows are read straight
// from the result, so views over the dataset do not follow every row while the export runs;
// the dataset is moved once, at the end. Make one when an export starts: it reads the fields of
// the result as it is then.
class ExportSource
{
public:
    // Any result; nothing is moved afterwards.
    explicit ExportSource(const ResultSet &rows);
    // An open query: its current row becomes the row where the export ended.
    explicit ExportSource(Query &query);

    const ResultSet &rows() const { return *m_rows; }
    int rowCount() const { return m_rows->rowCount(); }
    int fieldCount() const { return m_rows->columnCount(); }
    const FieldInfo &field(int column) const { return m_rows->fields().at(column); }
    ExportKind kind(int column) const { return m_kinds.at(column); }

    // The label of a field when the header does not use field names: the one set here, else the
    // field name. Labels are given in field order; a missing or empty one means the name.
    QString displayLabel(int column) const;
    void setDisplayLabels(const QStringList &labels) { m_labels = labels; }

    // Moves the dataset to the row (nothing for a bare result or a negative row).
    void moveTo(int row) const;

private:
    const ResultSet *m_rows;
    QList<ExportKind> m_kinds;
    QStringList m_labels;
    Query *m_query = nullptr;
};

// How a running export reports and how it is stopped. `rowDone` runs after every row with the
// number of rows written so far (the window steps its progress bar and lets pending input
// through there); `stopRequested` is asked before every row, so a stop ends the export after
// the current row and what was gathered is still written.
struct ExportControl
{
    std::function<void(int rowsDone)> rowDone;
    std::function<bool()> stopRequested;
};

struct ExportResult
{
    int rowsWritten = 0;
    bool stopped = false;
    // The dataset row the export ended on: the last row after a complete export, the first row
    // not written after a stop; -1 for an empty dataset.
    int endRow = -1;
    // Spreadsheets only: texts cut at the cell limit, and the number of sheets written.
    int cellsCut = 0;
    int sheets = 0;
};

// A failure of the export (a file that cannot be written, a format that is not offered, a
// spreadsheet limit); message() is the text to show.
class ExportError : public AppError
{
public:
    using AppError::AppError;
};

// The ticked fields as export columns: valid indexes of the source, each once, in dataset order
// whatever order the caller listed them in.
QList<int> ExportColumns(const ExportSource &source, QList<int> ticked);

// Runs `writeRow` for every row from the first until the end or a stop, as ExportControl
// describes, and leaves the dataset on the row where it ended (also when `writeRow` throws).
ExportResult ForEachExportRow(const ExportSource &source, const ExportControl &control,
                              const std::function<void(int row)> &writeRow);
