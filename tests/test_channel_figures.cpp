// The bus figures and the channel rates, as plain arithmetic.
#include <gtest/gtest.h>

#include <limits>
#include <utility>

#include "BusFigures.h"
#include "ChannelFigures.h"

namespace {
constexpr int32_t k24576 = 24576000;
constexpr int32_t k225792 = 22579200;
constexpr int32_t kCode128Offset8 = 3208;  // segment interval 128, offset 8
}  // namespace

TEST(BusFigures, ControlBandwidthOfSubFrameModes) {
    struct Case {
        int row;
        double kbps;
    };
    // 192 control slots in rows 1, 14 and 19 alike.
    for (const Case c : {Case{0, 24288}, Case{3, 480}, Case{31, 18144}, Case{1, 2784},
                         Case{14, 2784}, Case{19, 2784}}) {
        const auto mode = BusFigures::SubFrameModeOfRow(c.row);
        ASSERT_TRUE(mode) << c.row;
        EXPECT_EQ(
            BusFigures::ControlBandwidthKbps(k24576, 10, mode->ControlSize, mode->SubFrameLength),
            c.kbps)
            << c.row;
    }
    EXPECT_FALSE(BusFigures::ControlBandwidthKbps(k24576, 10, 4, 0)) << "no subframe length yet";
}

TEST(BusFigures, SubFrameModeTable) {
    auto pair = [](int row) {
        const auto m = BusFigures::SubFrameModeOfRow(row);
        return m ? std::make_pair(m->ControlSize, m->SubFrameLength) : std::make_pair(-1, -1);
    };
    for (int row : {0, 2, 20, 30}) EXPECT_EQ(pair(row), std::make_pair(8, 8)) << row;
    for (int row : {1, 5}) EXPECT_EQ(pair(row), std::make_pair(1, 8)) << row;
    for (int row : {3, 7}) EXPECT_EQ(pair(row), std::make_pair(1, 32)) << row;
    EXPECT_EQ(pair(4), std::make_pair(1, 6));
    EXPECT_EQ(pair(26), std::make_pair(12, 24));
    EXPECT_EQ(pair(31), std::make_pair(24, 32));
    for (int row : {-1, 32, 40}) EXPECT_FALSE(BusFigures::SubFrameModeOfRow(row)) << row;
}

TEST(BusFigures, BusFrequencyIsTruncatedToKHz) {
    EXPECT_EQ(BusFigures::ActualBusFrequencyMHz(k24576, 10), 24.576);
    EXPECT_EQ(BusFigures::ActualBusFrequencyMHz(k225792, 10), 22.579);
    EXPECT_EQ(BusFigures::ActualBusFrequencyMHz(k225792, 9), 11.289);
    EXPECT_EQ(BusFigures::ActualBusFrequencyMHz(k24576, 1), 0.048);
}

TEST(BusFigures, Validity) {
    EXPECT_TRUE(BusFigures::Valid(k24576, 1));
    EXPECT_TRUE(BusFigures::Valid(k24576, 10));
    EXPECT_TRUE(BusFigures::Valid(0, 5)) << "a root frequency of 0 counts";
    for (int gear : {-1, 0, 11, 15}) EXPECT_FALSE(BusFigures::Valid(k24576, gear)) << gear;
    EXPECT_FALSE(BusFigures::Valid(-1, 10));
}

TEST(ChannelRates, RatesAndTexts) {
    struct Case {
        int32_t rootFrequency, gear;
        const char *rate, *bandwidth;
    };
    for (const Case c :
         {Case{k24576, 10, "48kHz", "768kbps"}, Case{k225792, 10, "44.1kHz", "705.6kbps"},
          Case{k24576, 9, "24kHz", "384kbps"}, Case{k225792, 9, "22.05kHz", "352.8kbps"}}) {
        const auto rate = ChannelFigures::SegmentRate(c.rootFrequency, c.gear, kCode128Offset8);
        ASSERT_TRUE(rate);
        EXPECT_EQ(ChannelFigures::RateText(*rate), c.rate);
        EXPECT_EQ(ChannelFigures::BandwidthText(ChannelFigures::Bandwidth(*rate, 4)), c.bandwidth);
    }
    EXPECT_EQ(ChannelFigures::RateText(44100.99), "44.1kHz") << "whole Hz before the division";
    EXPECT_EQ(ChannelFigures::BandwidthText(0.0), "0kbps");
    for (int32_t code : {4096, 5000, std::numeric_limits<int32_t>::max()})
        EXPECT_FALSE(ChannelFigures::SegmentRate(k24576, 10, code)) << code;
}
