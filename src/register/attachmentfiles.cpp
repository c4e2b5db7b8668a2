#include "attachmentfiles.h"

#include "config/documentstore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <filesystem>

using namespace Qt::StringLiterals;

namespace {

QString slotSuffix(int slot)
{
    return slot <= 1 ? QString() : QString::number(slot);
}

// A name in the store that no stored file can have: stored names start with the record id.
QString temporaryName(const QString &folder, const QString &hint)
{
    return QDir(folder).filePath(u"~%1.%2.tmp"_s.arg(hint, QUuid::createUuid().toString(QUuid::Id128)));
}

} // namespace

bool MoveStoreFile(const QString &from, const QString &to)
{
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(from).toStdString()),
                            std::filesystem::path(QFile::encodeName(to).toStdString()), ec);
    return !ec;
}

QString StoredNameColumn(int slot)
{
    return u"filenev"_s + slotSuffix(slot);
}

QString SourceNameColumn(int slot)
{
    return u"origfilenev"_s + slotSuffix(slot);
}

QString StoredAttachmentName(qint64 recordId, int slot, const QString &sourceFileName)
{
    const QString name = BareFileName(sourceFileName);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString extension = dot < 0 ? QString() : name.mid(dot);
    return u"%1-%2"_s.arg(recordId, 7, 10, QChar(u'0')).arg(slot) + extension;
}

QString BareFileName(const QString &name)
{
    const qsizetype cut = std::max(name.lastIndexOf(u'/'), name.lastIndexOf(u'\\'));
    const QString bare = name.mid(cut + 1);
    if (bare == u"."_s || bare == u".."_s)
        return {};
    return bare;
}

bool MakeDocumentStore(const QString &storePath)
{
    if (!DocumentStoreProblem(storePath).isEmpty())
        return false;
    if (!QFileInfo(storePath).isDir())
        QDir().mkpath(storePath);
    return QFileInfo(storePath).isDir();
}

AttachmentCopy CopyAttachmentForViewing(const QString &storePath, const QString &storedName,
                                        const QString &sourceName)
{
    AttachmentCopy copy;
    const QString stored = BareFileName(storedName);
    if (stored.isEmpty())
        return copy;
    if (!DocumentStoreProblem(storePath).isEmpty()) {
        copy.status = AttachmentCopy::UnusableStore;
        return copy;
    }
    const QDir store(storePath);
    const QString storedPath = store.filePath(stored);
    if (!QFileInfo(storedPath).isFile()) {
        copy.status = AttachmentCopy::MissingFile;
        return copy;
    }
    const QString tmpFolder = store.filePath(u"tmp"_s);
    QDir().mkpath(tmpFolder);
    // The copy's name comes from the database: only its last component is used, so it always
    // lands inside tmp. A name that is no file name falls back to the stored name.
    copy.name = BareFileName(sourceName);
    if (copy.name.isEmpty())
        copy.name = stored;
    copy.path = QDir(tmpFolder).filePath(copy.name);
    // A copy still open in a viewer may refuse to be replaced; the earlier copy is opened then.
    QFile::remove(copy.path);
    QFile::copy(storedPath, copy.path);
    copy.status = AttachmentCopy::Ready;
    return copy;
}

AttachmentPlacement::AttachmentPlacement(QString storePath)
    : m_store(std::move(storePath)), m_journalId(NewJournalId())
{
}

AttachmentPlacement::~AttachmentPlacement()
{
    for (const auto &[slot, it] : std::as_const(m_items)) {
        if (!it.placed)
            QFile::remove(it.copy);
    }
}

AttachmentPlacement::Item *AttachmentPlacement::item(int slot)
{
    for (auto &[s, it] : m_items) {
        if (s == slot)
            return &it;
    }
    return nullptr;
}

bool AttachmentPlacement::prepare(int slot, const QString &sourcePath, QString *error)
{
    // A relative store would take the copy into the current folder.
    const QString problem = DocumentStoreProblem(m_store);
    if (!problem.isEmpty()) {
        if (error)
            *error = problem;
        return false;
    }
    Item it;
    it.copy = temporaryName(m_store, u"uj"_s);
    QFile source(sourcePath);
    if (!source.copy(it.copy)) {
        QFile::remove(it.copy);
        if (error)
            *error = u"A(z) \"%1\" állomány nem másolható a mentés útvonalra: \"%2\" (%3)"_s.arg(
                sourcePath, m_store, source.errorString());
        return false;
    }
    m_items.append({slot, it});
    return true;
}

void AttachmentPlacement::plan(int slot, const QString &storedName, const QString &sourceName)
{
    Item *it = item(slot);
    Q_ASSERT(it && !it->placed);
    it->target = QDir(m_store).filePath(storedName);
    it->source = sourceName;
    it->keptAside = temporaryName(m_store, storedName);
    const QFileInfo existing(it->target);
    it->hadOld = existing.exists() || existing.isSymLink();
}

bool AttachmentPlacement::writeJournal(SaveJournal journal, QString *error)
{
    journal.id = m_journalId;
    journal.files.clear();
    for (const auto &[slot, it] : std::as_const(m_items)) {
        journal.files.append({slot, QFileInfo(it.target).fileName(), it.source, QFileInfo(it.copy).fileName(),
                              QFileInfo(it.keptAside).fileName(), it.hadOld});
    }
    return WriteSaveJournal(m_store, journal, error);
}

bool AttachmentPlacement::journalExists() const
{
    return SaveJournalExists(m_store, m_journalId);
}

bool AttachmentPlacement::place(int slot, QString *error)
{
    Item *it = item(slot);
    Q_ASSERT(it && !it->placed && !it->target.isEmpty());
    const auto fail = [&] {
        if (error)
            *error = u"A(z) \"%1\" állomány nem írható."_s.arg(it->target);
        return false;
    };
    const QFileInfo existing(it->target);
    const bool replaces = existing.exists() || existing.isSymLink();
    if (replaces && !MoveStoreFile(it->target, it->keptAside))
        return fail();
    if (!MoveStoreFile(it->copy, it->target)) {
        if (replaces)
            MoveStoreFile(it->keptAside, it->target);
        return fail();
    }
    it->placed = true;
    return true;
}

void AttachmentPlacement::keep()
{
    for (auto &[slot, it] : m_items) {
        if (it.placed)
            QFile::remove(it.keptAside);
    }
    m_items.removeIf([](const std::pair<int, Item> &p) { return p.second.placed; });
    removeJournalWhenSettled();
}

void AttachmentPlacement::undo()
{
    for (auto &[slot, it] : m_items) {
        if (!it.placed)
            continue;
        // A file that cannot go back to its temporary name must still leave the stored name
        // free for the file it replaced.
        if (!MoveStoreFile(it.target, it.copy))
            QFile::remove(it.target);
        if (QFileInfo::exists(it.keptAside))
            MoveStoreFile(it.keptAside, it.target);
        it.placed = false;
    }
    removeJournalWhenSettled();
}

void AttachmentPlacement::forget()
{
    m_items.clear();
}

void AttachmentPlacement::removeJournalWhenSettled()
{
    // Copies waiting for another try are not in the store under any name a record gives.
    RemoveSaveJournal(m_store, m_journalId);
}
