#include "app/program.h"

#include <unistd.h>

#include <QApplication>
#include <QWidget>

#include "app/deploy.h"
#include "app/descriptions.h"
#include "app/fatal_box.h"
#include "app/images.h"
#include "app/listen/listen_window.h"
#include "app/main_window.h"
#include "runtime/fatal.h"
#include "runtime/library.h"
#include "runtime/paths.h"
#include "sound/fields.h"

int ProgramMain(int argc, char** argv) {
    PrepareListenWindow();
    QApplication application(argc, argv);
    SetFatalReporter(ShowFatalErrorBox);
    QApplication::setWindowIcon(PngPixmap(ProgramIconImage));
    // Nothing depends on it succeeding: every path the program uses is absolute.
    [[maybe_unused]] const int changed = chdir(ProgramDirectory().c_str());
    LoadWindowDescriptions();

    RegisterShutdownRoutine(ReleaseSoundFields);
    DeploySkin();
    QWidget* mainWindow = CreateMainWindow();
    if (mainWindow == nullptr) FatalError(0, "载入启动窗口失败");
    mainWindow->show();
    application.exec();

    FreeWindowDescriptions();
    RunShutdownRoutine();
    ReleaseBoundLibraries();
    // No box can be shown once the application object is gone.
    SetFatalReporter(nullptr);
    return 0;
}
