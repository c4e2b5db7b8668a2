#include "editpresence.h"

#include "common/sqltext.h"
#include "db/connection.h"
#include "db/dberror.h"

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace editpresence {

// MySQL's error for a table that does not exist: the database was not extended.
constexpr unsigned NoSuchTable = 1146;

} // namespace editpresence

QList<OtherEditor> OtherEditors(Connection &con, int recordId, qint64 ownRow)
{
    QList<OtherEditor> editors;
    try {
        const ResultSet rs = con.query(u"SELECT felhasznalo, gep, kliens, kezdet FROM iktato_szerk "
                                       "WHERE iktato = %1 AND szerk <> %2 AND lejar >= NOW(3) ORDER BY kezdet"_s
                                           .arg(recordId)
                                           .arg(ownRow));
        for (int row = 0; row < rs.rowCount(); ++row)
            editors.append({rs.text(row, 0), rs.text(row, 1), rs.text(row, 2), rs.value(row, 3).toDateTime()});
    } catch (const DbError &error) {
        if (error.number() != editpresence::NoSuchTable)
            throw;
    }
    return editors;
}

QString OtherEditorsText(const QList<OtherEditor> &editors)
{
    QStringList lines;
    for (const OtherEditor &e : editors) {
        const QString who = !e.user.isEmpty() ? e.user : !e.computer.isEmpty() ? e.computer : e.client;
        lines.append(u"%1 (%2 óta)"_s.arg(who, e.since.toString(u"yyyy.MM.dd. HH:mm"_s)));
    }
    if (lines.isEmpty())
        return {};
    return u"Ezt a határozatot most más is szerkeszti:\n"_s + lines.join(u'\n') +
           u"\n\nAmit ketten ugyanabban a mezőben változtatnak, azt a mentés jelzi."_s;
}

EditPresence::EditPresence(Connection &con, int recordId, Who who, std::chrono::milliseconds interval,
                           QObject *parent)
    : QObject(parent), m_con(con), m_recordId(recordId), m_interval(interval)
{
    try {
        // Rows of stopped workstations go while someone passes by.
        m_con.exec(u"DELETE FROM iktato_szerk WHERE lejar < NOW() - INTERVAL 1 HOUR"_s);
        m_con.exec(u"INSERT INTO iktato_szerk (iktato, felhkod, felhasznalo, gep, kliens, kezdet, lejar) "
                   "VALUES (%1, %2, %3, %4, USER(), NOW(), %5)"_s.arg(m_recordId)
                       .arg(who.userId > 0 ? QString::number(who.userId) : u"NULL"_s,
                            SqlQuoted(who.userName.left(50)), SqlQuoted(who.computer.left(255)), expirySql()));
        m_rowId = qint64(m_con.lastInsertId());
    } catch (const DbError &) {
        return; // no table, no right: no notice either
    }
    m_timer.setInterval(m_interval);
    connect(&m_timer, &QTimer::timeout, this, &EditPresence::beat);
    m_timer.start();
}

EditPresence::~EditPresence()
{
    if (m_rowId <= 0)
        return;
    try {
        m_con.exec(u"DELETE FROM iktato_szerk WHERE szerk = "_s + QString::number(m_rowId));
    } catch (const DbError &) {
    }
}

void EditPresence::beat()
{
    try {
        m_con.exec(u"UPDATE iktato_szerk SET lejar = %1 WHERE szerk = %2"_s.arg(expirySql()).arg(m_rowId));
    } catch (const DbError &) {
    }
}

std::chrono::milliseconds EditPresence::defaultInterval()
{
    return 30s;
}

QString EditPresence::expirySql() const
{
    // Three heartbeats: one late beat (a busy server, a slow line) does not hide the editor.
    const qint64 ms = 3 * m_interval.count();
    return u"NOW(3) + INTERVAL %1 MICROSECOND"_s.arg(ms * 1000);
}
