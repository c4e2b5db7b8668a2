#include "changehistory.h"

#include "common/sqltext.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "register/resolutionrecord.h"

#include <QHash>

using namespace Qt::StringLiterals;

namespace changehistory {

const QHash<QString, QString> &captions()
{
    static const QHash<QString, QString> names{
        {u"ev"_s, u"Év"_s},
        {u"csoport"_s, u"Bizottság"_s},
        {u"az"_s, u"Sorszám"_s},
        {u"datum"_s, u"Dátum"_s},
        {u"targy"_s, u"Tárgy"_s},
        {u"hatarozat"_s, u"Határozat"_s},
        {u"van_hatid"_s, u"Van határidő"_s},
        {u"dat_hatid"_s, u"Határidő"_s},
        {u"felelos"_s, u"Felelős"_s},
        {u"statusz"_s, u"Státusz"_s},
        {u"filenev"_s, u"1. melléklet"_s},
        {u"filenev2"_s, u"2. melléklet"_s},
        {u"filenev3"_s, u"3. melléklet"_s},
        {u"origfilenev"_s, u"1. melléklet neve"_s},
        {u"origfilenev2"_s, u"2. melléklet neve"_s},
        {u"origfilenev3"_s, u"3. melléklet neve"_s},
        {u"dat_figy"_s, u"Figyelmeztetés dátuma"_s},
        {u"figy_szoveg"_s, u"Figyelmeztetés"_s},
        {u"felhkod"_s, u"Rögzítő"_s},
    };
    return names;
}

// "yyyy-mm-dd hh:mm:ss" as the server sent it, taken as it is: the general conversion goes
// through the local time zone, which costs more than the rest of a thousand rows together.
QDateTime serverTime(QByteArrayView raw)
{
    const auto number = [raw](qsizetype from, qsizetype length) { return raw.sliced(from, length).toByteArray().toInt(); };
    if (raw.size() < 19)
        return {};
    return QDateTime(QDate(number(0, 4), number(5, 2), number(8, 2)), QTime(number(11, 2), number(14, 2), number(17, 2)),
                     Qt::UTC);
}

ChangeRow changeAt(const ResultSet &rs, int row)
{
    ChangeRow c;
    c.id = rs.raw(row, 0).toByteArray().toLongLong();
    c.recordId = rs.raw(row, 1).toByteArray().toInt();
    const QString operation = rs.text(row, 2);
    c.operation = operation.isEmpty() ? QChar() : operation.at(0);
    c.column = rs.text(row, 3);
    c.oldNull = rs.isNull(row, 4);
    c.oldValue = rs.text(row, 4);
    c.newNull = rs.isNull(row, 5);
    c.newValue = rs.text(row, 5);
    c.when = serverTime(rs.raw(row, 6));
    c.client = rs.text(row, 7);
    c.userId = rs.raw(row, 8).toByteArray().toInt();
    return c;
}

// The users' names are read apart: a join would sort the long values through a temporary table
// on disk, many times slower than reading them in key order.
QHash<int, QString> userNames(Connection &con)
{
    const ResultSet rs =
        con.query(u"SELECT felhkod, COALESCE(NULLIF(felhasznalo_nev, ''), felhasznalo) FROM felhasznalo"_s);
    QHash<int, QString> names;
    for (int row = 0; row < rs.rowCount(); ++row)
        names.insert(rs.value(row, 0).toInt(), rs.text(row, 1));
    return names;
}

// The old value put into the record as the editor holds it; an error text when it cannot be.
QString applyValue(Resolution &rec, const ChangeRow &change)
{
    const QString &value = change.oldValue;
    const QString &column = change.column;
    if (column == u"datum"_s || column == u"dat_hatid"_s) {
        const QDate date = QDate::fromString(value, Qt::ISODate);
        if (column == u"dat_hatid"_s) {
            rec.hasDeadline = !change.oldNull;
            rec.deadline = date;
            return {};
        }
        if (!date.isValid())
            return u"A régi dátum nem érvényes: "_s + value;
        // The year is part of the number, which never changes.
        if (date.year() != rec.year)
            return u"A régi dátum (%1) nem a határozat évébe esik."_s.arg(value);
        rec.date = date;
    } else if (column == u"targy"_s) {
        rec.subject = value;
    } else if (column == u"hatarozat"_s) {
        rec.text = value;
    } else if (column == u"felelos"_s) {
        rec.responsible = value;
    } else if (column == u"van_hatid"_s) {
        rec.hasDeadline = value == u"I"_s;
    } else {
        return u"Ez a mező nem állítható vissza: "_s + ColumnCaption(column);
    }
    return {};
}

} // namespace changehistory

using namespace changehistory;

QList<ChangeRow> RecordChanges(Connection &con, int recordId)
{
    const ResultSet rs = con.query(u"SELECT naplo, iktato, muvelet, mezo, regi, uj, mikor, kliens, felhkod "
                                   "FROM iktato_naplo WHERE iktato = %1 ORDER BY naplo DESC"_s.arg(recordId));
    const QHash<int, QString> names = userNames(con);
    QList<ChangeRow> rows;
    rows.reserve(rs.rowCount());
    for (int row = 0; row < rs.rowCount(); ++row) {
        rows.append(changeAt(rs, row));
        rows.last().userName = names.value(rows.last().userId);
    }
    return rows;
}

QString ColumnCaption(const QString &column)
{
    return captions().value(column, column);
}

QString OperationCaption(QChar operation)
{
    switch (operation.unicode()) {
    case u'I':
        return u"új"_s;
    case u'D':
        return u"törlés"_s;
    default:
        return u"módosítás"_s;
    }
}

bool CanRevertColumn(const QString &column)
{
    static const QStringList editable{u"datum"_s,   u"targy"_s,     u"hatarozat"_s,
                                      u"felelos"_s, u"van_hatid"_s, u"dat_hatid"_s};
    return editable.contains(column);
}

SaveResult RevertChange(Connection &con, const ChangeRow &change, const QString &documentStore)
{
    SaveResult result;
    if (!CanRevertColumn(change.column)) {
        result.error = u"Ez a mező nem állítható vissza: "_s + ColumnCaption(change.column);
        return result;
    }
    const std::optional<Resolution> loaded = LoadResolution(con, change.recordId);
    if (!loaded) {
        result.recordGone = true;
        result.error = u"A határozatot időközben törölték."_s;
        return result;
    }
    Resolution edited = *loaded;
    result.error = applyValue(edited, change);
    if (!result.error.isEmpty())
        return result;
    return SaveResolution(con, *loaded, edited, documentStore);
}

QString PeriodChangesSql(QDate from, QDate to, bool deletionsOnly)
{
    return u"SELECT n.mikor AS mikor, n.iktato AS iktato, "
           "(SELECT CONCAT(k.ev, '/', k.az) FROM iktato k WHERE k.iktato = n.iktato) AS szam, "
           "n.muvelet AS muvelet, n.mezo AS mezo, n.regi AS regi, n.uj AS uj, n.kliens AS kliens, "
           "COALESCE(NULLIF(f.felhasznalo_nev, ''), f.felhasznalo) AS felhasznalo "
           "FROM iktato_naplo n LEFT JOIN felhasznalo f ON f.felhkod = n.felhkod\n"
           "WHERE n.mikor >= %1 AND n.mikor < %2 + INTERVAL 1 DAY%3\n"
           "ORDER BY n.naplo DESC"_s.arg(SqlDate(from), SqlDate(to),
                                          deletionsOnly ? u" AND n.muvelet = 'D'"_s : QString());
}

BroughtBack BringBackDeletedRecord(Connection &con, int recordId)
{
    BroughtBack result;
    const QString id = QString::number(recordId);
    if (con.query(u"SELECT 1 FROM iktato WHERE iktato = "_s + id).rowCount() > 0) {
        result.error = u"A határozat nincs törölve."_s;
        return result;
    }
    // The fields of the record's last deletion: the rows after its last insert or update.
    const ResultSet rs = con.query(
        u"SELECT mezo, regi FROM iktato_naplo WHERE iktato = %1 AND muvelet = 'D' AND naplo > "
        "(SELECT COALESCE(MAX(naplo), 0) FROM iktato_naplo WHERE iktato = %1 AND muvelet <> 'D') ORDER BY naplo"_s.arg(id));
    QHash<QString, QString> fields;
    for (int row = 0; row < rs.rowCount(); ++row)
        fields.insert(rs.text(row, 0), rs.text(row, 1));
    for (const QString &needed : {u"ev"_s, u"csoport"_s, u"az"_s, u"datum"_s}) {
        if (!fields.contains(needed)) {
            result.error = u"A napló nem őrizte meg a törölt határozat adatait."_s;
            return result;
        }
    }
    const QString number = u"ev = %1 AND csoport = %2 AND az = %3"_s.arg(
        SqlQuoted(fields.value(u"ev"_s)), SqlQuoted(fields.value(u"csoport"_s)), SqlQuoted(fields.value(u"az"_s)));
    static const QStringList kept{u"ev"_s,        u"csoport"_s, u"az"_s,      u"datum"_s,   u"targy"_s,
                                  u"hatarozat"_s, u"van_hatid"_s, u"dat_hatid"_s, u"felelos"_s, u"statusz"_s,
                                  u"dat_figy"_s,  u"figy_szoveg"_s};
    QStringList assignments{u"iktato = "_s + id, u"felhkod = @orvanth_felhkod"_s};
    for (const QString &column : kept) {
        if (fields.contains(column))
            assignments.append(column + u" = "_s + SqlQuoted(fields.value(column)));
    }
    con.begin();
    try {
        // Locks the number's range, so that a record saved meanwhile waits or is seen.
        if (con.query(u"SELECT 1 FROM iktato WHERE "_s + number + u" FOR UPDATE"_s).rowCount() > 0) {
            con.rollback();
            result.error = u"A határozat száma (%1/%2) azóta másik határozaté lett."_s.arg(
                fields.value(u"ev"_s), fields.value(u"az"_s));
            return result;
        }
        con.exec(u"INSERT INTO iktato SET "_s + assignments.join(u", "_s));
        con.commit();
    } catch (const DbError &error) {
        if (con.inTransaction())
            con.rollback();
        result.error = error.message();
        return result;
    }
    result.ok = true;
    result.id = recordId;
    return result;
}
