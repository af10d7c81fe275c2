#include "tests/app/gui_test_main.h"

#include <gtest/gtest.h>

#include <QApplication>

#include "app/deploy.h"
#include "app/descriptions.h"
#include "app/listen/listen_window.h"
#include "runtime/library.h"
#include "tests/app/data_home.h"

int RunWindowTests(int argc, char** argv, bool deploySkin) {
    testing::InitGoogleTest(&argc, argv);
    TemporaryDataHome dataHome;
    PrepareListenWindow();
    QApplication application(argc, argv);
    // Each test closes the windows it opened; that must not end the run.
    QApplication::setQuitOnLastWindowClosed(false);
    LoadWindowDescriptions();
    if (deploySkin) DeploySkin();
    const int result = RUN_ALL_TESTS();
    FreeWindowDescriptions();
    ReleaseBoundLibraries();
    return result;
}
