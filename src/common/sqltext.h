#pragma once

#include <QDate>
#include <QString>
#include <QVariant>

// Building blocks of SQL text. Text values enter SQL only through SqlQuoted, identifiers and
// numbers only as decimal integers, dates only through SqlDate.

// Backslash doubled, CR as \r, LF as \n, NUL as \0; empty text for NULL.
QString SqlEscape(const QVariant &value);
// SqlEscape of the value's text (empty for NULL) enclosed in single quotes, inner quotes doubled.
QString SqlQuoted(const QVariant &value);
// 'yyyy-mm-dd'
QString SqlDate(QDate date);
// Every \r\n (four characters, any letter case) becomes a real CR LF; empty text for NULL.
QString UnescapeCrLf(const QVariant &value);
