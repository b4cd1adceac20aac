// The slot read-out, the pointer frame and dragging a channel in the map,
// with real mouse events on the canvas.
#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMouseEvent>
#include <QTest>
#include <functional>
#include <memory>

#include "ChannelListFixture.h"
#include "Label.h"
#include "MapGeometry.h"
#include "Module1.h"
#include "RemoteController.h"

namespace {
constexpr Color kDataSpace = RGB(200, 200, 200);
constexpr Color kDimmedDataSpace = RGB(185, 185, 185);
constexpr Color kPointerRed = RGB(255, 0, 0);

// The middle of a slot's cell.
QPoint SlotPoint(int slot) {
    const QRect cell =
        MapGeometry::CellRect(MapGeometry::SlotColumn(slot), MapGeometry::SlotRow(slot));
    return cell.center();
}

class DragTest : public ChannelListFixture {
protected:
    void SetUp() override {
        ChannelListFixture::SetUp();
        AddChannels(4);                        // channels 0 to 3; only channel 3 gets segments
        record(3).SegmentDistribution = 3208;  // interval 128, offset 8
        record(3).SegmentLength = 4;
        list().SetExpanded(3, true);  // its "SD" cell is row 5
    }

    Canvas* canvas() { return window().DrawZone(); }
    // Sent straight to the canvas: the window system drops a move to where
    // the pointer already is, which the previous test may have left there.
    void Move(QPoint at) { SendMove(at, Qt::NoButton); }
    void SendMove(QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), canvas()->mapToGlobal(QPointF(at)),
                         Qt::NoButton, buttons, Qt::NoModifier);
        QCoreApplication::sendEvent(canvas(), &move);
    }
    void Press(QPoint at) { QTest::mousePress(canvas(), Qt::LeftButton, {}, at); }
    void Release(QPoint at) { QTest::mouseRelease(canvas(), Qt::LeftButton, {}, at); }
    void DragTo(QPoint at) { SendMove(at, Qt::LeftButton); }
    // Leaves the start screen and shows the map once, as a user's first
    // click and move do.
    void ShowMap() {
        Press(SlotPoint(1000));
        Release(SlotPoint(1000));
        Move(SlotPoint(1001));
    }
    Color SlotColour(int slot) {
        const QRect cell =
            MapGeometry::CellRect(MapGeometry::SlotColumn(slot), MapGeometry::SlotRow(slot));
        return PixelColor(GrabMap(), cell.left(), cell.top());
    }
    QString SlotText() { return window().MobileSlotText()->Text(); }
    // Types a value into channel 3's "SL" cell and commits it with Return.
    void TypeSegmentLength(const QString& text) {
        ClickRow(4, 2);
        QLineEdit* editor = list().ActiveCell().Widget();
        ASSERT_TRUE(editor);
        editor->selectAll();
        QTest::keyClicks(editor, text);
        QTest::keyClick(editor, Qt::Key_Return);
        ASSERT_EQ(record(3).SegmentLength, text.toInt());
    }
    QString SDCell() { return list().Cell(5, 2); }
};

// Channel 3's first interval: slots 0 to 127.
constexpr int kInterval = 128;
}  // namespace

TEST_F(DragTest, OnTheStartScreenOnlyTheSlotNumberFollows) {
    const QImage start = GrabMap();
    Move(SlotPoint(200));
    EXPECT_EQ(SlotText(), "200");
    EXPECT_EQ(GrabMap(), start);
    Press(SlotPoint(300));  // free data space: starts nothing, draws nothing
    EXPECT_EQ(window().flgStartScreen, 1);
    EXPECT_EQ(GrabMap(), start);
    Release(SlotPoint(300));
    Move(SlotPoint(201));  // the map follows with the next move
    EXPECT_NE(GrabMap(), start);
    EXPECT_EQ(SlotColour(8), window().ColorMap[3]);
}

TEST_F(DragTest, PointerFrameAroundTheSlotUnderThePointer) {
    ShowMap();
    Move(SlotPoint(1535));
    EXPECT_EQ(SlotText(), "1535");
    const QImage map = GrabMap();
    // An 8 x 17 outline one pixel outside the cell of column 95, row 15.
    EXPECT_EQ(PixelColor(map, 7 * 95 + 1, 18 * 15 + 1), kPointerRed);
    EXPECT_EQ(PixelColor(map, 673, 18 * 15 + 17), kPointerRed);
    EXPECT_EQ(PixelColor(map, 7 * 95 + 3, 18 * 15 + 5), kDataSpace);
}

TEST_F(DragTest, EveryPixelOfTheCanvasGivesASlot) {
    for (int y = 0; y < 290; ++y)
        for (int x = 0; x < 674; ++x) {
            const MapGeometry::MapPoint at = MapGeometry::PointToSlot(x, y);
            ASSERT_TRUE(at.Slot >= 0 && at.Slot <= 1535) << x << "," << y;
        }
    for (QPoint corner : {QPoint(0, 0), QPoint(673, 0), QPoint(0, 289), QPoint(673, 289),
                          QPoint(8, 19), QPoint(9, 20)}) {
        Move(corner);
        const int slot = SlotText().toInt();
        EXPECT_EQ(slot, MapGeometry::PointToSlot(corner.x(), corner.y()).Slot);
    }
    Move(QPoint(673, 289));
    EXPECT_EQ(SlotText(), "1535");
}

TEST_F(DragTest, TheWorkedDrag) {
    ShowMap();
    ASSERT_EQ(Module1::SuperFrameSlot[9], 3);

    Press(SlotPoint(9));
    EXPECT_EQ(window().flgMoveChannel, 1);
    EXPECT_EQ(window().iMoveID, 3);
    EXPECT_EQ(SlotColour(100), kDataSpace) << "the first interval keeps its colours";
    EXPECT_EQ(SlotColour(128 + 20), kDimmedDataSpace) << "slots from 128 on are dimmed";

    DragTo(SlotPoint(9));
    KeepPicture(GrabWindow(), QStringLiteral("drag.png"));
    EXPECT_EQ(record(3).SegmentDistribution, 3209);
    EXPECT_EQ(list().Cell(5, 2), "3209") << "the SD cell follows";
    EXPECT_EQ(SlotColour(12), window().ColorMap[3]);
    EXPECT_EQ(SlotColour(8), kDataSpace) << "the old first slot is free again";
    EXPECT_EQ(SlotText(), "9");

    for (int refused : {30, 0, 125}) {
        DragTo(SlotPoint(refused));
        EXPECT_EQ(record(3).SegmentDistribution, 3209) << refused;
        EXPECT_EQ(SlotText(), QString::number(refused));
    }
    DragTo(SlotPoint(20));  // free all along: accepted
    EXPECT_EQ(record(3).SegmentDistribution, Module1::CalculateSegmentDistribution(20, 128));

    Release(SlotPoint(20));
    EXPECT_EQ(window().flgMoveChannel, 0);
    EXPECT_EQ(window().iMoveID, -1);
    EXPECT_EQ(SlotColour(128 + 40), kDataSpace) << "the release redraws undimmed";
}

TEST_F(DragTest, OtherChannelsAndLaterSegmentsBlockTheMove) {
    record(2).SegmentDistribution = Module1::CalculateSegmentDistribution(20, 128);
    record(2).SegmentLength = 2;
    ShowMap();
    Press(SlotPoint(8));
    DragTo(SlotPoint(17));  // would cover channel 2's slots 20 and 21
    EXPECT_EQ(record(3).SegmentDistribution, 3208);
    DragTo(SlotPoint(10));  // overlaps its own current slots only
    EXPECT_EQ(record(3).SegmentDistribution, 3210);
    Release(SlotPoint(10));
}

TEST_F(DragTest, PressesThatStartNoDrag) {
    ShowMap();
    // A later segment: the press is taken, nothing starts, the release redraws.
    Press(SlotPoint(136));
    EXPECT_EQ(window().flgMoveChannel, 0);
    EXPECT_EQ(window().iMoveID, -1);
    DragTo(SlotPoint(137));
    EXPECT_EQ(record(3).SegmentDistribution, 3208);
    Release(SlotPoint(137));
    EXPECT_EQ(SlotColour(200), kDataSpace);

    // Control space and free data space refuse the press.
    for (int slot : {0, 3, 64, 300}) {
        Press(SlotPoint(slot));
        EXPECT_EQ(window().flgMoveChannel, 0) << slot;
        DragTo(SlotPoint(9));
        Release(SlotPoint(9));
        EXPECT_EQ(record(3).SegmentDistribution, 3208) << slot;
    }
}

TEST_F(DragTest, HugeSegmentLengthsStayBounded) {
    ShowMap();
    Press(SlotPoint(9));
    ASSERT_EQ(window().iMoveID, 3);
    record(3).SegmentLength = 2000000000;  // as a controller could store it
    for (int offset : {8, 9, 10, 100}) {
        DragTo(SlotPoint(offset));
        EXPECT_EQ(record(3).SegmentDistribution, 3208) << "the segment cannot fit: " << offset;
        EXPECT_EQ(SlotText(), QString::number(offset));
    }
    EXPECT_EQ(SDCell(), "3208");
    // A paint draws the huge segments on the dimmed layer, clipped to the map.
    canvas()->Refresh();
    EXPECT_EQ(SlotColour(1535), window().ColorMap[3]);
    EXPECT_EQ(SlotColour(7), kDataSpace);

    record(3).SegmentLength = -5;
    DragTo(SlotPoint(10));
    EXPECT_EQ(record(3).SegmentDistribution, 3210) << "a one-slot footprint fits at 10";
    EXPECT_EQ(SDCell(), "3210");
    DragTo(SlotPoint(kInterval - 1));
    EXPECT_EQ(record(3).SegmentDistribution, Module1::CalculateSegmentDistribution(127, kInterval));
    DragTo(SlotPoint(kInterval));
    EXPECT_EQ(Module1::SD2SI(record(3).SegmentDistribution), kInterval);
    Release(SlotPoint(kInterval));
    EXPECT_EQ(window().flgMoveChannel, 0);
    // Nothing of a channel without length is drawn, and the map is whole.
    ExpectOpeningControlSpace(GrabMap(), 127);
    EXPECT_EQ(SlotColour(1535), kDataSpace);
}

// With a segment length below 1 the first segment still has to stay inside
// the first interval: every code a drag stores decodes to the channel's
// interval, in the record and in its "SD" cell.
TEST_F(DragTest, LengthsBelowOneKeepTheCodeInItsInterval) {
    for (const QString length : {"0", "-3"}) {
        SCOPED_TRACE(length.toStdString());
        record(3).SegmentDistribution = 3208;
        record(3).SegmentLength = 4;
        ShowMap();                  // the slot map holds the channel's slots 8 to 11 ...
        TypeSegmentLength(length);  // ... and keeps them through the commit
        ASSERT_EQ(Module1::SuperFrameSlot[9], 3);

        Press(SlotPoint(9));
        ASSERT_EQ(window().iMoveID, 3);
        DragTo(SlotPoint(kInterval - 1));
        const int32_t last = Module1::CalculateSegmentDistribution(kInterval - 1, kInterval);
        EXPECT_EQ(record(3).SegmentDistribution, last);
        EXPECT_EQ(SDCell(), QString::number(last));
        for (int refused : {kInterval, kInterval + 1, kInterval + 3, 200, 1000, 1535}) {
            DragTo(SlotPoint(refused));
            EXPECT_EQ(record(3).SegmentDistribution, last) << refused;
            EXPECT_EQ(SDCell(), QString::number(last)) << refused;
            EXPECT_EQ(SlotText(), QString::number(refused));
        }
        DragTo(SlotPoint(40));  // back inside: accepted again
        EXPECT_EQ(record(3).SegmentDistribution,
                  Module1::CalculateSegmentDistribution(40, kInterval));
        Release(SlotPoint(40));
        EXPECT_EQ(Module1::SD2SI(SDCell().toInt()), kInterval);
    }
}

// A release after a press on a later segment redraws the control space that
// the window opened with.
TEST_F(DragTest, AReleaseOnALaterSegmentShowsTheControlSpace) {
    ShowMap();
    Press(SlotPoint(136));
    ASSERT_EQ(window().flgMoveChannel, 0);
    Release(SlotPoint(136));
    const QImage map = GrabMap();
    ExpectOpeningControlSpace(map, 200);
    EXPECT_EQ(SlotCellColor(map, 136), window().ColorMap[3]);
}

TEST_F(DragTest, PaintDuringADragDrawsOnTheDimmedLayer) {
    ShowMap();
    Press(SlotPoint(9));
    canvas()->Refresh();
    EXPECT_EQ(SlotColour(128 + 20), kDimmedDataSpace);
    Release(SlotPoint(9));
}

// Freeing the dragged channel ends its drag: the moves and the release that
// follow store nothing, and a later "Add channel" brings the channel back
// without a segment distribution.
TEST_F(DragTest, FreeingTheChannelEndsItsDrag) {
    struct Route {
        const char* name;
        std::function<void()> free;
    };
    const Route routes[] = {
        {"Clear All Channels", [this] { Click(window().ClearAllChannels()); }},
        {"Kill channel", [this] { Click(window().RemoveChannelButton()); }},
    };
    for (const Route& route : routes) {
        SCOPED_TRACE(route.name);
        ClickRow(3);  // channel 3's row, for "Kill channel"
        ShowMap();
        Press(SlotPoint(9));
        ASSERT_EQ(window().iMoveID, 3);
        route.free();
        ASSERT_EQ(record(3).Status, 0);
        EXPECT_EQ(window().flgMoveChannel, 0);
        DragTo(SlotPoint(2));
        DragTo(SlotPoint(20));
        Release(SlotPoint(20));
        EXPECT_EQ(record(3).SegmentDistribution, 0);
        for (int slot = 0; slot < 1536; ++slot) ASSERT_NE(Module1::SuperFrameSlot[slot], 3) << slot;
        EXPECT_EQ(SlotColour(200), kDataSpace) << "undimmed again";

        // Back to four channels, channel 3 as the test began.
        Click(window().ClearAllChannels());
        AddChannels(4);
        EXPECT_EQ(record(3).SegmentDistribution, 0) << "the freed record kept no code";
        EXPECT_EQ(record(3).Rate, 0.0);
        record(3).SegmentDistribution = 3208;
        record(3).SegmentLength = 4;
        list().SetExpanded(3, true);
        window().RedrawMap(Main::MapLayer::Channel, Main::SlotMap::Rebuild);
    }
}

namespace {
// The same window with a controller on its socket.
class ConnectedDragTest : public DragTest {
protected:
    void SetUp() override {
        DragTest::SetUp();
        ASSERT_FALSE(HasFatalFailure());
        controller_ = ConnectController();
        ASSERT_TRUE(controller_) << "the window took no controller";
    }
    void TearDown() override {
        controller_.reset();
        DragTest::TearDown();
    }
    // The controller (re)adds channel 3 at 3208 and waits until it is stored;
    // it lists another row "3" below the user's rows.
    void ControllerAddsChannel3(int length, int eventId) {
        ASSERT_TRUE(controller_->Send("AddChannel:3," + QByteArray::number(length) +
                                      ",3208,0,0,0,0,1,0,16," + QByteArray::number(eventId) + "*"));
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return record(3).Editable == eventId && record(3).SegmentLength == length &&
                   record(3).SegmentDistribution == 3208;
        }));
    }
    QByteArray Notifications(int32_t code) {
        return "SetEventID:7*SetChannelSD:3," + QByteArray::number(code) + "*";
    }

    std::unique_ptr<Controller> controller_;
};
}  // namespace

TEST_F(ConnectedDragTest, ReportedCodesKeepTheChannelsInterval) {
    ShowMap();
    for (int length : {0, -3}) {
        SCOPED_TRACE(length);
        ControllerAddsChannel3(4, 7);       // draws the channel's slots into the map
        ControllerAddsChannel3(length, 7);  // which keep them
        Press(SlotPoint(9));
        ASSERT_EQ(window().iMoveID, 3);
        DragTo(SlotPoint(kInterval - 1));
        for (int refused : {kInterval, kInterval + 2, 700, 1535}) DragTo(SlotPoint(refused));
        Release(SlotPoint(1535));
        const int32_t last = Module1::CalculateSegmentDistribution(kInterval - 1, kInterval);
        EXPECT_EQ(record(3).SegmentDistribution, last);
        EXPECT_EQ(SDCell(), QString::number(last)) << "the user's expanded row follows";
        EXPECT_EQ(controller_->ReadCommands(2), Notifications(last));
    }
}

TEST_F(ConnectedDragTest, ChannelsWithoutAnEventIdStayPut) {
    ShowMap();
    // Channel 3 was added by the user: event id 0.
    Press(SlotPoint(9));
    EXPECT_EQ(window().flgMoveChannel, 0);
    DragTo(SlotPoint(20));
    Release(SlotPoint(20));
    EXPECT_EQ(record(3).SegmentDistribution, 3208);
    EXPECT_EQ(SDCell(), "3208");

    // Once the controller gives it an event id the same drag moves it, and
    // its report is the first thing the controller receives.
    ControllerAddsChannel3(4, 7);
    Press(SlotPoint(9));
    DragTo(SlotPoint(20));
    Release(SlotPoint(20));
    const int32_t moved = Module1::CalculateSegmentDistribution(20, kInterval);
    EXPECT_EQ(record(3).SegmentDistribution, moved);
    EXPECT_EQ(controller_->ReadCommands(2), Notifications(moved));
}

TEST_F(ConnectedDragTest, ALaterSegmentsPressAndReleaseSendNothing) {
    ShowMap();
    ControllerAddsChannel3(4, 7);
    Press(SlotPoint(136));
    DragTo(SlotPoint(140));
    Release(SlotPoint(140));
    EXPECT_EQ(record(3).SegmentDistribution, 3208);

    // A drag that moves the channel: its report comes first.
    Press(SlotPoint(9));
    DragTo(SlotPoint(20));
    Release(SlotPoint(20));
    EXPECT_EQ(controller_->ReadCommands(2),
              Notifications(Module1::CalculateSegmentDistribution(20, kInterval)));
}

TEST_F(ConnectedDragTest, ADragThatChangesNothingIsStillReported) {
    ShowMap();
    ControllerAddsChannel3(4, 7);
    Press(SlotPoint(9));
    DragTo(SlotPoint(8));  // the offset it has
    DragTo(SlotPoint(0));  // control space: refused
    Release(SlotPoint(0));
    EXPECT_EQ(record(3).SegmentDistribution, 3208);
    EXPECT_EQ(controller_->ReadCommands(2), Notifications(3208));
}

// A controller's "ClearAllChannels" during a drag ends it: nothing is stored
// into the freed record and nothing is reported. A code of 0 given to the
// dragged channel meanwhile is no interval either.
TEST_F(ConnectedDragTest, ARemoteClearEndsTheDrag) {
    ShowMap();
    ControllerAddsChannel3(4, 7);
    Press(SlotPoint(8));
    ASSERT_EQ(window().iMoveID, 3);
    ASSERT_TRUE(controller_->Send("ClearAllChannels:*"));
    ASSERT_TRUE(controller_->SendSentinel());
    ASSERT_EQ(record(3).Status, 0);
    DragTo(SlotPoint(2));
    Release(SlotPoint(2));
    EXPECT_EQ(record(3).SegmentDistribution, 0);
    ASSERT_TRUE(controller_->SendSentinel());
    EXPECT_EQ(controller_->ReadWithoutEventLoop(), QByteArray()) << "no report of a freed channel";

    ControllerAddsChannel3(4, 7);
    Press(SlotPoint(8));
    ASSERT_EQ(window().iMoveID, 3);
    ASSERT_TRUE(controller_->Send("AddChannel:3,4,0,0,0,0,0,1,0,16,7*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return record(3).SegmentDistribution == 0; }));
    for (int slot : {2, 9, 20}) DragTo(SlotPoint(slot));
    Release(SlotPoint(20));
    EXPECT_EQ(record(3).SegmentDistribution, 0);
    ASSERT_TRUE(controller_->SendSentinel());
    EXPECT_EQ(controller_->ReadWithoutEventLoop(), QByteArray());
}
