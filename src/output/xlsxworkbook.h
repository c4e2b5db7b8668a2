#pragma once

#include "sheetexport.h"

#include <QIODevice>
#include <QTemporaryDir>

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

// An Excel workbook (.xlsx) through libxlsxwriter in its constant-memory mode: each row goes to
// a temporary file as soon as the next one starts, so a large export does not grow in memory.
// The package is built in a temporary folder and copied into the device by save().
class XlsxWorkbook : public SheetBuilder
{
public:
    static constexpr int MaxRows = 1048576;
    static constexpr int MaxColumns = 16384;

    // Throws ExportError when the temporary folder or the workbook cannot be created.
    XlsxWorkbook();
    ~XlsxWorkbook() override;
    XlsxWorkbook(const XlsxWorkbook &) = delete;
    XlsxWorkbook &operator=(const XlsxWorkbook &) = delete;

    int maxRows() const override { return MaxRows; }
    int maxColumns() const override { return MaxColumns; }
    void addSheet(const QString &name) override;
    void setColumnWidth(int column, int characters) override;
    void writeHeader(int column, const QString &text) override;
    void writeCell(int row, int column, const SheetCell &cell) override;

    // Finishes the workbook and copies it into the device. Throws ExportError on failure.
    void save(QIODevice &out);

private:
    void check(int error) const;
    void writeText(int row, int column, const QString &text, lxw_format *format);

    QTemporaryDir m_dir;
    QString m_path;
    lxw_workbook *m_book = nullptr;
    lxw_worksheet *m_sheet = nullptr;
    lxw_format *m_header = nullptr;
    lxw_format *m_date = nullptr;
    lxw_format *m_dateTime = nullptr;
    lxw_format *m_time = nullptr;
};
