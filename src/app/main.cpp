#include "app/application.h"
#include "app/frm_main.h"
#include "app/setup.h"
#include "common/paths.h"

int main(int argc, char *argv[])
{
    OrvanthApplication app(argc, argv);
    InitPaths();
    SetUpApplication(app);

    Tfrm_Main window;
    if (window.startUp() == StartupOutcome::Quit)
        return 0;
    window.show();
    return app.exec();
}
