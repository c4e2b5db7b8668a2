#pragma once

struct ConnectionProfile;
class Connection;
class QWidget;

// Extends the profile's database with what it lacks: shows the list of additions, asks, adds
// them and says how it went. False when nothing was added (nothing missing, declined, refused).
bool ExtendDatabase(QWidget *parent, const ConnectionProfile &profile);

// At start-up: says once per database (remembered in the settings file), in the main window's
// status bar, that it is not extended and what it would gain.
void TellUpgradeOnce(Connection &con, QWidget *owner);
