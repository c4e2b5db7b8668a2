#pragma once

#include <QChar>

class QKeyEvent;

// The keyboard scheme every grid with a search box shares (the register and the list windows):
// a letter or digit typed in the grid starts the search box with that character in lower case.

// Whether the character, lower-cased, starts a search: a digit, a letter a to z or one of
// á é í ó ö ő ú ü ű.
bool IsSearchStartCharacter(QChar typed);

// Whether a key pressed in a grid starts its search: it types one such character, and no Ctrl,
// Alt or Meta is held, since those make it a shortcut rather than typing (Ctrl+F, Alt+letter for
// a menu, the desktop's Meta keys; on macOS Meta is the Control key). Shift and the keypad
// count as typing.
bool StartsGridSearch(const QKeyEvent *event);
