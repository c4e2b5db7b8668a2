#include "paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

struct Paths
{
    QString programFolder;
    QString dataFolder;
    QString settingsFile;
    bool initialised = false;
};

Paths &paths()
{
    static Paths p;
    return p;
}

QString WithoutTrailingSlash(QString path)
{
    while (path.size() > 1 && path.endsWith(u'/'))
        path.chop(1);
    return path;
}

QString ExecutableFolder()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    // Before the application object exists Qt cannot tell; the kernel can.
    return QFileInfo(u"/proc/self/exe"_s).canonicalFilePath().section(u'/', 0, -2);
}

const Paths &initialised()
{
    if (!paths().initialised)
        InitPaths();
    return paths();
}

} // namespace

QString ChooseDataFolder(const QString &programFolder, bool iniInProgramFolder, const QString &commonAppData)
{
    if (iniInProgramFolder || commonAppData.isEmpty())
        return programFolder;
    return WithoutTrailingSlash(commonAppData) + u"/OrvantH"_s;
}

void InitPaths(const QString &programFolder)
{
    Paths &p = paths();
    p.programFolder = WithoutTrailingSlash(
        QDir::fromNativeSeparators(programFolder.isEmpty() ? ExecutableFolder() : programFolder));
    const bool iniHere = QFileInfo::exists(p.programFolder + u"/OrvantH.ini"_s);
    p.dataFolder = ChooseDataFolder(p.programFolder, iniHere, CommonAppDataPath());
    p.settingsFile = p.dataFolder + u"/OrvantH.ini"_s;
    p.initialised = true;
}

QString ProgramFolder()
{
    return initialised().programFolder;
}

QString CommonAppDataPath()
{
    return WithoutTrailingSlash(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
}

QString DocumentsPath()
{
    // Many Linux accounts have no documents folder: it is made, and where it cannot be (a file
    // in its place, no right to), the home folder serves.
    const QString documents =
        WithoutTrailingSlash(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation));
    if (!documents.isEmpty() && (QFileInfo(documents).isDir() || QDir().mkpath(documents)))
        return documents;
    return WithoutTrailingSlash(QDir::homePath());
}

QString DataFolder()
{
    return initialised().dataFolder;
}

QString SettingsFilePath()
{
    return initialised().settingsFile;
}

