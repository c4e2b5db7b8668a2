#include "registerfetcher.h"

#include "db/dberror.h"
#include "db/dbroutines.h"

#include <QElapsedTimer>
#include <limits>
#include <malloc.h>
#include <mysqld_error.h>
#include <optional>

using namespace Qt::StringLiterals;

namespace {
// A stop meant for an older reading may reach the newest one (it started just before the stop
// arrived); that one is simply run again, a few times at most.
constexpr int MaxInterruptedRuns = 3;

// The reading's SQL limited to its first rows; empty when it cannot be (it has a LIMIT already).
QString FirstRowsSql(const QString &sql, int rows)
{
    if (sql.contains(u"LIMIT"_s, Qt::CaseInsensitive))
        return {};
    QString text = sql.trimmed();
    while (text.endsWith(u';'))
        text.chop(1);
    return text + u"\nLIMIT "_s + QString::number(rows);
}

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
} // namespace

RegisterFetcher::RegisterFetcher(ConnectionParams params, Deliver deliver)
    : m_params(std::move(params)), m_deliver(std::move(deliver)), m_connection(m_params),
      m_killConnection(m_params)
{
    // The rows arrive in 1 MB blocks that must go back to the system when a newer reading
    // replaces them. Once a large block has been freed, glibc raises its threshold for mapping
    // blocks of their own and keeps later ones in the heap, where the freed rows of every
    // earlier reading would stay resident: a fixed threshold keeps large blocks mapped.
    static const bool fixedThreshold = mallopt(M_MMAP_THRESHOLD, 128 * 1024) == 1;
    Q_UNUSED(fixedThreshold);
    m_connection.setReconnectHandler([this] {
        m_serverThread.store(m_connection.threadId());
        ++m_reconnects;
    });
    m_thread = std::thread([this] { loop(); });
}

RegisterFetcher::~RegisterFetcher()
{
    m_newest.store(std::numeric_limits<quint64>::max());
    {
        const std::lock_guard lock(m_mutex);
        m_quit = true;
        m_pending.reset();
    }
    m_wake.notify_one();
    stopRunning();
    m_thread.join();
}

void RegisterFetcher::setBeforeReading(std::function<void(const RegisterRequest &)> hook)
{
    const std::lock_guard lock(m_mutex);
    m_beforeReading = std::move(hook);
}

void RegisterFetcher::submit(RegisterRequest request)
{
    m_newest.store(request.generation);
    {
        const std::lock_guard lock(m_mutex);
        m_pending = std::move(request);
    }
    m_wake.notify_one();
    stopRunning();
}

void RegisterFetcher::stopRunning()
{
    const quint64 running = m_running.load();
    if (running == 0 || !isStale(running))
        return;
    // When the stop cannot be sent the reading runs to its end and its answer is dropped: slower,
    // not wrong.
    KillQueryOver(m_killConnection, m_serverThread.load());
}

void RegisterFetcher::loop()
{
    for (;;) {
        RegisterRequest request;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_quit || m_pending.has_value(); });
            if (m_quit)
                return;
            request = std::move(*m_pending);
            m_pending.reset();
        }
        if (!isStale(request.generation))
            read(request);
    }
}

void RegisterFetcher::setAfterPart(std::function<void(const RegisterRequest &, int)> hook)
{
    const std::lock_guard lock(m_mutex);
    m_afterPart = std::move(hook);
}

void RegisterFetcher::setPartRows(int first, int later)
{
    const std::lock_guard lock(m_mutex);
    m_firstPartRows = qMax(1, first);
    m_laterPartRows = qMax(1, later);
}

void RegisterFetcher::read(const RegisterRequest &request)
{
    m_running.store(request.generation);
    struct Idle
    {
        std::atomic<quint64> &running;
        ~Idle() { running.store(0); }
    } idle{m_running};
    std::function<void(const RegisterRequest &)> beforeReading;
    int firstPartRows = 0;
    int laterPartRows = 0;
    {
        const std::lock_guard lock(m_mutex);
        beforeReading = m_beforeReading;
        firstPartRows = m_firstPartRows;
        laterPartRows = m_laterPartRows;
    }
    bool reconnected = false;
    int interrupted = 0;
    for (;;) {
        // Every attempt starts the list afresh: its first part replaces whatever came before.
        LandingFinder landing(request);
        std::vector<qint64> ids; // of every row, for the texts around the landing row
        std::shared_ptr<ResultSet> part;
        int rows = 0;
        bool firstSent = false;
        bool landed = false;
        QElapsedTimer sinceSent;
        sinceSent.start();
        int idColumn = -1;
        const auto send = [&](bool complete, std::shared_ptr<RegisterDetails> details) {
            RegisterAnswer answer;
            answer.generation = request.generation;
            part->squeeze();
            answer.rows = std::move(part);
            answer.first = !firstSent;
            answer.complete = complete;
            answer.row = complete ? landing.finalRow(rows) : (landed ? -1 : landing.certainRow());
            answer.details = std::move(details);
            landed = landed || answer.row >= 0;
            firstSent = true;
            m_deliver(std::move(answer));
            sinceSent.restart();
        };
        try {
            if (!m_connection.isOpen()) {
                m_connection.open();
                m_serverThread.store(m_connection.threadId());
            }
            if (beforeReading)
                beforeReading(request);
            const auto takeRow = [&](const ResultSet &columns, const char *const *cells,
                                     const unsigned long *lengths) {
                if (!part) {
                    part = std::make_shared<ResultSet>();
                    part->setFields(columns.fields());
                    idColumn = columns.fieldIndex(u"iktato");
                }
                part->appendRow(cells, lengths);
                const int partRow = part->rowCount() - 1;
                landing.look(*part, partRow, rows);
                ids.push_back(idColumn >= 0 ? part->raw(partRow, idColumn).toLongLong() : 0);
                ++rows;
            };
            const auto partSent = [&] {
                std::function<void(const RegisterRequest &, int)> afterPart;
                {
                    const std::lock_guard lock(m_mutex);
                    afterPart = m_afterPart;
                }
                if (afterPart)
                    afterPart(request, rows);
            };

            // Before it sends the first row the server may sort every row, or walk the table's key
            // to the year's rows, which takes it several times longer than picking out the first
            // screenful where an index gives it: the caller then asks for that to be read on its
            // own first, then the whole list, whose leading rows are passed over when the same.
            ResultSet shown; // the rows of the first part as they were sent
            int toPass = 0;
            // The first `count` rows sent are still right, the others are not.
            const auto sendAgainFromTop = [&](int count) {
                landing = LandingFinder(request);
                ids.clear();
                part.reset();
                rows = 0;
                firstSent = landed = false;
                for (int r = 0; r < count; ++r)
                    takeRow(shown, RowCells(shown, r).data(), RowLengths(shown, r).data());
            };
            std::optional<ResultSet> quickHeader;
            const QString quickSql =
                request.quickFirstPart ? FirstRowsSql(request.sql, firstPartRows) : QString();
            if (!quickSql.isEmpty()) {
                quickHeader =
                    m_connection.forEachRow(quickSql, [&](const ResultSet &columns, const char *const *cells,
                                                          const unsigned long *lengths) {
                        if (isStale(request.generation))
                            return false;
                        if (shown.columnCount() == 0)
                            shown.setFields(columns.fields());
                        shown.appendRow(cells, lengths);
                        takeRow(columns, cells, lengths);
                        return true;
                    });
                if (isStale(request.generation))
                    return;
                toPass = rows;
            }
            // Fewer rows than asked for: they are the whole list.
            const bool quickIsAll = quickHeader && rows < firstPartRows;
            if (quickHeader && !quickIsAll) {
                send(false, {});
                partSent();
            }
            int fullRow = 0;
            const ResultSet header =
                quickIsAll ? std::move(*quickHeader)
                           : m_connection.forEachRow(request.sql, [&](const ResultSet &columns,
                                                                      const char *const *cells,
                                                                      const unsigned long *lengths) {
                                 if (isStale(request.generation))
                                     return false; // stopped on the server; the rest is not wanted
                                 if (toPass > 0) {
                                     const int row = fullRow++;
                                     if (row < toPass) {
                                         if (SameRow(shown, row, cells, lengths))
                                             return true;
                                         // The list changed in between: it is sent again from its top.
                                         sendAgainFromTop(row);
                                     }
                                     toPass = 0;
                                 }
                                 takeRow(columns, cells, lengths);
                                 const int partRow = part->rowCount() - 1;
                                 const bool due =
                                     firstSent ? part->rowCount() >= laterPartRows ||
                                                     (partRow % 64 == 0 && sinceSent.elapsed() >= LaterPartMs)
                                               : part->rowCount() >= firstPartRows;
                                 if (due) {
                                     send(false, {});
                                     partSent();
                                 }
                                 return true;
                             });
            if (!quickIsAll && toPass > 0 && fullRow < toPass && !isStale(request.generation))
                sendAgainFromTop(fullRow); // the list lost rows in between
            ++m_completed;
            if (isStale(request.generation))
                return;
            if (!part) {
                // No rows, or every row already handed over: the last part is empty.
                part = std::make_shared<ResultSet>();
                part->setFields(header.fields());
            }
            // The panel's text of the landing record comes with the last rows, so that the
            // window does not wait for the server when it shows them.
            std::shared_ptr<RegisterDetails> details;
            if (request.readDetails) {
                try {
                    details = std::make_shared<RegisterDetails>(RegisterDetails::read(
                        m_connection, RegisterDetails::idsAround(ids, landing.finalRow(rows))));
                } catch (const DbError &) {
                    // The rows are what was asked for; the text is read when the window needs it.
                }
            }
            if (!isStale(request.generation))
                send(true, std::move(details));
            return;
        } catch (const DbError &error) {
            if (isStale(request.generation)) {
                if (error.number() == ER_QUERY_INTERRUPTED)
                    ++m_stopped;
                return;
            }
            if (error.number() == ER_QUERY_INTERRUPTED && ++interrupted < MaxInterruptedRuns)
                continue;
            // A line that broke while the rows came in: the reading is tried once more on a
            // new line (a line that broke before sending was taken up by the connection itself).
            if (error.isConnectionLost() && !reconnected) {
                reconnected = true;
                continue;
            }
            m_deliver(RegisterAnswer{
                request.generation, nullptr, true, true, -1, error.message(), error.number(), {}});
            return;
        }
    }
}

int RegisterFetcher::landingRow(const ResultSet &rows, const RegisterRequest &request)
{
    LandingFinder landing(request);
    for (int r = 0; r < rows.rowCount() && landing.certainRow() < 0; ++r)
        landing.look(rows, r, r);
    return landing.finalRow(rows.rowCount());
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
