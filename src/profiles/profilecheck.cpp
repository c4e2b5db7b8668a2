#include "profilecheck.h"

#include "gui/messagebox.h"
#include "config/conprofile.h"
#include "db/profileparams.h"
#include "config/settings.h"
#include "db/connection.h"
#include "db/dberror.h"

using namespace Qt::StringLiterals;

bool TestProfileConnection(const ConnectionProfile &profile, QWidget *owner)
{
    try {
        Connection test(ProfileConnectionParams(profile));
        test.open();
        test.close();
        return true;
    } catch (const DbError &error) {
        ShowErrorBox(u"Hiba: "_s + error.message(), owner);
        return false;
    }
}

int ProfileDialogFontSize(int fontSize)
{
    return fontSize > 0 ? fontSize : WorkstationSettings().fontSize;
}
