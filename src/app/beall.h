#pragma once

#include <QString>

// The program-wide state: filled at start-up and by the log-in, read by every window.
// Kept as a plain record on purpose; there is exactly one, `Beall`.
struct TBeall
{
    QString langFile;       // Lang/Lang of the settings file; only carried through
    QString userLogin;      // current user's login name (User/LastUser, then the log-in)
    int fontSize = 9;       // 8..10; every dialog takes it when shown
    QString profileName;    // display name of the profile in use (its sixth field)
    QString printerName;    // Printers/Printer
    QString htmlFolder;     // Adatbazis/HtmlUt
    QString documentStore;  // beallit.mentesutvonal
    bool fullScreen = true; // Alapertek/TeljesKep
    QString profileString;  // decoded profile: database;host;port;user;password;name
    int left = 5;           // saved main-window geometry (Alapertek/Bal, Felul, Magas, Szeles)
    int top = 5;
    int height = 400;
    int width = 640;
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
