#include "TestSupport.h"

#include <QCoreApplication>

#include "BusState.h"
#include "Canvas.h"
#include "Main.h"
#include "TestSeams.h"

void MainWindowTest::SetUp() {
    Main::Destroy();
    ResetBusState();
    TestSeams::Current().Reset();
    Main::Instance();
}

void MainWindowTest::TearDown() {
    Main::Destroy();
    QCoreApplication::processEvents();
    TestSeams::Current().Reset();
}

Main& MainWindowTest::window() { return Main::Instance(); }

QImage MainWindowTest::GrabMap() {
    return window().DrawZone()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QImage MainWindowTest::GrabWindow() {
    return window().Content()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

Color SlotCellColor(const QImage& map, int slot) {
    return PixelColor(map, 7 * (slot % 96) + 3, 18 * (slot / 96) + 3);
}

void ExpectOpeningControlSpace(const QImage& map, int freeSlot) {
    EXPECT_EQ(SlotCellColor(map, 0), RGB(0, 180, 0)) << "framing slot 0";
    EXPECT_EQ(SlotCellColor(map, 1), RGB(0, 100, 200)) << "guide slot 1";
    EXPECT_EQ(SlotCellColor(map, 2), RGB(0, 100, 200)) << "guide slot 2";
    EXPECT_EQ(SlotCellColor(map, 3), RGB(0, 255, 0)) << "message slot 3";
    EXPECT_EQ(SlotCellColor(map, 96), RGB(0, 180, 0)) << "framing slot 96";
    EXPECT_EQ(SlotCellColor(map, freeSlot), RGB(200, 200, 200)) << "free slot " << freeSlot;
}
