#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFocusEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <limits>
#include <vector>

#include "BusFigures.h"
#include "Canvas.h"
#include "ChannelFigures.h"
#include "ChannelListFixture.h"
#include "Label.h"
#include "Listbox.h"
#include "Main.h"
#include "Module1.h"
#include "PopupMenu.h"
#include "PushButton.h"
#include "TestSupport.h"
#include "Text.h"

namespace {
constexpr int32_t k24576 = 24576000;
constexpr int32_t k225792 = 22579200;
constexpr int32_t kCode128Offset8 = 3208;  // segment interval 128, offset 8
const char* const kLabels[] = {"SL", "SD", "TP", "FL", "PR", "AF", "CL", "DT", "DL"};
}  // namespace

// ---------------------------------------------------------------------------
// The main window, driven through its widgets.

using ChannelsTest = ChannelListFixture;

TEST_F(ChannelsTest, OpensWithDefaultRowsAndFigures) {
    EXPECT_EQ(window().RootFrequencyPopup()->ListIndex(), 1);
    EXPECT_EQ(window().ClockGearPopup()->ListIndex(), 10);
    EXPECT_EQ(window().SubFrameModePopup()->ListIndex(), 19);
    EXPECT_EQ(window().BusFrequencyText()->Text(), "24.576");
    EXPECT_EQ(window().ControlBWText()->Text(), "2784");
    EXPECT_EQ(Module1::iRootFrequency, k24576);
    EXPECT_EQ(Module1::iClockGear, 10);
    EXPECT_EQ(Module1::iControlSize, 4);
    EXPECT_EQ(Module1::iSubFrameLength, 32);
    EXPECT_EQ(list().ListCount(), 0);
    EXPECT_FALSE(KillEnabled());
}

TEST_F(ChannelsTest, RootFrequencyChosenByKeyboard) {
    MarkCanvas();
    const QImage before = GrabMap();
    PopupMenu* popup = window().RootFrequencyPopup();
    popup->setFocus();
    QTest::keyClick(popup, Qt::Key_Down);
    EXPECT_EQ(popup->ListIndex(), 2);
    EXPECT_EQ(Module1::iRootFrequency, k225792);
    EXPECT_EQ(window().BusFrequencyText()->Text(), "22.579") << "truncated, not rounded";
    EXPECT_EQ(window().ControlBWText()->Text(), "2557.8");
    EXPECT_EQ(GrabMap(), before) << "a root frequency change draws nothing";
}

TEST_F(ChannelsTest, SubFrameModeSetsControlBandwidthOnly) {
    struct Case {
        int row;
        const char* kbps;
    };
    for (const Case c : {Case{0, "24288"}, Case{3, "480"}, Case{31, "18144"}, Case{1, "2784"},
                         Case{14, "2784"}, Case{19, "2784"}}) {
        window().BusFrequencyText()->SetText("untouched");
        window().SubFrameModePopup()->SetListIndex(c.row);
        EXPECT_EQ(window().ControlBWText()->Text(), c.kbps) << c.row;
        EXPECT_EQ(window().BusFrequencyText()->Text(), "untouched") << c.row;
    }
    window().SubFrameModePopup()->SetListIndex(7);
    EXPECT_EQ(Module1::iControlSize, 1);
    EXPECT_EQ(Module1::iSubFrameLength, 32);
    EXPECT_EQ(Module1::SuperFrameSlot[0], Module1::kControlSpace);
    EXPECT_EQ(Module1::SuperFrameSlot[1], Module1::kFreeSlot);
    EXPECT_EQ(Module1::SuperFrameSlot[32], Module1::kControlSpace);
}

TEST_F(ChannelsTest, InvalidSettingsShowQuestionMarksUntilAValidRowReturns) {
    AddChannels(1);
    record(0).SegmentDistribution = kCode128Offset8;
    record(0).SegmentLength = 4;
    window().DisplayChannelRate();
    struct Case {
        PopupMenu* popup;
        int invalidRow, validRow;
    };
    for (const Case c :
         {Case{window().RootFrequencyPopup(), 0, 1}, Case{window().RootFrequencyPopup(), 10, 1},
          Case{window().RootFrequencyPopup(), 15, 1}, Case{window().ClockGearPopup(), 0, 10},
          Case{window().ClockGearPopup(), 11, 10}, Case{window().ClockGearPopup(), 15, 10}}) {
        c.popup->SetListIndex(c.invalidRow);
        EXPECT_EQ(window().BusFrequencyText()->Text(), "???") << c.invalidRow;
        EXPECT_EQ(window().ControlBWText()->Text(), "???") << c.invalidRow;
        EXPECT_EQ(list().Cell(0, 2), "??? kHz") << c.invalidRow;
        EXPECT_EQ(list().Cell(0, 3), "??? kbps") << c.invalidRow;
        EXPECT_EQ(record(0).Rate, 48000.0) << "the record keeps its figures";

        // While invalid, a subframe mode change shows "???" for its own label only.
        PopupMenu* mode = window().SubFrameModePopup();
        mode->SetListIndex(mode->ListIndex() == 0 ? 19 : 0);
        EXPECT_EQ(window().ControlBWText()->Text(), "???");
        window().SubFrameModePopup()->SetListIndex(19);

        c.popup->SetListIndex(c.validRow);
        EXPECT_EQ(window().BusFrequencyText()->Text(), "24.576");
        EXPECT_EQ(window().ControlBWText()->Text(), "2784");
        EXPECT_EQ(list().Cell(0, 2), "48kHz");
        EXPECT_EQ(list().Cell(0, 3), "768kbps");
    }
}

TEST_F(ChannelsTest, BusFrequencyAndClockGearChangesNeverRedrawTheMap) {
    AddChannels(2);
    MarkCanvas();
    const QImage before = GrabMap();
    const qint64 controlLayer = window().ControlSlotBuffer.Image().cacheKey();
    const qint64 channelLayer = window().ChannelSlotBuffer.Image().cacheKey();
    for (int row : {2, 0, 9, 1}) window().RootFrequencyPopup()->SetListIndex(row);
    for (int row : {9, 0, 14, 10}) window().ClockGearPopup()->SetListIndex(row);
    EXPECT_EQ(GrabMap(), before);
    EXPECT_EQ(window().ControlSlotBuffer.Image().cacheKey(), controlLayer);
    EXPECT_EQ(window().ChannelSlotBuffer.Image().cacheKey(), channelLayer);
}

TEST_F(ChannelsTest, SubFrameModeChangeRedrawsTheLayers) {
    // Empty list: the control-space layer alone.
    window().SubFrameModePopup()->SetListIndex(0);
    MarkCanvas();
    window().SubFrameModePopup()->SetListIndex(19);
    ExpectOpeningControlSpace(GrabMap(), 8);
    EXPECT_EQ(GrabMap(), window().ControlSlotBuffer.Image());
    EXPECT_TRUE(window().ChannelSlotBuffer.IsNil()) << "no channel layer without rows";

    // With rows: the channel layer on top, channel 0's segment in slots 8 to
    // 11 of every 128.
    AddChannels(1);
    record(0).SegmentDistribution = kCode128Offset8;
    record(0).SegmentLength = 4;
    window().SubFrameModePopup()->SetListIndex(0);
    MarkCanvas();
    window().SubFrameModePopup()->SetListIndex(19);
    ASSERT_FALSE(window().ChannelSlotBuffer.IsNil());
    const QImage map = GrabMap();
    EXPECT_EQ(map, window().ChannelSlotBuffer.Image());
    ExpectOpeningControlSpace(map, 12);
    for (int slot : {8, 11, 136, 139})
        EXPECT_EQ(SlotCellColor(map, slot), window().ColorMap[0]) << "slot " << slot;
}

TEST_F(ChannelsTest, LeavingSubFrameModeRebuildsTheSlotMapOnly) {
    MarkCanvas();
    const QImage before = GrabMap();
    Module1::SuperFrameSlot[5] = 7;
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    window().SubFrameModePopup()->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(Module1::SuperFrameSlot[5], 7);
    QTest::keyClick(window().SubFrameModePopup(), Qt::Key_Tab);  // on to the canvas
    ASSERT_FALSE(window().SubFrameModePopup()->hasFocus());
    EXPECT_EQ(Module1::SuperFrameSlot[5], Module1::kFreeSlot);
    EXPECT_EQ(GrabMap(), before);
}

TEST_F(ChannelsTest, ChannelRatesFollowTheBus) {
    AddChannels(1);
    EXPECT_EQ(list().Cell(0, 2), "0kHz");
    EXPECT_EQ(list().Cell(0, 3), "0kbps");

    record(0).SegmentDistribution = kCode128Offset8;
    record(0).SegmentLength = 4;
    window().RootFrequencyPopup()->SetListIndex(2);
    EXPECT_EQ(list().Cell(0, 2), "44.1kHz");
    EXPECT_EQ(list().Cell(0, 3), "705.6kbps");
    window().RootFrequencyPopup()->SetListIndex(1);
    EXPECT_EQ(list().Cell(0, 2), "48kHz");
    EXPECT_EQ(list().Cell(0, 3), "768kbps");
    EXPECT_EQ(record(0).Rate, 48000.0);
    EXPECT_EQ(record(0).Bandwidth, 768000.0);
    window().ClockGearPopup()->SetListIndex(9);
    EXPECT_EQ(list().Cell(0, 2), "24kHz");
    EXPECT_EQ(list().Cell(0, 3), "384kbps");

    // The parameter rows of an expanded channel keep their cells.
    list().SetExpanded(0, true);
    ASSERT_EQ(list().ListCount(), 10);
    window().ClockGearPopup()->SetListIndex(10);
    EXPECT_EQ(list().Cell(0, 2), "48kHz");
    EXPECT_EQ(list().Cell(1, 2), "4");
    EXPECT_EQ(list().Cell(2, 2), "3208");
    EXPECT_EQ(list().Cell(1, 3), "");
}

TEST_F(ChannelsTest, CodesWithoutIntervalKeepTheStoredFigures) {
    AddChannels(1);
    record(0).SegmentDistribution = kCode128Offset8;
    record(0).SegmentLength = 4;
    window().RootFrequencyPopup()->SetListIndex(2);
    ASSERT_EQ(list().Cell(0, 2), "44.1kHz");
    for (int32_t code : {0, 4096, 5000}) {
        record(0).SegmentDistribution = code;
        window().RootFrequencyPopup()->SetListIndex(1);
        window().RootFrequencyPopup()->SetListIndex(2);
        EXPECT_EQ(record(0).Rate, 44100.0) << code;
        EXPECT_EQ(record(0).Bandwidth, 705600.0) << code;
        EXPECT_EQ(list().Cell(0, 2), "44.1kHz") << code;
        EXPECT_EQ(list().Cell(0, 3), "705.6kbps") << code;
    }
}

TEST_F(ChannelsTest, AddAndKillReuseTheLowestFreeId) {
    MarkCanvas();
    const QImage before = GrabMap();
    AddChannels(1);
    EXPECT_EQ(Column(0), QStringList{"0"});
    EXPECT_EQ(record(0).Status, 1);
    EXPECT_EQ(record(0).BoxColor, RGB(155, 55, 223));
    EXPECT_EQ(GrabMap(), before) << "adding draws nothing";
    EXPECT_EQ(list().ListIndex(), -1) << "adding selects nothing";

    AddChannels(5);
    ClickRow(3);
    ASSERT_EQ(list().ListIndex(), 3);
    ASSERT_TRUE(KillEnabled());
    const Color colour = record(3).BoxColor;
    Click(window().RemoveChannelButton());
    EXPECT_EQ(Column(0), (QStringList{"0", "1", "2", "4", "5"}));
    EXPECT_EQ(record(3).Status, 0);
    EXPECT_EQ(record(3).RowID, -1);
    EXPECT_EQ(record(3).BoxColor, colour);
    EXPECT_FALSE(KillEnabled()) << "the selection went with the row";
    ExpectRowIdsMatchRows();

    AddChannels(1);
    EXPECT_EQ(Column(0), (QStringList{"0", "1", "2", "4", "5", "3"}));
    ExpectRowIdsMatchRows();
}

TEST_F(ChannelsTest, KillingTheOnlyChannelLeavesAnEmptyList) {
    AddChannels(1);
    ClickRow(0);
    Click(window().RemoveChannelButton());
    EXPECT_EQ(list().ListCount(), 0);
    AddChannels(1);
    EXPECT_EQ(Column(0), QStringList{"0"});
}

TEST_F(ChannelsTest, ExpandAndCollapseByTheDisclosureTriangle) {
    AddChannels(4);
    Channel& c = record(1);
    c.SegmentLength = 1;
    c.SegmentDistribution = 2;
    c.TransportProtocol = 3;
    c.FrequencyLocked = 4;
    c.PresenceRate = 5;
    c.AuxFormat = 6;
    c.ChannelLink = 7;
    c.DataType = 8;
    c.DataLength = 9;
    QSignalSpy expanded(&list(), &QTreeWidget::itemExpanded);

    ClickTriangle(1);
    ASSERT_EQ(expanded.count(), 1);
    ASSERT_EQ(list().ListCount(), 13);
    EXPECT_TRUE(list().Expanded(1));
    EXPECT_EQ(Column(0), (QStringList{"0", "1", "", "", "", "", "", "", "", "", "", "2", "3"}));
    for (int k = 1; k <= 9; ++k) {
        EXPECT_EQ(list().Cell(1 + k, 1), kLabels[k - 1]) << k;
        EXPECT_EQ(list().Cell(1 + k, 2), QString::number(k)) << "CL shows ChannelLink, DT DataType";
        EXPECT_EQ(list().Cell(1 + k, 3), "");
    }
    EXPECT_EQ(record(0).RowID, 0);
    EXPECT_EQ(record(1).RowID, 1);
    EXPECT_EQ(record(2).RowID, 11);
    EXPECT_EQ(record(3).RowID, 12);
    EXPECT_EQ(list().Cell(11, 2), "0kHz") << "rates shown again";

    list().SetCellType(5, 2, 3);
    list().SetCellType(12, 2, 3);
    ClickTriangle(1);
    EXPECT_FALSE(list().Expanded(1));
    EXPECT_EQ(Column(0), (QStringList{"0", "1", "2", "3"}));
    EXPECT_EQ(record(2).RowID, 2);
    EXPECT_EQ(record(3).RowID, 3);
    EXPECT_EQ(list().CellType(3, 2), 0) << "collapsing resets every value cell";

    // Again from code, showing the record's values as they are now.
    c.SegmentLength = 31;
    list().SetExpanded(1, true);
    EXPECT_EQ(list().Cell(2, 2), "31");
    EXPECT_EQ(record(3).RowID, 12);
    list().SetExpanded(1, false);
    EXPECT_EQ(list().ListCount(), 4);
    EXPECT_EQ(record(3).RowID, 3);
}

TEST_F(ChannelsTest, KillingAnExpandedChannel) {
    AddChannels(4);
    record(2).SegmentDistribution = kCode128Offset8;
    record(2).SegmentLength = 4;
    record(2).DataType = 1;
    record(2).Editable = 7;
    window().RootFrequencyPopup()->SetListIndex(2);
    list().SetExpanded(0, true);
    list().SetExpanded(11, true);  // channel 2, below channel 0's parameter rows
    ASSERT_EQ(list().ListCount(), 22);
    ClickRow(11);
    ASSERT_TRUE(KillEnabled());
    const Color colour = record(2).BoxColor;
    Click(window().RemoveChannelButton());

    EXPECT_EQ(list().ListCount(), 12);
    EXPECT_EQ(list().Cell(11, 0), "3");
    EXPECT_FALSE(list().Expanded(11));
    // Free and unlisted, every parameter and figure 0; colour and event id kept.
    EXPECT_EQ(record(2), (Channel{.BoxColor = colour, .RowID = -1, .Editable = 7}));
    ExpectRowIdsMatchRows();
}

TEST_F(ChannelsTest, KillRedrawsTheChannelLayerOnly) {
    AddChannels(3);
    // Channel 1, to be killed, in slots 8 to 11; channel 2, staying, in 16 to 19.
    record(1).SegmentDistribution = kCode128Offset8;
    record(1).SegmentLength = 4;
    record(2).SegmentDistribution = kCode128Offset8 + 8;
    record(2).SegmentLength = 4;
    MarkCanvas();
    const qint64 controlLayer = window().ControlSlotBuffer.Image().cacheKey();
    Module1::SuperFrameSlot[5] = 1;
    ClickRow(1);
    Click(window().RemoveChannelButton());
    EXPECT_EQ(window().ControlSlotBuffer.Image().cacheKey(), controlLayer);
    const QImage map = GrabMap();
    EXPECT_EQ(map, window().ChannelSlotBuffer.Image());
    ExpectOpeningControlSpace(map, 8);
    EXPECT_EQ(SlotCellColor(map, 11), RGB(200, 200, 200)) << "the killed channel's slots are free";
    EXPECT_EQ(SlotCellColor(map, 16), window().ColorMap[2]);
    EXPECT_EQ(SlotCellColor(map, 19), window().ColorMap[2]);
    EXPECT_NE(Module1::SuperFrameSlot[5], 1) << "slot map rebuilt";
}

TEST_F(ChannelsTest, KillButtonFollowsTheSelection) {
    AddChannels(2);
    list().SetExpanded(0, true);
    ClickRow(0);
    EXPECT_TRUE(KillEnabled());
    ClickRow(3);  // a parameter row
    EXPECT_FALSE(KillEnabled());
    ClickRow(10);  // channel 1
    EXPECT_TRUE(KillEnabled());
    ClickRow(10, 0, Qt::ControlModifier);  // deselects
    EXPECT_EQ(list().ListIndex(), -1);
    EXPECT_FALSE(KillEnabled());

    // Without a selection the button does nothing, even when called.
    window().RemoveChannelButton_Action();
    EXPECT_EQ(list().ListCount(), 11);

    // Collapsing takes a selected parameter row away with the selection,
    // from code and by the user alike.
    ClickRow(4);
    list().SetExpanded(0, false);
    EXPECT_EQ(list().ListIndex(), -1);
    EXPECT_FALSE(KillEnabled());
    ClickTriangle(0);
    ClickRow(5);
    ClickTriangle(0);
    EXPECT_EQ(list().ListCount(), 2);
    EXPECT_EQ(list().ListIndex(), -1);
    EXPECT_FALSE(KillEnabled());
}

// "Kill channel" pressed from the keyboard, or clicked, leaves the focus in
// the list, not on the bus pop-up that follows the disabled button: the
// next arrow key moves in the list and leaves the bus alone.
TEST_F(ChannelsTest, TheFocusStaysInTheListAfterKill) {
    AddChannels(3);
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    QWindow* keyboard = window().windowHandle();
    auto press = [&](Qt::Key key) { QTest::keyClick(keyboard, key); };

    list().setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(QTest::qWaitFor([&] { return list().hasFocus(); }));
    press(Qt::Key_Down);
    const int selected = list().ListIndex();
    ASSERT_GE(selected, 0);
    QStringList left = Column(0);
    left.removeAt(selected);
    press(Qt::Key_Tab);  // "Add channel"
    press(Qt::Key_Tab);  // "Kill channel"
    ASSERT_EQ(QApplication::focusWidget(), window().RemoveChannelButton());
    press(Qt::Key_Space);
    EXPECT_EQ(Column(0), left);
    EXPECT_EQ(QApplication::focusWidget(), &list());
    press(Qt::Key_Down);
    EXPECT_EQ(window().RootFrequencyPopup()->ListIndex(), 1) << "the bus is left alone";
    EXPECT_NE(list().ListIndex(), -1) << "the arrow key moved in the list";

    // Clicked: the same.
    ClickRow(0);
    left.removeAt(0);
    Click(window().RemoveChannelButton());
    EXPECT_EQ(Column(0), left);
    EXPECT_EQ(QApplication::focusWidget(), &list());
}

TEST_F(ChannelsTest, EverySelectionChangeIsReportedOnce) {
    AddChannels(3);
    int changes = 0;
    const auto handler = list().Change.Bound();
    list().Change = [&] {
        ++changes;
        handler();
    };
    ClickRow(1);
    EXPECT_EQ(changes, 1);
    ClickRow(1);
    EXPECT_EQ(changes, 1) << "the same row again";
    list().SetListIndex(2);
    EXPECT_EQ(changes, 2);
    EXPECT_TRUE(KillEnabled());
    Click(window().RemoveChannelButton());
    EXPECT_EQ(changes, 3) << "the killed row took the selection";
    EXPECT_EQ(list().ListIndex(), -1);
    list().RemoveRow(0);  // an unselected row goes: no news
    EXPECT_EQ(changes, 3);
    list().SetListIndex(-1);
    EXPECT_EQ(changes, 3);

    // Keys select as clicks do.
    list().setFocus();
    QTest::keyClick(&list(), Qt::Key_Down);
    EXPECT_EQ(list().ListIndex(), 0);
    EXPECT_EQ(changes, 4);
    EXPECT_TRUE(KillEnabled());
    EXPECT_EQ(
        list().RowFromXY(list().CellRect(0, 2).center().x(), list().CellRect(0, 2).center().y()),
        0);
    EXPECT_EQ(list().RowFromXY(5, 280), -1) << "below the last row";
}

TEST_F(ChannelsTest, RowsWithoutRecordedPositionDoNotEnableKill) {
    AddChannels(2);
    ListWithoutRowId(7);
    // Selected from the keyboard: a click would record the positions first.
    list().SetListIndex(1);
    list().setFocus();
    QTest::keyClick(&list(), Qt::Key_Down);
    ASSERT_EQ(list().ListIndex(), 2);
    EXPECT_EQ(window().GetIDfromRow(2), 7);
    EXPECT_FALSE(KillEnabled());
    window().RemoveChannelButton_Action();
    EXPECT_EQ(list().ListCount(), 3) << "not a recorded channel row";

    AddChannels(1);  // records every row's position
    ClickRow(0);
    ClickRow(2);
    EXPECT_TRUE(KillEnabled());
    Click(window().RemoveChannelButton());
    EXPECT_EQ(Column(0), (QStringList{"0", "1", "2"}));
    EXPECT_EQ(record(7).Status, 0);
}

TEST_F(ChannelsTest, DuplicateIdRowsCountOnceForTheLowerRow) {
    AddChannels(3);
    ListWithoutRowId(1);
    window().BuildRowID();
    EXPECT_EQ(record(1).RowID, 3);
    EXPECT_EQ(window().GetIDfromRow(1), 1) << "from the ID text";
    EXPECT_EQ(window().GetIDfromRow(3), 1);
    ClickRow(1);
    EXPECT_FALSE(KillEnabled());
    ClickRow(3);
    EXPECT_TRUE(KillEnabled());
}

TEST_F(ChannelsTest, RowsNamingNoChannelAreHarmless) {
    AddChannels(4);
    // Texts a file or a controller might list; 4294967299 is 3 in its low 32 bits
    // and must not be taken for channel 3.
    struct Case {
        const char* text;
        int32_t id;
    };
    const Case cases[] = {{"300", 300}, {"-5", -5}, {"4294967299", 2147483647}};
    for (const Case& c : cases) list().AddFolder(c.text);
    window().BuildRowID();
    EXPECT_EQ(record(3).RowID, 3);
    window().DisplayChannelRate();
    for (int k = 0; k < 3; ++k) {
        const int row = 4 + k;
        EXPECT_EQ(list().Cell(row, 2), "") << row;
        EXPECT_EQ(window().GetIDfromRow(row), cases[k].id);
        ClickRow(row);
        EXPECT_FALSE(KillEnabled()) << row;
        window().RemoveChannelButton_Action();
        EXPECT_EQ(list().ListCount(), 7);
    }
    list().SetExpanded(4, true);
    EXPECT_EQ(list().Cell(5, 1), "SL");
    EXPECT_EQ(list().Cell(5, 2), "") << "no record to show";
    window().UpdateSD();
    list().grab();  // paints every swatch cell
    list().SetExpanded(4, false);
    EXPECT_EQ(window().GetIDfromRow(-1), -1);
    EXPECT_EQ(window().GetIDfromRow(7), -1);
    EXPECT_EQ(window().GetIDfromRow(1000), -1);
}

TEST_F(ChannelsTest, FullPoolAddsNothing) {
    AddChannels(256);
    ASSERT_EQ(list().ListCount(), 256);
    EXPECT_EQ(list().Cell(255, 0), "255");
    AddChannels(1);
    EXPECT_EQ(list().ListCount(), 256);
    EXPECT_EQ(record(0).RowID, 0);
}

TEST_F(ChannelsTest, UpdateSdRefreshesExpandedChannelsOnly) {
    AddChannels(2);
    auto snapshot = [this] {
        QStringList cells;
        for (int column = 0; column < 4; ++column) cells += Column(column);
        return cells;
    };
    const QStringList before = snapshot();
    record(0).SegmentDistribution = kCode128Offset8;
    window().UpdateSD();
    EXPECT_EQ(snapshot(), before) << "nothing expanded";

    list().SetExpanded(1, true);
    record(1).SegmentDistribution = 3209;
    record(1).SegmentLength = 6;
    window().UpdateSD();
    EXPECT_EQ(list().Cell(3, 2), "3209");
    EXPECT_EQ(list().Cell(2, 2), "0") << "only the SD row";
}

TEST_F(ChannelsTest, ClearAllDrawsTheBareControlSpace) {
    AddChannels(3);
    list().SetExpanded(1, true);
    record(1).SegmentDistribution = kCode128Offset8;
    ClickRow(0);
    MarkCanvas();
    const qint64 channelLayer = window().ChannelSlotBuffer.Image().cacheKey();
    Module1::SuperFrameSlot[8] = 1;

    Click(window().ClearAllChannels());
    EXPECT_EQ(list().ListCount(), 0);
    EXPECT_FALSE(KillEnabled());
    for (int id = 0; id < 256; ++id) {
        ASSERT_EQ(record(id).Status, 0) << id;
        ASSERT_EQ(record(id).RowID, -1) << id;
        ASSERT_EQ(record(id).SegmentDistribution, 0) << id;
    }
    EXPECT_EQ(Module1::SuperFrameSlot[8], Module1::kFreeSlot);
    EXPECT_EQ(GrabMap(), window().ControlSlotBuffer.Image());
    ExpectOpeningControlSpace(GrabMap(), 8);
    EXPECT_EQ(window().ChannelSlotBuffer.Image().cacheKey(), channelLayer) << "channel layer left";

    // Also on an empty list.
    MarkCanvas();
    Click(window().ClearAllChannels());
    EXPECT_EQ(GrabMap(), window().ControlSlotBuffer.Image());
    ExpectOpeningControlSpace(GrabMap(), 8);
    AddChannels(1);
    EXPECT_EQ(Column(0), QStringList{"0"});
}

TEST_F(ChannelsTest, SwatchFillsColumnOneWithATwoPixelMargin) {
    AddChannels(3);
    list().SetExpanded(0, true);  // parameter rows get no swatch
    const QImage shot = list().grab().toImage().convertToFormat(QImage::Format_RGB32);
    for (int row : {0, 10, 11}) {
        const Color colour = record(list().Cell(row, 0).toInt()).BoxColor;
        const QRect cell = list().CellRect(row, 1);
        ASSERT_FALSE(cell.isEmpty());
        for (int y = cell.top(); y <= cell.bottom(); ++y) {
            for (int x = cell.left(); x <= cell.right(); ++x) {
                const bool inside = x >= cell.left() + 2 && x <= cell.right() - 2 &&
                                    y >= cell.top() + 2 && y <= cell.bottom() - 2;
                if (inside) {
                    ASSERT_EQ(PixelColor(shot, x, y), colour) << row << " " << x << "," << y;
                } else {
                    ASSERT_NE(PixelColor(shot, x, y), colour) << row << " " << x << "," << y;
                }
            }
        }
        for (int column : {0, 2, 3}) {
            const QPoint mid = list().CellRect(row, column).center();
            EXPECT_NE(PixelColor(shot, mid.x(), mid.y()), colour) << row << "/" << column;
        }
    }
    for (int row = 1; row <= 9; ++row) {
        const QRect cell = list().CellRect(row, 1);
        const QPoint at(cell.left() + 3, cell.top() + 3);
        EXPECT_NE(PixelColor(shot, at.x(), at.y()), record(0).BoxColor) << row;
    }
}

TEST_F(ChannelsTest, WindowWithChannels) {
    AddChannels(4);
    record(1).SegmentDistribution = kCode128Offset8;
    record(1).SegmentLength = 4;
    window().RootFrequencyPopup()->SetListIndex(2);
    ClickTriangle(1);
    ClickRow(12);
    KeepPicture(GrabWindow(), QStringLiteral("channels.png"));
    EXPECT_EQ(list().ListCount(), 13);
}

// More channels than fit: only the vertical scroll bar shows, and the columns
// still add up to the room between the frame and that bar.
TEST_F(ChannelsTest, AFullListScrollsOnlyVertically) {
    QScrollBar* vertical = list().verticalScrollBar();
    QScrollBar* horizontal = list().horizontalScrollBar();
    auto columnsWidth = [&] {
        int width = 0;
        for (int c = 0; c < list().columnCount(); ++c) width += list().columnWidth(c);
        return width;
    };
    AddChannels(5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return list().viewport()->width() == columnsWidth(); }));
    EXPECT_FALSE(vertical->isVisible());
    EXPECT_FALSE(horizontal->isVisible());
    const int fullLastColumn = list().columnWidth(3);
    EXPECT_GE(fullLastColumn, 85 - 4) << "only the frame's pixels are given back";

    AddChannels(25);
    ASSERT_TRUE(QTest::qWaitFor([&] { return vertical->isVisible(); }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(horizontal->isVisible());
    EXPECT_EQ(columnsWidth(), list().viewport()->width());
    const int barLeft = vertical->mapTo(&list(), QPoint(0, 0)).x();
    for (int row : {0, 29}) EXPECT_LT(list().CellRect(row, 3).right(), barLeft) << row;
    EXPECT_EQ(list().columnWidth(3), fullLastColumn - vertical->width());

    // A bandwidth among the widest still shows whole in the narrowed column.
    window().RootFrequencyPopup()->SetListIndex(7);  // 25 MHz
    record(0).SegmentDistribution = Module1::CalculateSegmentDistribution(5, 6);
    record(0).SegmentLength = 25;
    window().DisplayChannelRate();
    ASSERT_EQ(list().Cell(0, 3), "104166.666kbps");
    const QFont column = list().ColumnFont(3);
    EXPECT_LE(QFontMetrics(column).horizontalAdvance(list().Cell(0, 3)), list().CellTextWidth(3));
    EXPECT_EQ(list().CellFont(0, 3), column) << "the column's size fits it";
    EXPECT_EQ(list().CellFont(1, 3), column);

    // The last row can be scrolled to and shows whole above the list's bottom.
    list().scrollToItem(list().topLevelItem(29));
    QCoreApplication::processEvents();
    EXPECT_LE(list().CellRect(29, 0).bottom(), list().viewport()->geometry().bottom());

    // Fewer rows again: the bar goes and the column takes its width back.
    for (int i = 0; i < 25; ++i) {
        list().SetListIndex(list().ListCount() - 1);
        Click(window().RemoveChannelButton());
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !vertical->isVisible(); }));
    QCoreApplication::processEvents();
    EXPECT_EQ(list().columnWidth(3), fullLastColumn);
    EXPECT_FALSE(horizontal->isVisible());
}

namespace {
// Every figure a label or a channel row can show under valid settings, worked
// out here from the bus arithmetic.
struct Figures {
    QStringList busFrequencies{"???"}, controlBandwidths{"???"}, rates{"??? kHz"},
        bandwidths{"??? kbps"};
};

Figures AllFigures() {
    Figures f;
    // The intervals that have codes; the rate depends on the interval alone.
    std::vector<int32_t> intervalCodes;
    for (int32_t interval :
         {3, 6, 12, 24, 48, 96, 192, 384, 768, 1536, 2, 4, 8, 16, 32, 64, 128, 256, 512})
        intervalCodes.push_back(Module1::CalculateSegmentDistribution(interval - 1, interval));
    for (int row = 1; row <= 9; ++row) {
        const int32_t rf = Module1::RootFrequencyOfRow(row);
        for (int gear = 1; gear <= 10; ++gear) {
            f.busFrequencies << CStr(BusFigures::ActualBusFrequencyMHz(rf, gear));
            for (int mode = 0; mode < 32; ++mode) {
                const auto m = BusFigures::SubFrameModeOfRow(mode);
                f.controlBandwidths << CStr(
                    *BusFigures::ControlBandwidthKbps(rf, gear, m->ControlSize, m->SubFrameLength));
            }
            for (int32_t code : intervalCodes) {
                const double rate = *ChannelFigures::SegmentRate(rf, gear, code);
                f.rates << ChannelFigures::RateText(rate);
                for (int length = 1; length <= 31; ++length)
                    f.bandwidths << ChannelFigures::BandwidthText(
                        ChannelFigures::Bandwidth(rate, length));
            }
        }
    }
    return f;
}

QString Widest(const QFont& font, const QStringList& texts) {
    const QFontMetrics metrics(font);
    QString widest;
    for (const QString& text : texts)
        if (metrics.horizontalAdvance(text) > metrics.horizontalAdvance(widest)) widest = text;
    return widest;
}
}  // namespace

TEST_F(ChannelsTest, EveryFigureFitsItsControl) {
    const Figures all = AllFigures();
    EXPECT_TRUE(all.controlBandwidths.contains("22314.6"));
    EXPECT_TRUE(all.rates.contains("1881.6kHz"));
    EXPECT_TRUE(all.bandwidths.contains("233318.4kbps"));

    struct Case {
        const char* control;
        QFont font;
        int room;
        const QStringList& texts;
    };
    Label* frequency = window().BusFrequencyText();
    Label* control = window().ControlBWText();
    const Case cases[] = {
        {"BusFrequencyText", frequency->font(), frequency->contentsRect().width(),
         all.busFrequencies},
        {"ControlBWText", control->font(), control->contentsRect().width(), all.controlBandwidths},
        {"rate column", list().ColumnFont(2), list().CellTextWidth(2), all.rates},
        {"bandwidth column", list().ColumnFont(3), list().CellTextWidth(3), all.bandwidths},
    };
    for (const Case& c : cases) {
        const QString widest = Widest(c.font, c.texts);
        EXPECT_LE(QFontMetrics(c.font).horizontalAdvance(widest), c.room)
            << c.control << ": " << widest.toStdString();
        EXPECT_GE(QFontInfo(c.font).pixelSize(), 8) << c.control << " stays readable";
    }
    // The controls keep their places and sizes.
    EXPECT_EQ(frequency->geometry(), QRect(409, 58, 46, 18));
    EXPECT_EQ(control->geometry(), QRect(845, 58, 46, 18));
    EXPECT_EQ(list().columnWidth(2), 60);
}

// Every figure of a column is drawn in one size, the largest at which every
// figure fits the width the column has now: narrower while the vertical
// scroll bar shows, wider again once it goes.
TEST_F(ChannelsTest, EachFigureColumnHasOneSizeForItsWidth) {
    const Figures all = AllFigures();
    window().RootFrequencyPopup()->SetListIndex(9);  // 27 MHz
    const int32_t intervals[] = {3, 6, 12, 24, 48, 96, 192, 384, 768, 1536, 2, 4, 8};
    AddChannels(22);
    for (int id = 0; id < 22; ++id) {
        const int32_t interval = intervals[id % std::size(intervals)];
        record(id).SegmentDistribution = Module1::CalculateSegmentDistribution(1, interval);
        record(id).SegmentLength = 1 + (id * 7) % 31;
    }
    window().DisplayChannelRate();
    QScrollBar* vertical = list().verticalScrollBar();
    ASSERT_TRUE(QTest::qWaitFor([&] { return vertical->isVisible(); }));
    QCoreApplication::processEvents();

    auto expectOneFittingSize = [&](const char* when) {
        SCOPED_TRACE(when);
        for (int c : {2, 3}) {
            const QFont font = list().ColumnFont(c);
            for (int row = 0; row < list().ListCount(); ++row)
                ASSERT_EQ(list().CellFont(row, c), font) << "row " << row << ", column " << c;
            const QStringList& texts = c == 2 ? all.rates : all.bandwidths;
            const QString widest = Widest(font, texts);
            EXPECT_LE(QFontMetrics(font).horizontalAdvance(widest), list().CellTextWidth(c))
                << widest.toStdString();
            // One pixel more and some figure would not fit.
            QFont larger = font;
            larger.setPixelSize(QFontInfo(font).pixelSize() + 1);
            if (QFontInfo(larger).pixelSize() <= QFontInfo(list().font()).pixelSize()) {
                EXPECT_GT(QFontMetrics(larger).horizontalAdvance(Widest(larger, texts)),
                          list().CellTextWidth(c));
            }
        }
    };
    expectOneFittingSize("with the scroll bar");
    const int narrowColumn = list().columnWidth(3);
    const int narrowSize = QFontInfo(list().ColumnFont(3)).pixelSize();

    for (int i = 0; i < 20; ++i) {
        list().SetListIndex(list().ListCount() - 1);
        Click(window().RemoveChannelButton());
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return !vertical->isVisible(); }));
    QCoreApplication::processEvents();
    ASSERT_GT(list().columnWidth(3), narrowColumn);
    expectOneFittingSize("without the scroll bar");
    EXPECT_GE(QFontInfo(list().ColumnFont(3)).pixelSize(), narrowSize);
}

// The figures of the report, shown by the window itself: whole, not elided.
TEST_F(ChannelsTest, TheWidestFiguresShowWhole) {
    window().RootFrequencyPopup()->SetListIndex(2);  // 22.5792 MHz
    window().SubFrameModePopup()->SetListIndex(0);
    EXPECT_EQ(window().ControlBWText()->Text(), "22314.6");
    AddChannels(2);
    // Interval 3 with the longest segment at 22.5792 MHz; interval 6 at 25 MHz
    // has the longest texts.
    record(0).SegmentDistribution = Module1::CalculateSegmentDistribution(0, 3);
    record(0).SegmentLength = 31;
    record(1).SegmentDistribution = Module1::CalculateSegmentDistribution(5, 6);
    record(1).SegmentLength = 26;
    window().DisplayChannelRate();
    EXPECT_EQ(list().Cell(0, 2), "1881.6kHz");
    EXPECT_EQ(list().Cell(0, 3), "233318.4kbps");
    EXPECT_EQ(list().Cell(1, 2), "940.8kHz");
    const QFontMetrics rate(list().ColumnFont(2));
    const QFontMetrics bandwidth(list().ColumnFont(3));
    for (int row : {0, 1}) {
        EXPECT_LE(rate.horizontalAdvance(list().Cell(row, 2)), list().CellTextWidth(2));
        EXPECT_LE(bandwidth.horizontalAdvance(list().Cell(row, 3)), list().CellTextWidth(3));
    }
    const QFontMetrics label(window().ControlBWText()->font());
    EXPECT_LE(label.horizontalAdvance("22314.6"), window().ControlBWText()->contentsRect().width());
    KeepPicture(GrabWindow(), QStringLiteral("figures.png"));
}
