#include "commandline.h"

#include "backup/commandlinebackup.h"
#include "common/paths.h"
#include "common/version.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;

bool IsCommandLineRun(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        const char *arg = argv[i];
        for (const char *option : {"--backup", "--version", "-v", "--help", "-h", "-?", "--help-all"}) {
            const size_t length = std::strlen(option);
            if (std::strncmp(arg, option, length) == 0 && (arg[length] == '\0' || arg[length] == '='))
                return true;
        }
    }
    return false;
}

int RunCommandLine(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(u"orvanth"_s);
    QCoreApplication::setOrganizationName(u"OrvantH"_s);
    QCoreApplication::setApplicationVersion(QString::fromUtf16(ProgramVersion));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        u"Határozatok könyve.\n"
        "Ablak nélküli biztonsági mentés (ütemezett feladathoz):\n"
        "  orvanth --backup N FILE\n"
        "N a profil száma a beállítási állományban (ConStrN), FILE .sql vagy .zip végű.\n"
        "Kilépési kód: 0 kész, 1 a mentés nem sikerült, 2 hibás profilszám vagy név."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption backup(u"backup"_s, u"A(z) N. profil adatbázisának mentése a FILE állományba."_s,
                                    u"N"_s);
    parser.addOption(backup);
    parser.addPositionalArgument(u"FILE"_s, u"A mentés neve (.sql vagy .zip) a --backup mellett."_s,
                                 u"[--backup N FILE]"_s);
    parser.process(app);

    QTextStream messages(stderr);
    if (!parser.isSet(backup)) {
        messages << parser.helpText();
        return BackupRefused;
    }
    const QStringList files = parser.positionalArguments();
    if (files.size() != 1) {
        messages << u"A --backup után a profil száma és egy állománynév kell: orvanth --backup N FILE"_s
                 << Qt::endl;
        return BackupRefused;
    }
    InitPaths();
    return RunCommandLineBackup(SettingsFilePath(), parser.value(backup), files.constFirst(), messages);
}
