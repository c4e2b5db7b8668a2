#include "commandlineupgrade.h"

#include "config/conprofile.h"
#include "config/inifile.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/profileparams.h"
#include "db/settingsrow.h"
#include "schemaupgrade.h"
#include "users/userrows.h"

#include <QTextStream>

using namespace Qt::StringLiterals;

namespace commandlineupgrade {

std::optional<ConnectionProfile> findProfile(const QString &settingsPath, const QString &profileNumber,
                                             QTextStream &messages)
{
    bool isNumber = false;
    const int number = profileNumber.toInt(&isNumber);
    if (!isNumber || number < 1 || number > kMaxConnectionProfiles) {
        messages << u"A profil száma 1 és %1 közötti egész szám legyen, nem \"%2\"."_s.arg(kMaxConnectionProfiles)
                        .arg(profileNumber)
                 << Qt::endl;
        return std::nullopt;
    }
    try {
        for (const StoredProfile &stored : ReadConnectionProfiles(IniFile(settingsPath), kMaxConnectionProfiles)) {
            if (stored.number == number)
                return stored.profile;
        }
        messages << u"Nincs %1 profil a beállítási állományban: "_s.arg(ConnectionProfileKey(number))
                 << settingsPath << Qt::endl;
    } catch (const std::exception &error) {
        messages << QString::fromUtf8(error.what()) << Qt::endl;
    }
    return std::nullopt;
}

// Only an administrator extends a database that asks its users to log in.
bool allowed(Connection &con, const BackupLogin &login, QTextStream &messages)
{
    if (!ReadSettingsRow(con).loginRequired())
        return true;
    if (login.user.isEmpty()) {
        messages << u"Az adatbázis belépést kér: a bővítéshez adja meg egy rendszergazda nevét (--user NÉV), "
                    "a jelszavát a program a standard bemenetről olvassa."_s
                 << Qt::endl;
        return false;
    }
    const auto user =
        CheckCredentials(con, ReadLoginRows(con), login.user, login.password ? login.password() : QString());
    if (!user)
        messages << u"Érvénytelen felhasználó, vagy jelszó"_s << Qt::endl;
    else if (!user->adminRight)
        messages << u"A bővítéshez rendszergazdai jog kell, %1 nem rendszergazda."_s.arg(login.user) << Qt::endl;
    return user && user->adminRight;
}

} // namespace commandlineupgrade

int RunCommandLineUpgrade(const QString &settingsPath, const QString &profileNumber, const BackupLogin &login,
                          QTextStream &messages)
{
    const std::optional<ConnectionProfile> profile =
        commandlineupgrade::findProfile(settingsPath, profileNumber, messages);
    if (!profile)
        return BackupRefused;
    try {
        Connection con(ProfileConnectionParams(*profile));
        con.open();
        if (!commandlineupgrade::allowed(con, login, messages))
            return BackupNotAllowed;
        const UpgradeResult result = UpgradeDatabase(con);
        if (!result.ok) {
            messages << result.error << Qt::endl;
            return BackupFailed;
        }
        if (result.added.isEmpty())
            messages << u"Az adatbázis már bővített, nem változott semmi."_s << Qt::endl;
        for (const QString &name : result.added)
            messages << u"Hozzáadva: "_s << name << Qt::endl;
    } catch (const DbError &error) {
        messages << u"Hiba: "_s << error.message() << Qt::endl;
        return BackupFailed;
    }
    return BackupWritten;
}
