#include "app/helpaddresses.h"

#include "app/mainactions.h"
#include "common/makerinfo.h"
#include "gui/messagebox.h"
#include "gui/openwithshell.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

QString GuidePathBeside(const QString &programFolder)
{
    const QString guide = QDir(programFolder).absoluteFilePath(u"../share/orvanth/help/index.html"_s);
    return QFileInfo::exists(guide) ? QDir::cleanPath(guide) : QString();
}

QString InstalledGuidePath()
{
    // Found from the program's own place, so an install under any prefix and the build tree
    // (build/src/orvanth, build/share/...) both work.
    return GuidePathBeside(QCoreApplication::applicationDirPath());
}

void ShowMakerActions(MainActions &actions, const MakerInfo &maker)
{
    actions.action(MainAction::HomePage)->setVisible(!HomePageAddress(maker.homePage).isEmpty());
    actions.action(MainAction::Mail)->setVisible(!MailLink(maker.mail).isEmpty());
}

void OpenHelp(QWidget *owner)
{
    const QString target = HelpTarget(InstalledGuidePath(), BuiltInMakerInfo().docsUrl);
    if (target.isEmpty()) {
        ShowInfoBox(u"A súgó nincs telepítve."_s, owner);
        return;
    }
    OpenWithShell(target);
}
