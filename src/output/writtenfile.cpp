#include "output/writtenfile.h"

#include "gui/messagebox.h"
#include "gui/openwithshell.h"
#include "output/exporter.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

void OpenWrittenFile(const QString &path)
{
    OpenWithShell(QFileInfo(path).absoluteFilePath());
}

void OfferToOpenWrittenFile(const QString &path, QWidget *owner)
{
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    if (ConfirmBox(FileDoneText(shown) + u"\nMegnyitja?"_s, owner))
        OpenWrittenFile(path);
}
