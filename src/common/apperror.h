#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The base of the program's own errors: each carries the text a user is shown. what() is its
// UTF-8, so a handler that knows only std::exception shows the same words. The subclasses say
// where the error comes from, so a window catches only the ones it has its own message for.
class AppError : public std::exception
{
public:
    explicit AppError(QString message) : m_message(std::move(message)), m_what(m_message.toUtf8()) {}

    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QString m_message;
    QByteArray m_what;
};
