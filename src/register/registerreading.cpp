#include "registerreading.h"

#include "db/connection.h"
#include "db/dberror.h"

namespace registerreading {

std::vector<const char *> RowCells(const ResultSet &rows, int row)
{
    std::vector<const char *> cells(rows.columnCount());
    for (int c = 0; c < rows.columnCount(); ++c)
        cells[c] = rows.isNull(row, c) ? nullptr : rows.raw(row, c).data();
    return cells;
}

std::vector<unsigned long> RowLengths(const ResultSet &rows, int row)
{
    std::vector<unsigned long> lengths(rows.columnCount());
    for (int c = 0; c < rows.columnCount(); ++c)
        lengths[c] = static_cast<unsigned long>(rows.raw(row, c).size());
    return lengths;
}

bool SameRow(const ResultSet &rows, int row, const char *const *cells, const unsigned long *lengths)
{
    for (int c = 0; c < rows.columnCount(); ++c) {
        if (rows.isNull(row, c) != (cells[c] == nullptr))
            return false;
        if (rows.raw(row, c) != QByteArrayView(cells[c], qsizetype(cells[c] ? lengths[c] : 0)))
            return false;
    }
    return true;
}

} // namespace registerreading

using namespace registerreading;

RegisterReading::RegisterReading(Connection &connection, const RegisterRequest &request, Settings settings)
    : m_connection(connection), m_request(request), m_settings(std::move(settings)), m_landing(request)
{
    m_sinceSent.start();
}

void RegisterReading::run()
{
    // Before it sends the first row the server may sort every row, or walk the table's key to
    // the year's rows, which takes it several times longer than picking out the first screenful
    // where an index gives it: such a request has its first rows read on their own first.
    if (m_request.firstRowsAlone && !readFirstRowsAlone())
        return;
    const ResultSet columns = m_firstRowsAreAll ? std::move(m_firstRowsColumns) : readWholeList();
    if (!m_firstRowsAreAll && m_toPass > 0 && m_fullRow < m_toPass && !m_settings.isStale())
        sendAgainFromTop(m_fullRow); // the list lost rows in between
    m_settings.serverDone();
    if (m_settings.isStale())
        return;
    finish(columns);
}

bool RegisterReading::readFirstRowsAlone()
{
    const QString sql = m_request.firstRowsAlone->firstRowsSql(m_settings.firstPartRows);
    m_firstRowsColumns = m_connection.forEachRow(sql, [this](const ResultSet &columns,
                                                                                Cells cells, Lengths lengths) {
        if (m_settings.isStale())
            return false;
        if (m_shown.columnCount() == 0)
            m_shown.setFields(columns.fields());
        m_shown.appendRow(cells, lengths);
        takeRow(columns, cells, lengths);
        return true;
    });
    if (m_settings.isStale())
        return false;
    m_toPass = m_rows;
    // Fewer rows than the limit: they are the whole list.
    m_firstRowsAreAll = m_rows < m_settings.firstPartRows;
    if (!m_firstRowsAreAll)
        sendPart();
    return true;
}

ResultSet RegisterReading::readWholeList()
{
    return m_connection.forEachRow(m_request.sql, [this](const ResultSet &columns, Cells cells, Lengths lengths) {
        if (m_settings.isStale())
            return false; // stopped on the server; the rest is not wanted
        if (passOver(cells, lengths))
            return true;
        takeRow(columns, cells, lengths);
        if (partIsDue())
            sendPart();
        return true;
    });
}

bool RegisterReading::passOver(Cells cells, Lengths lengths)
{
    if (m_toPass == 0)
        return false;
    const int row = m_fullRow++;
    if (row < m_toPass) {
        if (SameRow(m_shown, row, cells, lengths))
            return true;
        sendAgainFromTop(row);
    }
    m_toPass = 0;
    return false;
}

void RegisterReading::takeRow(const ResultSet &columns, Cells cells, Lengths lengths)
{
    if (!m_part) {
        m_part = std::make_shared<ResultSet>();
        m_part->setFields(columns.fields());
        m_idColumn = columns.fieldIndex(u"iktato");
    }
    m_part->appendRow(cells, lengths);
    const int partRow = m_part->rowCount() - 1;
    m_landing.look(*m_part, partRow, m_rows);
    m_ids.push_back(m_idColumn >= 0 ? m_part->raw(partRow, m_idColumn).toLongLong() : 0);
    ++m_rows;
}

bool RegisterReading::partIsDue() const
{
    const int rows = m_part->rowCount();
    if (!m_firstSent)
        return rows >= m_settings.firstPartRows;
    return rows >= m_settings.laterPartRows ||
           ((rows - 1) % RowsBetweenClockReadings == 0 && m_sinceSent.elapsed() >= LaterPartMs);
}

void RegisterReading::sendPart()
{
    send(false, {});
    if (m_settings.afterPart)
        m_settings.afterPart(m_request, m_rows);
}

void RegisterReading::send(bool complete, std::shared_ptr<RegisterDetails> details)
{
    RegisterAnswer answer;
    answer.generation = m_request.generation;
    m_part->squeeze();
    answer.rows = std::move(m_part);
    answer.first = !m_firstSent;
    answer.complete = complete;
    answer.row = complete ? m_landing.finalRow(m_rows) : (m_landed ? -1 : m_landing.certainRow());
    answer.details = std::move(details);
    m_landed = m_landed || answer.row >= 0;
    m_firstSent = true;
    m_settings.deliver(std::move(answer));
    m_sinceSent.restart();
}

void RegisterReading::sendAgainFromTop(int count)
{
    m_landing = LandingFinder(m_request);
    m_ids.clear();
    m_part.reset();
    m_rows = 0;
    m_firstSent = m_landed = false;
    for (int r = 0; r < count; ++r)
        takeRow(m_shown, RowCells(m_shown, r).data(), RowLengths(m_shown, r).data());
}

void RegisterReading::finish(const ResultSet &columns)
{
    if (!m_part) {
        // No rows, or every row already handed over: the last part is empty.
        m_part = std::make_shared<ResultSet>();
        m_part->setFields(columns.fields());
    }
    // The panel's text of the landing record comes with the last rows, so that the window does
    // not wait for the server when it shows them.
    std::shared_ptr<RegisterDetails> details;
    if (m_request.readDetails) {
        try {
            details = std::make_shared<RegisterDetails>(RegisterDetails::read(
                m_connection, RegisterDetails::idsAround(m_ids, m_landing.finalRow(m_rows))));
        } catch (const DbError &) {
            // The rows are what was asked for; the text is read when the window needs it.
        }
    }
    if (!m_settings.isStale())
        send(true, std::move(details));
}

LandingFinder::LandingFinder(const RegisterRequest &request)
    : m_field(request.locateField), m_text(request.locateText)
{
    for (const qint64 id : request.locateIds) {
        if (id > 0)
            m_ids.append(QByteArray::number(id));
    }
    if (m_field.isEmpty())
        m_text.clear();
}

void LandingFinder::look(const ResultSet &part, int partRow, int row)
{
    if (m_rank == 0)
        return;
    if (m_idColumn == -2) {
        m_idColumn = part.fieldIndex(u"iktato");
        m_textColumn = m_text.isEmpty() ? -1 : part.fieldIndex(m_field);
    }
    // The ids as the server sends them: a record is found without decoding anything.
    if (m_idColumn >= 0 && !part.isNull(partRow, m_idColumn)) {
        const QByteArrayView id = part.raw(partRow, m_idColumn);
        for (int i = 0; i < qMin<qsizetype>(m_rank, m_ids.size()); ++i) {
            if (id == m_ids.at(i)) {
                m_rank = i;
                m_row = row;
                return;
            }
        }
    }
    const int textRank = int(m_ids.size());
    if (m_textColumn >= 0 && textRank < m_rank && !part.isNull(partRow, m_textColumn) &&
        part.text(partRow, m_textColumn).startsWith(m_text, Qt::CaseInsensitive)) {
        m_rank = textRank;
        m_row = row;
    }
}
