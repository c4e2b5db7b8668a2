#include "xlsxworkbook.h"

#include "common/fileerror.h"

#include <QFile>
#include <QRegularExpression>
#include <cerrno>
#include <xlsxwriter.h>
#include <zip.h>

using namespace Qt::StringLiterals;

namespace {

QByteArray utf8ForCell(const QString &text)
{
    // The package writes a control character as _xHHHH_ and a reader turns that form back into
    // the character; a text that holds the form itself must have its underscore written as
    // _x005F_, or the reader would change it.
    // NUL would end the C string, so it is written in that form here.
    static const QRegularExpression escapeLike(u"_(?=x[0-9A-Fa-f]{4}_)"_s);
    if (!text.contains(u"_x"_s) && !text.contains(QChar(0)))
        return text.toUtf8();
    QString escaped = text;
    escaped.replace(escapeLike, u"_x005F_"_s);
    escaped.replace(QChar(0), u"_x0000_"_s);
    return escaped.toUtf8();
}

// Whether every worksheet in the finished package ends with its closing tag. The package writes
// its temporary files without looking at the result, so on a full disk a sheet is cut short and
// the package still closes without an error; the cut shows at the sheet's end.
bool sheetsAreWhole(const QString &path)
{
    int error = 0;
    zip_t *archive = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!archive)
        return false;
    bool whole = true;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count && whole; ++i) {
        const QByteArray name = zip_get_name(archive, zip_uint64_t(i), 0);
        if (!name.startsWith("xl/worksheets/") || !name.endsWith(".xml"))
            continue;
        zip_file_t *part = zip_fopen_index(archive, zip_uint64_t(i), 0);
        if (!part) {
            whole = false;
            break;
        }
        QByteArray tail;
        char buffer[1 << 16];
        zip_int64_t got = 0;
        while ((got = zip_fread(part, buffer, sizeof buffer)) > 0) {
            tail.append(buffer, qsizetype(got));
            tail = tail.right(64);
        }
        whole = got == 0 && tail.trimmed().endsWith("</worksheet>");
        zip_fclose(part);
    }
    zip_discard(archive);
    return whole;
}

} // namespace

XlsxWorkbook::XlsxWorkbook()
{
    if (!m_dir.isValid())
        throw ExportError(u"Nem hozható létre ideiglenes mappa: "_s + m_dir.errorString());
    m_path = m_dir.filePath(u"export.xlsx"_s);
    const QByteArray path = QFile::encodeName(m_path);
    const QByteArray tmp = QFile::encodeName(m_dir.path());
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    options.tmpdir = const_cast<char *>(tmp.constData());
    m_book = workbook_new_opt(path.constData(), &options);
    if (!m_book)
        throw ExportError(u"Az .xlsx munkafüzet nem hozható létre."_s);
    m_header = workbook_add_format(m_book);
    format_set_bold(m_header);
    m_date = workbook_add_format(m_book);
    format_set_num_format(m_date, "yyyy\\.mm\\.dd");
    m_dateTime = workbook_add_format(m_book);
    format_set_num_format(m_dateTime, "yyyy\\.mm\\.dd\\ hh:mm:ss");
    m_time = workbook_add_format(m_book);
    format_set_num_format(m_time, "hh:mm:ss");
}

XlsxWorkbook::~XlsxWorkbook()
{
    if (m_book)
        lxw_workbook_free(m_book);
}

void XlsxWorkbook::check(int error) const
{
    if (error != LXW_NO_ERROR)
        throw ExportError(u"Az .xlsx munkafüzet nem írható: "_s +
                          QString::fromUtf8(lxw_strerror(static_cast<lxw_error>(error))));
}

void XlsxWorkbook::addSheet(const QString &name)
{
    m_sheet = workbook_add_worksheet(m_book, name.left(31).toUtf8().constData());
    if (!m_sheet)
        throw ExportError(u"Az .xlsx munkafüzet nem írható: nem vehető fel munkalap."_s);
}

void XlsxWorkbook::setColumnWidth(int column, int characters)
{
    check(worksheet_set_column(m_sheet, lxw_col_t(column), lxw_col_t(column), characters, nullptr));
}

void XlsxWorkbook::writeText(int row, int column, const QString &text, lxw_format *format)
{
    check(worksheet_write_string(m_sheet, lxw_row_t(row), lxw_col_t(column),
                                 utf8ForCell(text.left(MaxCellText)).constData(), format));
}

void XlsxWorkbook::writeHeader(int column, const QString &text)
{
    writeText(0, column, text, m_header);
}

void XlsxWorkbook::writeCell(int row, int column, const SheetCell &cell)
{
    if (cell.type == SheetCell::Type::Text) {
        writeText(row, column, cell.text, nullptr);
    } else if (cell.type == SheetCell::Type::Number) {
        lxw_format *format = nullptr;
        switch (cell.format) {
        case SheetCell::Format::General: break;
        case SheetCell::Format::Date: format = m_date; break;
        case SheetCell::Format::DateTime: format = m_dateTime; break;
        case SheetCell::Format::Time: format = m_time; break;
        }
        check(worksheet_write_number(m_sheet, lxw_row_t(row), lxw_col_t(column), cell.number, format));
    }
}

void XlsxWorkbook::save(QIODevice &out)
{
    if (!m_sheet)
        addSheet(u"Munka1"_s);
    lxw_workbook *book = m_book;
    m_book = nullptr; // closing frees it, whatever the outcome
    check(workbook_close(book));
    if (!sheetsAreWhole(m_path))
        throw ExportError(u"Az .xlsx munkafüzet nem írható: a munkalap nem fért el teljes egészében "
                          "(megtelt a lemez?)."_s);
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        throw ExportError(u"Az .xlsx munkafüzet nem olvasható vissza: "_s + file.errorString());
    QByteArray chunk;
    while (!(chunk = file.read(1 << 20)).isEmpty()) {
        errno = 0;
        if (out.write(chunk) != chunk.size())
            throw ExportError(WriteFailedText(out, errno));
    }
    if (file.error() != QFileDevice::NoError)
        throw ExportError(u"Az .xlsx munkafüzet nem olvasható vissza: "_s + file.errorString());
}
