#include "resolutionrecord.h"

#include "common/dates.h"
#include "common/values.h"
#include "db/connection.h"
#include "db/dbroutines.h"

using namespace Qt::StringLiterals;

int NextResolutionNumber(Connection &con, int year, int committee)
{
    return QueryInt(con,
                    u"SELECT MAX(az) FROM iktato WHERE (ev = "_s + ValueToIntText(year) +
                        u") AND (csoport = "_s + ValueToIntText(committee) + u");"_s,
                    0) +
           1;
}

Resolution NewResolutionRecord(Connection &con, int committee, QDate date)
{
    Resolution r;
    r.year = date.year();
    r.committee = committee;
    r.date = date;
    r.number = NextResolutionNumber(con, r.year, committee);
    return r;
}

std::optional<Resolution> LoadResolution(Connection &con, int id, bool forUpdate)
{
    const ResultSet rs = con.query(u"SELECT * FROM iktato WHERE iktato = "_s + ValueToIntText(id) +
                                   (forUpdate ? u" FOR UPDATE;"_s : u";"_s));
    if (rs.rowCount() == 0)
        return std::nullopt;
    const auto value = [&rs](const QString &column) { return rs.value(0, rs.fieldIndex(column)); };
    Resolution r;
    r.id = ValueToInt(value(u"iktato"_s), 0);
    r.year = ValueToInt(value(u"ev"_s), 0);
    r.committee = ValueToInt(value(u"csoport"_s), 0);
    r.number = ValueToInt(value(u"az"_s), 0);
    r.date = value(u"datum"_s).toDate();
    r.subject = ValueToStr(value(u"targy"_s));
    r.text = ValueToStr(value(u"hatarozat"_s));
    r.hasDeadline = ValueToStr(value(u"van_hatid"_s)) == u"I"_s;
    r.deadline = value(u"dat_hatid"_s).toDate();
    r.responsible = ValueToStr(value(u"felelos"_s));
    r.status = value(u"statusz"_s);
    for (int slot = 1; slot <= AttachmentSlotCount; ++slot) {
        r.attachments[slot - 1].storedName = ValueToStr(value(StoredNameColumn(slot)));
        r.attachments[slot - 1].sourceName = ValueToStr(value(SourceNameColumn(slot)));
    }
    return r;
}

QDate ResolutionDate(int year, const QString &monthDay, QString *error)
{
    return MonthDayDate(year, monthDay, error);
}

QStringList SubjectCatalogue(Connection &con)
{
    QStringList subjects;
    AppendQueryToList(con, subjects, u"SELECT DISTINCT targy FROM targy ORDER BY 1;"_s);
    return subjects;
}
