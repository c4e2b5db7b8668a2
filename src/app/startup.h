#pragma once

class Connection;
class QWidget;

// How the start-up ended.
enum class StartupOutcome {
    Started, // connected, settings row read, user known: the register can be opened
    Quit,    // the user gave up in the profile chooser or the log-in: the program ends now
    Failed   // a stop (set-up abandoned, connection failed...): the window closes, nothing saved
};

// Everything before the register is opened: the settings file and its profiles, the profile
// chooser or the first-run set-up, the connection, the schema version, the database's settings
// row and the log-in. Fills the program-wide state record Beall.
StartupOutcome RunStartup(Connection &con, QWidget *owner);

// Reads the database's settings row into Beall (log-in required, document store: the local
// folder that the settings file maps the database's path to, or that path). Also after the
// settings dialog changed it.
void ReadDatabaseSettings(Connection &con);
