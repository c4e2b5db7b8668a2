#pragma once

class QFont;
class QsciScintilla;

// The text editor cuts every line at the font's ascent, but the accents of capital letters (the
// double acute of Ő and Ű above all) reach above the ascent of many fonts: the difference is
// added to the line's height. `font` is the font the editor draws its text with.
void GiveAccentsRoom(QsciScintilla *editor, const QFont &font);
