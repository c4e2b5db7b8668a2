#pragma once

#include "inifile.h"

#include <QString>
#include <iterator>

// The workstation's own settings in the settings file, each with its section, key and default
// in one table (SettingRows below), so a key is spelled and a default written once.
enum class Setting {
    LastUser,   // User/LastUser, text, empty
    FontSize,   // Font/Size, integer, 9
    Printer,    // Printers/Printer, text, empty
    Lang,       // Lang/Lang, path, data folder + "/Lang.ini"
    HtmlFolder, // Adatbazis/HtmlUt, folder, data folder + "/Html"
    FullScreen, // Alapertek/TeljesKep, boolean, true
    Left,       // Alapertek/Bal, integer, 5 (main window's left)
    Top,        // Alapertek/Felul, integer, 5
    Height,     // Alapertek/Magas, integer, 400
    Width,      // Alapertek/Szeles, integer, 640
    MysqlDump,  // frm_Adatbazis/MysqlDump, path of the dump program, empty
};

enum class SettingKind { Text, Integer, Boolean, DataFolderPath };

struct SettingRow
{
    Setting setting;
    const char16_t *section;
    const char16_t *key;
    SettingKind kind;
    // Text default, or the file name under the data folder for DataFolderPath.
    const char16_t *text;
    int number; // default of an integer or a boolean (1 true)
};

// One row per setting, in the order of the enumeration.
inline constexpr SettingRow SettingRows[] = {
    {Setting::LastUser, u"User", u"LastUser", SettingKind::Text, u"", 0},
    {Setting::FontSize, u"Font", u"Size", SettingKind::Integer, u"", 9},
    {Setting::Printer, u"Printers", u"Printer", SettingKind::Text, u"", 0},
    {Setting::Lang, u"Lang", u"Lang", SettingKind::DataFolderPath, u"Lang.ini", 0},
    {Setting::HtmlFolder, u"Adatbazis", u"HtmlUt", SettingKind::DataFolderPath, u"Html", 0},
    {Setting::FullScreen, u"Alapertek", u"TeljesKep", SettingKind::Boolean, u"", 1},
    {Setting::Left, u"Alapertek", u"Bal", SettingKind::Integer, u"", 5},
    {Setting::Top, u"Alapertek", u"Felul", SettingKind::Integer, u"", 5},
    {Setting::Height, u"Alapertek", u"Magas", SettingKind::Integer, u"", 400},
    {Setting::Width, u"Alapertek", u"Szeles", SettingKind::Integer, u"", 640},
    {Setting::MysqlDump, u"frm_Adatbazis", u"MysqlDump", SettingKind::Text, u"", 0},
};

constexpr const SettingRow &SettingRowOf(Setting setting)
{
    return SettingRows[int(setting)];
}

constexpr bool SettingRowsInOrder()
{
    for (int i = 0; i < int(std::size(SettingRows)); ++i) {
        if (int(SettingRows[i].setting) != i)
            return false;
    }
    return true;
}
static_assert(SettingRowsInOrder() && int(std::size(SettingRows)) == int(Setting::MysqlDump) + 1);

// The default of an integer or boolean setting (booleans 1 or 0).
constexpr int SettingNumberDefault(Setting setting)
{
    return SettingRowOf(setting).number;
}

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

// What the start-up reads and a normal close writes back; the defaults are the table's.
struct WorkstationSettings
{
    QString lastUser; // also the login name of the user who is logged in
    int fontSize = SettingNumberDefault(Setting::FontSize);
    QString printer;
    QString lang;       // written back as read
    QString htmlFolder; // read only
    bool fullScreen = SettingNumberDefault(Setting::FullScreen) != 0;
    int left = SettingNumberDefault(Setting::Left); // the main window's outer geometry
    int top = SettingNumberDefault(Setting::Top);
    int height = SettingNumberDefault(Setting::Height);
    int width = SettingNumberDefault(Setting::Width);
};

WorkstationSettings ReadWorkstationSettings(const IniFile &ini);
WorkstationSettings ReadWorkstationSettings();
// Writes User, Font, Printers, Lang and Alapertek in one replacement of the file (the HTML
// folder is never written). Throws IniError.
void WriteWorkstationSettings(const WorkstationSettings &settings, IniFile &ini);
void WriteWorkstationSettings(const WorkstationSettings &settings);

// Creates the HTML folder with every missing parent (and so the data folder while the setting
// keeps its default); true when it exists afterwards.
bool CreateHtmlFolder(const QString &htmlFolder);
