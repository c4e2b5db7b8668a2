#include "app/setup.h"

#include "app/appevents.h"
#include "app/translations.h"
#include "gui/icons.h"
#include "gui/windowshortcuts.h"

#include <QApplication>
#include <QFont>
#include <QPalette>
#include <QToolTip>

using namespace Qt::StringLiterals;

bool SetUpApplication(QApplication &app)
{
    QApplication::setApplicationName(u"OrvantH"_s);
    QApplication::setOrganizationName(u"OrvantH"_s);

    // The windows are designed with Windows fonts; these are their metric-compatible or
    // closest free relatives.
    QFont::insertSubstitution(u"Arial"_s, u"Liberation Sans"_s);
    QFont::insertSubstitution(u"Courier New"_s, u"Liberation Mono"_s);
    QFont::insertSubstitution(u"Tahoma"_s, u"DejaVu Sans"_s);
    QFont::insertSubstitution(u"Segoe UI"_s, u"DejaVu Sans"_s);
    QApplication::setFont(QFont(u"Segoe UI"_s, 9));

    // Hints on a pale orange background, as the users know them.
    QPalette tip = QToolTip::palette();
    tip.setColor(QPalette::ToolTipBase, QColor(255, 218, 181));
    tip.setColor(QPalette::ToolTipText, Qt::black);
    QToolTip::setPalette(tip);

    // The logo in window frames and the task bar, and the desktop entry the windows belong to.
    QIcon logo;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        logo.addPixmap(LogoPixmap(size));
    QApplication::setWindowIcon(logo);
    QGuiApplication::setDesktopFileName(u"hu.orvanth.iktatas"_s);

    app.installEventFilter(new AppEventFilter(&app));
    app.installEventFilter(new WindowShortcutsFirst(&app));
    return LoadQtTranslations(app);
}
