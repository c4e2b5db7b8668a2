#include "commandlinebackup.h"

#include "backupfile.h"
#include "config/conprofile.h"
#include "config/inifile.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/profileparams.h"
#include "db/settingsrow.h"
#include "users/userrows.h"

#include <QFileInfo>
#include <QTextStream>

using namespace Qt::StringLiterals;

namespace {

// Why the log-in does not allow the backup, for standard error; empty when it does. The check is
// the log-in window's own. Throws DbError.
QString LoginProblem(Connection &con, const BackupLogin &login)
{
    if (!ReadSettingsRow(con).loginRequired())
        return {};
    if (login.user.isEmpty())
        return u"Az adatbázis belépést kér: a mentéshez adja meg egy rendszergazda nevét (--user NÉV), "
               "a jelszavát a program a standard bemenetről olvassa."_s;
    const QString password = login.password ? login.password() : QString();
    const auto user = CheckCredentials(con, ReadLoginRows(con), login.user, password);
    if (!user)
        return u"Érvénytelen felhasználó, vagy jelszó"_s;
    if (!user->adminRight)
        return u"A mentéshez rendszergazdai jog kell, %1 nem rendszergazda."_s.arg(login.user);
    return {};
}

} // namespace

CommandLineBackupExit RunCommandLineBackup(const QString &settingsPath, const QString &profileNumber,
                                           const QString &file, const BackupLogin &login,
                                           QTextStream &messages)
{
    bool isNumber = false;
    const int number = profileNumber.toInt(&isNumber);
    if (!isNumber || number < 1 || number > kMaxConnectionProfiles) {
        messages << u"A profil száma 1 és %1 közötti egész szám legyen, nem \"%2\"."_s
                        .arg(kMaxConnectionProfiles)
                        .arg(profileNumber)
                 << Qt::endl;
        return BackupRefused;
    }
    const QString suffix = QFileInfo(file).suffix().toLower();
    if (suffix != u"sql"_s && suffix != u"zip"_s) {
        messages << u"A mentés neve .sql vagy .zip végű legyen: "_s << file << Qt::endl;
        return BackupRefused;
    }
    StoredProfile stored;
    try {
        const QList<StoredProfile> profiles =
            ReadConnectionProfiles(IniFile(settingsPath), kMaxConnectionProfiles);
        const auto found = std::find_if(profiles.cbegin(), profiles.cend(),
                                        [number](const StoredProfile &p) { return p.number == number; });
        if (found == profiles.cend()) {
            messages << u"Nincs %1 profil a beállítási állományban: "_s.arg(ConnectionProfileKey(number))
                     << settingsPath << Qt::endl;
            return BackupRefused;
        }
        stored = *found;
    } catch (const std::exception &error) {
        messages << QString::fromUtf8(error.what()) << Qt::endl;
        return BackupRefused;
    }

    const ConnectionProfile &profile = stored.profile;
    try {
        Connection con(ProfileConnectionParams(profile));
        con.open();
        const QString refused = LoginProblem(con, login);
        if (!refused.isEmpty()) {
            messages << refused << Qt::endl;
            return BackupNotAllowed;
        }
        WriteBackupFile(con, file, {}, [&messages](const QString &table, qint64 rows) {
            messages << table << u": "_s << rows << u" sor"_s << Qt::endl;
        });
        con.close();
    } catch (const ArchiveError &error) {
        messages << u"Hiba az archiválás közben: "_s << error.message() << Qt::endl;
        if (!error.scriptPath().isEmpty())
            messages << u"A mentés tömörítetlenül: "_s << error.scriptPath() << Qt::endl;
        return BackupFailed;
    } catch (const DbError &error) {
        messages << u"Hiba: "_s << error.message() << Qt::endl;
        return BackupFailed;
    }
    messages << u"A mentés elkészült: "_s << QFileInfo(file).absoluteFilePath() << Qt::endl;
    return BackupWritten;
}
