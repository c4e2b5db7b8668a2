#include "settings.h"

#include "common/paths.h"

#include <QDir>

using namespace Qt::StringLiterals;

QString SettingSection(Setting setting)
{
    return QString::fromUtf16(SettingRowOf(setting).section);
}

QString SettingKey(Setting setting)
{
    return QString::fromUtf16(SettingRowOf(setting).key);
}

QString SettingDefault(Setting setting)
{
    const SettingRow &row = SettingRowOf(setting);
    switch (row.kind) {
    case SettingKind::Text: return QString::fromUtf16(row.text);
    case SettingKind::Integer:
    case SettingKind::Boolean: return QString::number(row.number);
    case SettingKind::DataFolderPath: return DataFolder() + u'/' + QString::fromUtf16(row.text);
    }
    Q_UNREACHABLE();
}

QString ReadSettingString(Setting setting, const IniFile &ini)
{
    return ini.readString(SettingSection(setting), SettingKey(setting), SettingDefault(setting));
}

int ReadSettingInt(Setting setting, const IniFile &ini)
{
    return ini.readInteger(SettingSection(setting), SettingKey(setting), SettingNumberDefault(setting));
}

bool ReadSettingBool(Setting setting, const IniFile &ini)
{
    return ini.readBool(SettingSection(setting), SettingKey(setting), SettingNumberDefault(setting) != 0);
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

WorkstationSettings ReadWorkstationSettings(const IniFile &ini)
{
    // One read of the file for all keys.
    const IniDocument doc = ini.read();
    const auto text = [&](Setting s) {
        return doc.value(SettingSection(s), SettingKey(s), SettingDefault(s));
    };
    const auto number = [&](Setting s) {
        const auto value = doc.value(SettingSection(s), SettingKey(s));
        return value ? ParseIniInteger(*value).value_or(SettingNumberDefault(s)) : SettingNumberDefault(s);
    };
    WorkstationSettings s;
    s.lastUser = text(Setting::LastUser);
    s.fontSize = number(Setting::FontSize);
    s.printer = text(Setting::Printer);
    s.lang = text(Setting::Lang);
    s.htmlFolder = text(Setting::HtmlFolder);
    s.fullScreen = number(Setting::FullScreen) != 0;
    s.left = number(Setting::Left);
    s.top = number(Setting::Top);
    s.height = number(Setting::Height);
    s.width = number(Setting::Width);
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
        set(Setting::FullScreen, s.fullScreen ? u"1"_s : u"0"_s);
        set(Setting::Left, QString::number(s.left));
        set(Setting::Top, QString::number(s.top));
        set(Setting::Height, QString::number(s.height));
        set(Setting::Width, QString::number(s.width));
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
