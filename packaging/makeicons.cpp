// Writes the program logo as PNG files for the desktop's icon theme, one per size, so that the
// installed icons are the very picture the program draws.
#include "gui/icons.h"

#include <QDir>
#include <QGuiApplication>

using namespace Qt::StringLiterals;

int main(int argc, char *argv[])
{
    // One image pixel per icon pixel, whatever the environment asks of the screens.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qunsetenv("QT_SCALE_FACTOR");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QDir out(args.at(1));
    for (qsizetype i = 2; i < args.size(); ++i) {
        const int size = args.at(i).toInt();
        const QString folder = u"%1x%1/apps"_s.arg(size);
        if (size <= 0 || !out.mkpath(folder) ||
            !LogoPixmap(size).save(out.filePath(folder + u"/hu.orvanth.iktatas.png"_s)))
            return 1;
    }
    return 0;
}
