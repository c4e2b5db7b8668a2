#pragma once

#include "db/resultset.h"
#include "registerdetails.h"
#include "registerstatement.h"

#include <QElapsedTimer>
#include <QList>
#include <QString>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

class Connection;

// One reading of the register's rows, and where the list lands when they arrive.
struct RegisterRequest
{
    quint64 generation = 0;
    QString sql;
    // The first of these records that is listed becomes current...
    QList<qint64> locateIds;
    // ...or the first row whose field begins with the text, ignoring letter case.
    QString locateField;
    QString locateText;
    // The whole rows around the landing row come with the last part (the panel shows them).
    bool readDetails = true;
    // When set (the same list as `sql`, in a total order): the first part is read on its own
    // with a LIMIT before the whole list, which then comes with the same rows first.
    std::optional<RegisterStatement> firstRowsAlone;
};

// One part of the answer to a reading. The rows come in parts so that the first screen of them
// can be shown while the rest is still on its way: a first part with a few hundred rows, then
// the rest in one or a few parts, the last one marked `complete`.
struct RegisterAnswer
{
    quint64 generation = 0;
    std::shared_ptr<ResultSet> rows; // this part's rows; null when the reading failed
    // The rows begin the result (they replace what the list shows) or follow the earlier parts.
    bool first = true;
    // The last part of the reading (also a failure).
    bool complete = true;
    // The landing row, counted over the whole result, once it is certain; -1 until then (and
    // for an empty result).
    int row = -1;
    QString error;
    unsigned errorNumber = 0;
    // With the last part: the whole rows around the landing row (null when that failed: they
    // are then read when asked for).
    std::shared_ptr<RegisterDetails> details;
};

// Finds where a reading lands while its rows go by: the first listed record of the request's
// ids (in the order given), else the first row whose field begins with its text, else the first
// row. A match is certain as soon as nothing better can follow.
class LandingFinder
{
public:
    explicit LandingFinder(const RegisterRequest &request);
    // Looks at the next row of the result (row numbers count on across parts).
    void look(const ResultSet &part, int partRow, int row);
    // The landing row once it is certain, or -1.
    int certainRow() const { return m_rank == 0 ? m_row : -1; }
    // The landing row after the last row (-1 when there were no rows).
    int finalRow(int rowCount) const { return m_row >= 0 ? m_row : (rowCount > 0 ? 0 : -1); }

private:
    QList<QByteArray> m_ids; // as the server sends them
    QString m_field;
    QString m_text;
    int m_idColumn = -2; // resolved at the first row
    int m_textColumn = -2;
    int m_rank = std::numeric_limits<int>::max(); // lower is better; 0 cannot be beaten
    int m_row = -1;
};

// Takes each answer of a reading (on the reading's thread).
using RegisterDeliver = std::function<void(RegisterAnswer)>;


// One attempt at reading a request's rows over the fetcher's connection, handing them over in
// parts: a first part of a screenful or so, then the rest in parts that go when they are full
// or have waited long enough. A request that names its first rows alone reads them first with
// a LIMIT and then the whole list, passing over its leading rows when they are the same.
// Throws DbError when the server fails; a reading that goes stale stops without a word.
class RegisterReading
{
public:
    struct Settings
    {
        int firstPartRows = 0;
        int laterPartRows = 0;
        std::function<bool()> isStale;
        RegisterDeliver deliver;
        std::function<void(const RegisterRequest &, int rowsSoFar)> afterPart; // may be empty
        std::function<void()> serverDone; // the server ran the whole list to its end
    };

    // A later part also goes when it has waited this long, so that a slow list keeps growing.
    static constexpr int LaterPartMs = 200;
    // The clock is read every so many rows: reading it for every row would cost more than the row.
    static constexpr int RowsBetweenClockReadings = 64;

    RegisterReading(Connection &connection, const RegisterRequest &request, Settings settings);

    void run();

private:
    using Cells = const char *const *;
    using Lengths = const unsigned long *;

    // Reads the first rows on their own; false when the reading went stale.
    bool readFirstRowsAlone();
    // Reads the whole list; gives its columns.
    ResultSet readWholeList();
    // A row of the whole list: passed over when the first rows alone already gave it.
    bool passOver(Cells cells, Lengths lengths);
    void takeRow(const ResultSet &columns, Cells cells, Lengths lengths);
    bool partIsDue() const;
    void sendPart();
    void send(bool complete, std::shared_ptr<RegisterDetails> details);
    // The list changed between the two readings: only its first `count` rows as shown hold.
    void sendAgainFromTop(int count);
    // The last part, with the whole rows around the landing row.
    void finish(const ResultSet &columns);

    Connection &m_connection;
    const RegisterRequest &m_request;
    Settings m_settings;

    LandingFinder m_landing;
    std::vector<qint64> m_ids; // of every row, for the texts around the landing row
    std::shared_ptr<ResultSet> m_part;
    int m_idColumn = -1;
    int m_rows = 0;
    bool m_firstSent = false;
    bool m_landed = false;
    QElapsedTimer m_sinceSent;

    ResultSet m_shown;  // the first rows read alone, as they were sent
    int m_toPass = 0;   // of those, the ones the whole list has still to pass over
    int m_fullRow = 0;  // rows of the whole list seen while passing over
    bool m_firstRowsAreAll = false;
    ResultSet m_firstRowsColumns;
};
