#pragma once

#include <functional>

class Connection;
class QWidget;

// How the start-up ended.
enum class StartupOutcome {
    Started, // connected, settings row read, user known: the register can be opened
    Quit,    // the user gave up in the profile chooser or the log-in: the program ends now
    Failed   // a stop (set-up abandoned, connection failed...): the window closes, nothing saved
};

// The log-in step: runs when the database asks for it, fills the user fields of Beall and
// returns true on success. Until the log-in window is part of the program, the start-up
// treats a database that asks for a log-in as one that does not.
using LoginRoutine = std::function<StartupOutcome(Connection &con, QWidget *owner)>;
void SetLoginRoutine(LoginRoutine routine);

// The program version the database is compared with.
inline constexpr char16_t ProgramVersion[] = u"23.0.0.37";

// Everything before the register is opened: the settings file and its profiles, the profile
// chooser or the first-run set-up, the connection, the schema version, the database's settings
// row and the log-in. Fills the program-wide state record Beall.
StartupOutcome RunStartup(Connection &con, QWidget *owner);

// Reads the database's settings row into Beall (log-in required, document store). Also after
// the settings dialog changed it.
void ReadDatabaseSettings(Connection &con);
