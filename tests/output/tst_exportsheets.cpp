#include "db/connection.h"
#include "db/query.h"
#include "output/exporter.h"
#include "output/exportvalues.h"
#include "output/xlsworkbook.h"
#include "samplerows.h"
#include "sheetdump.h"
#include "testdatabase.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <freexl.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A cell as the independent readers report it: "text", "number" or "date" ([y, m, d, h, mi, s],
// year 0 for a time of day).
struct Cell
{
    QString type;
    QJsonValue value;
    bool operator==(const Cell &other) const { return type == other.type && value == other.value; }
};
using Cells = QMap<QPair<int, int>, Cell>;

Cell text(const QString &s)
{
    return {u"text"_s, s};
}
Cell number(double v)
{
    return {u"number"_s, v};
}
Cell date(int y, int m, int d, int h = 0, int mi = 0, int s = 0)
{
    return {u"date"_s, QJsonArray{y, m, d, h, mi, s}};
}

QString describe(const Cell &cell)
{
    QString value =
        cell.value.isString()
            ? cell.value.toString().left(60)
            : QString::fromUtf8(QJsonDocument(QJsonArray{cell.value}).toJson(QJsonDocument::Compact));
    return cell.type + u' ' + value;
}

// Every cell of the sample table, header included, as the spreadsheet must hold it.
Cells sampleCells()
{
    Cells cells;
    const QStringList header{u"id"_s,      u"nev"_s, u"osszeg"_s, u"arany"_s, u"nap"_s,
                             u"idopont"_s, u"ido"_s, u"leiras"_s, u"adat"_s};
    for (int c = 0; c < header.size(); ++c)
        cells[{0, c}] = text(header.at(c));
    auto row = [&](int r, const QList<std::pair<int, Cell>> &values) {
        for (const auto &[c, cell] : values)
            cells[{r, c}] = cell;
    };
    row(1, {{0, number(1)},
            {1, text(u"Kőrút „A” – ű"_s)},
            {2, number(1234.5)},
            {3, number(0.25)},
            {4, date(2024, 3, 5)},
            {5, date(2024, 3, 5, 14, 7, 9)},
            {6, date(0, 0, 0, 8, 5, 0)},
            {7, text(u"első sor\nmásodik; sor"_s)},
            {8, text(u"BLOB"_s)}});
    row(2, {{0, number(2)},
            {1, text(u"a;b|c,d"_s)},
            {2, number(-3)},
            {4, date(2024, 12, 31)},
            {5, date(2024, 1, 1)},
            {7, text(u"c:\\mappa\t|;,vége"_s)},
            {8, text(u"BLOB"_s)}});
    row(3, {{0, number(3)},
            {1, text(u"Idéző \"jel\""_s)},
            {3, number(1e20)},
            {6, date(0, 0, 0, 23, 59, 59)},
            {8, text(u"BLOB"_s)}});
    row(4, {{0, number(4)},
            {1, text(u"O'Brien"_s)},
            {2, number(0)},
            {3, number(-1.5)},
            {4, date(1999, 1, 1)},
            {7, text(u"egy\nkettő\nhárom"_s)},
            {8, text(u"BLOB"_s)}});
    row(5, {{0, number(5)}, {8, text(u"BLOB"_s)}});
    return cells;
}

Cells cellsOf(const QJsonObject &sheet)
{
    Cells cells;
    for (const QJsonValue &v : sheet.value(u"cells"_s).toArray()) {
        const QJsonArray a = v.toArray();
        cells[{a.at(0).toInt(), a.at(1).toInt()}] = {a.at(2).toString(), a.at(3)};
    }
    return cells;
}

// The second opinion: libfreexl reads the same sheet.
Cells freexlCells(const QString &path, int sheetIndex, unsigned *rowsOut = nullptr,
                  unsigned short *columnsOut = nullptr)
{
    Cells cells;
    const void *handle = nullptr;
    const int opened = freexl_open(QFile::encodeName(path).constData(), &handle);
    if (opened != FREEXL_OK) {
        freexl_close(handle);
        qWarning("freexl_open: %d", opened);
        return cells;
    }
    unsigned rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(handle, unsigned(sheetIndex)) == FREEXL_OK &&
        freexl_worksheet_dimensions(handle, &rows, &columns) == FREEXL_OK) {
        for (unsigned r = 0; r < rows; ++r) {
            for (unsigned short c = 0; c < columns; ++c) {
                FreeXL_CellValue value;
                if (freexl_get_cell_value(handle, r, c, &value) != FREEXL_OK)
                    continue;
                const QPair<int, int> key{int(r), int(c)};
                switch (value.type) {
                case FREEXL_CELL_INT: cells[key] = number(value.value.int_value); break;
                case FREEXL_CELL_DOUBLE: cells[key] = number(value.value.double_value); break;
                case FREEXL_CELL_TEXT:
                case FREEXL_CELL_SST_TEXT:
                    cells[key] = text(QString::fromUtf8(value.value.text_value));
                    break;
                case FREEXL_CELL_DATE:
                case FREEXL_CELL_DATETIME:
                case FREEXL_CELL_TIME: {
                    // "yyyy-mm-dd", "yyyy-mm-dd hh:mm:ss", "hh:mm:ss"
                    const QString s = QString::fromUtf8(value.value.text_value);
                    const QStringList parts = s.split(QRegularExpression(u"[- :]"_s));
                    QList<int> n;
                    for (const QString &p : parts)
                        n.append(p.toInt());
                    if (value.type == FREEXL_CELL_TIME)
                        n = QList<int>{0, 0, 0} + n;
                    while (n.size() < 6)
                        n.append(0);
                    cells[key] = date(n[0], n[1], n[2], n[3], n[4], n[5]);
                    break;
                }
                default: break;
                }
            }
        }
    }
    freexl_close(handle);
    if (rowsOut)
        *rowsOut = rows;
    if (columnsOut)
        *columnsOut = columns;
    return cells;
}

bool sameCells(const Cells &actual, const Cells &expected)
{
    bool same = true;
    for (auto it = expected.cbegin(); it != expected.cend(); ++it) {
        const Cell got = actual.value(it.key(), Cell{u"empty"_s, {}});
        if (!(got == it.value())) {
            qWarning("cell %d,%d: got %s, expected %s", it.key().first, it.key().second,
                     qPrintable(describe(got)), qPrintable(describe(it.value())));
            same = false;
        }
    }
    for (auto it = actual.cbegin(); it != actual.cend(); ++it) {
        if (!expected.contains(it.key())) {
            qWarning("unexpected cell %d,%d: %s", it.key().first, it.key().second,
                     qPrintable(describe(it.value())));
            same = false;
        }
    }
    return same;
}

} // namespace

class TestExportSheets : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void sampleReadBack_data();
    void sampleReadBack();
    void longTextsContinueAndAreCut_data();
    void longTextsContinueAndAreCut();
    void seventyThousandRows_data();
    void seventyThousandRows();
    void stoppedExportIsWhole();
    void emptyDatasetAndNothingTicked();
    void tooManyColumnsForXls();
    void xlsRecordPointersHold();
    void numbersThatWouldChangeStayText_data();
    void numbersThatWouldChangeStayText();

private:
    std::unique_ptr<Query> open(const QString &sql);

    std::unique_ptr<TestDatabase> m_db;
    std::unique_ptr<Connection> m_con;
    QTemporaryDir m_dir;
};

void TestExportSheets::initTestCase()
{
    REQUIRE_TEST_SERVER();
    QVERIFY(QFile::exists(u"/usr/bin/python3"_s));
    m_db = std::make_unique<TestDatabase>(TestDatabase::Content::Empty);
    m_con = std::make_unique<Connection>(m_db->params());
    m_con->open();
    CreateSampleTable(*m_con);
}

void TestExportSheets::cleanupTestCase()
{
    m_con.reset();
    m_db.reset();
}

std::unique_ptr<Query> TestExportSheets::open(const QString &sql)
{
    auto query = std::make_unique<Query>(m_con.get());
    query->setSql(sql);
    query->open();
    return query;
}

void TestExportSheets::sampleReadBack_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::newRow("xls") << u"xls"_s;
    QTest::newRow("xlsx") << u"xlsx"_s;
}

void TestExportSheets::sampleReadBack()
{
    QFETCH(QString, suffix);
    const auto query = open(SampleSelect + u"\nORDER BY id;"_s);
    const ExportSource source(*query);
    const QString path = m_dir.filePath(u"minta."_s + suffix);
    const ExportResult result = ExportToFile(path, source, {0, 1, 2, 3, 4, 5, 6, 7, 8}, ExportOptions{});
    QCOMPARE(result.rowsWritten, 5);
    QCOMPARE(result.sheets, 1);
    QCOMPARE(result.cellsCut, 0);
    QCOMPARE(ExportDoneText(path, ExportFormatOf(path), result), QString());

    const QJsonArray sheets = ReadSheets(path);
    QCOMPARE(sheets.size(), 1);
    const QJsonObject sheet = sheets.at(0).toObject();
    QCOMPARE(sheet.value(u"name"_s).toString(), u"Munka1"_s);
    QCOMPARE(sheet.value(u"rows"_s).toInt(), 6);
    QCOMPARE(sheet.value(u"columns"_s).toInt(), 9);
    QVERIFY(sameCells(cellsOf(sheet), sampleCells()));

    if (suffix == u"xls"_s) {
        const QJsonObject font = sheet.value(u"font"_s).toObject();
        QCOMPARE(font.value(u"name"_s).toString(), u"Arial"_s);
        QCOMPARE(font.value(u"bold"_s).toBool(), true);
        QCOMPARE(font.value(u"points"_s).toDouble(), 10.0);
        QVERIFY(sameCells(freexlCells(path, 0), sampleCells()));
    } else {
        QProcess unzip;
        unzip.start(u"unzip"_s, {u"-t"_s, path});
        QVERIFY(unzip.waitForFinished(60000));
        const QByteArray out = unzip.readAllStandardOutput();
        QVERIFY2(unzip.exitCode() == 0 && out.contains("No errors detected"), out.constData());
    }
}

void TestExportSheets::longTextsContinueAndAreCut_data()
{
    sampleReadBack_data();
}

void TestExportSheets::longTextsContinueAndAreCut()
{
    QFETCH(QString, suffix);
    // Wide characters over several CONTINUE records, a text beyond the cell limit, a repeated
    // short text (stored once in the shared strings).
    const auto query =
        open(u"SELECT REPEAT('ő', 20000) AS hosszu, REPEAT('a', 40000) AS tul, 'rövid' AS r\n"
             "UNION ALL SELECT CONCAT(REPEAT('ű', 8191), 'x'), REPEAT('b', 32767), 'rövid';"_s);
    const ExportSource source(*query);
    const QString path = m_dir.filePath(u"hosszu."_s + suffix);
    const ExportResult result = ExportToFile(path, source, {0, 1, 2}, ExportOptions{});
    QCOMPARE(result.cellsCut, 1);
    QCOMPARE(ExportDoneText(path, ExportFormatOf(path), result),
             u"1 cella szövege hosszabb volt 32767 karakternél, ezért a táblázatba csak az eleje került."_s);

    Cells expected;
    expected[{0, 0}] = text(u"hosszu"_s);
    expected[{0, 1}] = text(u"tul"_s);
    expected[{0, 2}] = text(u"r"_s);
    expected[{1, 0}] = text(QString(20000, u'ő'));
    expected[{1, 1}] = text(QString(32767, u'a'));
    expected[{1, 2}] = text(u"rövid"_s);
    expected[{2, 0}] = text(QString(8191, u'ű') + u'x');
    expected[{2, 1}] = text(QString(32767, u'b'));
    expected[{2, 2}] = text(u"rövid"_s);
    const QJsonArray sheets = ReadSheets(path);
    QCOMPARE(sheets.size(), 1);
    // libfreexl joins a text over two records at most, so only xlrd reads these back.
    QVERIFY(sameCells(cellsOf(sheets.at(0).toObject()), expected));
}

void TestExportSheets::seventyThousandRows_data()
{
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QList<int>>("sheetRows");
    QTest::newRow("xls: a second sheet") << u"xls"_s << QList<int>{65536, 4466};
    QTest::newRow("xlsx: one sheet") << u"xlsx"_s << QList<int>{70001};
}

void TestExportSheets::seventyThousandRows()
{
    QFETCH(QString, suffix);
    QFETCH(QList<int>, sheetRows);
    // Texts alternate between one-byte and two-byte forms, so the string table's records break
    // inside both kinds.
    const auto query =
        open(u"SELECT seq AS n, IF(seq % 2, CONCAT('sor ', seq), CONCAT('ő sor ', seq)) AS t, "
             "DATE_ADD(DATE '2000-01-01', INTERVAL seq % 10000 DAY) AS d FROM seq_1_to_70000;"_s);
    QCOMPARE(query->rowCount(), 70000);
    const ExportSource source(*query);
    const QString path = m_dir.filePath(u"sok."_s + suffix);
    const ExportResult result = ExportToFile(path, source, {0, 1, 2}, ExportOptions{});
    QCOMPARE(result.rowsWritten, 70000);
    QCOMPARE(result.sheets, int(sheetRows.size()));

    const QJsonArray sheets = ReadSheets(path);
    QCOMPARE(sheets.size(), sheetRows.size());
    int n = 0;
    for (int s = 0; s < sheets.size(); ++s) {
        const QJsonObject sheet = sheets.at(s).toObject();
        QCOMPARE(sheet.value(u"name"_s).toString(), u"Munka%1"_s.arg(s + 1));
        QCOMPARE(sheet.value(u"rows"_s).toInt(), sheetRows.at(s));
        Cells expected;
        expected[{0, 0}] = text(u"n"_s);
        expected[{0, 1}] = text(u"t"_s);
        expected[{0, 2}] = text(u"d"_s);
        for (int r = 1; r < sheetRows.at(s); ++r) {
            ++n;
            const QDate d = QDate(2000, 1, 1).addDays(n % 10000);
            expected[{r, 0}] = number(n);
            expected[{r, 1}] = text((n % 2 ? u"sor %1"_s : u"ő sor %1"_s).arg(n));
            expected[{r, 2}] = date(d.year(), d.month(), d.day());
        }
        QVERIFY(sameCells(cellsOf(sheet), expected));
        if (suffix == u"xls"_s) {
            unsigned rows = 0;
            unsigned short columns = 0;
            QVERIFY(sameCells(freexlCells(path, s, &rows, &columns), expected));
            QCOMPARE(int(rows), sheetRows.at(s));
            QCOMPARE(int(columns), 3);
        }
    }
    QCOMPARE(n, 70000);
}

void TestExportSheets::stoppedExportIsWhole()
{
    const auto query = open(SampleSelect + u"\nORDER BY id;"_s);
    const ExportSource source(*query);
    int done = 0;
    const ExportControl control{[&](int rows) { done = rows; }, [&] { return done == 3; }};
    const QString path = m_dir.filePath(u"megallitva.xls"_s);
    const ExportResult result =
        ExportToFile(path, source, {0, 1, 2, 3, 4, 5, 6, 7, 8}, ExportOptions{}, control);
    QVERIFY(result.stopped);
    QCOMPARE(query->recNo(), 3);

    Cells expected = sampleCells();
    expected.removeIf([](const auto &it) { return it.key().first > 3; });
    const QJsonArray sheets = ReadSheets(path);
    QCOMPARE(sheets.size(), 1);
    QVERIFY(sameCells(cellsOf(sheets.at(0).toObject()), expected));
}

void TestExportSheets::emptyDatasetAndNothingTicked()
{
    const auto empty = open(SampleSelect + u"\nWHERE id > 100;"_s);
    const QString headerOnly = m_dir.filePath(u"ures.xls"_s);
    ExportToFile(headerOnly, ExportSource(*empty), {0, 1}, ExportOptions{});
    Cells expected;
    expected[{0, 0}] = text(u"id"_s);
    expected[{0, 1}] = text(u"nev"_s);
    QJsonArray sheets = ReadSheets(headerOnly);
    QCOMPARE(sheets.size(), 1);
    QVERIFY(sameCells(cellsOf(sheets.at(0).toObject()), expected));
    QVERIFY(sameCells(freexlCells(headerOnly, 0), expected));

    const auto rows = open(SampleSelect + u"\nORDER BY id;"_s);
    const QString nothing = m_dir.filePath(u"semmi.xls"_s);
    const ExportResult result = ExportToFile(nothing, ExportSource(*rows), {}, ExportOptions{});
    QCOMPARE(result.rowsWritten, 5);
    sheets = ReadSheets(nothing);
    QCOMPARE(sheets.size(), 1);
    QCOMPARE(sheets.at(0).toObject().value(u"rows"_s).toInt(), 0);
    QVERIFY(sameCells(freexlCells(nothing, 0), {}));
}

void TestExportSheets::tooManyColumnsForXls()
{
    QStringList expressions;
    for (int i = 1; i <= 300; ++i)
        expressions.append(u"%1 AS o%1"_s.arg(i));
    const auto query = open(u"SELECT "_s + expressions.join(u", "_s) + u';');
    const ExportSource source(*query);
    QList<int> all;
    for (int i = 0; i < 300; ++i)
        all.append(i);

    const QString xls = m_dir.filePath(u"szeles.xls"_s);
    {
        QFile old(xls);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("régi");
    }
    try {
        ExportToFile(xls, source, all, ExportOptions{});
        QFAIL("300 columns written to an .xls sheet");
    } catch (const ExportError &error) {
        QVERIFY2(error.message().contains(u"256"_s), qPrintable(error.message()));
    }
    QCOMPARE(readFile(xls), QByteArray("régi"));

    const QString xlsx = m_dir.filePath(u"szeles.xlsx"_s);
    ExportToFile(xlsx, source, all, ExportOptions{});
    const QJsonArray sheets = ReadSheets(xlsx);
    QCOMPARE(sheets.size(), 1);
    const Cells cells = cellsOf(sheets.at(0).toObject());
    QCOMPARE(cells.size(), 600);
    QCOMPARE(cells.value({0, 299}), text(u"o300"_s));
    QCOMPARE(cells.value({1, 299}), number(300));
}

namespace {

struct Record
{
    quint16 type;
    qsizetype pos; // of the record header
    QByteArray body;
};

quint16 u16(const QByteArray &b, qsizetype at)
{
    return quint16(quint8(b[at]) | quint8(b[at + 1]) << 8);
}
quint32 u32(const QByteArray &b, qsizetype at)
{
    return u16(b, at) | quint32(u16(b, at + 2)) << 16;
}

} // namespace

// The offsets that only some spreadsheet programs follow (and xlrd, libfreexl and LibreOffice
// ignore): sheet positions, the INDEX and DBCELL records of each row block, the string table's
// bucket index. Each must point at the record it names.
void TestExportSheets::xlsRecordPointersHold()
{
    XlsWorkbook book;
    QHash<QPair<int, int>, int> rowOfSheet;      // (sheet, row) -> first column written
    QStringList strings{u"szám"_s, u"szöveg"_s}; // in the order they enter the string table
    for (int s = 0; s < 2; ++s) {
        book.addSheet(u"Munka%1"_s.arg(s + 1));
        book.setColumnWidth(1, 20);
        book.writeHeader(0, u"szám"_s);
        book.writeHeader(1, u"szöveg"_s);
        for (int r = 1; r < 150; ++r) {
            if (r % 7 == 0)
                continue; // an empty row inside a block
            const int first = r % 5 == 0 ? 1 : 0;
            if (first == 0) {
                SheetCell n;
                n.type = SheetCell::Type::Number;
                n.number = r;
                book.writeCell(r, 0, n);
            }
            SheetCell cell;
            cell.type = SheetCell::Type::Text;
            cell.text = (r % 2 ? u"ő %1 "_s : u"a %1 "_s).arg(r) + QString(r * 20, u'x');
            book.writeCell(r, 1, cell);
            rowOfSheet[{s, r}] = first;
            if (s == 0)
                strings.append(cell.text);
        }
    }
    const QByteArray stream = book.workbookStream();

    QList<Record> records;
    QHash<qsizetype, int> recordAt;
    for (qsizetype pos = 0; pos + 4 <= stream.size();) {
        const quint16 size = u16(stream, pos + 2);
        QVERIFY(size <= 8224);
        recordAt.insert(pos, int(records.size()));
        records.append({u16(stream, pos), pos, stream.mid(pos + 4, size)});
        pos += 4 + size;
        QVERIFY(pos <= stream.size());
    }
    auto at = [&](qsizetype pos) -> const Record * {
        const auto it = recordAt.constFind(pos);
        return it == recordAt.cend() ? nullptr : &records[*it];
    };

    int sheetIndex = 0;
    for (const Record &boundSheet : records) {
        if (boundSheet.type != 0x0085)
            continue;
        const Record *bof = at(u32(boundSheet.body, 0));
        QVERIFY(bof && bof->type == 0x0809 && u16(bof->body, 2) == 0x0010);
        const Record *index = at(bof->pos + 4 + bof->body.size());
        QVERIFY(index && index->type == 0x020B);
        QCOMPARE(u32(index->body, 4), 0u);
        QCOMPARE(u32(index->body, 8), 150u);
        const Record *defColWidth = at(u32(index->body, 12));
        QVERIFY(defColWidth && defColWidth->type == 0x0055);
        const int blocks = int(index->body.size() - 16) / 4;
        QCOMPARE(blocks, 5); // rows 0-149 in blocks of 32
        int rowsSeen = 0;
        for (int b = 0; b < blocks; ++b) {
            const Record *dbCell = at(u32(index->body, 16 + 4 * b));
            QVERIFY(dbCell && dbCell->type == 0x00D7);
            const qsizetype firstRowPos = dbCell->pos - u32(dbCell->body, 0);
            qsizetype cellPos = firstRowPos + 20;
            for (int i = 0; i * 2 + 4 < dbCell->body.size(); ++i) {
                const Record *row = at(firstRowPos + 20 * i);
                QVERIFY(row && row->type == 0x0208);
                const int r = u16(row->body, 0);
                QVERIFY(r / 32 == b);
                cellPos += u16(dbCell->body, 4 + 2 * i);
                const Record *cell = at(cellPos);
                QVERIFY2(cell && (cell->type == 0x00FD || cell->type == 0x0203),
                         "DBCELL misses a row's first cell");
                QCOMPARE(int(u16(cell->body, 0)), r);
                QCOMPARE(int(u16(cell->body, 2)), r == 0 ? 0 : rowOfSheet.value({sheetIndex, r}));
                ++rowsSeen;
            }
        }
        QCOMPARE(rowsSeen, 1 + int(rowOfSheet.size()) / 2);
        ++sheetIndex;
    }
    QCOMPARE(sheetIndex, 2);

    // EXTSST: every bucket's first string, where the string table's records say it starts.
    const auto sst =
        std::find_if(records.cbegin(), records.cend(), [](const Record &r) { return r.type == 0x00FC; });
    const auto extSst =
        std::find_if(records.cbegin(), records.cend(), [](const Record &r) { return r.type == 0x00FF; });
    QVERIFY(sst != records.cend() && extSst != records.cend());
    QVERIFY(std::next(sst)->type == 0x003C); // the texts need CONTINUE records
    const int perBucket = u16(extSst->body, 0);
    QVERIFY(perBucket >= 8);
    const int buckets = int(extSst->body.size() - 2) / 8;
    QCOMPARE(buckets, (int(u32(sst->body, 4)) + perBucket - 1) / perBucket);
    for (int b = 0; b < buckets; ++b) {
        const quint32 streamPos = u32(extSst->body, 2 + 8 * b);
        const quint16 offset = u16(extSst->body, 6 + 8 * b);
        const Record *holder = at(streamPos - offset);
        QVERIFY(holder && (holder->type == 0x00FC || holder->type == 0x003C));
        QVERIFY(offset >= 4 && offset + 3 <= 4 + holder->body.size());
        QCOMPARE(int(u16(stream, streamPos)), int(strings.at(b * perBucket).size()));
    }
}

void TestExportSheets::numbersThatWouldChangeStayText_data()
{
    QTest::addColumn<int>("kind"); // ExportKind
    QTest::addColumn<QByteArray>("raw");
    QTest::addColumn<bool>("number");

    const int integer = int(ExportKind::Integer);
    const int decimal = int(ExportKind::Decimal);
    QTest::newRow("whole number at 2^53") << integer << QByteArray("-9007199254740992") << true;
    QTest::newRow("whole number past 2^53") << integer << QByteArray("9007199254740993") << false;
    QTest::newRow("smallest BIGINT") << integer << QByteArray("-9223372036854775808") << false;
    QTest::newRow("decimal of 15 digits") << decimal << QByteArray("-12345678901.2345") << true;
    QTest::newRow("decimal of 16 digits") << decimal << QByteArray("1234567890.123456") << false;
    // A sheet cannot hold them: an infinite cell breaks the file.
    QTest::newRow("decimal infinity") << decimal << QByteArray("inf") << false;
    QTest::newRow("decimal not a number") << decimal << QByteArray("nan") << false;
}

void TestExportSheets::numbersThatWouldChangeStayText()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, raw);
    QFETCH(bool, number);
    const SheetCell cell = ExportSheetCell(ExportKind(kind), false, raw);
    if (number) {
        QCOMPARE(cell.type, SheetCell::Type::Number);
        QCOMPARE(QByteArray::number(qlonglong(cell.number)), raw.split('.').first());
    } else {
        QCOMPARE(cell.type, SheetCell::Type::Text);
        QCOMPARE(cell.text, QString::fromLatin1(raw));
    }
}

QTEST_GUILESS_MAIN(TestExportSheets)
#include "tst_exportsheets.moc"
