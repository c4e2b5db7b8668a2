#include "resolutioneditor.h"

#include "common/dates.h"
#include "gui/messagebox.h"
#include "common/sqltext.h"
#include "common/values.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "gui/dbwidgets.h"
#include "frm_szerkeszt.h"

#include <QFile>
#include <QStringList>

using namespace Qt::StringLiterals;

namespace {

// MySQL's "duplicate entry" and "deadlock, try again".
constexpr unsigned ErDupEntry = 1062;
constexpr unsigned ErLockDeadlock = 1213;
// Each collision means another record was saved meanwhile, so this is never reached in
// practice; it only keeps a broken server from looping us forever.
constexpr int MaxSaveAttempts = 200;

QString sqlText(const QString &text)
{
    return SqlQuoted(text);
}

QString sqlDateOrNull(bool present, QDate date)
{
    return present && date.isValid() ? SqlDate(date) : u"NULL"_s;
}

bool isNumberCollision(const DbError &e)
{
    return e.number() == ErDupEntry && e.message().contains(u"uq_iktato_szam"_s);
}

struct CopyFailed
{
    QString message;
};

// One try at the whole save, inside a transaction the caller opened. Returns the record's id.
// `created` collects the files this try wrote under a new record's id.
int writeResolution(Connection &con, const Resolution &loaded, const Resolution &rec, const QString &store,
                    QStringList &created, bool &gone)
{
    const bool isNew = rec.id < 0;
    QStringList sets; // "column = value" of the row write
    const auto put = [&sets](const QString &column, const QString &value) {
        sets.append(column + u" = "_s + value);
    };

    if (isNew || rec.date != loaded.date)
        put(u"datum"_s, SqlDate(rec.date));
    if (isNew || rec.subject != loaded.subject)
        put(u"targy"_s, sqlText(rec.subject));
    if (isNew || rec.hasDeadline != loaded.hasDeadline)
        put(u"van_hatid"_s, rec.hasDeadline ? u"'I'"_s : u"'N'"_s);
    // Without the flag the deadline is always NULL.
    const QDate deadline = rec.hasDeadline ? rec.deadline : QDate();
    if (isNew || deadline != loaded.deadline)
        put(u"dat_hatid"_s, sqlDateOrNull(rec.hasDeadline, rec.deadline));
    if (isNew || rec.responsible != loaded.responsible)
        put(u"felelos"_s, sqlText(rec.responsible));
    // A deadline on a record without a status opens it; nothing else here touches the status.
    if (ValueToInt(loaded.status, 0) == 0 && rec.hasDeadline)
        put(u"statusz"_s, u"1"_s);
    for (int slot = 1; slot <= AttachmentSlotCount; ++slot) {
        const AttachmentValue &now = rec.attachments[slot - 1];
        const AttachmentValue &was = loaded.attachments[slot - 1];
        if (!now.chosenPath.isEmpty())
            continue; // written below, once the id names the stored file
        if (now.storedName != was.storedName || now.sourceName != was.sourceName) {
            put(StoredNameColumn(slot), sqlText(now.storedName));
            put(SourceNameColumn(slot), sqlText(now.sourceName));
        }
    }

    int id = rec.id;
    if (isNew) {
        put(u"ev"_s, QString::number(rec.year));
        put(u"csoport"_s, QString::number(rec.committee));
        put(u"az"_s, QString::number(rec.number));
        con.exec(u"INSERT INTO iktato SET "_s + sets.join(u", "_s));
        id = int(con.lastInsertId());
    } else {
        // Lock the row, and learn whether another workstation deleted it since it was read.
        if (QueryInt(con, u"SELECT COUNT(*) FROM iktato WHERE iktato = %1 FOR UPDATE;"_s.arg(id), 0) == 0) {
            gone = true;
            throw DbError(u"A határozatot időközben egy másik munkaállomás törölte, nem menthető."_s);
        }
        if (!sets.isEmpty())
            con.exec(u"UPDATE iktato SET "_s + sets.join(u", "_s) + u" WHERE iktato = "_s +
                     QString::number(id));
    }

    QStringList attachmentSets;
    for (int slot = 1; slot <= AttachmentSlotCount; ++slot) {
        const AttachmentValue &a = rec.attachments[slot - 1];
        if (a.chosenPath.isEmpty())
            continue;
        const QString stored = StoredAttachmentName(id, slot, a.sourceName);
        QString error;
        if (!CopyIntoDocumentStore(a.chosenPath, store, stored, &error))
            throw CopyFailed{error};
        if (isNew)
            created.append(stored);
        attachmentSets.append(StoredNameColumn(slot) + u" = "_s + sqlText(stored));
        attachmentSets.append(SourceNameColumn(slot) + u" = "_s + sqlText(a.sourceName));
    }
    if (!attachmentSets.isEmpty())
        con.exec(u"UPDATE iktato SET "_s + attachmentSets.join(u", "_s) + u" WHERE iktato = "_s +
                 QString::number(id));

    ExecSql(con, u"UPDATE iktato SET hatarozat = "_s + SqlQuoted(ResolutionTextForDb(rec.text)) +
                     u" WHERE iktato = "_s + ValueToIntText(id) + u';');
    ExecSql(con, u"INSERT IGNORE INTO targy (targy) VALUES ("_s + SqlQuoted(rec.subject) + u");"_s);
    return id;
}

} // namespace

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

std::optional<Resolution> LoadResolution(Connection &con, int id)
{
    const ResultSet rs = con.query(u"SELECT * FROM iktato WHERE iktato = "_s + ValueToIntText(id) + u';');
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

QString ResolutionTextForDb(const QString &editorText)
{
    QString text = editorText;
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\r', u'\n');
    while (text.endsWith(u'\n'))
        text.chop(1);
    text.replace(u"\n"_s, u"\r\n"_s);
    return text;
}

SaveResult SaveResolution(Connection &con, const Resolution &loaded, const Resolution &edited,
                          const QString &documentStore)
{
    SaveResult result;
    Resolution rec = edited;
    if (!rec.date.isValid() || rec.date.year() != rec.year) {
        result.error = u"Érvénytelen dátum."_s;
        return result;
    }
    for (int attempt = 1;; ++attempt) {
        QStringList created;
        bool gone = false;
        QString failure;
        bool retry = false;
        try {
            con.begin();
            const int id = writeResolution(con, loaded, rec, documentStore, created, gone);
            con.commit();
            result.ok = true;
            result.id = id;
            result.number = rec.number;
            result.renumbered = rec.number != edited.number;
            return result;
        } catch (const DbError &e) {
            failure = e.message();
            retry = attempt < MaxSaveAttempts &&
                    ((rec.id < 0 && isNumberCollision(e)) || e.number() == ErLockDeadlock);
        } catch (const CopyFailed &e) {
            failure = e.message;
        }
        if (con.inTransaction()) {
            try {
                con.rollback();
            } catch (const DbError &) {
                // The server rolls back a transaction whose connection is gone.
            }
        }
        // Files written under an id that was never committed belong to no record.
        for (const QString &name : std::as_const(created))
            QFile::remove(documentStore + u'/' + name);
        if (gone) {
            result.recordGone = true;
            result.error = failure;
            return result;
        }
        if (!retry) {
            result.error = failure;
            return result;
        }
        if (rec.id < 0) {
            try {
                rec.number = NextResolutionNumber(con, rec.year, rec.committee);
            } catch (const DbError &e) {
                result.error = e.message();
                return result;
            }
        }
    }
}

int EditResolution(Connection &con, int recordId, int committeeId, QDate date, const QString &documentStore,
                   int fontSize, QWidget *parent)
{
    Resolution loaded;
    if (recordId == -1) {
        loaded = NewResolutionRecord(con, committeeId, date);
    } else {
        const std::optional<Resolution> found = LoadResolution(con, recordId);
        if (!found) {
            ShowErrorBox(u"A határozat nem található: egy másik munkaállomás időközben törölte."_s, parent);
            return -1;
        }
        loaded = *found;
    }

    Tfrm_Szerkeszt form(parent, fontSize);
    FillComboFromQuery(con, form.DBComboBox1, u"SELECT DISTINCT targy FROM targy ORDER BY 1;"_s);
    form.setDocumentStore(documentStore);
    form.setHeading(LookupName(con, loaded.committee, u"csoport"_s, QString()));
    form.setRecord(loaded, ServerDate(con));

    int savedId = -1;
    form.setOkHandler([&] {
        Resolution edited = loaded;
        QString error;
        if (!form.collect(edited, &error)) {
            ShowErrorBox(error, &form);
            return false;
        }
        const SaveResult saved = SaveResolution(con, loaded, edited, documentStore);
        if (!saved.ok) {
            ShowErrorBox(saved.recordGone ? saved.error : u"Hiba: "_s + saved.error, &form);
            return false;
        }
        if (saved.renumbered)
            ShowInfoBox(u"A(z) %1. határozatszámot közben egy másik munkaállomás kiosztotta, "
                        "ezért a határozat a(z) %2. számot kapta."_s.arg(edited.number)
                            .arg(saved.number),
                        &form);
        savedId = saved.id;
        return true;
    });
    form.exec();
    return savedId;
}

int NewResolution(Connection &con, int committeeId, QDate date, const QString &documentStore, int fontSize,
                  QWidget *parent)
{
    return EditResolution(con, -1, committeeId, date, documentStore, fontSize, parent);
}
