#include <gtest/gtest.h>

#include <QApplication>

#include "TestSupport.h"

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    InstallTestHooks();
    return RUN_ALL_TESTS();
}
