#include "resultset.h"

#include "common/cp1250.h"

#include <QDateTime>
#include <algorithm>
#include <cstring>
#include <mysql.h>
#include <malloc.h>

bool FieldInfo::isPrimaryKey() const
{
    return flags & PRI_KEY_FLAG;
}
bool FieldInfo::isAutoIncrement() const
{
    return flags & AUTO_INCREMENT_FLAG;
}
int ResultSet::fieldIndex(QStringView name) const
{
    for (int i = 0; i < m_fields.size(); ++i) {
        if (m_fields.at(i).name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool ResultSet::isNull(int row, int column) const
{
    const std::size_t cell = std::size_t(row) * m_fields.size() + column;
    return m_nulls[cell >> 3] & (1u << (cell & 7));
}

QByteArrayView ResultSet::raw(int row, int column) const
{
    const std::size_t cell = std::size_t(row) * m_fields.size() + column;
    const std::uint32_t begin = column == 0 ? m_rowStart[row] : m_cellEnd[cell - 1];
    return QByteArrayView(m_blocks[m_rowBlock[row]].data.get() + begin, m_cellEnd[cell] - begin);
}

QString ResultSet::text(int row, int column) const
{
    return FromCp1250(raw(row, column));
}

QVariant ResultSet::value(int row, int column) const
{
    if (isNull(row, column))
        return {};
    return ConvertFieldValue(m_fields.at(column), raw(row, column));
}

void ResultSet::setFields(QList<FieldInfo> fields)
{
    m_fields = std::move(fields);
}

void ResultSet::appendRow(const char *const *cells, const unsigned long *lengths)
{
    const int columns = int(m_fields.size());
    std::size_t rowBytes = 0;
    for (int c = 0; c < columns; ++c)
        rowBytes += cells[c] ? lengths[c] : 0;
    if (m_blocks.empty() || m_blocks.back().capacity - m_blocks.back().used < rowBytes) {
        Block block;
        // A squeezed last block may be small: the next one still starts at the first size.
        const std::size_t size = m_blocks.empty()
                                     ? FirstBlockSize
                                     : std::clamp<std::size_t>(2 * std::size_t(m_blocks.back().capacity),
                                                               FirstBlockSize, BlockSize);
        block.capacity = std::uint32_t(std::max(size, rowBytes));
        block.data.reset(new char[block.capacity]);
        m_blocks.push_back(std::move(block));
    }
    Block &block = m_blocks.back();
    m_rowBlock.push_back(std::uint32_t(m_blocks.size() - 1));
    m_rowStart.push_back(block.used);
    std::size_t cell = std::size_t(m_rowCount) * columns;
    m_nulls.resize((cell + columns + 7) / 8, 0);
    for (int c = 0; c < columns; ++c, ++cell) {
        if (cells[c]) {
            std::memcpy(block.data.get() + block.used, cells[c], lengths[c]);
            block.used += std::uint32_t(lengths[c]);
        } else {
            m_nulls[cell >> 3] |= std::uint8_t(1u << (cell & 7));
        }
        m_cellEnd.push_back(block.used);
    }
    m_bytes += qsizetype(rowBytes);
    ++m_rowCount;
}

void ResultSet::squeeze()
{
    // A partly filled last block is cut to its rows: a result read in several parts would
    // otherwise keep most of a block per part.
    if (!m_blocks.empty() && m_blocks.back().used < m_blocks.back().capacity) {
        Block &block = m_blocks.back();
        std::unique_ptr<char[]> data(new char[std::max<std::uint32_t>(block.used, 1)]);
        std::memcpy(data.get(), block.data.get(), block.used);
        block.data = std::move(data);
        block.capacity = std::max<std::uint32_t>(block.used, 1);
    }
    m_rowBlock.shrink_to_fit();
    m_rowStart.shrink_to_fit();
    m_cellEnd.shrink_to_fit();
    m_nulls.shrink_to_fit();
}

void ResultSet::append(ResultSet &&more)
{
    if (more.m_rowCount == 0)
        return;
    if (m_rowCount == 0 && m_blocks.empty()) {
        QList<FieldInfo> fields = m_fields.isEmpty() ? more.m_fields : m_fields;
        *this = std::move(more);
        m_fields = std::move(fields);
        return;
    }
    const std::size_t columns = m_fields.size();
    const auto blockOffset = std::uint32_t(m_blocks.size());
    for (Block &block : more.m_blocks)
        m_blocks.push_back(std::move(block));
    for (const std::uint32_t block : more.m_rowBlock)
        m_rowBlock.push_back(block + blockOffset);
    m_rowStart.insert(m_rowStart.end(), more.m_rowStart.begin(), more.m_rowStart.end());
    m_cellEnd.insert(m_cellEnd.end(), more.m_cellEnd.begin(), more.m_cellEnd.end());
    const std::size_t firstCell = std::size_t(m_rowCount) * columns;
    const std::size_t cells = std::size_t(more.m_rowCount) * columns;
    m_nulls.resize((firstCell + cells + 7) / 8, 0);
    for (std::size_t cell = 0; cell < cells; ++cell) {
        if (more.m_nulls[cell >> 3] & (1u << (cell & 7))) {
            const std::size_t to = firstCell + cell;
            m_nulls[to >> 3] |= std::uint8_t(1u << (to & 7));
        }
    }
    m_bytes += more.m_bytes;
    m_rowCount += more.m_rowCount;
    more = ResultSet();
}

QVariant ConvertFieldValue(const FieldInfo &field, QByteArrayView raw)
{
    switch (field.kind) {
    case FieldInfo::Kind::Integer: {
        bool ok = false;
        const qlonglong v = raw.toLongLong(&ok);
        if (ok)
            return v;
        return raw.toULongLong(&ok) ? QVariant(raw.toULongLong()) : QVariant(FromCp1250(raw));
    }
    case FieldInfo::Kind::Float:
    case FieldInfo::Kind::Decimal: {
        bool ok = false;
        const double v = raw.toDouble(&ok);
        return ok ? QVariant(v) : QVariant(FromCp1250(raw));
    }
    case FieldInfo::Kind::Date:
        return QDate::fromString(QString::fromLatin1(raw), QStringLiteral("yyyy-MM-dd"));
    case FieldInfo::Kind::DateTime:
        return QDateTime::fromString(QString::fromLatin1(raw.first(qMin<qsizetype>(19, raw.size()))),
                                     QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    case FieldInfo::Kind::Binary: return raw.toByteArray();
    case FieldInfo::Kind::Time:
    case FieldInfo::Kind::Text:
    case FieldInfo::Kind::Other: break;
    }
    return FromCp1250(raw);
}

void KeepLargeBlocksMapped()
{
    mallopt(M_MMAP_THRESHOLD, 128 * 1024);
}
