#include "commandline.h"

#include "backup/commandlinebackup.h"
#include "common/paths.h"
#include "common/version.h"
#include "schema/commandlineupgrade.h"

#include <QCommandLineParser>
#include <QSet>
#include <QCoreApplication>
#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <cstring>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// One line of standard input without its line end. Typed at a terminal it is asked for and not
// echoed; a scheduled job pipes it in. Never an argument: others could read it in the process list.
QString ReadPassword(QTextStream &messages)
{
    termios saved{};
    const bool terminal = isatty(STDIN_FILENO) && tcgetattr(STDIN_FILENO, &saved) == 0;
    if (terminal) {
        messages << u"Jelszó: "_s << Qt::flush;
        termios silent = saved;
        silent.c_lflag &= ~tcflag_t(ECHO);
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    }
    QFile in;
    QByteArray line;
    if (in.open(stdin, QIODevice::ReadOnly))
        line = in.readLine();
    if (terminal) {
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
        messages << Qt::endl;
    }
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromLocal8Bit(line);
}

} // namespace

bool IsCommandLineRun(int argc, char *argv[])
{
    // Every option but the window system's own is ours: the command line answers it, an unknown
    // one with the usage and exit code 2, and no window opens.
    static const QSet<QByteArray> windowSystemOptions{
        "platform", "platformpluginpath", "platformtheme", "plugin",  "qwindowgeometry", "qwindowicon",
        "qwindowtitle", "reverse", "session", "style", "stylesheet", "widgetcount", "display", "geometry",
        "name", "title", "visual", "ncols", "cmap", "nograb", "dograb", "sync", "qmljsdebugger"};
    for (int i = 1; i < argc; ++i) {
        QByteArray arg(argv[i]);
        if (!arg.startsWith('-') || arg == "-")
            continue;
        arg = arg.mid(arg.startsWith("--") ? 2 : 1);
        arg = arg.left(arg.indexOf('='));
        if (!windowSystemOptions.contains(arg))
            return true;
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
        "  orvanth --backup N FILE [--user NÉV]\n"
        "N a profil száma a beállítási állományban (ConStrN), FILE .sql vagy .zip végű.\n"
        "Ha az adatbázis belépést kér, csak rendszergazdája menthet: nevét a --user adja meg,\n"
        "jelszavát a program a standard bemenet első sorából olvassa.\n"
        "Kilépési kód: 0 kész, 1 a mentés nem sikerült, 2 hibás profilszám, név vagy kapcsoló,\n"
        "3 a belépés nem sikerült, vagy a felhasználó nem rendszergazda.\n"
        "Adatbázis bővítése (változásnapló, szerkesztési jelzés, év szerinti index):\n"
        "  orvanth --upgrade N [--user NÉV]\n"
        "ugyanezzel a belépési szabállyal és kilépési kódokkal."_s);
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption backup(u"backup"_s, u"A(z) N. profil adatbázisának mentése a FILE állományba."_s,
                                    u"N"_s);
    parser.addOption(backup);
    const QCommandLineOption upgrade(u"upgrade"_s, u"A(z) N. profil adatbázisának bővítése."_s, u"N"_s);
    parser.addOption(upgrade);
    const QCommandLineOption user(
        u"user"_s, u"Rendszergazda neve, ha az adatbázis belépést kér (jelszava a standard bemenetről)."_s,
        u"NÉV"_s);
    parser.addOption(user);
    parser.addPositionalArgument(u"FILE"_s, u"A mentés neve (.sql vagy .zip) a --backup mellett."_s,
                                 u"[--backup N FILE]"_s);
    QTextStream messages(stderr);
    if (!parser.parse(app.arguments())) {
        messages << u"Hibás parancssor: "_s << parser.errorText() << Qt::endl << Qt::endl << parser.helpText();
        return BackupRefused;
    }
    if (parser.isSet(u"help"_s) || parser.isSet(u"help-all"_s))
        parser.showHelp(0);
    if (parser.isSet(u"version"_s))
        parser.showVersion();
    if (parser.isSet(upgrade)) {
        if (parser.isSet(backup) || !parser.positionalArguments().isEmpty()) {
            messages << u"Az --upgrade után csak a profil száma áll (és a --user): orvanth --upgrade N"_s << Qt::endl;
            return BackupRefused;
        }
        InitPaths();
        const BackupLogin login{parser.value(user), [&messages] { return ReadPassword(messages); }};
        return RunCommandLineUpgrade(SettingsFilePath(), parser.value(upgrade), login, messages);
    }
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
    const BackupLogin login{parser.value(user), [&messages] { return ReadPassword(messages); }};
    return RunCommandLineBackup(SettingsFilePath(), parser.value(backup), files.constFirst(), login,
                                messages);
}
