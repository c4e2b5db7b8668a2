#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The database and the settings file hold code page 1250 bytes. Every conversion between
// those bytes and QString goes through these two functions, so there is one place that
// decides how text crosses the boundary.

// Bytes in code page 1250 to text. Never fails: every byte value has a character (the five
// bytes that cp1250 leaves undefined map to the C1 control characters of the same number and
// come back unchanged through ToCp1250).
QString FromCp1250(QByteArrayView bytes);

// Text to code page 1250 bytes. Characters that cp1250 cannot hold are not replaced silently:
// they are collected in *unmappable (each once, in order of appearance) and written as '?'.
// Callers that store data check UnmappableCp1250Chars() first.
QByteArray ToCp1250(const QString &text, QString *unmappable = nullptr);

// The characters of the text that cp1250 cannot hold, each once; empty when all can be stored.
QString UnmappableCp1250Chars(const QString &text);
