#include <gtest/gtest.h>

#include <vector>

#include "BusState.h"
#include "CoreTestSupport.h"
#include "Module1.h"

using namespace Module1;

namespace {
const std::vector<int32_t> kThreeTimesIntervals = {3, 6, 12, 24, 48, 96, 192, 384, 768, 1536};
const std::vector<int32_t> kPowerOfTwoIntervals = {2, 4, 8, 16, 32, 64, 128, 256, 512};
}  // namespace

TEST(SegmentDistribution, EveryIntervalAndOffsetRoundTrips) {
    std::vector<int32_t> intervals = kThreeTimesIntervals;
    intervals.insert(intervals.end(), kPowerOfTwoIntervals.begin(), kPowerOfTwoIntervals.end());
    for (int32_t interval : intervals) {
        for (int32_t offset = 0; offset < interval; ++offset) {
            const int32_t code = CalculateSegmentDistribution(offset, interval);
            ASSERT_GE(code, 1) << interval << "/" << offset;
            ASSERT_LE(code, 4095) << interval << "/" << offset;
            ASSERT_EQ(SD2SI(code), interval) << code;
            ASSERT_EQ(SD2SO(code), offset) << code;
        }
    }
}

TEST(SegmentDistribution, KnownCodes) {
    struct Case {
        int32_t code, interval, offset;
    };
    const Case cases[] = {{512, 1536, 0}, {3071, 1536, 1535}, {4095, 512, 511}, {2049, 3, 2},
                          {3075, 2, 1},   {1029, 12, 5},      {3074, 2, 0},     {1, 3, 0},
                          {1025, 3, 1},   {3584, 512, 0},     {3208, 128, 8},   {3209, 128, 9},
                          {8, 24, 0},     {3104, 32, 0},      {3105, 32, 1},    {256, 768, 0}};
    for (const Case& c : cases) {
        EXPECT_EQ(CalculateSegmentDistribution(c.offset, c.interval), c.code) << c.code;
        EXPECT_EQ(SD2SI(c.code), c.interval) << c.code;
        EXPECT_EQ(SD2SO(c.code), c.offset) << c.code;
    }
}

TEST(SegmentDistribution, CodesWithoutMarkerOrOutOfRange) {
    EXPECT_EQ(SD2SI(0), 3);
    EXPECT_EQ(SD2SO(0), 0);
    EXPECT_EQ(SD2SI(3072), 1);
    EXPECT_EQ(SD2SO(3072), 0);
    EXPECT_EQ(SD2SO(2048), 1);
    EXPECT_EQ(SD2SI(3073), 1);
    EXPECT_EQ(SD2SO(3073), 0);
    for (int32_t code : {4096, 5000, 1 << 30}) {
        EXPECT_EQ(SD2SI(code), 0) << code;
        EXPECT_EQ(SD2SO(code), 0) << code;
    }
}

TEST(SegmentDistribution, IntervalsWithoutCodeGiveNone) {
    for (int32_t interval : {-4, 0, 1, 5, 7, 9, 10, 20, 36, 1024, 3072})
        EXPECT_EQ(CalculateSegmentDistribution(0, interval), 0) << interval;
}

TEST(BitOperations, TestAndSet) {
    EXPECT_EQ(Bit_Test(6, 1), 1);
    EXPECT_EQ(Bit_Test(6, 0), 0);
    for (int32_t bit = 0; bit < 31; ++bit) EXPECT_NE(Bit_Test(-12345, bit), 1) << bit;
    EXPECT_EQ(Bit_Set(6, 1, 1), 6);
    EXPECT_EQ(Bit_Set(6, 1, 0), 4);
    EXPECT_EQ(Bit_Set(6, 0, 7), 6);
    EXPECT_EQ(Bit_Set(6, 0, 1), 7);
}

class SlotMapTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetBusState();
        SuperFrameSlot.fill(-1);
    }
    void TearDown() override { ResetBusState(); }
};

TEST_F(SlotMapTest, ControlSpaceForEachPair) {
    struct Case {
        int32_t control, length;
    };
    for (const Case c : {Case{4, 32}, Case{8, 8}, Case{1, 6}, Case{24, 32}, Case{3, 24}}) {
        iControlSize = c.control;
        iSubFrameLength = c.length;
        BuildSlotMap();
        for (int s = 0; s < kSlotCount; ++s)
            ASSERT_EQ(SuperFrameSlot[s], s % c.length < c.control ? 256 : -1)
                << c.control << "/" << c.length << " slot " << s;
        EXPECT_EQ(SuperFrameSlot[kSlotCount], -1) << "entry 1536 is not a slot";
    }
}

TEST_F(SlotMapTest, WipesChannelIds) {
    iControlSize = 4;
    iSubFrameLength = 32;
    SuperFrameSlot[8] = 3;
    SuperFrameSlot[40] = 255;
    BuildSlotMap();
    EXPECT_EQ(SuperFrameSlot[8], -1);
    EXPECT_EQ(SuperFrameSlot[40], -1);
}

TEST_F(SlotMapTest, NoSubframeLengthLeavesMapUnchanged) {
    iControlSize = 4;
    iSubFrameLength = 0;
    SuperFrameSlot[5] = 7;
    BuildSlotMap();
    EXPECT_EQ(SuperFrameSlot[5], 7);
    EXPECT_EQ(SuperFrameSlot[0], -1);
}

TEST(RootFrequency, Rows) {
    const int32_t expected[16] = {-1,       24576000, 22579200, 15360000, 16800000, 19200000,
                                  24000000, 25000000, 26000000, 27000000, -1,       -1,
                                  -1,       -1,       -1,       -1};
    for (int row = 0; row < 16; ++row) EXPECT_EQ(RootFrequencyOfRow(row), expected[row]) << row;
    EXPECT_EQ(RootFrequencyOfRow(-1), -1);
    EXPECT_EQ(RootFrequencyOfRow(40), -1);
}

TEST(GreatestCommonDivisor, Values) {
    RecordedMessages().clear();
    EXPECT_EQ(GCD(8000, 12000), 4000);
    EXPECT_EQ(GCD(44100, 48000), 300);
    EXPECT_EQ(GCD(12000, 48000), 12000);
    EXPECT_EQ(GCD(59, 118), 1) << "prime factors above 53 are ignored";
    EXPECT_EQ(GCD(-12, 8), 4);
    EXPECT_TRUE(RecordedMessages().isEmpty());
}

TEST(GreatestCommonDivisor, ZeroArgumentsShowTheirMessages) {
    RecordedMessages().clear();
    EXPECT_EQ(GCD(0, 12), 1);
    EXPECT_EQ(RecordedMessages(), QStringList{"Error: GCD iX=0"});
    RecordedMessages().clear();
    EXPECT_EQ(GCD(12, 0), 1);
    EXPECT_EQ(RecordedMessages(), QStringList{"Error: GCD iY=0"});
    RecordedMessages().clear();
    EXPECT_EQ(GCD(0, 0), 1);
    EXPECT_EQ(RecordedMessages(), (QStringList{"Error: GCD iX=0", "Error: GCD iY=0"}));
}
