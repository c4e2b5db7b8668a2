#pragma once

#include <QDateTime>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

class Connection;

// Who else has a record open in an editor of this program. Each open editor keeps a row in
// `iktato_szerk` whose expiry it pushes forward on a heartbeat; a row whose expiry has passed
// belongs to a workstation that stopped (crashed, lost its line) and counts for nothing. The
// server's clock decides, so workstations reaching the database through different nodes of a
// cluster see the same rows (a named lock would be local to one node).

struct OtherEditor
{
    QString user;     // the user's name, empty when that workstation did not log in
    QString computer; // the workstation's host name
    QString client;   // USER() of its connection
    QDateTime since;  // server time the editor opened
};

// The editors of `recordId` other than the row `ownRow` (0: none of ours) whose heartbeat is
// alive. Empty on a database without the table. Throws DbError on other failures.
QList<OtherEditor> OtherEditors(Connection &con, int recordId, qint64 ownRow = 0);

// What the editor says before the typing starts; empty for nobody.
QString OtherEditorsText(const QList<OtherEditor> &editors);

// The row of one open editor, kept alive while the object lives. Failures are swallowed: the
// notice is a courtesy, it never stops an edit.
class EditPresence : public QObject
{
public:
    struct Who
    {
        int userId = 0;
        QString userName;
        QString computer;
    };

    // `interval` between heartbeats; a row lives for three of them.
    EditPresence(Connection &con, int recordId, Who who, std::chrono::milliseconds interval,
                 QObject *parent = nullptr);
    ~EditPresence() override;

    qint64 rowId() const { return m_rowId; }
    void beat();

    static std::chrono::milliseconds defaultInterval();

private:
    QString expirySql() const;

    Connection &m_con;
    int m_recordId;
    qint64 m_rowId = 0;
    std::chrono::milliseconds m_interval;
    QTimer m_timer;
};
