#include "databaseupgrade.h"

#include "config/conprofile.h"
#include "config/inifile.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/profileparams.h"
#include "gui/busycursor.h"
#include "gui/messagebox.h"
#include "schema/schemaupgrade.h"

#include <QMainWindow>
#include <QStatusBar>

using namespace Qt::StringLiterals;

bool ExtendDatabase(QWidget *parent, const ConnectionProfile &profile)
{
    try {
        Connection con(ProfileConnectionParams(profile));
        QList<UpgradeStep> missing;
        {
            BusyCursor busy;
            con.open();
            missing = MissingUpgradeSteps(con);
        }
        if (missing.isEmpty()) {
            ShowInfoBox(u"Az adatbázis (%1) már bővített, nincs mit hozzáadni."_s.arg(profile.database), parent);
            return false;
        }
        const QString question = u"Az adatbázis (%1) bővítése ezekkel:\n\n- "_s.arg(profile.database) +
                                 UpgradeDescriptions(missing).join(u"\n- "_s) +
                                 u"\n\nA meglévő táblák oszlopai nem változnak, a Windows munkaállomások "
                                 "változatlanul használhatják. Indulhat?"_s;
        if (!ConfirmBox(question, u"Adatbázis bővítése"_s, parent))
            return false;
        UpgradeResult result;
        {
            BusyCursor busy;
            result = UpgradeDatabase(con);
        }
        if (!result.ok) {
            ShowErrorBox(result.error, parent);
            return false;
        }
        ShowInfoBox(u"Az adatbázis bővítve: "_s + result.added.join(u", "_s), parent);
        return true;
    } catch (const DbError &error) {
        ShowErrorBox(u"Hiba: "_s + error.message(), parent);
        return false;
    }
}

void TellUpgradeOnce(Connection &con, QWidget *owner)
{
    try {
        IniFile settings = SettingsFile();
        const QString notice = UpgradeNoticeOnce(con, settings);
        // Said in the status bar rather than in a box that every clerk would have to close: the
        // administrator who can act on it finds it in the profile manager as well.
        auto *window = qobject_cast<QMainWindow *>(owner);
        if (!notice.isEmpty() && window) {
            window->statusBar()->showMessage(notice, 20000);
            window->statusBar()->setToolTip(notice);
        }
    } catch (const std::exception &) {
        // A notice that cannot be given or remembered is no reason to stop the start-up.
    }
}
