#include "profilecheck.h"

#include "common/messagebox.h"
#include "config/conprofile.h"
#include "config/settings.h"
#include "db/connection.h"
#include "db/dberror.h"

using namespace Qt::StringLiterals;

bool TestProfileConnection(const ConnectionProfile &profile, QWidget *owner)
{
    try {
        Connection test(profile.toConnectionParams());
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
