#include "xlsworkbook.h"

#include "common/fileerror.h"
#include "gsfdevice.h"

#include <QBuffer>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <functional>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output.h>

using namespace Qt::StringLiterals;

namespace xlsworkbook {

enum RecordType : quint16 {
    RecEof = 0x000A,
    RecDateMode = 0x0022,
    RecFont = 0x0031,
    RecContinue = 0x003C,
    RecWindow1 = 0x003D,
    RecCodePage = 0x0042,
    RecDefColWidth = 0x0055,
    RecColInfo = 0x007D,
    RecBoundSheet = 0x0085,
    RecDbCell = 0x00D7,
    RecXf = 0x00E0,
    RecSst = 0x00FC,
    RecLabelSst = 0x00FD,
    RecExtSst = 0x00FF,
    RecDimensions = 0x0200,
    RecNumber = 0x0203,
    RecRow = 0x0208,
    RecIndex = 0x020B,
    RecWindow2 = 0x023E,
    RecStyle = 0x0293,
    RecBof = 0x0809,
    RecFormat = 0x041E,
};

// The longest record body; longer data continues in CONTINUE records.
constexpr int MaxRecordData = 8224;
constexpr int RowsPerBlock = 32;
constexpr int RowRecordSize = 4 + 16;

// Cell formats (XF indexes): 0-14 are the style formats every workbook has, 15 the default
// cell format.
enum Xf : quint16 { XfDefault = 15, XfHeader, XfDate, XfDateTime, XfTime };
constexpr quint16 FormatDate = 164, FormatDateTime = 165, FormatTime = 166;
// The fourth FONT record is number 5: number 4 does not exist in this format.
constexpr quint16 FontBold = 5;

void put8(QByteArray &out, quint8 v)
{
    out += char(v);
}
void put16(QByteArray &out, quint16 v)
{
    const quint16 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char *>(&le), 2);
}
void put32(QByteArray &out, quint32 v)
{
    const quint32 le = qToLittleEndian(v);
    out.append(reinterpret_cast<const char *>(&le), 4);
}
void putDouble(QByteArray &out, double v)
{
    quint64 bits;
    std::memcpy(&bits, &v, 8);
    const quint64 le = qToLittleEndian(bits);
    out.append(reinterpret_cast<const char *>(&le), 8);
}

QByteArray record(quint16 type, const QByteArray &body)
{
    Q_ASSERT(body.size() <= MaxRecordData);
    QByteArray out;
    out.reserve(4 + body.size());
    put16(out, type);
    put16(out, quint16(body.size()));
    out += body;
    return out;
}

bool fitsInByte(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x100; });
}

// Characters after the option byte: one byte each when all fit, else UTF-16LE.
void putChars(QByteArray &out, QStringView text, bool wide)
{
    const qsizetype start = out.size();
    out.resize(start + text.size() * (wide ? 2 : 1));
    char *p = out.data() + start;
    if (!wide) {
        for (const QChar c : text)
            *p++ = char(c.unicode());
    } else {
        for (const QChar c : text) {
            qToLittleEndian(c.unicode(), p);
            p += 2;
        }
    }
}

// Length (1 byte), option byte, characters: sheet and font names.
QByteArray shortString(QStringView text)
{
    QByteArray out;
    const bool wide = !fitsInByte(text);
    put8(out, quint8(text.size()));
    put8(out, wide ? 1 : 0);
    putChars(out, text, wide);
    return out;
}

// Length (2 bytes), option byte, characters: number formats and shared strings.
void appendLongString(QByteArray &out, QStringView text)
{
    const bool wide = !fitsInByte(text);
    const qsizetype needed = out.size() + 3 + text.size() * (wide ? 2 : 1);
    // Grown by half at a time: the string table of a large export reaches hundreds of
    // megabytes, and growing it by the default steps copies it over and over.
    if (needed > out.capacity())
        out.reserve(std::max(needed, out.capacity() + out.capacity() / 2));
    put16(out, quint16(text.size()));
    put8(out, wide ? 1 : 0);
    putChars(out, text, wide);
}

QByteArray bof(quint16 substream)
{
    QByteArray body;
    put16(body, 0x0600); // BIFF8
    put16(body, substream);
    put16(body, 0x0DBB); // build and year of the first program that wrote BIFF8
    put16(body, 0x07CC);
    put32(body, 0);
    put32(body, 0x0006); // lowest version that can read the file: BIFF8
    return record(RecBof, body);
}

QByteArray font(bool bold)
{
    QByteArray body;
    put16(body, 200);          // 10 points in twips
    put16(body, bold ? 1 : 0); // the old bold flag, which some readers still go by
    put16(body, 0x7FFF);       // automatic colour
    put16(body, bold ? 700 : 400);
    put16(body, 0);
    put8(body, 0);    // no underline
    put8(body, 2);    // swiss family
    put8(body, 0xEE); // East European character set
    put8(body, 0);
    body += shortString(u"Arial");
    return record(RecFont, body);
}

QByteArray format(quint16 index, QStringView code)
{
    QByteArray body;
    put16(body, index);
    appendLongString(body, code);
    return record(RecFormat, body);
}

QByteArray xf(quint16 fontIndex, quint16 formatIndex, bool style, quint8 usedAttributes)
{
    QByteArray body;
    put16(body, fontIndex);
    put16(body, formatIndex);
    // Locked; a style format has no parent (0xFFF), a cell format has the Normal style (0).
    put16(body, style ? 0xFFF5 : 0x0001);
    put8(body, 0x20); // bottom aligned
    put8(body, 0);
    put8(body, 0);
    put8(body, usedAttributes);
    put32(body, 0); // no borders
    put32(body, 0);
    put16(body, 0x20C0); // automatic pattern colours
    return record(RecXf, body);
}

// Fonts (four plain ones, as the format wants them, and the bold one), number formats, cell
// formats and the Normal style.
QByteArray globalsStyles()
{
    QByteArray out;
    for (int i = 0; i < 4; ++i)
        out += font(false);
    out += font(true);
    out += format(FormatDate, u"yyyy\\.mm\\.dd");
    out += format(FormatDateTime, u"yyyy\\.mm\\.dd\\ hh:mm:ss");
    out += format(FormatTime, u"hh:mm:ss");
    out += xf(0, 0, true, 0);
    for (int i = 1; i < 15; ++i)
        out += xf(0, 0, true, 0xF4);
    out += xf(0, 0, false, 0);
    out += xf(FontBold, 0, false, 0x08);
    out += xf(0, FormatDate, false, 0x04);
    out += xf(0, FormatDateTime, false, 0x04);
    out += xf(0, FormatTime, false, 0x04);
    QByteArray style;
    put16(style, 0x8000); // built-in style Normal on format 0
    put8(style, 0);
    put8(style, 0xFF);
    out += record(RecStyle, style);
    return out;
}

// The workbook globals before the sheet list.
QByteArray globalsHead()
{
    QByteArray head;
    head += bof(0x0005);
    QByteArray codePage;
    put16(codePage, 1200); // texts are Unicode
    head += record(RecCodePage, codePage);
    QByteArray window1;
    put16(window1, 0);
    put16(window1, 0);
    put16(window1, 0x25BC);
    put16(window1, 0x1572);
    put16(window1, 0x0038); // scroll bars and sheet tabs shown
    put16(window1, 0);
    put16(window1, 0);
    put16(window1, 1);
    put16(window1, 0x0258);
    head += record(RecWindow1, window1);
    QByteArray dateMode;
    put16(dateMode, 0); // days counted from 1900
    head += record(RecDateMode, dateMode);
    head += globalsStyles();
    return head;
}

QByteArray columnInfos(const QList<quint16> &widths)
{
    QByteArray out;
    for (int c = 0; c < widths.size(); ++c) {
        if (!widths[c])
            continue;
        QByteArray colInfo;
        put16(colInfo, quint16(c));
        put16(colInfo, quint16(c));
        put16(colInfo, widths[c]);
        put16(colInfo, XfDefault);
        put16(colInfo, 0);
        put16(colInfo, 0);
        out += record(RecColInfo, colInfo);
    }
    return out;
}

QByteArray window2Record(bool firstSheet)
{
    QByteArray window2;
    // Grid, headings, zeros, automatic grid colour, outline symbols; the first sheet selected
    // and shown.
    put16(window2, firstSheet ? 0x06B6 : 0x00B6);
    put16(window2, 0);
    put16(window2, 0);
    put16(window2, 0x0040);
    put16(window2, 0);
    put16(window2, 0);
    put16(window2, 0);
    put32(window2, 0);
    return record(RecWindow2, window2);
}

QByteArray boundSheetRecord(qsizetype start, const QByteArray &name)
{
    QByteArray body;
    put32(body, quint32(start));
    put8(body, 0); // visible
    put8(body, 0); // worksheet
    body += name;
    return record(RecBoundSheet, body);
}

QByteArray extSstRecord(quint16 bucketSize, const QList<QPair<quint32, quint16>> &bucketStarts)
{
    QByteArray extSst;
    put16(extSst, bucketSize);
    for (const auto &[streamPos, offset] : bucketStarts) {
        put32(extSst, streamPos);
        put16(extSst, offset);
        put16(extSst, 0);
    }
    return record(RecExtSst, extSst);
}

} // namespace xlsworkbook

// Where the workbook stream goes: a device, a byte array, or nowhere while only sizes are
// worked out. Tracks the stream position.
class XlsWorkbook::StreamSink
{
public:
    explicit StreamSink(std::function<void(const QByteArray &)> write = {}, qsizetype start = 0)
        : m_write(std::move(write)), m_pos(start)
    {
    }
    void write(const QByteArray &bytes)
    {
        if (m_write)
            m_write(bytes);
        m_pos += bytes.size();
    }
    qsizetype pos() const { return m_pos; }

private:
    std::function<void(const QByteArray &)> m_write;
    qsizetype m_pos;
};

struct XlsWorkbook::Sheet
{
    QString name;
    QList<quint16> widths;
    QByteArray blocks;      // finished row blocks: ROW records, cell records, DBCELL
    QList<quint32> dbCells; // offset of each DBCELL within `blocks`
    int blockIndex = -1;    // the row block being gathered
    QByteArray blockCells;
    struct BlockRow
    {
        int row;
        qsizetype cellStart; // within blockCells
        int firstColumn;
        int endColumn;
    };
    QList<BlockRow> blockRows;
    int firstRow = -1;
    int lastRow = -1;
    int firstColumn = -1;
    int lastColumn = -1;
};

XlsWorkbook::XlsWorkbook() = default;
XlsWorkbook::~XlsWorkbook() = default;

XlsWorkbook::Sheet &XlsWorkbook::current()
{
    Q_ASSERT(!m_sheets.empty());
    return m_sheets.back();
}

void XlsWorkbook::addSheet(const QString &name)
{
    if (!m_sheets.empty())
        flushBlock(current());
    Sheet sheet;
    sheet.name = name.left(31);
    m_sheets.push_back(std::move(sheet));
}

void XlsWorkbook::setColumnWidth(int column, int characters)
{
    Sheet &sheet = current();
    if (column < 0 || column >= MaxColumns)
        return;
    if (sheet.widths.size() <= column)
        sheet.widths.resize(column + 1, 0);
    sheet.widths[column] = quint16(std::clamp(characters, 1, 255) * 256);
}

void XlsWorkbook::writeHeader(int column, const QString &text)
{
    QByteArray body;
    xlsworkbook::put16(body, 0);
    xlsworkbook::put16(body, quint16(column));
    xlsworkbook::put16(body, xlsworkbook::XfHeader);
    xlsworkbook::put32(body, sharedString(text));
    addCellRecord(0, column, xlsworkbook::RecLabelSst, body);
}

void XlsWorkbook::writeCell(int row, int column, const SheetCell &cell)
{
    QByteArray body;
    xlsworkbook::put16(body, quint16(row));
    xlsworkbook::put16(body, quint16(column));
    if (cell.type == SheetCell::Type::Text) {
        xlsworkbook::put16(body, xlsworkbook::XfDefault);
        xlsworkbook::put32(body, sharedString(cell.text.left(MaxCellText)));
        addCellRecord(row, column, xlsworkbook::RecLabelSst, body);
    } else if (cell.type == SheetCell::Type::Number) {
        switch (cell.format) {
        case SheetCell::Format::General: xlsworkbook::put16(body, xlsworkbook::XfDefault); break;
        case SheetCell::Format::Date: xlsworkbook::put16(body, xlsworkbook::XfDate); break;
        case SheetCell::Format::DateTime: xlsworkbook::put16(body, xlsworkbook::XfDateTime); break;
        case SheetCell::Format::Time: xlsworkbook::put16(body, xlsworkbook::XfTime); break;
        }
        xlsworkbook::putDouble(body, cell.number);
        addCellRecord(row, column, xlsworkbook::RecNumber, body);
    }
}

quint32 XlsWorkbook::sharedString(const QString &text)
{
    ++m_sstTotal;
    const size_t hash = qHash(text);
    for (auto it = m_sstLookup.constFind(hash); it != m_sstLookup.cend() && it.key() == hash; ++it) {
        if (sharedStringEquals(it.value(), text))
            return it.value();
    }
    const auto index = quint32(m_sstOffsets.size());
    m_sstOffsets.push_back(m_sstData.size());
    xlsworkbook::appendLongString(m_sstData, text);
    m_sstLookup.insert(hash, index);
    return index;
}

bool XlsWorkbook::sharedStringEquals(quint32 index, const QString &text) const
{
    const char *p = m_sstData.constData() + m_sstOffsets[index];
    const int length = qFromLittleEndian<quint16>(p);
    if (length != text.size())
        return false;
    const bool wide = p[2] & 1;
    p += 3;
    for (int i = 0; i < length; ++i) {
        const char16_t c = wide ? qFromLittleEndian<quint16>(p + 2 * i) : char16_t(quint8(p[i]));
        if (c != text.at(i).unicode())
            return false;
    }
    return true;
}

void XlsWorkbook::addCellRecord(int row, int column, quint16 type, const QByteArray &body)
{
    Sheet &sheet = current();
    Q_ASSERT(row >= sheet.lastRow && row < MaxRows && column >= 0 && column < MaxColumns);
    const int block = row / xlsworkbook::RowsPerBlock;
    if (block != sheet.blockIndex) {
        flushBlock(sheet);
        sheet.blockIndex = block;
    }
    if (sheet.blockRows.isEmpty() || sheet.blockRows.last().row != row)
        sheet.blockRows.append({row, sheet.blockCells.size(), column, column + 1});
    auto &blockRow = sheet.blockRows.last();
    blockRow.firstColumn = std::min(blockRow.firstColumn, column);
    blockRow.endColumn = std::max(blockRow.endColumn, column + 1);
    sheet.blockCells += xlsworkbook::record(type, body);

    if (sheet.firstRow < 0)
        sheet.firstRow = row;
    sheet.lastRow = row;
    sheet.firstColumn = sheet.firstColumn < 0 ? column : std::min(sheet.firstColumn, column);
    sheet.lastColumn = std::max(sheet.lastColumn, column);
}

void XlsWorkbook::flushBlock(Sheet &sheet)
{
    if (sheet.blockRows.isEmpty())
        return;
    const qsizetype firstRowPos = sheet.blocks.size();
    for (const auto &r : std::as_const(sheet.blockRows)) {
        QByteArray body;
        xlsworkbook::put16(body, quint16(r.row));
        xlsworkbook::put16(body, quint16(r.firstColumn));
        xlsworkbook::put16(body, quint16(r.endColumn));
        xlsworkbook::put16(body, 0x00FF); // default height
        xlsworkbook::put16(body, 0);
        xlsworkbook::put16(body, 0);
        xlsworkbook::put16(body, 0x0100);
        xlsworkbook::put16(body, xlsworkbook::XfDefault);
        sheet.blocks += xlsworkbook::record(xlsworkbook::RecRow, body);
    }
    const qsizetype cellsPos = sheet.blocks.size();
    sheet.blocks += sheet.blockCells;
    const qsizetype dbCellPos = sheet.blocks.size();

    // DBCELL: back to the first ROW, then from the end of the first ROW to the first row's
    // cells, and from each row's first cell to the next row's.
    QByteArray body;
    xlsworkbook::put32(body, quint32(dbCellPos - firstRowPos));
    for (int i = 0; i < sheet.blockRows.size(); ++i) {
        const qsizetype offset =
            i == 0 ? cellsPos + sheet.blockRows[0].cellStart - (firstRowPos + xlsworkbook::RowRecordSize)
                   : sheet.blockRows[i].cellStart - sheet.blockRows[i - 1].cellStart;
        xlsworkbook::put16(body, quint16(offset));
    }
    sheet.dbCells.append(quint32(dbCellPos));
    sheet.blocks += xlsworkbook::record(xlsworkbook::RecDbCell, body);
    sheet.blockCells.clear();
    sheet.blockRows.clear();
}

// BOF, INDEX, DEFCOLWIDTH, COLINFO..., DIMENSIONS before the row blocks; WINDOW2 and EOF after.
qsizetype XlsWorkbook::sheetSize(const Sheet &sheet) const
{
    const qsizetype colInfos =
        std::count_if(sheet.widths.begin(), sheet.widths.end(), [](quint16 w) { return w; });
    return 20 + (4 + 16 + 4 * sheet.dbCells.size()) + 6 + 16 * colInfos + 18 + sheet.blocks.size() + 22 + 4;
}

void XlsWorkbook::writeSheet(StreamSink &out, const Sheet &sheet, qsizetype start) const
{
    const bool hasCells = sheet.firstRow >= 0;
    const qsizetype indexSize = 4 + 16 + 4 * sheet.dbCells.size();
    const qsizetype defColWidthPos = start + 20 + indexSize;
    qsizetype blocksPos = defColWidthPos + 6 + 18;
    for (const quint16 width : sheet.widths)
        blocksPos += width ? 16 : 0;

    out.write(xlsworkbook::bof(0x0010));
    QByteArray index;
    xlsworkbook::put32(index, 0);
    xlsworkbook::put32(index, hasCells ? quint32(sheet.firstRow) : 0);
    xlsworkbook::put32(index, hasCells ? quint32(sheet.lastRow + 1) : 0);
    xlsworkbook::put32(index, quint32(defColWidthPos));
    for (const quint32 dbCell : sheet.dbCells)
        xlsworkbook::put32(index, quint32(blocksPos + dbCell));
    out.write(xlsworkbook::record(xlsworkbook::RecIndex, index));

    QByteArray defColWidth;
    xlsworkbook::put16(defColWidth, 8);
    out.write(xlsworkbook::record(xlsworkbook::RecDefColWidth, defColWidth));
    out.write(xlsworkbook::columnInfos(sheet.widths));

    QByteArray dimensions;
    xlsworkbook::put32(dimensions, hasCells ? quint32(sheet.firstRow) : 0);
    xlsworkbook::put32(dimensions, hasCells ? quint32(sheet.lastRow + 1) : 0);
    xlsworkbook::put16(dimensions, hasCells ? quint16(sheet.firstColumn) : 0);
    xlsworkbook::put16(dimensions, hasCells ? quint16(sheet.lastColumn + 1) : 0);
    xlsworkbook::put16(dimensions, 0);
    out.write(xlsworkbook::record(xlsworkbook::RecDimensions, dimensions));

    out.write(sheet.blocks);

    out.write(xlsworkbook::window2Record(&sheet == &m_sheets.front()));
    out.write(xlsworkbook::record(xlsworkbook::RecEof, {}));
}

int XlsWorkbook::sstBucketSize() const
{
    const int unique = int(m_sstOffsets.size());
    return std::max(8, (unique + 127) / 128);
}

// The shared strings: the SST record and as many CONTINUE records as the texts need. A text's
// length and option byte never part; a text that goes on in the next record starts it with a
// fresh option byte, and a two-byte character is never split.
void XlsWorkbook::writeSst(StreamSink &out, qsizetype start, QList<QPair<quint32, quint16>> *buckets) const
{
    Q_ASSERT(out.pos() == start);
    QByteArray body;
    xlsworkbook::put32(body, m_sstTotal);
    xlsworkbook::put32(body, quint32(m_sstOffsets.size()));
    bool firstRecord = true;
    auto flush = [&] {
        out.write(xlsworkbook::record(firstRecord ? xlsworkbook::RecSst : xlsworkbook::RecContinue, body));
        firstRecord = false;
        body.clear();
    };
    const int bucketSize = sstBucketSize();
    const char *data = m_sstData.constData();
    for (size_t i = 0; i < m_sstOffsets.size(); ++i) {
        const char *p = data + m_sstOffsets[i];
        const int length = qFromLittleEndian<quint16>(p);
        const bool wide = p[2] & 1;
        const int charSize = wide ? 2 : 1;
        if (body.size() + 3 + (length ? charSize : 0) > xlsworkbook::MaxRecordData)
            flush();
        if (buckets && i % bucketSize == 0)
            buckets->append({quint32(out.pos() + 4 + body.size()), quint16(4 + body.size())});
        body.append(p, 3);
        p += 3;
        int left = length;
        while (left > 0) {
            int room = int(xlsworkbook::MaxRecordData - body.size()) / charSize;
            if (room == 0) {
                flush();
                xlsworkbook::put8(body, wide ? 1 : 0);
                room = int(xlsworkbook::MaxRecordData - body.size()) / charSize;
            }
            const int take = std::min(room, left);
            body.append(p, qsizetype(take) * charSize);
            p += qsizetype(take) * charSize;
            left -= take;
        }
    }
    flush();
}

void XlsWorkbook::writeStream(StreamSink &out)
{
    if (m_sheets.empty())
        addSheet(u"Munka1"_s);
    flushBlock(current());

    const QByteArray head = xlsworkbook::globalsHead();

    QList<QByteArray> sheetNames;
    qsizetype boundSheetsSize = 0;
    for (const Sheet &sheet : m_sheets) {
        sheetNames.append(xlsworkbook::shortString(sheet.name));
        boundSheetsSize += 4 + 6 + sheetNames.last().size();
    }

    // Sizes first: the sheet records say where each sheet begins.
    const qsizetype sstStart = head.size() + boundSheetsSize;
    StreamSink probe({}, sstStart);
    writeSst(probe, sstStart, nullptr);
    const int buckets = (int(m_sstOffsets.size()) + sstBucketSize() - 1) / sstBucketSize();
    qsizetype pos = probe.pos() + 4 + 2 + 8 * buckets + 4;
    QList<qsizetype> sheetStarts;
    for (const Sheet &sheet : m_sheets) {
        sheetStarts.append(pos);
        pos += sheetSize(sheet);
    }

    out.write(head);
    for (size_t s = 0; s < m_sheets.size(); ++s)
        out.write(xlsworkbook::boundSheetRecord(sheetStarts[s], sheetNames[s]));
    QList<QPair<quint32, quint16>> bucketStarts;
    writeSst(out, sstStart, &bucketStarts);
    out.write(xlsworkbook::extSstRecord(quint16(sstBucketSize()), bucketStarts));
    out.write(xlsworkbook::record(xlsworkbook::RecEof, {}));
    for (size_t s = 0; s < m_sheets.size(); ++s) {
        Q_ASSERT(out.pos() == sheetStarts[s]);
        writeSheet(out, m_sheets[s], sheetStarts[s]);
    }
}

QByteArray XlsWorkbook::workbookStream()
{
    QByteArray stream;
    StreamSink out([&](const QByteArray &bytes) { stream += bytes; });
    writeStream(out);
    return stream;
}

void XlsWorkbook::save(QIODevice &device)
{
    GsfOutput *sink = NewGsfDeviceOutput(&device);
    GsfOutfile *ole = gsf_outfile_msole_new(sink);
    // The class of an Excel workbook, so that the shell knows the file.
    static const guint8 excelClassId[16] = {0x20, 0x08, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                            0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
    gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(ole), excelClassId);
    GsfOutput *stream = gsf_outfile_new_child(ole, "Workbook", FALSE);
    bool ok = true;
    StreamSink out([&](const QByteArray &bytes) {
        if (ok)
            ok = gsf_output_write(stream, size_t(bytes.size()),
                                  reinterpret_cast<const guint8 *>(bytes.constData()));
    });
    try {
        writeStream(out);
    } catch (...) {
        gsf_output_close(stream);
        g_object_unref(stream);
        gsf_output_close(GSF_OUTPUT(ole));
        g_object_unref(ole);
        if (!gsf_output_is_closed(sink))
            gsf_output_close(sink);
        g_object_unref(sink);
        throw;
    }
    ok = gsf_output_close(stream) && ok;
    g_object_unref(stream);
    ok = gsf_output_close(GSF_OUTPUT(ole)) && ok;
    g_object_unref(ole);
    if (!gsf_output_is_closed(sink))
        ok = gsf_output_close(sink) && ok;
    const QString error = GsfDeviceOutputError(sink);
    g_object_unref(sink);
    if (!ok || !error.isEmpty())
        throw ExportError(error.isEmpty() ? WriteFailedText(device, 0) : WriteFailedText(device, error));
}
