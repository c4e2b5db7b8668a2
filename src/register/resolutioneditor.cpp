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

#include <QElapsedTimer>
#include <QStringList>
#include <QThread>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// MySQL's "duplicate entry" and "deadlock, try again".
constexpr unsigned ErDupEntry = 1062;
constexpr unsigned ErLockDeadlock = 1213;
// Each collision means another record was saved meanwhile, so this is never reached in
// practice; it only keeps a broken server from looping us forever.
constexpr int MaxSaveAttempts = 200;
// A save holds the numbering lock for milliseconds; a workstation that cannot have it in this
// time saves without it.
constexpr int NumberingLockSeconds = 3;
// How long the session of a broken line may take to end before its outcome counts as unknown.
constexpr int LostSessionWaitMs = 10000;

QString sqlText(const QString &text)
{
    return SqlQuoted(text);
}

QString sqlDateOrNull(bool present, QDate date)
{
    return present && date.isValid() ? SqlDate(date) : u"NULL"_s;
}

// The unique keys of iktato that guard the resolution number: every column among ev, csoport
// and az, az included. A database made elsewhere may name it anything, or have none.
QStringList numberingKeys(Connection &con)
{
    const ResultSet rs =
        con.query(u"SELECT INDEX_NAME, GROUP_CONCAT(LOWER(COLUMN_NAME)) FROM information_schema.STATISTICS "
                  "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = 'iktato' AND NON_UNIQUE = 0 "
                  "GROUP BY INDEX_NAME"_s);
    static const QStringList numberColumns{u"ev"_s, u"csoport"_s, u"az"_s};
    QStringList keys;
    for (int row = 0; row < rs.rowCount(); ++row) {
        const QStringList columns = rs.text(row, 1).split(u',');
        const bool guardsNumber =
            columns.contains(u"az"_s) &&
            std::ranges::all_of(columns, [](const QString &c) { return numberColumns.contains(c); });
        if (guardsNumber)
            keys.append(rs.text(row, 0));
    }
    return keys;
}

// "Duplicate entry '2025-1-1' for key 'uq_iktato_szam'" (MySQL 8 writes 'iktato.uq_iktato_szam').
bool isNumberCollision(const DbError &e, const QStringList &keys)
{
    if (e.number() != ErDupEntry)
        return false;
    const QString &m = e.message();
    const qsizetype end = m.lastIndexOf(u'\'');
    const qsizetype start = end > 0 ? m.lastIndexOf(u'\'', end - 1) : -1;
    if (start < 0)
        return false;
    QString key = m.mid(start + 1, end - start - 1);
    key = key.mid(key.lastIndexOf(u'.') + 1);
    return keys.contains(key, Qt::CaseInsensitive);
}

// The numbering lock of a year and committee, held while it lives. Not taking it (another
// workstation holds it too long, or the server refuses) leaves the save as it would be without.
class NumberingLock
{
public:
    NumberingLock(Connection &con, int year, int committee)
        : m_con(con), m_name(NumberingLockSql(year, committee))
    {
        try {
            m_held =
                QueryInt(con, u"SELECT GET_LOCK(%1, %2);"_s.arg(m_name).arg(NumberingLockSeconds), 0) == 1;
        } catch (const DbError &) {
            m_held = false;
        }
    }
    ~NumberingLock()
    {
        if (!m_held)
            return;
        try {
            m_con.query(u"SELECT RELEASE_LOCK(%1);"_s.arg(m_name));
        } catch (const DbError &) {
            // A lock of a broken line went with its session.
        }
    }
    NumberingLock(const NumberingLock &) = delete;
    NumberingLock &operator=(const NumberingLock &) = delete;

private:
    Connection &m_con;
    QString m_name;
    bool m_held = false;
};

bool numberTaken(Connection &con, const Resolution &rec)
{
    return QueryInt(con,
                    u"SELECT COUNT(*) FROM iktato WHERE ev = %1 AND csoport = %2 AND az = %3;"_s.arg(rec.year)
                        .arg(rec.committee)
                        .arg(rec.number),
                    0) > 0;
}

// Every text the save may write, so that one check before anything happens covers them all.
QString textsToStore(const Resolution &rec)
{
    QStringList texts{rec.subject, rec.text, rec.responsible};
    for (const AttachmentValue &a : rec.attachments)
        texts << a.sourceName << a.storedName;
    return texts.join(u'\n');
}

struct CopyFailed
{
    QString message;
};

struct Written
{
    int id = -1;
    QString check;                             // holds when the row has what this try wrote
    QList<std::pair<int, QString>> placements; // slot and stored name of each chosen file
};

// One try at the whole save, inside a transaction the caller opened.
Written writeResolution(Connection &con, const Resolution &loaded, const Resolution &rec, bool &gone)
{
    const bool isNew = rec.id < 0;
    QList<std::pair<QString, QString>> sets; // column and SQL value of the row write
    const auto put = [&sets](const QString &column, const QString &value) { sets.append({column, value}); };
    const auto joined = [](const QList<std::pair<QString, QString>> &pairs) {
        QStringList parts;
        for (const auto &[column, value] : pairs)
            parts.append(column + u" = "_s + value);
        return parts.join(u", "_s);
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

    Written w;
    w.id = rec.id;
    if (isNew) {
        put(u"ev"_s, QString::number(rec.year));
        put(u"csoport"_s, QString::number(rec.committee));
        put(u"az"_s, QString::number(rec.number));
        con.exec(u"INSERT INTO iktato SET "_s + joined(sets));
        w.id = int(con.lastInsertId());
    } else {
        // Lock the row, and learn whether another workstation deleted it since it was read.
        if (QueryInt(con, u"SELECT COUNT(*) FROM iktato WHERE iktato = %1 FOR UPDATE;"_s.arg(w.id), 0) == 0) {
            gone = true;
            throw DbError(u"A határozatot időközben egy másik munkaállomás törölte, nem menthető."_s);
        }
        if (!sets.isEmpty())
            con.exec(u"UPDATE iktato SET "_s + joined(sets) + u" WHERE iktato = "_s + QString::number(w.id));
    }

    QList<std::pair<QString, QString>> attachmentSets;
    for (int slot = 1; slot <= AttachmentSlotCount; ++slot) {
        const AttachmentValue &a = rec.attachments[slot - 1];
        if (a.chosenPath.isEmpty())
            continue;
        const QString stored = StoredAttachmentName(w.id, slot, a.sourceName);
        w.placements.append({slot, stored});
        attachmentSets.append({StoredNameColumn(slot), sqlText(stored)});
        attachmentSets.append({SourceNameColumn(slot), sqlText(a.sourceName)});
    }
    if (!attachmentSets.isEmpty())
        con.exec(u"UPDATE iktato SET "_s + joined(attachmentSets) + u" WHERE iktato = "_s +
                 QString::number(w.id));
    sets += attachmentSets;

    // The text is written only when the user changed it, exactly as the editor holds it.
    if (isNew || rec.text != loaded.text) {
        const QString text = SqlQuoted(rec.text);
        ExecSql(con, u"UPDATE iktato SET hatarozat = "_s + text + u" WHERE iktato = "_s +
                         ValueToIntText(w.id) + u';');
        sets.append({u"hatarozat"_s, text});
    }
    ExecSql(con, u"INSERT IGNORE INTO targy (targy) VALUES ("_s + SqlQuoted(rec.subject) + u");"_s);

    // Compared byte for byte: the collation takes "a" and "á" for the same.
    QStringList check{u"iktato = "_s + QString::number(w.id)};
    for (const auto &[column, value] : std::as_const(sets))
        check.append(u"BINARY "_s + column + u" <=> BINARY "_s + value);
    w.check = check.join(u" AND "_s);
    return w;
}

QString unsettledMessage()
{
    return u"Megszakadt a kapcsolat az adatbázissal a mentés közben, és nem állapítható meg, hogy a "
           "határozat elmentődött-e. Az OK ismételt megnyomása előbb ezt ellenőrzi, így a határozat "
           "nem kerül kétszer mentésre."_s;
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

QString NumberingLockSql(int year, int committee)
{
    // Lock names are server-wide: the database's name goes into it, hashed to stay short.
    return u"CONCAT('iktato/', LEFT(MD5(DATABASE()), 16), '/%1/%2')"_s.arg(year).arg(committee);
}

SaveOutcome SettlePendingSave(Connection &con, PendingSave &pending)
{
    if (!pending.isOpen())
        return SaveOutcome::Dropped;
    bool kept = false;
    try {
        // The broken line's session may still be running the COMMIT, or wait for one still on
        // its way: it is ended, and only then is the row looked at, so that the answer is final.
        const QString lostSession = u"SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID = %1 "
                                    "AND USER = SUBSTRING_INDEX(USER(), '@', 1);"_s.arg(pending.lostThread);
        QElapsedTimer waited;
        waited.start();
        while (pending.lostThread != 0 && QueryInt(con, lostSession, 0) > 0) {
            if (waited.elapsed() > LostSessionWaitMs)
                return SaveOutcome::Unknown;
            try {
                con.exec(u"KILL CONNECTION %1"_s.arg(pending.lostThread));
            } catch (const DbError &) {
                // It ended by itself meanwhile.
            }
            QThread::msleep(50);
        }
        kept = QueryInt(con, u"SELECT COUNT(*) FROM iktato WHERE "_s + pending.writtenCheck + u';', 0) > 0;
    } catch (const DbError &) {
        return SaveOutcome::Unknown;
    }
    if (pending.files) {
        if (kept)
            pending.files->keep();
        else
            pending.files->undo();
    }
    pending = PendingSave();
    return kept ? SaveOutcome::Kept : SaveOutcome::Dropped;
}

SaveResult SaveResolution(Connection &con, const Resolution &loaded, const Resolution &edited,
                          const QString &documentStore, PendingSave *pending)
{
    SaveResult result;
    Resolution base = loaded;
    Resolution rec = edited;
    if (!rec.date.isValid() || rec.date.year() != rec.year) {
        result.error = u"Érvénytelen dátum."_s;
        return result;
    }
    try {
        Connection::requireStorable(textsToStore(rec));
    } catch (const DbError &e) {
        result.error = e.message();
        return result;
    }

    if (pending && pending->isOpen()) {
        const int earlierId = pending->id;
        const int earlierNumber = pending->number;
        switch (SettlePendingSave(con, *pending)) {
        case SaveOutcome::Unknown: result.error = unsettledMessage(); return result;
        case SaveOutcome::Dropped: break;
        case SaveOutcome::Kept: {
            // The earlier OK did save the record: what is left to write is an edit of it.
            std::optional<Resolution> saved;
            try {
                saved = LoadResolution(con, earlierId);
            } catch (const DbError &e) {
                result.error = e.message();
                return result;
            }
            if (!saved) {
                result.recordGone = true;
                result.error = u"A határozatot időközben egy másik munkaállomás törölte, nem menthető."_s;
                return result;
            }
            base = *saved;
            rec.id = earlierId;
            rec.number = earlierNumber;
            break;
        }
        }
    }

    const bool isNew = rec.id < 0;
    QStringList numberKeys;
    std::optional<NumberingLock> numberingLock;
    if (isNew) {
        try {
            numberKeys = numberingKeys(con);
            if (numberKeys.isEmpty()) {
                // Nothing in the database refuses a second record with this number: this
                // program's workstations take turns, and each looks whether it is still free.
                numberingLock.emplace(con, rec.year, rec.committee);
                if (numberTaken(con, rec))
                    rec.number = NextResolutionNumber(con, rec.year, rec.committee);
            }
        } catch (const DbError &e) {
            result.error = e.message();
            return result;
        }
    }

    auto files = std::make_shared<AttachmentPlacement>(documentStore);
    for (int slot = 1; slot <= AttachmentSlotCount; ++slot) {
        const QString &chosen = rec.attachments[slot - 1].chosenPath;
        if (!chosen.isEmpty() && !files->prepare(slot, chosen, &result.error))
            return result;
    }

    const auto succeeded = [&](int id) {
        result.ok = true;
        result.id = id;
        result.number = rec.number;
        result.renumbered = rec.number != edited.number;
        return result;
    };
    for (int attempt = 1;; ++attempt) {
        bool gone = false;
        bool committing = false;
        QString failure;
        bool retry = false;
        Written w;
        try {
            con.begin();
            w = writeResolution(con, base, rec, gone);
            for (const auto &[slot, stored] : std::as_const(w.placements)) {
                QString error;
                if (!files->place(slot, stored, &error))
                    throw CopyFailed{error};
            }
            committing = true;
            const unsigned long session = con.threadId();
            try {
                con.commit();
            } catch (const DbError &e) {
                if (!e.isConnectionLost())
                    throw;
                // The server may have kept the save before the line broke: look, never assume.
                PendingSave unsettled{w.id, rec.number, w.check, session, files};
                switch (SettlePendingSave(con, unsettled)) {
                case SaveOutcome::Kept: return succeeded(w.id);
                case SaveOutcome::Dropped: result.error = e.message(); return result;
                case SaveOutcome::Unknown:
                    if (pending)
                        *pending = unsettled;
                    result.error = unsettledMessage();
                    return result;
                }
            }
            files->keep();
            return succeeded(w.id);
        } catch (const DbError &e) {
            failure = e.message();
            retry = !committing && attempt < MaxSaveAttempts &&
                    ((rec.id < 0 && isNumberCollision(e, numberKeys)) || e.number() == ErLockDeadlock);
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
        files->undo();
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
    PendingSave pending;
    form.setOkHandler([&] {
        Resolution edited = loaded;
        QString error;
        if (!form.collect(edited, &error)) {
            ShowErrorBox(error, &form);
            return false;
        }
        const SaveResult saved = SaveResolution(con, loaded, edited, documentStore, &pending);
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
    // Cancelled after a save whose outcome stayed unknown: the register should show the record
    // if the server did keep it.
    if (pending.isOpen()) {
        const int id = pending.id;
        if (SettlePendingSave(con, pending) == SaveOutcome::Kept) {
            ShowInfoBox(u"A határozat a megszakadt kapcsolat ellenére elmentődött."_s, parent);
            savedId = id;
        }
    }
    return savedId;
}

int NewResolution(Connection &con, int committeeId, QDate date, const QString &documentStore, int fontSize,
                  QWidget *parent)
{
    return EditResolution(con, -1, committeeId, date, documentStore, fontSize, parent);
}
