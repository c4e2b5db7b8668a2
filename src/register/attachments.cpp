#include "attachments.h"

#include "config/documentstore.h"
#include "gui/messagebox.h"
#include "gui/openwithshell.h"

#include <QFileDialog>

using namespace Qt::StringLiterals;

namespace {
AttachmentSeam *g_seam = nullptr;
} // namespace

AttachmentSeam::AttachmentSeam() : m_previous(g_seam)
{
    g_seam = this;
}

AttachmentSeam::~AttachmentSeam()
{
    g_seam = m_previous;
}

bool EnsureDocumentStore(const QString &storePath, QWidget *parent)
{
    const QString problem = DocumentStoreProblem(storePath);
    if (problem.isEmpty() && MakeDocumentStore(storePath))
        return true;
    ShowErrorBox(problem.isEmpty() ? u"Nem létező mentés útvonal: \""_s + storePath + u'"' : problem, parent);
    return false;
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
    const AttachmentCopy copy = CopyAttachmentForViewing(storePath, storedName, sourceName);
    switch (copy.status) {
    case AttachmentCopy::NoAttachment: ShowErrorBox(u"Nincs melléklet létrehozva"_s, parent); return false;
    case AttachmentCopy::UnusableStore: ShowErrorBox(DocumentStoreProblem(storePath), parent); return false;
    case AttachmentCopy::MissingFile: ShowErrorBox(u"Nem létező állomány"_s, parent); return false;
    case AttachmentCopy::Ready: break;
    }
    if (g_seam) {
        g_seam->opened.append(QUrl::fromLocalFile(copy.path));
        return true;
    }
    if (!OpenWithShell(copy.path)) {
        ShowErrorBox(
            u"A(z) \"%1\" állomány nem nyitható meg: nincs program társítva a típusához."_s.arg(copy.name),
            parent);
        return false;
    }
    return true;
}
