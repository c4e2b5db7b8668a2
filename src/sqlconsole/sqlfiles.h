#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

// The SQL files of the console: code page 1250 text on disk, as Windows workstations of the
// same installation write them.

// A file that cannot be read or written; what() is the message, in UTF-8.
class SqlFileError : public std::exception
{
public:
    explicit SqlFileError(const QString &message) : m_what(message.toUtf8()) {}
    const char *what() const noexcept override { return m_what.constData(); }

private:
    QByteArray m_what;
};

// DataFolder() + "/SQL": where the open and save dialogs start.
QString SqlFolder();

// The file's text, decoded from code page 1250 with its line breaks as they are.
QString ReadSqlFile(const QString &path);
// Writes the text in code page 1250 through a temporary file, so a failed save leaves an older
// file of the same name whole. A character that code page cannot hold is refused before anything
// is written.
void WriteSqlFile(const QString &path, const QString &text);
