#pragma once

class Connection;

// The session variables through which this program tells the database's triggers about itself.
// Other programs set none of them: their changes are recorded without a user, and recorded.

// Tells the triggers which user of this program writes through `con` (0: nobody logged in), now
// and after every reconnect, since a new session starts without the variable.
void SetHistoryUser(Connection &con, int userId);

// While it lives, the triggers write no history for the changes made through `con`: a restore
// puts back rows, and their history comes with the backup's own copy of the history table.
class HistoryPause
{
public:
    explicit HistoryPause(Connection &con);
    ~HistoryPause();
    HistoryPause(const HistoryPause &) = delete;
    HistoryPause &operator=(const HistoryPause &) = delete;

private:
    Connection &m_con;
};
