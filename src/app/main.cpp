#include "app/frm_logo.h"
#include "app/frm_main.h"
#include "app/setup.h"
#include "common/paths.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    InitPaths();
    SetUpApplication(app);

    Tfrm_Main window;
    window.show();
    window.placeOnScreen();
    window.applyFontSize();
    ShowSplash();
    return app.exec();
}
