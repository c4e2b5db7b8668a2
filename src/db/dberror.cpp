#include "dberror.h"

#include <errmsg.h>

using namespace Qt::StringLiterals;

DbError::DbError(QString message, unsigned number) : AppError(std::move(message)), m_number(number) {}

bool DbError::isConnectionLost(unsigned number)
{
    return number == CR_SERVER_GONE_ERROR || number == CR_SERVER_LOST;
}

bool DbError::isConnectionFailure() const
{
    return isConnectionLost() || m_number == CR_CONNECTION_ERROR || m_number == CR_CONN_HOST_ERROR ||
           m_number == CR_UNKNOWN_HOST;
}

QString DbError::userText() const
{
    if (!isConnectionFailure())
        return message();
    return u"Nincs kapcsolat az adatbázis-kiszolgálóval: a kapcsolat megszakadt, vagy a kiszolgáló nem "
           "érhető el. A program a következő műveletnél újra kapcsolódik.\n("_s +
           message() + u')';
}
