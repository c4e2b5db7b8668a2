#include "output/reportsource.h"

#include "db/connection.h"
#include "db/query.h"

using namespace Qt::StringLiterals;

ReportOwner LoadReportOwner(Connection &connection)
{
    const ResultSet owner = connection.query(u"SELECT * FROM vw_tulajdonos;"_s);
    ReportOwner result;
    if (owner.rowCount() == 0)
        return result;
    auto column = [&owner](const QString &name) {
        const int index = owner.fieldIndex(name);
        return index < 0 ? QString() : owner.text(0, index);
    };
    result.tulajdonos = column(u"tulajdonos"_s);
    result.irszvaros = column(u"irszvaros"_s);
    result.telefon = column(u"telefon"_s);
    return result;
}

void OpenResolutionQuery(Query &query, int recordId)
{
    query.close();
    query.setSql(u"SELECT * FROM vw_iktato\nWHERE iktato = :piktato\nORDER BY 1;"_s);
    query.setParam(u"piktato"_s, recordId);
    query.open();
}
