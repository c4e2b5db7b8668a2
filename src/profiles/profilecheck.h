#pragma once

#include <QString>

class QObject;
class QWidget;
struct ConnectionProfile;

// What the two profile dialogs share: the connection test and the look of their input fields.

// Opens a short-lived connection with the profile's database, host, port, user and password
// and closes it again. On failure (also a port that is not a whole number) shows the error box
// "Hiba: " + the error's text and returns false.
bool TestProfileConnection(const ConnectionProfile &profile, QWidget *owner);

// Paints each line edit of `window` sky blue while it has the focus and gives it its own
// colours back afterwards.
void HighlightFocusedFields(QWidget *window);

// The point size every dialog takes from the program-wide font size; 0 (not read yet) gives 9.
void ApplyDialogFontSize(QWidget *window, int fontSize);
