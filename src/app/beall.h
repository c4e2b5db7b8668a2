#pragma once

#include "config/settings.h"

#include <QString>

// The program-wide state: filled at start-up and by the log-in, read by every window.
// Kept as a plain record on purpose; there is exactly one, `Beall`.
struct TBeall
{
    // The workstation's settings file as the start-up read it; the log-in sets the user, the
    // font-size actions the size, and a normal close writes it back with the window's geometry.
    WorkstationSettings workstation;
    QString profileName;          // display name of the profile in use (its sixth field)
    QString documentStore;        // beallit.mentesutvonal, or the local folder mapped to it
    QString profileString;        // decoded profile: database;host;port;user;password;name
    bool masterDataRight = false; // felhasznalo.torzsszerkeszt = 'I', or no log-in required
    bool adminRight = false;      // felhasznalo.rendszergazda = 'I', or no log-in required
    QString userFullName;         // felhasznalo.felhasznalo_nev
    bool loginRequired = false;   // beallit.vanbelep = 'I'
    int userId = 0;               // felhasznalo.felhkod; 0 without log-in
};

extern TBeall Beall;

// Limits of the font size that the main window's font-size actions keep to.
inline constexpr int MinFontSize = 8;
inline constexpr int MaxFontSize = 10;
