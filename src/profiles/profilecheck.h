#pragma once

#include <QList>
#include <QString>

class QWidget;
struct ConnectionProfile;

// What the two profile dialogs share: the connection test and their font size.

// Opens a short-lived connection with the profile's database, host, port, user and password
// and closes it again. On failure (also a port that is not a whole number) shows the error box
// "Hiba: " + the error's text and returns false.
//
// The server may take up to the connection time-out (30 s) to answer, so the connection is
// tried on a worker thread while the busy cursor shows and `owner` goes on painting. The
// widgets in `lockedMeanwhile` take no input until the test ends; the rest of the window does,
// so when `owner` is a dialog that closes meanwhile (Mégsem, Esc), the test is abandoned: the
// result is false, no box is shown, and the worker ends on its own.
bool TestProfileConnection(const ConnectionProfile &profile, QWidget *owner,
                           const QList<QWidget *> &lockedMeanwhile = {});

// The profile dialogs can come before the settings are read (font size 0); they take the
// settings' default size then.
int ProfileDialogFontSize(int fontSize);
