#include "statusdelete.h"

#include "gui/messagebox.h"
#include "common/values.h"
#include "db/dbroutines.h"

using namespace Qt::StringLiterals;

bool ChangeResolutionStatus(Connection &con, int recordId, const QVariant &status, QWidget *parent)
{
    const int s = ValueToInt(status, 0);
    int next = 0;
    if (s == 0) {
        ShowErrorBox(u"Nincs mit beállítani."_s, parent);
        return false;
    } else if (s == 1) {
        if (!ConfirmBox(u"Valóban készre állítod?"_s, parent))
            return false;
        next = 2;
    } else if (s == 2) {
        if (!ConfirmBox(u"Valóban visszavonod a kész státuszt?"_s, parent))
            return false;
        next = 1;
    } else {
        return false;
    }
    ExecSql(con,
            u"UPDATE iktato SET statusz = %1 WHERE iktato = %2;"_s.arg(next).arg(ValueToIntText(recordId)));
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
    ExecSql(con, u"DELETE FROM iktato WHERE iktato="_s + QString::number(recordId) + u';');
    return true;
}
