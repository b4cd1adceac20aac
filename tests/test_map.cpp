// The main window's painters, drawing its map layers from its own state.
#include <gtest/gtest.h>

#include "ControlLayer.h"
#include "Main.h"
#include "MapPictures.h"
#include "Module1.h"
#include "TestSupport.h"

using namespace MapPainters;
using namespace MapPictures;

namespace {
class MainPaintersTest : public MainWindowTest {};

TEST_F(MainPaintersTest, PaintWithTheWindowsState) {
    Module1::iControlSize = 4;
    Module1::iSubFrameLength = 32;
    Module1::iRootFrequency = kRoot24576kHz;
    Module1::iClockGear = kGear10;
    Module1::BuildSlotMap();
    Main& m = window();
    m.MessageStart = 0;
    m.MessageLength = 2;
    m.MessageType = 0;
    const Picture control = m.DrawControlSlot(1, 64);
    EXPECT_EQ(Differences(control, PaintControlLayer(Module1::SuperFrameSlot, {0, 2, 0}, 1, 64)),
              0);
    EXPECT_EQ(At(control, Left(3) + 3, Top(3) + 5), kBand);

    Channel& channel = *m.ChannelRecord(3);
    channel.Status = 1;
    channel.SegmentDistribution = 3208;
    channel.SegmentLength = 4;
    channel.BoxColor = RGB(255, 127, 80);
    channel.TransportProtocol = 1;
    channel.PresenceRate = 1;
    channel.Rate = 48000;
    Channel& unrated = *m.ChannelRecord(4);
    unrated.Status = 1;
    unrated.SegmentDistribution = 3210;
    unrated.SegmentLength = 2;
    unrated.TransportProtocol = 1;
    unrated.PresenceRate = 1;  // rate 0: would make the divisor complain
    const Picture channels = m.DrawChannelSlot(control);
    EXPECT_EQ(Module1::SuperFrameSlot[8], 3);
    EXPECT_EQ(Module1::SuperFrameSlot[10], 4);
    EXPECT_EQ(Module1::SuperFrameSlot[392], 3);
    EXPECT_EQ(CellColour(channels, 8), RGB(255, 127, 80));
    EXPECT_EQ(DotColour(channels, 8), kEmptyDot);
    EXPECT_EQ(DotColour(channels, 392), RGB(255, 127, 80));

    m.ErrorStart = 200;
    m.ErrorLength = 1;
    m.SyncError = 1;
    const Picture errors = m.DrawErrorSlot(channels);
    for (int slot : {0, 200, 201}) ExpectCell(errors, slot, kRed);
    const Picture pointer = m.DrawMobileSlot(2, 1, errors);
    EXPECT_EQ(At(pointer, 15, 19), kRed);
    EXPECT_EQ(Differences(pointer, errors), 2 * 8 + 2 * 15);
    // Every layer is a new picture: the ones below are unchanged.
    EXPECT_EQ(CellColour(control, 8), kData);
    EXPECT_EQ(CellColour(channels, 200), RGB(185, 185, 185));
    EXPECT_TRUE(RecordedMessages().isEmpty()) << RecordedMessages().join("; ").toStdString();
}
}  // namespace
