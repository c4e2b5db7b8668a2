#pragma once

#include "common/apperror.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The SQL files of the console: code page 1250 text as Windows workstations of the same
// installation write them, or UTF-8 as Linux editors write them.

// A file that cannot be read or written; what() is the message, in UTF-8.
class SqlFileError : public AppError
{
public:
    using AppError::AppError;
};

enum class SqlFileEncoding { Cp1250, Utf8, Utf8WithBom };

// A file that begins with the UTF-8 byte order mark, or that is valid UTF-8 and has bytes
// above 0x7F, is UTF-8; anything else is code page 1250 (pure ASCII reads the same either way).
SqlFileEncoding DetectSqlFileEncoding(QByteArrayView bytes);

// DataFolder() + "/SQL": where the open and save dialogs start.
QString SqlFolder();

// The file's text, decoded as DetectSqlFileEncoding() says (the byte order mark dropped), with
// its line breaks as they are; `encoding` gets what it was read as.
QString ReadSqlFile(const QString &path, SqlFileEncoding *encoding = nullptr);
// Writes the text in the encoding through a temporary file, so a failed save leaves an older
// file of the same name whole. In code page 1250 a character the code page cannot hold is
// refused before anything is written.
void WriteSqlFile(const QString &path, const QString &text,
                  SqlFileEncoding encoding = SqlFileEncoding::Cp1250);
