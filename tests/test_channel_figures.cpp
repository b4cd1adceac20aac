// The bus figures and the channel rates, as plain arithmetic, and which rows
// of the channel list are parameter rows.
#include <gtest/gtest.h>

#include <QString>
#include <limits>
#include <optional>
#include <utility>

#include "BusFigures.h"
#include "ChannelFigures.h"
#include "ChannelRowIds.h"
#include "Listbox.h"

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

// Channel 7 expanded with its nine parameter rows, channel 300 (an ID no
// record has) collapsed, channel 2 expanded with nine rows.
TEST(ChannelRowsTest, ParameterRowsAreNamedByTheirChannelRowAndOffset) {
    using ChannelRows::ParameterRowAt;
    Listbox list;
    list.setColumnCount(ChannelRows::kColumnCount);
    list.ExpandRow = [&list](int) {
        for (int k = 0; k < 9; ++k) list.AddRow(QString());
    };
    for (const char* id : {"7", "300", "2"}) list.AddFolder(QString::fromLatin1(id));
    list.SetExpanded(2, true);
    list.SetExpanded(0, true);
    ASSERT_EQ(list.ListCount(), 21);
    // Rows: 0 channel 7, 1..9 its parameters, 10 channel 300, 11 channel 2, 12..20.
    struct Expected {
        int32_t channelRow, id, offset;
        bool operator==(const Expected&) const = default;
    };
    auto place = [&list](int32_t row) -> std::optional<Expected> {
        const auto p = ParameterRowAt(list, row);
        if (!p) return std::nullopt;
        return Expected{p->ChannelRow, p->Id, p->Offset};
    };
    for (int32_t offset = 1; offset <= 9; ++offset) {
        EXPECT_EQ(place(offset), (Expected{0, 7, offset})) << offset;
        EXPECT_EQ(place(11 + offset), (Expected{11, 2, offset})) << offset;
    }
    for (int32_t row : {0, 10, 11, -1, 21, 1 << 30})
        EXPECT_FALSE(place(row)) << "not a parameter row: " << row;

    // Collapsed, its rows are gone and the rows below name their own channel.
    list.SetExpanded(0, false);
    ASSERT_EQ(list.ListCount(), 12);
    EXPECT_FALSE(place(1)) << "the collapsed channel 300's row";
    EXPECT_EQ(place(3), (Expected{2, 2, 1}));

    // Ten rows without an ID: the tenth is nobody's parameter row.
    list.AddRow(QString());
    ASSERT_EQ(list.ListCount(), 13);
    EXPECT_EQ(place(11), (Expected{2, 2, 9}));
    EXPECT_FALSE(place(12));
}
