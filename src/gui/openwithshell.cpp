#include "gui/openwithshell.h"

#include "common/paths.h"

#include <QDesktopServices>
#include <QDir>

using namespace Qt::StringLiterals;

QUrl ShellTargetUrl(const QString &target)
{
    static const QStringList schemes{u"http:"_s, u"https:"_s, u"mailto:"_s, u"file:"_s, u"ftp:"_s};
    for (const QString &scheme : schemes) {
        if (target.startsWith(scheme, Qt::CaseInsensitive))
            return QUrl(target, QUrl::TolerantMode);
    }
    // A file name may hold '#', '?' or '%', which must not be read as parts of an address.
    const QString path = QDir(ProgramFolder()).absoluteFilePath(target);
    return QUrl::fromLocalFile(QDir::cleanPath(path));
}

void OpenWithShell(const QString &target)
{
    if (target.isEmpty())
        return;
    QDesktopServices::openUrl(ShellTargetUrl(target));
}
