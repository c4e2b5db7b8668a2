#include "settings.h"

#include "common/paths.h"

#include <QDir>
#include <iterator>

using namespace Qt::StringLiterals;

namespace {

enum class Kind { Text, Integer, Boolean, DataFolderPath };

struct SettingRow
{
    Setting setting;
    const char16_t *section;
    const char16_t *key;
    Kind kind;
    // Text default, or the file name under the data folder for DataFolderPath.
    const char16_t *text;
    int number;
};

constexpr SettingRow kSettings[] = {
    {Setting::LastUser, u"User", u"LastUser", Kind::Text, u"", 0},
    {Setting::FontSize, u"Font", u"Size", Kind::Integer, u"", 9},
    {Setting::Printer, u"Printers", u"Printer", Kind::Text, u"", 0},
    {Setting::Lang, u"Lang", u"Lang", Kind::DataFolderPath, u"Lang.ini", 0},
    {Setting::HtmlUt, u"Adatbazis", u"HtmlUt", Kind::DataFolderPath, u"Html", 0},
    {Setting::TeljesKep, u"Alapertek", u"TeljesKep", Kind::Boolean, u"", 1},
    {Setting::Bal, u"Alapertek", u"Bal", Kind::Integer, u"", 5},
    {Setting::Felul, u"Alapertek", u"Felul", Kind::Integer, u"", 5},
    {Setting::Magas, u"Alapertek", u"Magas", Kind::Integer, u"", 400},
    {Setting::Szeles, u"Alapertek", u"Szeles", Kind::Integer, u"", 640},
    {Setting::MysqlDump, u"frm_Adatbazis", u"MysqlDump", Kind::Text, u"", 0},
};

const SettingRow &Row(Setting setting)
{
    for (const SettingRow &row : kSettings) {
        if (row.setting == setting)
            return row;
    }
    Q_UNREACHABLE();
}

int IntDefault(const SettingRow &row)
{
    return row.number;
}

} // namespace

QString SettingSection(Setting setting)
{
    return QString::fromUtf16(Row(setting).section);
}

QString SettingKey(Setting setting)
{
    return QString::fromUtf16(Row(setting).key);
}

QString SettingDefault(Setting setting)
{
    const SettingRow &row = Row(setting);
    switch (row.kind) {
    case Kind::Text: return QString::fromUtf16(row.text);
    case Kind::Integer:
    case Kind::Boolean: return QString::number(row.number);
    case Kind::DataFolderPath: return DataFolder() + u'/' + QString::fromUtf16(row.text);
    }
    Q_UNREACHABLE();
}

QString ReadSettingString(Setting setting, const IniFile &ini)
{
    return ini.readString(SettingSection(setting), SettingKey(setting), SettingDefault(setting));
}

int ReadSettingInt(Setting setting, const IniFile &ini)
{
    return ini.readInteger(SettingSection(setting), SettingKey(setting), IntDefault(Row(setting)));
}

bool ReadSettingBool(Setting setting, const IniFile &ini)
{
    return ini.readBool(SettingSection(setting), SettingKey(setting), IntDefault(Row(setting)) != 0);
}

void WriteSetting(Setting setting, const QString &value, IniFile &ini)
{
    ini.writeString(SettingSection(setting), SettingKey(setting), value);
}

void WriteSetting(Setting setting, int value, IniFile &ini)
{
    ini.writeInteger(SettingSection(setting), SettingKey(setting), value);
}

void WriteSetting(Setting setting, bool value, IniFile &ini)
{
    ini.writeBool(SettingSection(setting), SettingKey(setting), value);
}

QString ReadSettingString(Setting setting)
{
    return ReadSettingString(setting, SettingsFile());
}

int ReadSettingInt(Setting setting)
{
    return ReadSettingInt(setting, SettingsFile());
}

bool ReadSettingBool(Setting setting)
{
    return ReadSettingBool(setting, SettingsFile());
}

void WriteSettingString(Setting setting, const QString &value)
{
    IniFile ini = SettingsFile();
    WriteSetting(setting, value, ini);
}

void WriteSettingInt(Setting setting, int value)
{
    IniFile ini = SettingsFile();
    WriteSetting(setting, value, ini);
}

void WriteSettingBool(Setting setting, bool value)
{
    IniFile ini = SettingsFile();
    WriteSetting(setting, value, ini);
}

WorkstationSettings ReadWorkstationSettings(const IniFile &ini)
{
    // One read of the file for all keys.
    const IniDocument doc = ini.read();
    const auto text = [&](Setting s) {
        return doc.value(SettingSection(s), SettingKey(s), SettingDefault(s));
    };
    const auto number = [&](Setting s) {
        const auto value = doc.value(SettingSection(s), SettingKey(s));
        return value ? ParseIniInteger(*value).value_or(IntDefault(Row(s))) : IntDefault(Row(s));
    };
    WorkstationSettings s;
    s.lastUser = text(Setting::LastUser);
    s.fontSize = number(Setting::FontSize);
    s.printer = text(Setting::Printer);
    s.lang = text(Setting::Lang);
    s.htmlFolder = text(Setting::HtmlUt);
    s.fullScreen = number(Setting::TeljesKep) != 0;
    s.left = number(Setting::Bal);
    s.top = number(Setting::Felul);
    s.height = number(Setting::Magas);
    s.width = number(Setting::Szeles);
    return s;
}

WorkstationSettings ReadWorkstationSettings()
{
    return ReadWorkstationSettings(SettingsFile());
}

void WriteWorkstationSettings(const WorkstationSettings &s, IniFile &ini)
{
    ini.update([&](IniDocument &doc) {
        const auto set = [&](Setting setting, const QString &value) {
            doc.setValue(SettingSection(setting), SettingKey(setting), value);
        };
        set(Setting::LastUser, s.lastUser);
        set(Setting::FontSize, QString::number(s.fontSize));
        set(Setting::Printer, s.printer);
        set(Setting::Lang, s.lang);
        set(Setting::TeljesKep, s.fullScreen ? u"1"_s : u"0"_s);
        set(Setting::Bal, QString::number(s.left));
        set(Setting::Felul, QString::number(s.top));
        set(Setting::Magas, QString::number(s.height));
        set(Setting::Szeles, QString::number(s.width));
    });
}

void WriteWorkstationSettings(const WorkstationSettings &settings)
{
    IniFile ini = SettingsFile();
    WriteWorkstationSettings(settings, ini);
}

bool CreateHtmlFolder(const QString &htmlFolder)
{
    return !htmlFolder.isEmpty() && QDir().mkpath(htmlFolder);
}
