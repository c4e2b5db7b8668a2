#pragma once

#include <QList>
#include <QString>
#include <functional>

class Connection;
class QLineEdit;
class QWidget;
struct ConnectionProfile;

// What the profile dialogs share: the connection test, their font size and the password field.

// Opens a short-lived connection with the profile's database, host, port, user and password
// and closes it again. On failure (also a port that is not a whole number) shows the error box
// "Hiba: " + the error's text and returns false.
//
// The server may take up to the connection time-out (30 s) to answer, so the connection is
// tried on a worker thread while the busy cursor shows and `owner` goes on painting. The
// widgets in `lockedMeanwhile` take no input until the test ends; the rest of the window does,
// so when `owner` is a dialog that closes meanwhile (Mégsem, Esc), the test is abandoned: the
// result is false, no box is shown, and the worker ends on its own.
//
// `whileOpen`, when given, runs on the worker with the open connection before it is closed (it
// must not touch widgets); an error it raises fails the test like a failed connection.
bool TestProfileConnection(const ConnectionProfile &profile, QWidget *owner,
                           const QList<QWidget *> &lockedMeanwhile = {},
                           const std::function<void(Connection &connection)> &whileOpen = {});

// The profile dialogs can come before the settings are read (font size 0); they take the
// settings' default size then.
int ProfileDialogFontSize(int fontSize);

// Masks the password field with "*" (as the other workstations show it, not the style's bullet).
// Switching the field's echo mode to Normal and back shows and hides the characters.
void MaskWithStars(QLineEdit *passwordEdit);
