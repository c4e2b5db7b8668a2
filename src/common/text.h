#pragma once

#include <QString>
#include <QVariant>

// The n-th field (from 1) of a text whose fields are separated by any character of
// `separators`. Adjacent separators give an empty field; n below 1 or past the last field gives
// empty text.
QString SplitField(const QString &separators, const QString &text, int n);

// The value as text with every `from` replaced by `to`; empty text for NULL.
QString ReplaceChar(const QVariant &value, QChar from, QChar to);
// The text without any character of `chars`.
QString StripChars(const QString &chars, const QString &text);
// The trimmed text keeping only digits, a minus sign in the first position and the first comma
// or full stop.
QString NumericFilter(const QString &text);
// NumericFilter of the text read as a whole number; 0 when that is empty or no whole number
// ("3.5" gives 0, "1-2" gives 12, "12 db" gives 12).
int TextToInt(const QString &text);
// The first / last n characters (empty for n below 1, the whole text when it is shorter).
QString LeftPart(const QString &text, int n);
QString RightPart(const QString &text, int n);
