#pragma once

#include <QString>

class QObject;
class QWidget;
struct ConnectionProfile;

// What the two profile dialogs share: the connection test and their font size.

// Opens a short-lived connection with the profile's database, host, port, user and password
// and closes it again. On failure (also a port that is not a whole number) shows the error box
// "Hiba: " + the error's text and returns false.
bool TestProfileConnection(const ConnectionProfile &profile, QWidget *owner);

// The profile dialogs can come before the settings are read (font size 0); they take the
// settings' default size then.
int ProfileDialogFontSize(int fontSize);
