#include "startedprogram.h"

#include "common/paths.h"
#include "config/conprofile.h"
#include "config/inifile.h"
#include "testdatabase.h"

#include <QDir>

using namespace Qt::StringLiterals;

void WriteTestProfile(const TestDatabase &db)
{
    QDir().mkpath(DataFolder());
    const ConnectionParams p = db.params();
    IniFile(SettingsFilePath())
        .writeString(ConnectionProfileSection(), ConnectionProfileKey(1),
                     EncodeConStr(u"%1;%2;%3;root;;Teszt"_s.arg(p.database, p.host).arg(p.port)));
}

std::unique_ptr<Tfrm_Main> StartMainWindow(const TestDatabase &db)
{
    WriteTestProfile(db);
    auto window = std::make_unique<Tfrm_Main>();
    if (window->startUp() != StartupOutcome::Started)
        return nullptr;
    window->show();
    return window;
}
