#pragma once

#include "db/resultset.h"
#include "registerfetcher.h"

#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <vector>

class Connection;

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
        RegisterFetcher::Deliver deliver;
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
