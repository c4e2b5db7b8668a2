#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>
#include <cstdint>
#include <deque>
#include <memory>
#include <vector>

// What the server says about one column of a result.
struct FieldInfo
{
    enum class Kind { Integer, Float, Decimal, Date, DateTime, Time, Text, Binary, Other };

    QString name;     // column name or alias as the result names it
    QString table;    // table (or alias) the column comes from, empty for expressions
    QString orgTable; // the real table, empty for expressions
    Kind kind = Kind::Text;
    int mysqlType = 0; // enum_field_types
    unsigned flags = 0;
    unsigned long length = 0;
    unsigned decimals = 0;

    bool isPrimaryKey() const;
    bool isAutoIncrement() const;
    bool isNumeric() const { return kind == Kind::Integer || kind == Kind::Float || kind == Kind::Decimal; }
};

// A fully read result, kept as the raw bytes the server sent (code page 1250 text) in large
// blocks that are filled in turn and never moved, with an end offset per cell. Text is decoded
// only when a cell is asked for, so a large register costs little more memory than its bytes.
class ResultSet
{
public:
    int rowCount() const { return m_rowCount; }
    int columnCount() const { return int(m_fields.size()); }
    const QList<FieldInfo> &fields() const { return m_fields; }
    // Case-insensitive, like the server's column names; -1 when absent.
    int fieldIndex(QStringView name) const;

    bool isNull(int row, int column) const;
    QByteArrayView raw(int row, int column) const;
    // Decoded text; empty for NULL.
    QString text(int row, int column) const;
    // Typed value: an invalid (null) QVariant for NULL, qlonglong for whole numbers, double for
    // floating and decimal numbers, QDate, QDateTime, and QString for the rest.
    QVariant value(int row, int column) const;
    // Bytes of the cells (what the result weighs without bookkeeping).
    qsizetype dataBytes() const { return m_bytes; }

    // Filled by the connection while it reads a result.
    void setFields(QList<FieldInfo> fields);
    void appendRow(const char *const *cells, const unsigned long *lengths);
    // Releases the room reserved for rows that never came.
    void squeeze();
    // Takes over the rows of `more` (read with the same columns) after its own; their bytes are
    // not copied.
    void append(ResultSet &&more);

private:
    struct Block
    {
        std::unique_ptr<char[]> data;
        std::uint32_t used = 0;
        std::uint32_t capacity = 0;
    };
    // Blocks grow from the first size to the largest one by doubling: a result of a few rows
    // does not take a megabyte, a large one still ends up in large blocks.
    static constexpr std::uint32_t FirstBlockSize = 16u << 10;
    static constexpr std::uint32_t BlockSize = 1u << 20;

    QList<FieldInfo> m_fields;
    std::vector<Block> m_blocks;
    // Deques: a result that grows in parts never copies what it holds to make room, so adding
    // a part costs the part alone.
    std::deque<std::uint32_t> m_rowBlock; // block of each row (a row never spans blocks)
    std::deque<std::uint32_t> m_rowStart; // offset of the row's first cell in its block
    std::deque<std::uint32_t> m_cellEnd;  // end offset of each cell in its row's block
    std::deque<std::uint8_t> m_nulls;     // one bit a cell
    qsizetype m_bytes = 0;
    int m_rowCount = 0;
};

QVariant ConvertFieldValue(const FieldInfo &field, QByteArrayView raw);

// The rows arrive in 1 MB blocks that must go back to the system when a newer reading replaces
// them. Once a large block has been freed, glibc raises its threshold for mapping blocks of their
// own and keeps later ones in the heap, where the freed rows of every earlier reading would stay
// resident: a program that reads large results calls this once at its start to keep the
// threshold fixed.
void KeepLargeBlocksMapped();
