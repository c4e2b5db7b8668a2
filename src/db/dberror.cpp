#include "dberror.h"

#include <errmsg.h>

DbError::DbError(QString message, unsigned number)
    : m_message(std::move(message)), m_number(number), m_what(m_message.toUtf8())
{
}

bool DbError::isConnectionLost() const
{
    return m_number == CR_SERVER_GONE_ERROR || m_number == CR_SERVER_LOST;
}
