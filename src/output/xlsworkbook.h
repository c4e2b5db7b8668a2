#pragma once

#include "sheetexport.h"

#include <QByteArray>
#include <QHash>
#include <QIODevice>
#include <QList>
#include <vector>

// An Excel 97-2003 workbook (BIFF8): the records are built here, the OLE2 compound file around
// them ("Workbook" stream) by libgsf. Texts go into the shared string table, each distinct text
// once; numbers into NUMBER records, dates as numbers with a date format; rows in blocks of 32
// with their ROW and DBCELL records and an INDEX per sheet, as spreadsheet programs write them.
// Font Arial 10, the header bold.
class XlsWorkbook : public SheetBuilder
{
public:
    static constexpr int MaxRows = 65536;
    static constexpr int MaxColumns = 256;

    XlsWorkbook();
    ~XlsWorkbook() override;

    void addSheet(const QString &name) override;
    void setColumnWidth(int column, int characters) override;
    void writeHeader(int column, const QString &text) override;
    void writeCell(int row, int column, const SheetCell &cell) override;
    int maxRows() const override { return MaxRows; }
    int maxColumns() const override { return MaxColumns; }

    // The compound file into the device (which must allow seeking: a file, a buffer). Throws
    // ExportError when writing fails.
    void save(QIODevice &out);
    // The Workbook stream alone.
    QByteArray workbookStream();

private:
    struct Sheet;
    class StreamSink;

    Sheet &current();
    quint32 sharedString(const QString &text);
    bool sharedStringEquals(quint32 index, const QString &text) const;
    void addCellRecord(int row, int column, quint16 type, const QByteArray &body);
    void flushBlock(Sheet &sheet);
    qsizetype sheetSize(const Sheet &sheet) const;
    void writeSheet(StreamSink &out, const Sheet &sheet, qsizetype start) const;
    void writeSst(StreamSink &out, qsizetype start, QList<QPair<quint32, quint16>> *buckets) const;
    int sstBucketSize() const;
    void writeStream(StreamSink &out);

    std::vector<Sheet> m_sheets;
    // Each distinct text once: count (2 bytes), flags (1), characters (1 or 2 bytes each).
    QByteArray m_sstData;
    std::vector<qsizetype> m_sstOffsets;
    QMultiHash<size_t, quint32> m_sstLookup;
    quint32 m_sstTotal = 0;
};
