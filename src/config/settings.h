#pragma once

#include "inifile.h"

#include <QString>

// The workstation's own settings in the settings file, each with its section, key and default
// in one table (settings.cpp), so a key is spelled once.
enum class Setting {
    LastUser,  // User/LastUser, text, empty
    FontSize,  // Font/Size, integer, 9
    Printer,   // Printers/Printer, text, empty
    Lang,      // Lang/Lang, path, data folder + "/Lang.ini"
    HtmlUt,    // Adatbazis/HtmlUt, folder, data folder + "/Html"
    TeljesKep, // Alapertek/TeljesKep, boolean, true
    Bal,       // Alapertek/Bal, integer, 5 (main window's left)
    Felul,     // Alapertek/Felul, integer, 5 (top)
    Magas,     // Alapertek/Magas, integer, 400 (height)
    Szeles,    // Alapertek/Szeles, integer, 640 (width)
    MysqlDump, // frm_Adatbazis/MysqlDump, path of the dump program, empty
};

QString SettingSection(Setting setting);
QString SettingKey(Setting setting);
// The default as text (integers in decimal, booleans "1"/"0", paths under DataFolder()).
QString SettingDefault(Setting setting);

QString ReadSettingString(Setting setting, const IniFile &ini);
int ReadSettingInt(Setting setting, const IniFile &ini);
bool ReadSettingBool(Setting setting, const IniFile &ini);
void WriteSetting(Setting setting, const QString &value, IniFile &ini);
void WriteSetting(Setting setting, int value, IniFile &ini);
void WriteSetting(Setting setting, bool value, IniFile &ini);

// The same on the workstation's settings file.
QString ReadSettingString(Setting setting);
int ReadSettingInt(Setting setting);
bool ReadSettingBool(Setting setting);
void WriteSettingString(Setting setting, const QString &value);
void WriteSettingInt(Setting setting, int value);
void WriteSettingBool(Setting setting, bool value);

// What the start-up reads and a normal close writes back.
struct WorkstationSettings
{
    QString lastUser;
    int fontSize = 9;
    QString printer;
    QString lang;       // written back as read
    QString htmlFolder; // read only
    bool fullScreen = true;
    int left = 5;
    int top = 5;
    int height = 400;
    int width = 640;
};

WorkstationSettings ReadWorkstationSettings(const IniFile &ini);
WorkstationSettings ReadWorkstationSettings();
// Writes User, Font, Printers, Lang and Alapertek in one replacement of the file (HtmlUt is
// never written). Throws IniError.
void WriteWorkstationSettings(const WorkstationSettings &settings, IniFile &ini);
void WriteWorkstationSettings(const WorkstationSettings &settings);

// Creates the HTML folder with every missing parent (and so the data folder while HtmlUt keeps
// its default); true when it exists afterwards.
bool CreateHtmlFolder(const QString &htmlFolder);
