#include <gtest/gtest.h>

#include <QApplication>

#include "App.h"
#include "MenuBar1.h"
#include "TestSupport.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    InstallTestHooks();
    // The application object and its menu bar, as start-up makes them.
    App::Instance().SetMenuBar(&MenuBar1::Instance());
    const int result = RUN_ALL_TESTS();
    App::Destroy();
    return result;
}
