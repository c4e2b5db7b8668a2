#include "attachments.h"

#include "gui/messagebox.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>

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

bool CopyIntoDocumentStore(const QString &sourcePath, const QString &storePath, const QString &storedName,
                           QString *error)
{
    const QString target = QDir(storePath).filePath(storedName);
    // Copy under a temporary name first, so a failed copy leaves the earlier file whole.
    const QString part = target + u".part"_s;
    QFile::remove(part);
    QFile source(sourcePath);
    if (!source.copy(part)) {
        if (error)
            *error = u"A(z) \"%1\" állomány nem másolható ide: \"%2\" (%3)"_s.arg(sourcePath, target,
                                                                                  source.errorString());
        return false;
    }
    QFile::remove(target);
    if (!QFile::rename(part, target)) {
        QFile::remove(part);
        if (error)
            *error = u"A(z) \"%1\" állomány nem írható."_s.arg(target);
        return false;
    }
    return true;
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
    const QUrl url = QUrl::fromLocalFile(copyPath);
    if (g_seam) {
        g_seam->opened.append(url);
        return true;
    }
    return QDesktopServices::openUrl(url);
}
