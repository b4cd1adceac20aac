#pragma once
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

#include "Channel.h"

// A bus configuration as its file holds it: the selected rows of the three
// bus pop-ups and ten values of every channel record. The file is one value
// per line: the header, the three rows, then per channel a "Channel n" line
// and its ten values.
namespace BusConfigFormat {

constexpr int kChannelCount = kChannelIdCount;  // a record for every ID
constexpr int kLinesBeforeChannels = 4;
constexpr int kLinesPerChannel = 11;
constexpr int kLineCount = kLinesBeforeChannels + kChannelCount * kLinesPerChannel;

// The first line as written; reading only asks for kHeaderMark in it.
inline const QString kHeader = QStringLiteral("SLIMbus Configuration file");
inline const QString kHeaderMark = QStringLiteral("SLIMbus");
inline const QString kInvalidFormat = QStringLiteral("Invalid file format");

// The record fields a channel's block holds, in the file's order (which is
// neither the record's nor the list's).
constexpr int kValuesPerChannel = kLinesPerChannel - 1;  // after the "Channel n" line
constexpr std::array<int32_t Channel::*, kValuesPerChannel> kChannelFields = {
    &Channel::Status,          &Channel::SegmentDistribution,
    &Channel::SegmentLength,   &Channel::TransportProtocol,
    &Channel::PresenceRate,    &Channel::AuxFormat,
    &Channel::FrequencyLocked, &Channel::DataLength,
    &Channel::DataType,        &Channel::ChannelLink};

// The stored values of one channel, in the file's order.
struct ChannelValues {
    std::array<int32_t, kValuesPerChannel> Values{};

    // The record's status: 1 in use, 0 free.
    int32_t Status() const { return Values[0]; }

    static ChannelValues Of(const Channel& record);
    // Sets the record's status and nine parameters; its colour, rate,
    // bandwidth, row and editability are not part of the file.
    void StoreIn(Channel& record) const;

    bool operator==(const ChannelValues&) const = default;
};

struct BusConfiguration {
    int32_t SubFrameModeRow = 0;
    int32_t ClockGearRow = 0;
    int32_t RootFrequencyRow = 0;
    std::array<ChannelValues, kChannelCount> Channels{};

    bool operator==(const BusConfiguration&) const = default;
};

// The file's kLineCount lines, without line ends.
QStringList Serialize(const BusConfiguration& config);

// Reads the lines of a file (only the first kLineCount count). The header
// must contain kHeaderMark; a missing line or one that is not a number reads
// as 0, and the "Channel" lines are not compared with anything: values are
// taken by their position. Without a value, `error` gets the message for the
// user.
std::optional<BusConfiguration> Parse(const QStringList& lines, QString* error);

}  // namespace BusConfigFormat
