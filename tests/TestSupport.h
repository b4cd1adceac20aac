#pragma once
#include <gtest/gtest.h>

#include <QImage>
#include <ostream>
#include <QString>
#include <QStringList>

#include "Channel.h"
#include "Color.h"
#include "FileDialogs.h"

class Main;

// Every message box a test raised, in order; cleared by each fixture.
QStringList& RecordedMessages();

// Every file dialog a test raised, in order; cleared by each fixture.
QList<FileDialogRequest>& RecordedFileDialogs();
// The file that the following file dialogs choose; an empty path cancels
// them, which is what they do unless a test says otherwise.
void ChooseFileInDialogs(const QString& path);

// Replaces the modal dialogs with recorders and sends the main window's socket
// to a folder of this test program (called once by the test main).
void InstallTestHooks();

// The path the main window's socket listens on in tests, never the product's.
QString TestSocketPath();
// Restores that path after a test redirected the socket elsewhere.
void UseTestSocketPath();

// Starts every test from start-up: program-wide state reset and a freshly
// built main window, which the test may destroy again.
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    Main& main();
    // The canvas's pixels as the user sees them.
    QImage GrabMap();
    // The whole window's pixels.
    QImage GrabWindow();
};

Color PixelColor(const QImage& image, int x, int y);
// The colour inside slot s's cell of a map picture.
Color SlotCellColor(const QImage& map, int slot);
// Expects the map to show the control space of the subframe mode a window
// opens with (4 control slots in every 32): framing, guide, guide and message
// in slots 0 to 3, and the data colour in the free slot `freeSlot`.
void ExpectOpeningControlSpace(const QImage& map, int freeSlot);
void PrintTo(const Color& color, std::ostream* os);
void PrintTo(const Channel& channel, std::ostream* os);
