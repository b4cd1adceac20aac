// The configuration file format, without a window.
#include <gtest/gtest.h>

#include <QString>
#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <optional>
#include <random>

#include "BusConfiguration.h"
#include "Channel.h"
#include "ChannelPrinter.h"
#include "ConfigSamples.h"

using BusConfigFormat::BusConfiguration;

using namespace ConfigSamples;

namespace {

TEST(BusConfigurationFormat, SerializeWritesTheLinesInTheFilesOwnOrder) {
    BusConfiguration config = Numbered();
    config.Channels[255].Values[9] = -1;       // its last value
    config.Channels[0].Values[0] = INT32_MIN;  // the first value of the file
    const QStringList lines = BusConfigFormat::Serialize(config);

    ASSERT_EQ(lines.size(), 2820);
    EXPECT_EQ(lines[0], "SLIMbus Configuration file");
    EXPECT_EQ(lines[1], "7");
    EXPECT_EQ(lines[2], "9");
    EXPECT_EQ(lines[3], "3");
    EXPECT_EQ(lines[4], "Channel 0");
    EXPECT_EQ(lines[5], "-2147483648");
    EXPECT_EQ(lines[2809], "Channel 255");
    EXPECT_EQ(lines[2819], "-1");
    // Channel 42: Status, SD, SL, TP, PR, AF, FL, DL, DT, CL on lines 467 to 476.
    const int first = 5 + 11 * 42;
    EXPECT_EQ(lines[first - 1], "Channel 42");
    for (int k = 0; k < 10; ++k) EXPECT_EQ(lines[first + k], QString::number(4200 + k + 1));
}

TEST(BusConfigurationFormat, ChannelValuesMapOntoTheRecordFields) {
    Channel record;
    const ChannelValues values{1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    values.StoreIn(record);
    // The file's order is Status, SD, SL, TP, PR, AF, FL, DL, DT, CL; the
    // colour, figures, row and event id are not the file's.
    EXPECT_EQ(record, (Channel{.SegmentDistribution = 2,
                               .SegmentLength = 3,
                               .TransportProtocol = 4,
                               .FrequencyLocked = 7,
                               .PresenceRate = 5,
                               .AuxFormat = 6,
                               .DataType = 9,
                               .ChannelLink = 10,
                               .DataLength = 8,
                               .Status = 1}));
    EXPECT_EQ(ChannelValues::Of(record), values);
}

TEST(BusConfigurationFormat, ParseReadsBackWhatSerializeWrote) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int32_t> any(INT32_MIN, INT32_MAX);
    BusConfiguration config;
    config.SubFrameModeRow = -1;
    config.ClockGearRow = any(random);
    config.RootFrequencyRow = INT32_MAX;
    for (ChannelValues& v : config.Channels)
        v = {any(random), any(random), any(random), any(random), any(random),
             any(random), any(random), any(random), any(random), any(random)};
    QString error;
    const std::optional<BusConfiguration> parsed =
        BusConfigFormat::Parse(BusConfigFormat::Serialize(config), &error);
    ASSERT_TRUE(parsed.has_value()) << error.toStdString();
    EXPECT_TRUE(*parsed == config);
}

TEST(BusConfigurationFormat, HeaderNeedsSlimbusAnywhereInTheFirstLine) {
    const struct {
        const char* header;
        bool accepted;
    } cases[] = {
        {"SLIMbus Configuration file", true},
        {"Exported SLIMbus setup, rev 2", true},
        {"SLIMbus", true},
        {"slimbus configuration file", true},  // letter case is not looked at
        {"SLIM bus Configuration file", false},
        {"Configuration file", false},
        {"", false},
    };
    for (const auto& c : cases) {
        QStringList lines = BusConfigFormat::Serialize(Numbered());
        lines[0] = QString::fromLatin1(c.header);
        QString error;
        const std::optional<BusConfiguration> parsed = BusConfigFormat::Parse(lines, &error);
        EXPECT_EQ(parsed.has_value(), c.accepted) << c.header;
        if (c.accepted)
            EXPECT_TRUE(*parsed == Numbered()) << c.header;
        else
            EXPECT_EQ(error, "Invalid file format") << c.header;
    }
    QString error;
    EXPECT_FALSE(BusConfigFormat::Parse({}, &error).has_value());
    EXPECT_EQ(error, "Invalid file format");
}

TEST(BusConfigurationFormat, ValuesAreTakenByPositionAndReadLikeCLong) {
    QStringList lines = BusConfigFormat::Serialize(Numbered());
    lines[4 + 11 * 3] = "Channel 200";  // another number: still channel 3's block
    lines[4 + 11 * 5] = "garbage";
    const struct {
        const char* text;
        int32_t value;
    } values[] = {{"12", 12}, {"  -7", -7}, {"+9", 9},         {"12abc", 12},
                  {"abc", 0}, {"", 0},      {"4294967297", 1}, {"-2147483649", INT32_MAX},
                  {"3.9", 3}};
    const int firstValue = 5 + 11 * 10;  // channel 10's status line
    for (size_t k = 0; k < std::size(values); ++k) lines[firstValue + int(k)] = values[k].text;

    QString error;
    const std::optional<BusConfiguration> parsed = BusConfigFormat::Parse(lines, &error);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->Channels[3], Numbered().Channels[3]);
    EXPECT_EQ(parsed->Channels[5], Numbered().Channels[5]);
    const auto& got = parsed->Channels[10].Values;  // in the file's order
    for (size_t k = 0; k < std::size(values); ++k)
        EXPECT_EQ(got[k], values[k].value) << "line \"" << values[k].text << "\"";
}

TEST(BusConfigurationFormat, MissingLinesReadAsZero) {
    const struct {
        int keptLines;
        int32_t subFrameRow, clockGearRow, rootRow;
    } cases[] = {{1, 0, 0, 0}, {2, 7, 0, 0}, {4, 7, 9, 3}, {5 + 11 * 2 + 3, 7, 9, 3}};
    for (const auto& c : cases) {
        const QStringList lines = BusConfigFormat::Serialize(Numbered()).mid(0, c.keptLines);
        QString error;
        const std::optional<BusConfiguration> parsed = BusConfigFormat::Parse(lines, &error);
        ASSERT_TRUE(parsed.has_value()) << c.keptLines;
        EXPECT_EQ(parsed->SubFrameModeRow, c.subFrameRow);
        EXPECT_EQ(parsed->ClockGearRow, c.clockGearRow);
        EXPECT_EQ(parsed->RootFrequencyRow, c.rootRow);
        for (int n = 0; n < kChannels; ++n) {
            // Channel n's values stand on lines 6 + 11n to 15 + 11n (1-based).
            const int kept = std::clamp(c.keptLines - (5 + 11 * n), 0, 10);
            const auto& got = parsed->Channels[size_t(n)].Values;  // in the file's order
            for (int k = 0; k < 10; ++k)
                ASSERT_EQ(got[k], k < kept ? n * 100 + k + 1 : 0)
                    << "lines kept " << c.keptLines << ", channel " << n << ", value " << k;
        }
    }
}

}  // namespace
