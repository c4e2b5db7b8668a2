#include "sessionvariables.h"

#include "db/connection.h"
#include "db/dberror.h"

using namespace Qt::StringLiterals;

void SetHistoryUser(Connection &con, int userId)
{
    const QString sql = u"SET @orvanth_felhkod = "_s + (userId > 0 ? QString::number(userId) : u"NULL"_s);
    con.exec(sql);
    con.setReconnectHandler([&con, sql] { con.exec(sql); });
}

HistoryPause::HistoryPause(Connection &con) : m_con(con)
{
    m_con.exec(u"SET @orvanth_restore = 1"_s);
}

HistoryPause::~HistoryPause()
{
    // A broken line took the variable with its session; nothing is left to clear then.
    try {
        m_con.exec(u"SET @orvanth_restore = NULL"_s);
    } catch (const DbError &) {
    }
}
