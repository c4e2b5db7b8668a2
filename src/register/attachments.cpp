#include "attachments.h"

#include "gui/messagebox.h"
#include "gui/openwithshell.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QUuid>
#include <filesystem>

using namespace Qt::StringLiterals;

namespace {
AttachmentSeam *g_seam = nullptr;

QString slotSuffix(int slot)
{
    return slot <= 1 ? QString() : QString::number(slot);
}
} // namespace

AttachmentSeam::AttachmentSeam() : m_previous(g_seam)
{
    g_seam = this;
}

AttachmentSeam::~AttachmentSeam()
{
    g_seam = m_previous;
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

bool EnsureDocumentStore(const QString &storePath, QWidget *parent)
{
    if (!storePath.isEmpty() && !QFileInfo(storePath).isDir())
        QDir().mkpath(storePath);
    if (storePath.isEmpty() || !QFileInfo(storePath).isDir()) {
        ShowErrorBox(u"Nem létező mentés útvonal: \""_s + storePath + u'"', parent);
        return false;
    }
    return true;
}

namespace {
// A name in the store that no stored file can have: stored names start with the record id.
QString temporaryName(const QString &folder, const QString &hint)
{
    return QDir(folder).filePath(u"~%1.%2.tmp"_s.arg(hint, QUuid::createUuid().toString(QUuid::Id128)));
}

// Renames within one folder, replacing a file of the new name in one step.
bool moveFile(const QString &from, const QString &to)
{
    std::error_code ec;
    std::filesystem::rename(std::filesystem::path(QFile::encodeName(from).toStdString()),
                            std::filesystem::path(QFile::encodeName(to).toStdString()), ec);
    return !ec;
}
} // namespace

AttachmentPlacement::AttachmentPlacement(QString storePath) : m_store(std::move(storePath)) {}

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

bool AttachmentPlacement::place(int slot, const QString &storedName, QString *error)
{
    Item *it = item(slot);
    Q_ASSERT(it && !it->placed);
    it->target = QDir(m_store).filePath(storedName);
    const auto fail = [&] {
        if (error)
            *error = u"A(z) \"%1\" állomány nem írható."_s.arg(it->target);
        return false;
    };
    const QFileInfo existing(it->target);
    if (existing.exists() || existing.isSymLink()) {
        it->keptAside = temporaryName(m_store, storedName);
        if (!moveFile(it->target, it->keptAside)) {
            it->keptAside.clear();
            return fail();
        }
    }
    if (!moveFile(it->copy, it->target)) {
        if (!it->keptAside.isEmpty() && moveFile(it->keptAside, it->target))
            it->keptAside.clear();
        return fail();
    }
    it->placed = true;
    return true;
}

void AttachmentPlacement::keep()
{
    for (auto &[slot, it] : m_items) {
        if (!it.placed)
            continue;
        if (!it.keptAside.isEmpty())
            QFile::remove(it.keptAside);
        it.keptAside.clear();
    }
    m_items.removeIf([](const std::pair<int, Item> &p) { return p.second.placed; });
}

void AttachmentPlacement::undo()
{
    for (auto &[slot, it] : m_items) {
        if (!it.placed)
            continue;
        // A file that cannot go back to its temporary name must still leave the stored name
        // free for the file it replaced.
        if (!moveFile(it.target, it.copy))
            QFile::remove(it.target);
        if (!it.keptAside.isEmpty() && moveFile(it.keptAside, it.target))
            it.keptAside.clear();
        it.placed = false;
    }
}

QString ChooseAttachmentFile(QWidget *parent)
{
    if (g_seam)
        return g_seam->chooser ? g_seam->chooser() : QString();
    // "*" rather than "*.*": here a file name need not contain a dot.
    return QFileDialog::getOpenFileName(parent, QString(), QString(), u"Minden file (*)"_s);
}

bool ViewAttachment(const QString &storePath, const QString &storedName, const QString &sourceName,
                    QWidget *parent)
{
    const QString stored = BareFileName(storedName);
    if (stored.isEmpty()) {
        ShowErrorBox(u"Nincs melléklet létrehozva"_s, parent);
        return false;
    }
    const QDir store(storePath);
    const QString storedPath = store.filePath(stored);
    if (!QFileInfo(storedPath).isFile()) {
        ShowErrorBox(u"Nem létező állomány"_s, parent);
        return false;
    }
    const QString tmpFolder = store.filePath(u"tmp"_s);
    QDir().mkpath(tmpFolder);
    // The copy's name comes from the database: only its last component is used, so it always
    // lands inside tmp. A name that is no file name falls back to the stored name.
    QString copyName = BareFileName(sourceName);
    if (copyName.isEmpty())
        copyName = stored;
    const QString copyPath = QDir(tmpFolder).filePath(copyName);
    // A copy still open in a viewer may refuse to be replaced; the earlier copy is opened then.
    QFile::remove(copyPath);
    QFile::copy(storedPath, copyPath);
    if (g_seam) {
        g_seam->opened.append(QUrl::fromLocalFile(copyPath));
        return true;
    }
    if (!OpenWithShell(copyPath)) {
        ShowErrorBox(
            u"A(z) \"%1\" állomány nem nyitható meg: nincs program társítva a típusához."_s.arg(copyName),
            parent);
        return false;
    }
    return true;
}
