#pragma once

class QApplication;

// Application title shown in the main window's caption.
inline constexpr char16_t AppTitle[] = u"OrvantH iktatás";

// Everything the application needs before its first window: the font substitutes for the
// Windows fonts the windows are designed with, Qt's Hungarian texts (so message boxes say
// "Igen"/"Nem"), the hint colour and the application-wide event filter. main() and the GUI
// tests call it once after creating the QApplication. Returns false when the Hungarian
// translation could not be loaded (the program still runs, with English button texts).
bool SetUpApplication(QApplication &app);
