#pragma once

#include <Qsci/qsciscintilla.h>

class QFont;

// The text editor cuts every line at the font's ascent, but the accents of capital letters (the
// double acute of Ő and Ű above all) reach above the ascent of many fonts: the difference is
// added to the line's height. `font` is the font the editor draws its text with.
void GiveAccentsRoom(QsciScintilla *editor, const QFont &font);

// A text editor that holds every character of a text, NUL included. QScintilla's own setText()
// and text() stop at the first NUL, so a stored text holding one would lose the rest unseen, and
// be saved so. Its paste cuts there too: a text with a NUL is refused with a message instead.
class WholeTextEditor : public QsciScintilla
{
public:
    using QsciScintilla::QsciScintilla;

    // Replaces the text as setText() does (no undo step, caret at the start), NUL included.
    void setWholeText(const QString &text);
    // The whole text, NUL included.
    QString wholeText() const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
};
