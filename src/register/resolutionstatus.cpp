#include "resolutionstatus.h"

#include "common/values.h"
#include "db/dbroutines.h"

using namespace Qt::StringLiterals;

int ToggledResolutionStatus(const QVariant &status)
{
    switch (ValueToInt(status, 0)) {
    case 1: return 2;
    case 2: return 1;
    default: return 0;
    }
}

void WriteResolutionStatus(Connection &con, int recordId, int status)
{
    ExecSql(con,
            u"UPDATE iktato SET statusz = %1 WHERE iktato = %2;"_s.arg(status).arg(ValueToIntText(recordId)));
}

void DeleteResolutionRow(Connection &con, int recordId)
{
    ExecSql(con, u"DELETE FROM iktato WHERE iktato="_s + QString::number(recordId) + u';');
}
