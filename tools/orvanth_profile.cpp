// Adds a connection profile to a settings file exactly as the program stores it, so scripts
// (the demo) never carry a second copy of the scrambling.
//
//   orvanth-profile SETTINGS_FILE "database;host;port;user;password;display name"

#include "config/conprofile.h"
#include "config/inifile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <cstdio>
#include <exception>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr,
                     "usage: orvanth-profile SETTINGS_FILE \"database;host;port;user;password;name\"\n");
        return 2;
    }
    const QString path = args.at(1);
    QDir().mkpath(QFileInfo(path).absolutePath());
    try {
        IniFile ini(path);
        const int number = AddConnectionProfile(ini, args.at(2));
        if (number == 0) {
            std::fprintf(stderr, "%s: every profile key is taken\n", qPrintable(path));
            return 1;
        }
        std::printf("%s: ConStr%d = \"%s\"\n", qPrintable(path), number, qPrintable(args.at(2)));
    } catch (const std::exception &error) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(path), error.what());
        return 1;
    }
    return 0;
}
