#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

#include <cstdint>
#include <vector>

// What the server says about one column of a result.
struct FieldInfo
{
    enum class Kind { Integer, Float, Decimal, Date, DateTime, Time, Text, Binary, Other };

    QString name;      // column name or alias as the result names it
    QString table;     // table (or alias) the column comes from, empty for expressions
    QString orgTable;  // the real table, empty for expressions
    Kind kind = Kind::Text;
    int mysqlType = 0; // enum_field_types
    unsigned flags = 0;
    unsigned long length = 0;
    unsigned decimals = 0;

    bool isPrimaryKey() const;
    bool isAutoIncrement() const;
    bool isNotNull() const;
    bool isNumeric() const { return kind == Kind::Integer || kind == Kind::Float || kind == Kind::Decimal; }
};

// A fully read result, kept as the raw bytes the server sent (code page 1250 text), one
// contiguous buffer with an offset per cell. Text is decoded only when a cell is asked for,
// so a large register costs little more memory than its bytes.
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
    // Bytes held for the cells (what the result weighs without bookkeeping).
    qsizetype dataBytes() const { return m_data.size(); }

    // Filled by the connection while it reads a result.
    void setFields(QList<FieldInfo> fields);
    void reserveRows(qsizetype rows);
    void appendRow(const char *const *cells, const unsigned long *lengths);
    void squeeze();

private:
    QList<FieldInfo> m_fields;
    QByteArray m_data;
    std::vector<std::uint32_t> m_offsets{0}; // cell i spans m_offsets[i]..m_offsets[i+1]
    std::vector<std::uint8_t> m_nulls;       // one bit a cell
    int m_rowCount = 0;
};

QVariant ConvertFieldValue(const FieldInfo &field, QByteArrayView raw);
