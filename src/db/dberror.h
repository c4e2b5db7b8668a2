#pragma once

#include "common/apperror.h"

// The one error type of the database layer: the server's (or client library's) message text
// and error number. Windows that expect a failure show their own message around message();
// the rest reach the application's general error handler.
class DbError : public AppError
{
public:
    explicit DbError(QString message, unsigned number = 0);

    unsigned number() const { return m_number; }
    // The line to the server broke (server gone, connection lost or killed): the statement may
    // or may not have run.
    bool isConnectionLost() const { return isConnectionLost(m_number); }
    static bool isConnectionLost(unsigned number);
    // The server could not be reached at all, or the line to it broke.
    bool isConnectionFailure() const;
    // What a user is shown: a connection failure is said in Hungarian first, since the client
    // library's own text is English and says nothing about what happens next; the library's
    // text follows it. Any other error is its message as it is.
    QString userText() const;

private:
    unsigned m_number;
};
