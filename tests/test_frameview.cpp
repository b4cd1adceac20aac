#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <array>
#include <climits>
#include <vector>

#include "ChannelLayer.h"
#include "ControlLayer.h"
#include "MapGeometry.h"
#include "MapPictures.h"
#include "MarkLayers.h"
#include "Module1.h"

using namespace MapGeometry;
using namespace MapPainters;
using namespace MapPictures;

namespace {
// Control space as the bus builds it: the first `control` slots of every subframe.
SlotOwners SlotMap(int control, int subframe) {
    SlotOwners owners{};
    for (int s = 0; s < kSlotCount; ++s)
        owners[static_cast<size_t>(s)] = s % subframe < control ? Module1::kControlSpace : -1;
    owners[kSlotCount] = 0;
    return owners;
}

const SlotOwners kMode4Of32 = SlotMap(4, 32);
const MessageMarks kNoBand{-1, -1, -1};

// Painters run on every pointer move: none of them may raise a message box.
class PainterTest : public ::testing::Test {
protected:
    void SetUp() override { RecordedMessages().clear(); }
    void TearDown() override {
        EXPECT_TRUE(RecordedMessages().isEmpty()) << RecordedMessages().join("; ").toStdString();
    }
};

// A channel pool indexed by ID, as Main keeps it.
struct Pool {
    std::array<Channel, 256> records{};
    std::array<const Channel*, 256> pointers{};
    Pool() {
        for (size_t i = 0; i < records.size(); ++i) pointers[i] = &records[i];
    }
    Pool(const Pool&) = delete;
    Pool& operator=(const Pool&) = delete;
    void Clear() { records.fill(Channel{}); }
    Channel& Add(int id, int32_t code, int32_t length, Color colour) {
        Channel& channel = records[static_cast<size_t>(id)];
        channel.Status = 1;
        channel.SegmentDistribution = code;
        channel.SegmentLength = length;
        channel.BoxColor = colour;
        return channel;
    }
};
}  // namespace

// --- geometry ----------------------------------------------------------------

TEST(MapGeometry, PixelsMapToTheirCellColumnAndRow) {
    for (int x = 0; x < kPictureWidthPx; ++x) {
        const int expected = x < 2 ? 0 : (x - 2) / kColumnPitchPx;
        ASSERT_EQ(PointToSlot(x, 100).Column, expected) << x;
    }
    for (int y = 0; y < kPictureHeightPx; ++y) {
        const int expected = y < 2 ? 0 : (y - 2) / kRowPitchPx;
        ASSERT_EQ(PointToSlot(100, y).Row, expected) << y;
    }
    struct Case {
        int x, y, column, row;
        int64_t slot;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 0},        {7, 16, 0, 0, 0},         {8, 19, 0, 0, 0},  // a cell and its gaps
        {9, 20, 1, 1, 97},      {673, 289, 95, 15, 1535}, {667, 272, 95, 15, 1535},
        {-4, -15, 0, 0, 0},  // within one pitch left of and above the map the fraction is dropped
        {-5, -16, -1, -1, -97}, {680, 300, 96, 16, 1632}};
    for (const Case& c : cases) {
        const MapPoint p = PointToSlot(c.x, c.y);
        EXPECT_EQ(p.Column, c.column) << c.x << "," << c.y;
        EXPECT_EQ(p.Row, c.row) << c.x << "," << c.y;
        EXPECT_EQ(p.Slot, c.slot) << c.x << "," << c.y;
    }
    const MapPoint far = PointToSlot(INT_MAX, INT_MAX);
    EXPECT_GT(far.Slot, INT_MAX);  // no wrap-around
}

TEST(MapGeometry, CellRectangles) {
    EXPECT_EQ(CellRect(0, 0), QRect(2, 2, 6, 15));
    EXPECT_EQ(CellRect(95, 15), QRect(667, 272, 6, 15));
    EXPECT_EQ(CellRect(95, 15).right(), 672);
    EXPECT_EQ(CellRect(95, 15).bottom(), 286);
    EXPECT_EQ(SlotColumn(1535), 95);
    EXPECT_EQ(SlotRow(1535), 15);
    EXPECT_EQ(RowLineY(16), 288);
}

// --- control-space layer -----------------------------------------------------

TEST_F(PainterTest, ControlLayerBackgroundLinesAndGaps) {
    const Picture layer = PaintControlLayer(kMode4Of32, kNoBand, 0, 0);
    ASSERT_EQ(layer.Width(), kPictureWidthPx);
    ASSERT_EQ(layer.Height(), kPictureHeightPx);
    for (int line = 0; line <= kRows; ++line) {
        const Color expected = line % 2 == 0 || line == kRows ? kDarkLine : kLightLine;
        for (int x : {0, 1, 8, 336, 672, 673})
            EXPECT_EQ(At(layer, x, RowLineY(line)), expected) << line << " x " << x;
    }
    // Left margin, the gap right of a cell, the rows between a cell and the next line.
    for (auto [x, y] : std::vector<std::pair<int, int>>{
             {0, 5}, {1, 5}, {8, 5}, {15, 10}, {673, 100}, {5, 1}, {5, 17}, {400, 287}, {5, 289}})
        EXPECT_EQ(At(layer, x, y), kBackground) << x << "," << y;
}

TEST_F(PainterTest, ControlSpaceClassificationPerSubframeMode) {
    struct Case {
        int control, subframe, slot;
        Color colour;
    };
    const Case cases[] = {
        // 4 / 32: framing, two guide slots, then message slots.
        {4, 32, 0, kFraming},
        {4, 32, 1, kGuide},
        {4, 32, 2, kGuide},
        {4, 32, 3, kMessage},
        {4, 32, 4, kData},
        {4, 32, 31, kData},
        {4, 32, 32, kMessage},
        {4, 32, 96, kFraming},
        {4, 32, 97, kMessage},
        {4, 32, 1440, kFraming},
        {4, 32, 1507, kMessage},
        {4, 32, 1535, kData},
        // 8 / 8: all control space.
        {8, 8, 0, kFraming},
        {8, 8, 1, kGuide},
        {8, 8, 2, kGuide},
        {8, 8, 3, kMessage},
        {8, 8, 8, kMessage},
        {8, 8, 95, kMessage},
        {8, 8, 192, kFraming},
        {8, 8, 1535, kMessage},
        // 1 / 6: the guide slots are the first slots of the 2nd and 3rd subframes.
        {1, 6, 0, kFraming},
        {1, 6, 1, kData},
        {1, 6, 6, kGuide},
        {1, 6, 12, kGuide},
        {1, 6, 18, kMessage},
        {1, 6, 96, kFraming},
        {1, 6, 102, kMessage},
        {1, 6, 103, kData},
        // 24 / 32.
        {24, 32, 0, kFraming},
        {24, 32, 2, kGuide},
        {24, 32, 3, kMessage},
        {24, 32, 23, kMessage},
        {24, 32, 24, kData},
        {24, 32, 32, kMessage},
        {24, 32, 96, kFraming}};
    for (const Case& c : cases) {
        const Picture layer = PaintControlLayer(SlotMap(c.control, c.subframe), kNoBand, 0, 0);
        SCOPED_TRACE(testing::Message() << c.control << "/" << c.subframe << " slot " << c.slot);
        ExpectCell(layer, c.slot, c.colour);
    }
}

TEST_F(PainterTest, OwnersOtherThanControlSpaceAreDataSpace) {
    SlotOwners owners = kMode4Of32;
    owners[4] = 7;    // a channel ID, or one left by an earlier drawing
    owners[5] = 300;  // any other value
    owners[6] = INT_MIN;
    owners[3] = 0;  // the first message slot given to a channel
    const Picture layer = PaintControlLayer(owners, kNoBand, 0, 0);
    for (int slot : {3, 4, 5, 6}) ExpectCell(layer, slot, kData);
    ExpectCell(layer, 32, kMessage);
}

TEST_F(PainterTest, Dimming) {
    const Picture plain = PaintControlLayer(kMode4Of32, kNoBand, 0, 0);
    // The dim flag below 1 ignores the first dimmed slot.
    for (auto [flag, first] : std::vector<std::pair<int, int>>{{0, 5}, {0, -3}, {-1, 0}})
        EXPECT_EQ(Differences(PaintControlLayer(kMode4Of32, kNoBand, flag, first), plain), 0)
            << flag << "/" << first;

    const Picture all = PaintControlLayer(kMode4Of32, kNoBand, 1, 0);
    ExpectCell(all, 0, RGB(0, 166, 0));
    ExpectCell(all, 1, RGB(0, 92, 185));
    ExpectCell(all, 3, RGB(0, 236, 0));
    ExpectCell(all, 4, RGB(185, 185, 185));
    ExpectCell(all, 1535, RGB(185, 185, 185));
    EXPECT_EQ(At(all, 0, 0), kDarkLine);
    EXPECT_EQ(At(all, 0, 18), kLightLine);
    EXPECT_EQ(At(all, 8, 5), kBackground);
    EXPECT_EQ(Differences(all, PaintControlLayer(kMode4Of32, kNoBand, 2, -100)), 0);

    const Picture from64 = PaintControlLayer(kMode4Of32, kNoBand, 1, 64);
    ExpectCell(from64, 3, kMessage);
    ExpectCell(from64, 35, kMessage);
    ExpectCell(from64, 63, kData);
    ExpectCell(from64, 64, RGB(0, 236, 0));
    ExpectCell(from64, 68, RGB(185, 185, 185));
    ExpectCell(from64, 96, RGB(0, 166, 0));
}

TEST_F(PainterTest, MessageBandShapes) {
    // Mode 4/32: message slot 1 is slot 3, 2..5 are 32..35, 6 is 64.
    struct Shape {
        int slot;
        int from, to;  // band pixel columns inside the cell, -1 for none
    };
    struct Case {
        int32_t start, length;
        std::vector<Shape> shapes;
    };
    const std::vector<Case> cases = {
        {0, 1, {{3, 0, 5}, {32, -1, -1}}},              // first and last shapes fill the cell
        {0, 2, {{3, 2, 5}, {32, 0, 3}, {33, -1, -1}}},  // no inner shape
        {0,
         6,
         {{1, -1, -1},
          {2, -1, -1},
          {3, 2, 5},
          {32, 0, 5},
          {35, 0, 5},
          {64, 0, 3},
          {65, -1, -1},
          {0, -1, -1}}},  // guide and framing never banded
        {1, 2, {{3, -1, -1}, {32, 2, 5}, {33, 0, 3}}},
        {0, 0, {{3, -1, -1}, {32, -1, -1}}},
        {0, -5, {{3, -1, -1}}},
        // Past the last message slot (1507 is number 174): no last shape.
        {170, 10, {{1504, 2, 5}, {1505, 0, 5}, {1507, 0, 5}}},
        {173, 1, {{1507, 0, 5}, {1506, -1, -1}}},
        {INT_MAX, INT_MAX, {{3, -1, -1}, {1507, -1, -1}}},
        {-5, 1000, {{3, 0, 5}, {1507, 0, 5}}},  // inner shape in every message slot
        {INT_MIN, INT_MAX, {{3, -1, -1}, {1507, -1, -1}}},
    };
    for (const Case& c : cases) {
        const Picture layer = PaintControlLayer(kMode4Of32, {c.start, c.length, 0}, 0, 0);
        for (const Shape& s : c.shapes) {
            const Color slotColour =
                CellColour(PaintControlLayer(kMode4Of32, kNoBand, 0, 0), s.slot);
            for (int dx = 0; dx < kCellWidthPx; ++dx)
                for (int dy = 0; dy < kCellHeightPx; ++dy) {
                    const bool banded = dx >= s.from && dx <= s.to && dy >= 2 && dy <= 12;
                    ASSERT_EQ(At(layer, Left(s.slot) + dx, Top(s.slot) + dy),
                              banded ? kBand : slotColour)
                        << "band " << c.start << "/" << c.length << " slot " << s.slot << " +" << dx
                        << "," << dy;
                }
        }
    }
}

TEST_F(PainterTest, MessageBandColours) {
    const Picture dimmed = PaintControlLayer(kMode4Of32, {0, 3, 0}, 1, 0);
    EXPECT_EQ(At(dimmed, Left(3) + 3, Top(3) + 5), RGB(80, 185, 50));
    EXPECT_EQ(At(dimmed, Left(3) + 0, Top(3) + 5), RGB(0, 236, 0));
    const Picture pale = PaintControlLayer(kMode4Of32, {0, 3, 1}, 1, 0);
    EXPECT_EQ(At(pale, Left(32) + 3, Top(32) + 5), kPaleBand);
    EXPECT_EQ(At(PaintControlLayer(kMode4Of32, {0, 3, 1}, 0, 0), Left(32), Top(32) + 5), kPaleBand);
    EXPECT_EQ(At(PaintControlLayer(kMode4Of32, {0, 3, 2}, 0, 0), Left(32), Top(32) + 5), kBand);
}

// --- channel layer -----------------------------------------------------------

class ChannelLayerTest : public PainterTest {
protected:
    const Picture base = PaintControlLayer(kMode4Of32, kNoBand, 0, 0);
    SlotOwners owners = kMode4Of32;
    Pool pool;
    BusClock bus{kRoot24576kHz, kGear10};

    Picture Paint() { return PaintChannelLayer(base, pool.pointers, bus, owners); }

    // Whether each of the channel's segments (interval 128, offset 8, 4 slots)
    // shows solid, checked on every cell.
    std::vector<bool> SolidSegments(const Picture& layer, Color colour, int offset = 8) {
        std::vector<bool> solid;
        for (int u = 0; u < 12; ++u) {
            const int first = offset + 128 * u;
            const Color dot = DotColour(layer, first);
            for (int k = 0; k < 4; ++k) {
                ExpectCell(layer, first + k, colour, true);
                EXPECT_EQ(DotColour(layer, first + k), dot) << first + k;
                EXPECT_EQ(owners[static_cast<size_t>(first + k)], 3) << first + k;
            }
            EXPECT_TRUE(dot == colour || dot == kEmptyDot) << u;
            solid.push_back(dot == colour);
        }
        return solid;
    }
};

TEST_F(ChannelLayerTest, PresencePatterns) {
    const Color colour = RGB(63, 131, 99);
    const std::vector<bool> allSolid(12, true);
    std::vector<bool> everyFourth(12, false);
    for (int u = 3; u < 12; u += 4) everyFourth[static_cast<size_t>(u)] = true;
    std::vector<bool> alternate(12, false);
    for (int u = 1; u < 12; u += 2) alternate[static_cast<size_t>(u)] = true;
    struct Case {
        int32_t protocol, presence;
        double rate;
        BusClock bus;
        std::vector<bool> solid;
    };
    const BusClock good{kRoot24576kHz, kGear10};
    const std::vector<Case> cases = {
        {1, 1, 48000, good, everyFourth},  // 12 kHz presence at 48000 segments/s: 1 in 4
        {0, 1, 48000, good, allSolid},
        {2, 1, 48000, good, allSolid},
        {1, 0, 48000, good, allSolid},
        {3, 3, 48000, good, allSolid},
        {3, 2, 48000, good, alternate},
        {1, 1, 48000, {-1, kGear10}, allSolid},       // no root frequency
        {1, 1, 48000, {kRoot24576kHz, 0}, allSolid},  // no clock gear
        {1, 1, 0, {kRoot24576kHz, 12}, allSolid},     // reserved gear: rate never computed
        {1, 1, 0, good, allSolid},                    // a rate below 1 ...
        {3, 9, 0.5, good, allSolid},                  // ... shows no message
        {1, 24, 48000, good, allSolid},               // both family bits: no family
        {1, 31, 48000, good, allSolid},
        {3, 25, 48000, good, allSolid},
        {1,
         17,
         48000,
         good,
         {false, false, false, false, false, true,  // 8 kHz: 1 in 6
          false, false, false, false, false, true}},
        {1, -8, 48000, good, allSolid},  // a negative code names no family
        {1, 1, -48000, good, allSolid},
        {1, 1, 1e300, good, std::vector<bool>(12, false)},  // beyond 32 bits: saturates
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "TP " << c.protocol << " PR " << c.presence << " rate " << c.rate << " bus "
                     << c.bus.RootFrequency << "/" << c.bus.ClockGear);
        pool.Clear();
        owners = kMode4Of32;
        bus = c.bus;
        Channel& channel = pool.Add(3, 3208, 4, colour);
        channel.TransportProtocol = c.protocol;
        channel.PresenceRate = c.presence;
        channel.Rate = c.rate;
        EXPECT_EQ(SolidSegments(Paint(), colour), c.solid);
    }
}

TEST_F(ChannelLayerTest, PresenceCodesBeyondTheMenuAreDefined) {
    // Codes above 31 keep their high bits: the presence rate goes beyond 32
    // bits and saturates, so every segment carries data; INT_MIN's rate is
    // 0 Hz; codes with both family bits name no family.
    struct Case {
        int32_t code;
        bool solid;
    };
    const Case cases[] = {{32, true},      {33, true}, {1 << 20, true},
                          {INT_MAX, true}, {-1, true}, {INT_MIN, false}};
    for (const Case& c : cases) {
        pool.Clear();
        Channel& channel = pool.Add(3, 3208, 4, RGB(10, 20, 30));
        channel.TransportProtocol = 1;
        channel.PresenceRate = c.code;
        channel.Rate = 48000;
        const Picture layer = Paint();
        EXPECT_EQ(CellColour(layer, 8), RGB(10, 20, 30)) << c.code;
        EXPECT_EQ(DotColour(layer, 8), c.solid ? RGB(10, 20, 30) : kEmptyDot) << c.code;
    }
}

TEST_F(ChannelLayerTest, HigherIdWinsOverlaps) {
    pool.Add(9, 3208, 4, RGB(0, 0, 255));
    pool.Add(5, Module1::CalculateSegmentDistribution(10, 128), 4, RGB(255, 0, 255));
    const Picture layer = Paint();
    ExpectCell(layer, 8, RGB(0, 0, 255));
    ExpectCell(layer, 11, RGB(0, 0, 255));
    ExpectCell(layer, 12, RGB(255, 0, 255));
    ExpectCell(layer, 13, RGB(255, 0, 255));
    EXPECT_EQ(owners[10], 9);
    EXPECT_EQ(owners[11], 9);
    EXPECT_EQ(owners[12], 5);
    EXPECT_EQ(owners[13], 5);
    EXPECT_EQ(owners[14], -1);
}

TEST_F(ChannelLayerTest, ChannelsThatAreNotDrawn) {
    EXPECT_EQ(Differences(Paint(), base), 0);  // no channel in use
    pool.Add(1, 3208, 4, kRed).Status = 0;
    pool.Add(2, 0, 4, kRed);                                              // no distribution
    pool.Add(3, Module1::CalculateSegmentDistribution(0, 128), 4, kRed);  // offset 0
    pool.Add(4, 3208, 0, kRed);                                           // no length
    pool.Add(5, 3208, -3, kRed);
    pool.Add(6, 3208, INT_MIN, kRed);
    pool.Add(7, 5000, 4, kRed);  // no interval
    pool.Add(8, 3208, 4, kRed).Status = 2;
    const SlotOwners before = owners;
    EXPECT_EQ(Differences(Paint(), base), 0);
    EXPECT_EQ(owners, before);
}

TEST_F(ChannelLayerTest, SegmentsPastTheLastSlotEndThere) {
    const int32_t code = Module1::CalculateSegmentDistribution(1533, 1536);
    for (int32_t length : {6, 1000, 2000000000, INT_MAX}) {
        pool.Clear();
        owners = kMode4Of32;
        pool.Add(2, code, length, RGB(1, 2, 3));
        const Picture layer = Paint();
        for (int slot : {1533, 1534, 1535}) {
            ExpectCell(layer, slot, RGB(1, 2, 3));
            EXPECT_EQ(owners[static_cast<size_t>(slot)], 2);
        }
        EXPECT_EQ(Differences(layer, base), 3 * kCellWidthPx * kCellHeightPx) << length;
        EXPECT_EQ(owners[1532], -1);
    }
    // A long segment every 3 slots covers everything from its offset on.
    pool.Clear();
    owners = kMode4Of32;
    pool.Add(4, Module1::CalculateSegmentDistribution(2, 3), INT_MAX, RGB(1, 2, 3));
    const Picture layer = Paint();
    ExpectCell(layer, 1, kGuide);
    for (int slot : {2, 700, 1535}) ExpectCell(layer, slot, RGB(1, 2, 3));
}

TEST_F(ChannelLayerTest, NegativeCodeNeverWritesBeforeTheMap) {
    // Code -1 decodes to interval 3, offset -1: segments at -1, 2, 5, ...
    ASSERT_EQ(Module1::SD2SO(-1), -1);
    ASSERT_EQ(Module1::SD2SI(-1), 3);
    pool.Add(6, -1, 2, RGB(9, 9, 9));
    const Picture layer = Paint();
    ExpectCell(layer, 0, RGB(9, 9, 9));  // the first segment's second slot
    ExpectCell(layer, 1, kGuide);
    ExpectCell(layer, 2, RGB(9, 9, 9));
    EXPECT_EQ(owners[0], 6);
    EXPECT_EQ(owners[1], Module1::kControlSpace);
}

TEST_F(ChannelLayerTest, BaseIsLeftAsItWas) {
    const Picture copy = base;
    pool.Add(3, 3208, 4, kRed);
    const Picture layer = Paint();
    EXPECT_GT(Differences(layer, base), 0);
    EXPECT_EQ(Differences(copy, PaintControlLayer(kMode4Of32, kNoBand, 0, 0)), 0);
    // Without a base the layer starts white.
    const Picture onNil = PaintChannelLayer(Picture(), pool.pointers, bus, owners);
    ASSERT_EQ(onNil.Width(), kPictureWidthPx);
    EXPECT_EQ(At(onNil, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(CellColour(onNil, 8), kRed);
}

// A picture of a few channels, to look at: VELTRANE_MAP_PNG=folder saves it.
TEST_F(ChannelLayerTest, RealisticLayer) {
    pool.Add(0, Module1::CalculateSegmentDistribution(4, 32), 4, RGB(70, 191, 255))
        .TransportProtocol = 0;
    Channel& pushed = pool.Add(3, 3208, 4, RGB(255, 127, 80));
    pushed.TransportProtocol = 1;
    pushed.PresenceRate = 1;
    pushed.Rate = 48000;
    Channel& pulled =
        pool.Add(7, Module1::CalculateSegmentDistribution(20, 64), 6, RGB(160, 90, 230));
    pulled.TransportProtocol = 3;
    pulled.PresenceRate = 2;
    pulled.Rate = 96000;
    pool.Add(12, Module1::CalculateSegmentDistribution(1530, 1536), 20, RGB(230, 200, 40));
    const Picture layer = PaintPointerFrame(PaintErrorLayer(Paint(), {300, 5, 2}), 10, 3);
    ExpectCell(layer, 4, RGB(70, 191, 255));
    EXPECT_EQ(DotColour(layer, 20), kEmptyDot);
    EXPECT_EQ(DotColour(layer, 84), kEmptyDot);
    EXPECT_EQ(DotColour(layer, 212), RGB(160, 90, 230));
    KeepPicture(layer.Image(), QStringLiteral("channel_layer.png"));
}

// --- error layer and pointer frame -------------------------------------------

TEST_F(PainterTest, ErrorMarks) {
    const Picture base = PaintControlLayer(kMode4Of32, kNoBand, 0, 0);
    constexpr int kCellPixels = kCellWidthPx * kCellHeightPx;
    struct Case {
        ErrorMarks marks;
        std::vector<int> red;  // exactly these cells change
    };
    const std::vector<Case> cases = {
        {{100, 2, 0}, {100, 101, 102}},
        {{100, 0, 0}, {}},
        {{100, -4, 0}, {}},
        {{0, 0, 3}, {0, 192, 384}},
        {{0, 0, 9}, {0, 192, 384, 576, 768, 960, 1152, 1344}},
        {{0, 0, INT_MAX}, {0, 192, 384, 576, 768, 960, 1152, 1344}},
        {{0, 0, -7}, {}},
        {{-1000, 1002, 0}, {0, 1, 2}},
        {{1533, 1000000, 0}, {1533, 1534, 1535}},
        {{1536, 5, 0}, {}},
        {{INT_MAX - 1, INT_MAX, 0}, {}},
        {{INT_MIN, INT_MAX, 0}, {}},
        {{INT_MIN, INT_MAX, 1}, {0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.marks.Start << "/" << c.marks.Length << "/" << c.marks.SyncError);
        const Picture layer = PaintErrorLayer(base, c.marks);
        for (int slot : c.red) ExpectCell(layer, slot, kRed);
        EXPECT_EQ(Differences(layer, base), static_cast<int>(c.red.size()) * kCellPixels);
    }
    // The whole map in errors.
    EXPECT_EQ(Differences(PaintErrorLayer(base, {INT_MIN, INT_MAX, 0}), base), 0);
    const Picture full = PaintErrorLayer(base, {0, INT_MAX, 0});
    ExpectCell(full, 0, kRed);
    ExpectCell(full, 1535, kRed);
}

TEST_F(PainterTest, PointerFrame) {
    const Picture base = PaintControlLayer(kMode4Of32, kNoBand, 0, 0);
    const Picture corner = PaintPointerFrame(base, 95, 15);
    for (int y = 271; y <= 287; ++y) {
        EXPECT_EQ(At(corner, 666, y), kRed) << y;
        EXPECT_EQ(At(corner, 673, y), kRed) << y;  // the picture's last column
    }
    for (int x = 666; x <= 673; ++x) {
        EXPECT_EQ(At(corner, x, 271), kRed) << x;
        EXPECT_EQ(At(corner, x, 287), kRed) << x;
    }
    ExpectCell(corner, 1535, kData);
    EXPECT_EQ(Differences(corner, base), 2 * 8 + 2 * 15);
    EXPECT_EQ(At(PaintPointerFrame(base, 0, 0), 1, 1), kRed);

    struct Case {
        int32_t column, row;
        int visible;  // pixels of the frame on the picture
    };
    const Case cases[] = {
        {-1, 0, 19},     {96, 0, 17},          {0, -1, 0},      {-1, -1, 0},
        {0, 16, 8},      {97, 3, 0},           {INT_MAX, 0, 0}, {INT_MIN, INT_MIN, 0},
        {0, INT_MAX, 0}, {INT_MAX, INT_MAX, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(Differences(PaintPointerFrame(base, c.column, c.row), base), c.visible)
            << c.column << "," << c.row;
}
