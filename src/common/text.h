#pragma once

#include <QString>

// The n-th field (from 1) of a text whose fields are separated by any character of
// `separators`. Adjacent separators give an empty field; n below 1 or past the last field gives
// empty text.
QString SplitField(const QString &separators, const QString &text, int n);
