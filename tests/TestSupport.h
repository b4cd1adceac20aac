#pragma once
// What the window tests share, beyond what every test program does.
#include <gtest/gtest.h>

#include <QImage>

#include "ChannelPrinter.h"
#include "Color.h"
#include "CoreTestSupport.h"

class Main;

// Starts every test from start-up: program-wide state reset and a freshly
// built main window, which the test may destroy again.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The main window as it is now (built again after a test destroyed it).
    Main& window();
    // The canvas's pixels as the user sees them.
    QImage GrabMap();
    // The whole window's pixels.
    QImage GrabWindow();
};

// The colour inside slot s's cell of a map picture.
Color SlotCellColor(const QImage& map, int slot);
// Expects the map to show the control space of the subframe mode a window
// opens with (4 control slots in every 32): framing, guide, guide and message
// in slots 0 to 3, and the data colour in the free slot `freeSlot`.
void ExpectOpeningControlSpace(const QImage& map, int freeSlot);
