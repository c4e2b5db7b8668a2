#include "startedprogram.h"

#include "app/mainregister.h"
#include "common/paths.h"
#include "config/conprofile.h"
#include "config/inifile.h"
#include "register/registerview.h"
#include "testdatabase.h"

#include <QDir>
#include <QTest>

using namespace Qt::StringLiterals;

void WriteTestProfile(const TestDatabase &db, int port)
{
    QDir().mkpath(DataFolder());
    const ConnectionParams p = db.params();
    IniFile(SettingsFilePath())
        .writeString(
            ConnectionProfileSection(), ConnectionProfileKey(1),
            EncodeConStr(u"%1;%2;%3;root;;Teszt"_s.arg(p.database, p.host).arg(port != 0 ? port : p.port)));
}

std::unique_ptr<Tfrm_Main> StartMainWindow(const TestDatabase &db, int port)
{
    WriteTestProfile(db, port);
    auto window = std::make_unique<Tfrm_Main>();
    if (window->startUp() != StartupOutcome::Started)
        return nullptr;
    window->show();
    // The register's rows are read on another thread.
    if (!QTest::qWaitFor([&window] { return !window->mainRegister()->view().isBusy(); }, 20000))
        return nullptr;
    return window;
}
