#include "app/application.h"
#include "app/commandline.h"
#include "app/frm_main.h"
#include "app/setup.h"
#include "common/paths.h"
#include "db/resultset.h"

int main(int argc, char *argv[])
{
    KeepLargeBlocksMapped();
    // A scheduled backup runs without a window system.
    if (IsCommandLineRun(argc, argv))
        return RunCommandLine(argc, argv);
    OrvanthApplication app(argc, argv);
    InitPaths();
    SetUpApplication(app);

    Tfrm_Main window;
    if (window.startUp() == StartupOutcome::Quit)
        return 0;
    window.show();
    return app.exec();
}
