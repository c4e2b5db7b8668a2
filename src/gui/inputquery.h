#pragma once

#include <QSize>
#include <QString>

class QFontMetrics;
class QWidget;

// Width and height of an average character in a font: the width of "A".."Z" and "a".."z"
// divided by 52 (whole pixels), and the font's height. Dialog units derive from it: a
// horizontal unit is a quarter of the width, a vertical unit an eighth of the height.
QSize AverageCharSize(const QFontMetrics &metrics);

// A small modal dialog asking for one line of text: caption, a word-wrapped prompt, an edit
// holding `text` (all selected, at most 255 characters) and the buttons "OK" (default) and
// "Mégsem" (Esc). A non-empty `inputMask` is a QLineEdit input mask ("9999.99.99;_"); empty
// accepts free text. True with the entered text on OK; false with `text` unchanged otherwise.
bool MaskedInputQuery(const QString &caption, const QString &prompt, const QString &inputMask, QString &text,
                      QWidget *parent = nullptr);
