#include "savejournal.h"

#include "attachmentfiles.h"
#include "common/sqltext.h"
#include "config/documentstore.h"
#include "db/connection.h"
#include "db/dberror.h"
#include "db/dbroutines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSaveFile>
#include <QUuid>

using namespace Qt::StringLiterals;

namespace savejournal {

const QString JournalFolderName = u".mentesnaplo"_s;
const QString JournalSuffix = u".json"_s;

QString journalFolder(const QString &store)
{
    return QDir(store).filePath(JournalFolderName);
}

QString journalPath(const QString &store, const QString &id)
{
    return QDir(journalFolder(store)).filePath(id + JournalSuffix);
}

bool isJournalId(const QString &id)
{
    static const QRegularExpression pattern(u"^[0-9a-f]{32}$"_s);
    return pattern.match(id).hasMatch();
}

// A name the journal may move: one file directly in the store, never the journal's folder.
bool isStoreName(const QString &name)
{
    return !name.isEmpty() && BareFileName(name) == name && name != JournalFolderName;
}

QJsonObject toJson(const SaveJournal &j)
{
    QJsonArray files;
    for (const JournalFile &f : j.files) {
        files.append(QJsonObject{{u"slot"_s, f.slot},
                                 {u"target"_s, f.target},
                                 {u"source"_s, f.source},
                                 {u"copy"_s, f.copy},
                                 {u"keptAside"_s, f.keptAside},
                                 {u"hadOld"_s, f.hadOld}});
    }
    return {{u"id"_s, j.id},
            {u"record"_s, j.recordId},
            {u"new"_s, j.newRecord},
            {u"year"_s, j.year},
            {u"committee"_s, j.committee},
            {u"number"_s, j.number},
            {u"files"_s, files}};
}

std::optional<JournalFile> fileFromJson(const QJsonObject &o)
{
    JournalFile f;
    f.slot = o.value(u"slot"_s).toInt();
    f.target = o.value(u"target"_s).toString();
    f.source = o.value(u"source"_s).toString();
    f.copy = o.value(u"copy"_s).toString();
    f.keptAside = o.value(u"keptAside"_s).toString();
    f.hadOld = o.value(u"hadOld"_s).toBool();
    if (f.slot < 1 || f.slot > AttachmentSlotCount || !isStoreName(f.target) || !isStoreName(f.copy) ||
        !isStoreName(f.keptAside))
        return std::nullopt;
    return f;
}

// Whether the record names what the journal's save wrote. A new record is proven by its id and
// its number, which nothing changes later; an edit by the names of its placed files.
bool saveWasKept(Connection &con, const SaveJournal &j)
{
    QString where = u"iktato = %1"_s.arg(j.recordId);
    if (j.newRecord) {
        where += u" AND ev = %1 AND csoport = %2 AND az = %3"_s.arg(j.year).arg(j.committee).arg(j.number);
    } else {
        for (const JournalFile &f : j.files) {
            where += u" AND BINARY %1 <=> BINARY %2 AND BINARY %3 <=> BINARY %4"_s.arg(
                StoredNameColumn(f.slot), SqlQuoted(f.target), SourceNameColumn(f.slot), SqlQuoted(f.source));
        }
    }
    return QueryInt(con, u"SELECT COUNT(*) FROM iktato WHERE "_s + where + u';', 0) > 0;
}

// Puts one file as the record wants it. Every step can be repeated: a settling that stops half
// way is finished by the next one.
void settleFile(const QDir &store, const JournalFile &f, bool kept)
{
    const QString target = store.filePath(f.target);
    const QString copy = store.filePath(f.copy);
    const QString keptAside = store.filePath(f.keptAside);
    if (kept) {
        QFile::remove(keptAside);
    } else if (QFileInfo::exists(keptAside)) {
        // Replaces the new file with the old one in one step.
        MoveStoreFile(keptAside, target);
    } else if (!f.hadOld && !QFileInfo::exists(copy)) {
        // The new file was placed where none was before.
        QFile::remove(target);
    }
    QFile::remove(copy);
}

} // namespace savejournal

QString JournalLockSql(const QString &journalId)
{
    return SqlQuoted(QString(u"orvanth-mentes/"_s + journalId));
}

QString NewJournalId()
{
    return QUuid::createUuid().toString(QUuid::Id128);
}

bool WriteSaveJournal(const QString &store, const SaveJournal &journal, QString *error)
{
    QDir().mkpath(savejournal::journalFolder(store));
    QSaveFile file(savejournal::journalPath(store, journal.id));
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(savejournal::toJson(journal)).toJson()) < 0 ||
        !file.commit()) {
        if (error)
            *error = u"A mentés naplója nem írható: \"%1\" (%2)"_s.arg(file.fileName(), file.errorString());
        return false;
    }
    return true;
}

bool SaveJournalExists(const QString &store, const QString &id)
{
    return QFileInfo::exists(savejournal::journalPath(store, id));
}

void RemoveSaveJournal(const QString &store, const QString &id)
{
    QFile::remove(savejournal::journalPath(store, id));
}

std::optional<SaveJournal> ReadSaveJournal(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > 1 << 20)
        return std::nullopt;
    const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
    SaveJournal j;
    j.id = o.value(u"id"_s).toString();
    j.recordId = o.value(u"record"_s).toInt(-1);
    j.newRecord = o.value(u"new"_s).toBool();
    j.year = o.value(u"year"_s).toInt();
    j.committee = o.value(u"committee"_s).toInt();
    j.number = o.value(u"number"_s).toInt();
    if (!savejournal::isJournalId(j.id) || QFileInfo(path).fileName() != j.id + savejournal::JournalSuffix || j.recordId <= 0)
        return std::nullopt;
    for (const QJsonValue &v : o.value(u"files"_s).toArray()) {
        const std::optional<JournalFile> f = savejournal::fileFromJson(v.toObject());
        if (!f)
            return std::nullopt;
        j.files.append(*f);
    }
    return j;
}

int SettleInterruptedSaves(Connection &con, const QString &store, int recordId)
{
    if (!DocumentStoreProblem(store).isEmpty() || !QFileInfo(savejournal::journalFolder(store)).isDir())
        return 0;
    const QDir folder(savejournal::journalFolder(store));
    int settled = 0;
    try {
        for (const QString &name : folder.entryList({u"*"_s + savejournal::JournalSuffix}, QDir::Files)) {
            const std::optional<SaveJournal> j = ReadSaveJournal(folder.filePath(name));
            if (!j || (recordId != -1 && j->recordId != recordId))
                continue;
            // Held: the save is still running on some workstation, or the server has not yet
            // seen that its workstation died a moment ago; a second is its time to notice.
            if (QueryInt(con, u"SELECT GET_LOCK(%1, 1);"_s.arg(JournalLockSql(j->id)), 0) != 1)
                continue;
            if (SaveJournalExists(store, j->id)) {
                const bool kept = savejournal::saveWasKept(con, *j);
                for (const JournalFile &f : j->files)
                    savejournal::settleFile(QDir(store), f, kept);
                RemoveSaveJournal(store, j->id);
                ++settled;
            }
            con.query(u"SELECT RELEASE_LOCK(%1);"_s.arg(JournalLockSql(j->id)));
        }
    } catch (const DbError &) {
        // The server is away: the journals wait for the next look.
    }
    return settled;
}
