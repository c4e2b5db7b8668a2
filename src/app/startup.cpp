#include "app/startup.h"

#include "app/beall.h"
#include "backup/fulldump.h"
#include "common/text.h"
#include "common/version.h"
#include "config/conprofile.h"
#include "config/documentstore.h"
#include "config/settings.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/profileparams.h"
#include "db/settingsrow.h"
#include "gui/messagebox.h"
#include "history/editorwatch.h"
#include "profiles/databaseupgrade.h"
#include "profiles/frm_adatbazisnyit.h"
#include "profiles/frm_init.h"
#include "register/savejournal.h"
#include "schema/sessionvariables.h"
#include "users/frm_login.h"

#include <QSysInfo>

using namespace Qt::StringLiterals;

namespace {

void readWorkstationSettings()
{
    Beall.workstation = ReadWorkstationSettings();
    CreateHtmlFolder(Beall.workstation.htmlFolder);
}

bool connectProfile(Connection &con, QWidget *owner)
{
    con.close();
    try {
        // A port that is not a whole number fails here, as a failed connection.
        con.setParams(ProfileConnectionParams(ConnectionProfile::fromText(Beall.profileString)));
        Beall.profileName = SplitField(u";"_s, Beall.profileString, 6);
        con.open();
    } catch (const DbError &error) {
        ShowErrorBox(u"Sikertelen kapcsolódás: "_s + error.message(), owner);
        return false;
    }
    return true;
}

void checkSchemaVersion(Connection &con, QWidget *owner)
{
    const QString version = SchemaVersion(con);
    const QString program = QString::fromUtf16(ProgramVersion);
    if (version != program) {
        ShowWarningBox(u"Eltérő verziók, hiba lehetséges, frissítse programját, adatbázisát\nadatbázis : "_s +
                           version + u"\nprogram: "_s + program,
                       owner);
    }
}

} // namespace

void ReadDatabaseSettings(Connection &con)
{
    const SettingsRow row = ReadSettingsRow(con);
    Beall.loginRequired = row.loginRequired();
    Beall.documentStore = ResolveDocumentStore(row.mentesutvonal, ReadStoreMappings(SettingsFile()));
}

StartupOutcome RunStartup(Connection &con, QWidget *owner)
{
    // A program killed during a full backup left the dump program's options behind.
    RemoveLeftoverDumpOptions();
    // Profiles ConStr1..25 with a display name; the chooser shows them.
    const StartupProfiles profiles = ReadStartupProfiles();
    Beall.profileString.clear();
    if (!profiles.profileStrings.isEmpty()) {
        QString created;
        const int chosen = ChooseProfile(profiles.listText, profiles.profileStrings, ProfileChooserCaption(),
                                         &created, ReadSettingInt(Setting::FontSize), owner);
        if (chosen < 0)
            return StartupOutcome::Quit;
        Beall.profileString =
            chosen < profiles.profileStrings.size() ? profiles.profileStrings.at(chosen) : created;
    }
    readWorkstationSettings();

    if (Beall.profileString.isEmpty() &&
        !RunFirstSetup(Beall.profileString, Beall.workstation.fontSize, owner))
        return StartupOutcome::Failed;
    if (!connectProfile(con, owner))
        return StartupOutcome::Failed;
    checkSchemaVersion(con, owner);
    ReadDatabaseSettings(con);

    if (Beall.loginRequired) {
        try {
            LoginUser user;
            user.loginName = Beall.workstation.lastUser;
            if (!ShowLogin(con, user, Beall.workstation.fontSize, owner))
                return StartupOutcome::Quit;
            Beall.workstation.lastUser = user.loginName;
            Beall.userFullName = user.fullName;
            Beall.userId = user.id;
            Beall.adminRight = user.adminRight;
            Beall.masterDataRight = user.masterDataRight;
        } catch (const std::exception &error) {
            ShowErrorBox(u"Ismeretlen hiba, indítsa újra a programot.\n"_s + QString::fromUtf8(error.what()),
                         owner);
            return StartupOutcome::Failed;
        }
    } else {
        Beall.adminRight = true;
        Beall.masterDataRight = true;
        Beall.userId = 0;
    }
    SetHistoryUser(con, Beall.userId);
    // After the log-in: a start-up given up there leaves the settings file as it was.
    TellUpgradeOnce(con, owner);
    SetEditorIdentity({Beall.userId, Beall.userFullName, QSysInfo::machineHostName()});
    // Saves that a crash interrupted, here or on another workstation, get their files put in
    // agreement with their records.
    SettleInterruptedSaves(con, Beall.documentStore);
    return StartupOutcome::Started;
}
