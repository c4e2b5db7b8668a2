#include "dberror.h"

DbError::DbError(QString message, unsigned number)
    : m_message(std::move(message)), m_number(number), m_what(m_message.toUtf8())
{
}
