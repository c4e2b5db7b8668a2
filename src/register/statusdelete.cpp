#include "statusdelete.h"

#include "common/values.h"
#include "gui/messagebox.h"
#include "resolutionstatus.h"

using namespace Qt::StringLiterals;

bool ChangeResolutionStatus(Connection &con, int recordId, const QVariant &status, QWidget *parent)
{
    const int next = ToggledResolutionStatus(status);
    if (next == 0) {
        // A status that is not set at all is worth saying so; an unknown one is left alone.
        if (ValueToInt(status, 0) == 0)
            ShowErrorBox(u"Nincs mit beállítani."_s, parent);
        return false;
    }
    if (!ConfirmBox(next == 2 ? u"Valóban készre állítod?"_s : u"Valóban visszavonod a kész státuszt?"_s,
                    parent))
        return false;
    WriteResolutionStatus(con, recordId, next);
    return true;
}

bool DeleteResolution(Connection &con, int recordId, QWidget *parent)
{
    if (recordId <= 0) {
        ShowErrorBox(u"Nincs mit törölni."_s, parent);
        return false;
    }
    if (!ConfirmBox(u"Valóban töröljem a sort?"_s, parent))
        return false;
    DeleteResolutionRow(con, recordId);
    return true;
}
