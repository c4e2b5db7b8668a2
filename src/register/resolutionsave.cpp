#include "resolutionsave.h"

#include "common/sqltext.h"
#include "common/values.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "db/tableindexes.h"

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
// How long a save waits for a journal's lock that another workstation holds while it settles
// the same files.
constexpr int JournalLockSeconds = 5;
// Room for the rest of a statement beside its longest text, when its size is checked against
// the server's limit.
constexpr qsizetype StatementOverhead = 64 * 1024;

std::function<void(SaveStep)> &saveStepHook()
{
    static std::function<void(SaveStep)> hook;
    return hook;
}

void reachStep(SaveStep step)
{
    if (saveStepHook())
        saveStepHook()(step);
}

QString recordGoneMessage()
{
    return u"A határozatot időközben egy másik munkaállomás törölte, nem menthető."_s;
}

QString unsettledMessage()
{
    return u"Megszakadt a kapcsolat az adatbázissal a mentés közben, és nem állapítható meg, hogy a "
           "határozat elmentődött-e. Az OK ismételt megnyomása előbb ezt ellenőrzi, így a határozat "
           "nem kerül kétszer mentésre."_s;
}

// A failed save's text. A line that broke before the COMMIT took the whole transaction with it,
// so the user can be told plainly that nothing was stored and that OK may be pressed again.
QString notSavedText(const DbError &e)
{
    if (!e.isConnectionFailure())
        return e.message();
    return u"A kapcsolat az adatbázis-kiszolgálóval megszakadt, vagy a kiszolgáló nem érhető el, ezért a "
           "határozat nem került mentésre. A beírt adatok megmaradtak: az OK újbóli megnyomása megismétli a "
           "mentést, amint a kiszolgáló ismét elérhető.\n("_s +
           e.message() + u')';
}

// The unique keys of iktato that guard the resolution number: every column among ev, csoport
// and az, az included. A database made elsewhere may name it anything, or have none.
QStringList numberingKeys(Connection &con)
{
    static const QStringList numberColumns{u"ev"_s, u"csoport"_s, u"az"_s};
    QStringList keys;
    for (const TableIndex &index : TableIndexes(con, u"iktato"_s)) {
        const bool guardsNumber =
            index.unique && index.columns.contains(u"az"_s) &&
            std::ranges::all_of(index.columns, [](const QString &c) { return numberColumns.contains(c); });
        if (guardsNumber)
            keys.append(index.name);
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

// A named lock of the server, held while it lives. Not taking it (another workstation holds it
// too long, or the server refuses) is for the caller to weigh: held() says.
class NamedLock
{
public:
    NamedLock(Connection &con, QString nameSql, int waitSeconds) : m_con(con), m_name(std::move(nameSql))
    {
        try {
            m_held = QueryInt(con, u"SELECT GET_LOCK(%1, %2);"_s.arg(m_name).arg(waitSeconds), 0) == 1;
        } catch (const DbError &) {
            m_held = false;
        }
    }
    ~NamedLock()
    {
        if (!m_held)
            return;
        try {
            m_con.query(u"SELECT RELEASE_LOCK(%1);"_s.arg(m_name));
        } catch (const DbError &) {
            // A lock of a broken line went with its session.
        }
    }
    NamedLock(const NamedLock &) = delete;
    NamedLock &operator=(const NamedLock &) = delete;
    bool held() const { return m_held; }

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

// The single-line fields against their columns. The editor's fields take no more, but a record
// filled elsewhere must meet our message, not the server's "Data too long" (or, outside strict
// mode, a text cut unseen). Empty when every field fits.
QString tooLongField(const Resolution &rec)
{
    struct Limit
    {
        const QString &text;
        qsizetype length;
        QStringView name;
    };
    for (const Limit &limit :
         {Limit{rec.subject, SubjectMaxLength, u"Tárgy"}, Limit{rec.responsible, ResponsibleMaxLength, u"Felelősök"}}) {
        // One byte a character once the text is known to be storable.
        if (limit.text.size() > limit.length)
            return u"A(z) „%1” mező legfeljebb %2 karakter lehet, a megadott szöveg %3 karakter."_s
                .arg(limit.name)
                .arg(limit.length)
                .arg(limit.text.size());
    }
    return {};
}

struct CopyFailed
{
    QString message;
};

// Another workstation changed what the clerk changed too.
struct Collided
{
    EditCollision collision;
};

// A statement the server would refuse for its size (and drop the line with it).
struct TooLarge
{
    QString message;
};

QString megabytesText(qint64 bytes)
{
    return QString::number(double(bytes) / (1024 * 1024), 'f', 1);
}

// The resolution text goes in one statement; the server takes none longer than
// max_allowed_packet. Looked at before anything is written, so that the clerk learns why and
// nothing is tried in vain.
void requireFitsServer(Connection &con, const Resolution &rec)
{
    // One byte a character once the text is known to be storable; escaping may double some.
    const qsizetype size = SqlQuoted(rec.text).size() + StatementOverhead;
    const qint64 limit = QueryText(con, u"SELECT @@max_allowed_packet;"_s, {}).toLongLong();
    if (limit > 0 && size > limit)
        throw TooLarge{u"A határozat szövege túl nagy: %1 MB, az adatbázis-kiszolgáló legfeljebb %2 MB-os "
                       "utasítást fogad (max_allowed_packet). Rövidítse a szöveget, vagy tegye mellékletbe."_s
                           .arg(megabytesText(rec.text.size()), megabytesText(limit))};
}

// The row was deleted by another workstation after it was read.
struct RecordGone
{
};

// Columns of iktato with the SQL text of their new values.
using ColumnValues = QList<std::pair<QString, QString>>;

QString assignments(const ColumnValues &values)
{
    QStringList parts;
    for (const auto &[column, value] : values)
        parts.append(column + u" = "_s + value);
    return parts.join(u", "_s);
}

// What an edit writes into the row: the columns that differ from the loaded record (a new
// record: every one of them). Files chosen in this session are not among them, since their
// stored names follow from the id. `statusNow` is the status the row has on the server.
ColumnValues changedColumns(const Resolution &loaded, const Resolution &rec, const QVariant &statusNow)
{
    const bool isNew = rec.id < 0;
    ColumnValues values;
    const auto put = [&](bool changed, const QString &column, const QString &value) {
        if (isNew || changed)
            values.append({column, value});
    };
    put(rec.date != loaded.date, u"datum"_s, SqlDate(rec.date));
    put(rec.subject != loaded.subject, u"targy"_s, SqlQuoted(rec.subject));
    put(rec.hasDeadline != loaded.hasDeadline, u"van_hatid"_s, rec.hasDeadline ? u"'I'"_s : u"'N'"_s);
    // Without the flag the deadline is always NULL.
    const QDate deadline = rec.hasDeadline ? rec.deadline : QDate();
    put(deadline != loaded.deadline, u"dat_hatid"_s, deadline.isValid() ? SqlDate(deadline) : u"NULL"_s);
    put(rec.responsible != loaded.responsible, u"felelos"_s, SqlQuoted(rec.responsible));
    // The text is written only when the user changed it, exactly as the editor holds it.
    put(rec.text != loaded.text, u"hatarozat"_s, SqlQuoted(rec.text));
    // A deadline on a record without a status opens it; nothing else here touches the status.
    // Asked of the row as it is now: another workstation may have finished it meanwhile.
    if (ValueToInt(statusNow, 0) == 0 && rec.hasDeadline)
        values.append({u"statusz"_s, u"1"_s});
    for (int slot = 1; slot <= AttachmentSlotCount; ++slot) {
        const AttachmentValue &now = rec.attachments[slot - 1];
        const AttachmentValue &was = loaded.attachments[slot - 1];
        if (now.chosenPath.isEmpty() &&
            (now.storedName != was.storedName || now.sourceName != was.sourceName)) {
            values.append({StoredNameColumn(slot), SqlQuoted(now.storedName)});
            values.append({SourceNameColumn(slot), SqlQuoted(now.sourceName)});
        }
    }
    return values;
}

// The stored names of the files chosen in this session, once the record's id is known; each
// slot and stored name also goes to `placements`.
ColumnValues chosenFileColumns(const Resolution &rec, int id, QList<std::pair<int, QString>> &placements)
{
    ColumnValues values;
    for (int slot = 1; slot <= AttachmentSlotCount; ++slot) {
        const AttachmentValue &a = rec.attachments[slot - 1];
        if (a.chosenPath.isEmpty())
            continue;
        const QString stored = StoredAttachmentName(id, slot, a.sourceName);
        placements.append({slot, stored});
        values.append({StoredNameColumn(slot), SqlQuoted(stored)});
        values.append({SourceNameColumn(slot), SqlQuoted(a.sourceName)});
    }
    return values;
}

// Holds when the row has every written value. Compared byte for byte: the collation takes "a"
// and "á" for the same. A new record is proven by its id and its number alone: another
// workstation may have edited it since.
QString writtenCheck(int id, const Resolution &rec, const ColumnValues &written)
{
    QStringList check{u"iktato = "_s + QString::number(id)};
    if (rec.id < 0)
        return check.join(QString()) + u" AND ev = %1 AND csoport = %2 AND az = %3"_s.arg(rec.year)
                                           .arg(rec.committee)
                                           .arg(rec.number);
    for (const auto &[column, value] : written)
        check.append(u"BINARY "_s + column + u" <=> BINARY "_s + value);
    return check.join(u" AND "_s);
}

// Locks an existing row for the save and reads it as it is now: gone when another workstation
// deleted it since it was read; a collision when it changed a field the clerk changed too.
Resolution lockRow(Connection &con, const Resolution &loaded, const Resolution &rec)
{
    std::optional<Resolution> now = LoadResolution(con, rec.id, true);
    if (!now)
        throw RecordGone();
    EditCollision collision = FindEditCollision(loaded, *now, rec);
    if (!collision.conflicting.isEmpty())
        throw Collided{std::move(collision)};
    return *now;
}

struct Written
{
    int id = -1;
    QString check;                             // holds when the row has what this try wrote
    QList<std::pair<int, QString>> placements; // slot and stored name of each chosen file
    Resolution record;                         // the record as this try wrote it
};

// The record as a save of `rec` under `id` leaves it.
Resolution asWritten(Resolution rec, int id, const QList<std::pair<int, QString>> &placements)
{
    rec.id = id;
    for (const auto &[slot, stored] : placements) {
        rec.attachments[slot - 1].storedName = stored;
        rec.attachments[slot - 1].chosenPath.clear();
    }
    return rec;
}

// One try at the whole save, inside a transaction the caller opened: the row, then what needs
// its id, then the subject into the catalogue.
Written writeResolution(Connection &con, const Resolution &loaded, const Resolution &rec)
{
    requireFitsServer(con, rec);
    QVariant statusNow = loaded.status;
    if (rec.id >= 0)
        statusNow = lockRow(con, loaded, rec).status;
    const ColumnValues changed = changedColumns(loaded, rec, statusNow);
    ColumnValues update; // what is written once the id is known
    Written w;
    if (rec.id < 0) {
        ColumnValues created = changed;
        created.append({u"ev"_s, QString::number(rec.year)});
        created.append({u"csoport"_s, QString::number(rec.committee)});
        created.append({u"az"_s, QString::number(rec.number)});
        created.append({u"felhkod"_s, u"@orvanth_felhkod"_s}); // the user the start-up told the session
        con.exec(u"INSERT INTO iktato SET "_s + assignments(created));
        w.id = int(con.lastInsertId());
    } else {
        w.id = rec.id;
        update = changed;
    }
    const ColumnValues files = chosenFileColumns(rec, w.id, w.placements);
    update += files;
    if (!update.isEmpty())
        con.exec(u"UPDATE iktato SET "_s + assignments(update) + u", felhkod = IFNULL(@orvanth_felhkod, felhkod)"_s +
                 u" WHERE iktato = "_s +
                 QString::number(w.id));
    ExecSql(con, u"INSERT IGNORE INTO targy (targy) VALUES ("_s + SqlQuoted(rec.subject) + u");"_s);
    w.check = writtenCheck(w.id, rec, changed + files);
    w.record = asWritten(rec, w.id, w.placements);
    return w;
}

// Settles the save that an earlier OK left pending before this one starts. When the server did
// keep it, what is left to write is an edit of that record as the save wrote it: `base` becomes
// that, and the files it placed are no longer chosen in `rec`. False, with the error in
// `result`, when this save cannot go on.
bool settleEarlierSave(Connection &con, PendingSave &pending, Resolution &base, Resolution &rec,
                       SaveResult &result)
{
    const PendingSave earlier = pending;
    switch (SettlePendingSave(con, pending)) {
    case SaveOutcome::Unknown: result.error = unsettledMessage(); return false;
    case SaveOutcome::Dropped: return true;
    case SaveOutcome::Kept: break;
    }
    base = earlier.written;
    rec.id = earlier.id;
    rec.number = earlier.number;
    for (int i = 0; i < AttachmentSlotCount; ++i) {
        if (!rec.attachments[i].chosenPath.isEmpty() &&
            rec.attachments[i].sourceName == earlier.written.attachments[i].sourceName &&
            earlier.chosenPaths[i] == rec.attachments[i].chosenPath)
            rec.attachments[i] = earlier.written.attachments[i];
    }
    return true;
}

// Puts the chosen files under the names the record gives them, after writing down in the store
// what moves where. The journal's lock is taken on the first try and held until the files are
// settled, so that no other workstation settles them meanwhile.
void placeFiles(Connection &con, AttachmentPlacement &files, std::optional<NamedLock> &journalLock,
                const Written &w, const Resolution &rec)
{
    if (w.placements.isEmpty())
        return;
    for (const auto &[slot, stored] : w.placements)
        files.plan(slot, stored, rec.attachments[slot - 1].sourceName);
    if (!journalLock)
        journalLock.emplace(con, JournalLockSql(files.journalId()), 0);
    if (!journalLock->held())
        throw CopyFailed{u"A mellékletek mentése nem kezdhető el: a kiszolgáló nem adott zárat a mentés naplójához."_s};
    SaveJournal journal;
    journal.recordId = w.id;
    journal.newRecord = rec.id < 0;
    journal.year = rec.year;
    journal.committee = rec.committee;
    journal.number = rec.number;
    QString error;
    if (!files.writeJournal(journal, &error))
        throw CopyFailed{error};
    reachStep(SaveStep::JournalWritten);
    for (const auto &[slot, stored] : w.placements) {
        if (!files.place(slot, &error))
            throw CopyFailed{error};
    }
}

QString collisionMessage()
{
    return u"A határozatot a szerkesztés közben egy másik munkaállomás is módosította."_s;
}

// One save of a record, step by step: the input checked, an earlier save left pending settled,
// the number guarded, the files made ready, then tries of the whole write until one commits.
class ResolutionSaver
{
public:
    ResolutionSaver(Connection &con, const Resolution &loaded, const Resolution &edited,
                    const QString &documentStore, PendingSave *pending)
        : m_con(con), m_edited(edited), m_pending(pending), m_base(loaded), m_rec(edited),
          m_files(std::make_shared<AttachmentPlacement>(documentStore))
    {
    }

    SaveResult run();

private:
    enum class TryEnd { Saved, Failed, Retry };

    // Each of these is false, with the error in the result, when the save cannot go on.
    bool checkInput();
    bool guardNumber();
    bool prepareFiles();
    bool renumber();

    TryEnd tryOnce(int attempt);
    TryEnd commit(const Written &w);
    // The line broke during the COMMIT: the server may have kept the save before it did.
    TryEnd settleLostCommit(const Written &w, unsigned long session, const DbError &e);
    void rollBack();
    TryEnd saved(int id);
    TryEnd failed(const QString &error);

    Connection &m_con;
    const Resolution &m_edited;
    PendingSave *m_pending;
    SaveResult m_result;
    Resolution m_base;
    Resolution m_rec;
    QStringList m_numberKeys;
    std::optional<NamedLock> m_numberingLock;
    std::shared_ptr<AttachmentPlacement> m_files;
    std::optional<NamedLock> m_journalLock;
};

SaveResult ResolutionSaver::run()
{
    if (!checkInput())
        return m_result;
    if (m_pending && m_pending->isOpen() && !settleEarlierSave(m_con, *m_pending, m_base, m_rec, m_result))
        return m_result;
    if (!guardNumber() || !prepareFiles())
        return m_result;
    for (int attempt = 1;; ++attempt) {
        if (tryOnce(attempt) != TryEnd::Retry || !renumber())
            return m_result;
    }
}

bool ResolutionSaver::checkInput()
{
    if (!m_rec.date.isValid() || m_rec.date.year() != m_rec.year) {
        m_result.error = u"Érvénytelen dátum."_s;
        return false;
    }
    try {
        Connection::requireStorable(textsToStore(m_rec));
    } catch (const DbError &e) {
        m_result.error = e.message();
        return false;
    }
    m_result.error = tooLongField(m_rec);
    return m_result.error.isEmpty();
}

bool ResolutionSaver::guardNumber()
{
    if (m_rec.id >= 0)
        return true;
    try {
        m_numberKeys = numberingKeys(m_con);
        if (m_numberKeys.isEmpty()) {
            // Nothing in the database refuses a second record with this number: this program's
            // workstations take turns, and each looks whether it is still free.
            m_numberingLock.emplace(m_con, NumberingLockSql(m_rec.year, m_rec.committee), NumberingLockSeconds);
            if (numberTaken(m_con, m_rec))
                m_rec.number = NextResolutionNumber(m_con, m_rec.year, m_rec.committee);
        }
    } catch (const DbError &e) {
        m_result.error = notSavedText(e);
        return false;
    }
    return true;
}

bool ResolutionSaver::prepareFiles()
{
    for (int slot = 1; slot <= AttachmentSlotCount; ++slot) {
        const QString &chosen = m_rec.attachments[slot - 1].chosenPath;
        if (!chosen.isEmpty() && !m_files->prepare(slot, chosen, &m_result.error))
            return false;
    }
    return true;
}

bool ResolutionSaver::renumber()
{
    if (m_rec.id >= 0)
        return true;
    try {
        m_rec.number = NextResolutionNumber(m_con, m_rec.year, m_rec.committee);
    } catch (const DbError &e) {
        m_result.error = notSavedText(e);
        return false;
    }
    return true;
}

ResolutionSaver::TryEnd ResolutionSaver::tryOnce(int attempt)
{
    bool committing = false;
    QString failure;
    bool retry = false;
    try {
        m_con.begin();
        const Written w = writeResolution(m_con, m_base, m_rec);
        placeFiles(m_con, *m_files, m_journalLock, w, m_rec);
        reachStep(SaveStep::FilesPlaced);
        committing = true;
        return commit(w);
    } catch (const DbError &e) {
        failure = notSavedText(e);
        retry = !committing && attempt < MaxSaveAttempts &&
                ((m_rec.id < 0 && isNumberCollision(e, m_numberKeys)) || e.number() == ErLockDeadlock);
    } catch (const CopyFailed &e) {
        failure = e.message;
    } catch (const TooLarge &e) {
        failure = e.message;
    } catch (const RecordGone &) {
        failure = recordGoneMessage();
        m_result.recordGone = true;
    } catch (Collided &c) {
        failure = collisionMessage();
        m_result.collision = std::move(c.collision);
    }
    rollBack();
    return retry ? TryEnd::Retry : failed(failure);
}

ResolutionSaver::TryEnd ResolutionSaver::commit(const Written &w)
{
    const unsigned long session = m_con.threadId();
    try {
        m_con.commit();
    } catch (const DbError &e) {
        if (!e.isConnectionLost())
            throw;
        return settleLostCommit(w, session, e);
    }
    reachStep(SaveStep::Committed);
    m_files->keep();
    reachStep(SaveStep::FilesSettled);
    return saved(w.id);
}

ResolutionSaver::TryEnd ResolutionSaver::settleLostCommit(const Written &w, unsigned long session, const DbError &e)
{
    // Look, never assume.
    PendingSave unsettled{w.id, m_rec.number, w.record, {}, w.check, session, m_files};
    for (int i = 0; i < AttachmentSlotCount; ++i)
        unsettled.chosenPaths[i] = m_rec.attachments[i].chosenPath;
    switch (SettlePendingSave(m_con, unsettled)) {
    case SaveOutcome::Kept: return saved(w.id);
    case SaveOutcome::Dropped: return failed(notSavedText(e));
    case SaveOutcome::Unknown: break;
    }
    if (m_pending)
        *m_pending = unsettled;
    return failed(unsettledMessage());
}

void ResolutionSaver::rollBack()
{
    if (m_con.inTransaction()) {
        try {
            m_con.rollback();
        } catch (const DbError &) {
            // The server rolls back a transaction whose connection is gone.
        }
    }
    m_files->undo();
}

ResolutionSaver::TryEnd ResolutionSaver::saved(int id)
{
    m_result.ok = true;
    m_result.id = id;
    m_result.number = m_rec.number;
    m_result.renumbered = m_rec.number != m_edited.number;
    return TryEnd::Saved;
}

ResolutionSaver::TryEnd ResolutionSaver::failed(const QString &error)
{
    m_result.error = error;
    return TryEnd::Failed;
}

} // namespace

void SetSaveStepHook(std::function<void(SaveStep)> hook)
{
    saveStepHook() = std::move(hook);
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
        // The broken line took the journal's lock with it; another workstation may be settling
        // the same files from the journal right now, or have done so.
        const NamedLock journalLock(con, JournalLockSql(pending.files->journalId()), JournalLockSeconds);
        if (!journalLock.held())
            return SaveOutcome::Unknown;
        if (!pending.files->journalExists())
            pending.files->forget();
        else if (kept)
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
    return ResolutionSaver(con, loaded, edited, documentStore, pending).run();
}
