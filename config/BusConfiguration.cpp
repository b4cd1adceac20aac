#include "BusConfiguration.h"

#include "Channel.h"
#include "Text.h"

const QString BusConfiguration::kHeader = QStringLiteral("SLIMbus Configuration file");
const QString BusConfiguration::kHeaderMark = QStringLiteral("SLIMbus");
const QString BusConfiguration::kInvalidFormat = QStringLiteral("Invalid file format");

namespace {
const QString kChannelLinePrefix = QStringLiteral("Channel ");
}  // namespace

BusConfiguration::ChannelValues BusConfiguration::ChannelValues::Of(const Channel& record) {
    ChannelValues values;
    values.Status = record.Status;
    values.SegmentDistribution = record.SegmentDistribution;
    values.SegmentLength = record.SegmentLength;
    values.TransportProtocol = record.TransportProtocol;
    values.PresenceRate = record.PresenceRate;
    values.AuxFormat = record.AuxFormat;
    values.FrequencyLocked = record.FrequencyLocked;
    values.DataLength = record.DataLength;
    values.DataType = record.DataType;
    values.ChannelLink = record.ChannelLink;
    return values;
}

void BusConfiguration::ChannelValues::StoreIn(Channel& record) const {
    record.Status = Status;
    record.SegmentDistribution = SegmentDistribution;
    record.SegmentLength = SegmentLength;
    record.TransportProtocol = TransportProtocol;
    record.PresenceRate = PresenceRate;
    record.AuxFormat = AuxFormat;
    record.FrequencyLocked = FrequencyLocked;
    record.DataLength = DataLength;
    record.DataType = DataType;
    record.ChannelLink = ChannelLink;
}

QStringList BusConfiguration::Serialize() const {
    QStringList lines;
    lines.reserve(kLineCount);
    lines << kHeader << CStr(SubFrameModeRow) << CStr(ClockGearRow) << CStr(RootFrequencyRow);
    for (int n = 0; n < kChannelCount; ++n) {
        const ChannelValues& v = Channels[static_cast<size_t>(n)];
        lines << kChannelLinePrefix + CStr(int32_t(n)) << CStr(v.Status)
              << CStr(v.SegmentDistribution) << CStr(v.SegmentLength) << CStr(v.TransportProtocol)
              << CStr(v.PresenceRate) << CStr(v.AuxFormat) << CStr(v.FrequencyLocked)
              << CStr(v.DataLength) << CStr(v.DataType) << CStr(v.ChannelLink);
    }
    return lines;
}

std::optional<BusConfiguration> BusConfiguration::Parse(const QStringList& lines, QString* error) {
    if (lines.isEmpty() || InStr(lines.first(), kHeaderMark) == 0) {
        if (error) *error = kInvalidFormat;
        return std::nullopt;
    }

    int next = 1;
    // Past the end of a short file every value reads as 0.
    auto value = [&lines, &next] {
        const int index = next++;
        return index < lines.size() ? CLong32(lines[index]) : 0;
    };

    BusConfiguration config;
    config.SubFrameModeRow = value();
    config.ClockGearRow = value();
    config.RootFrequencyRow = value();
    for (ChannelValues& v : config.Channels) {
        ++next;  // the "Channel n" line
        v.Status = value();
        v.SegmentDistribution = value();
        v.SegmentLength = value();
        v.TransportProtocol = value();
        v.PresenceRate = value();
        v.AuxFormat = value();
        v.FrequencyLocked = value();
        v.DataLength = value();
        v.DataType = value();
        v.ChannelLink = value();
    }
    return config;
}
