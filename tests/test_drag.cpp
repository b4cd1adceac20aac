// The slot read-out, the pointer frame and dragging a channel in the map,
// with real mouse events on the canvas.
#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QTest>

#include "ChannelListFixture.h"
#include "Label.h"
#include "MapGeometry.h"
#include "Module1.h"

namespace {
constexpr Color kDataSpace = RGB(200, 200, 200);
constexpr Color kDimmedDataSpace = RGB(185, 185, 185);
constexpr Color kPointerRed = RGB(255, 0, 0);

// The middle of a slot's cell.
QPoint SlotPoint(int slot) {
    const QRect cell = MapGeometry::CellRect(MapGeometry::SlotColumn(slot), MapGeometry::SlotRow(slot));
    return cell.center();
}

class DragTest : public ChannelListFixture {
protected:
    void SetUp() override {
        ChannelListFixture::SetUp();
        AddChannels(4);  // channels 0 to 3; only channel 3 gets segments
        record(3).SegmentDistribution = 3208;  // interval 128, offset 8
        record(3).SegmentLength = 4;
        list().SetExpanded(3, true);  // its "SD" cell is row 5
    }

    Canvas* canvas() { return main().DrawZone(); }
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
        const QRect cell = MapGeometry::CellRect(MapGeometry::SlotColumn(slot), MapGeometry::SlotRow(slot));
        return PixelColor(GrabMap(), cell.left(), cell.top());
    }
    QString SlotText() { return main().MobileSlotText()->Text(); }
};
}  // namespace

TEST_F(DragTest, OnTheStartScreenOnlyTheSlotNumberFollows) {
    const QImage start = GrabMap();
    Move(SlotPoint(200));
    EXPECT_EQ(SlotText(), "200");
    EXPECT_EQ(GrabMap(), start);
    Press(SlotPoint(300));  // free data space: starts nothing, draws nothing
    EXPECT_EQ(main().flgStartScreen, 1);
    EXPECT_EQ(GrabMap(), start);
    Release(SlotPoint(300));
    Move(SlotPoint(201));  // the map follows with the next move
    EXPECT_NE(GrabMap(), start);
    EXPECT_EQ(SlotColour(8), main().ColorMap[3]);
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
            ASSERT_TRUE(at.slot >= 0 && at.slot <= 1535) << x << "," << y;
        }
    for (QPoint corner : {QPoint(0, 0), QPoint(673, 0), QPoint(0, 289), QPoint(673, 289),
                          QPoint(8, 19), QPoint(9, 20)}) {
        Move(corner);
        const int slot = SlotText().toInt();
        EXPECT_EQ(slot, MapGeometry::PointToSlot(corner.x(), corner.y()).slot);
    }
    Move(QPoint(673, 289));
    EXPECT_EQ(SlotText(), "1535");
}

TEST_F(DragTest, TheWorkedDrag) {
    ShowMap();
    ASSERT_EQ(Module1::SuperFrameSlot[9], 3);

    Press(SlotPoint(9));
    EXPECT_EQ(main().flgMoveChannel, 1);
    EXPECT_EQ(main().iMoveID, 3);
    EXPECT_EQ(SlotColour(100), kDataSpace) << "the first interval keeps its colours";
    EXPECT_EQ(SlotColour(128 + 20), kDimmedDataSpace) << "slots from 128 on are dimmed";

    DragTo(SlotPoint(9));
    if (const QByteArray folder = qgetenv("VELTRANE_MAP_PNG"); !folder.isEmpty())
        GrabWindow().save(QString::fromLocal8Bit(folder) + "/drag.png");
    EXPECT_EQ(record(3).SegmentDistribution, 3209);
    EXPECT_EQ(list().Cell(5, 2), "3209") << "the SD cell follows";
    EXPECT_EQ(SlotColour(12), main().ColorMap[3]);
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
    EXPECT_EQ(main().flgMoveChannel, 0);
    EXPECT_EQ(main().iMoveID, -1);
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
    EXPECT_EQ(main().flgMoveChannel, 0);
    EXPECT_EQ(main().iMoveID, -1);
    DragTo(SlotPoint(137));
    EXPECT_EQ(record(3).SegmentDistribution, 3208);
    Release(SlotPoint(137));
    EXPECT_EQ(SlotColour(200), kDataSpace);

    // Control space and free data space refuse the press.
    for (int slot : {0, 3, 64, 300}) {
        Press(SlotPoint(slot));
        EXPECT_EQ(main().flgMoveChannel, 0) << slot;
        DragTo(SlotPoint(9));
        Release(SlotPoint(9));
        EXPECT_EQ(record(3).SegmentDistribution, 3208) << slot;
    }
}

TEST_F(DragTest, HugeSegmentLengthsStayBounded) {
    ShowMap();
    Press(SlotPoint(9));
    record(3).SegmentLength = 2000000000;  // as a controller could store it
    DragTo(SlotPoint(10));
    EXPECT_EQ(record(3).SegmentDistribution, 3208) << "the segment cannot fit";
    record(3).SegmentLength = -5;
    DragTo(SlotPoint(10));
    Release(SlotPoint(10));
}

TEST_F(DragTest, PaintDuringADragDrawsOnTheDimmedLayer) {
    ShowMap();
    Press(SlotPoint(9));
    canvas()->Refresh();
    EXPECT_EQ(SlotColour(128 + 20), kDimmedDataSpace);
    Release(SlotPoint(9));
}

// A release after a press on a later segment redraws the control space that
// the window opened with.
TEST_F(DragTest, AReleaseOnALaterSegmentShowsTheControlSpace) {
    ShowMap();
    Press(SlotPoint(136));
    ASSERT_EQ(main().flgMoveChannel, 0);
    Release(SlotPoint(136));
    const QImage map = GrabMap();
    ExpectOpeningControlSpace(map, 200);
    EXPECT_EQ(SlotCellColor(map, 136), main().ColorMap[3]);
}
