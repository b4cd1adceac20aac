#include "BusConfiguration.h"

#include "Channel.h"
#include "Text.h"

namespace BusConfigFormat {

namespace {
const QString kChannelLinePrefix = QStringLiteral("Channel ");
}  // namespace

// ChannelValues::Status reads the first value.
static_assert(kChannelFields[0] == &Channel::Status);

ChannelValues ChannelValues::Of(const Channel& record) {
    ChannelValues values;
    for (size_t k = 0; k < kChannelFields.size(); ++k) values.Values[k] = record.*kChannelFields[k];
    return values;
}

void ChannelValues::StoreIn(Channel& record) const {
    for (size_t k = 0; k < kChannelFields.size(); ++k) record.*kChannelFields[k] = Values[k];
}

QStringList Serialize(const BusConfiguration& config) {
    QStringList lines;
    lines.reserve(kLineCount);
    lines << kHeader << CStr(config.SubFrameModeRow) << CStr(config.ClockGearRow)
          << CStr(config.RootFrequencyRow);
    for (int n = 0; n < kChannelCount; ++n) {
        const ChannelValues& v = config.Channels[static_cast<size_t>(n)];
        lines << kChannelLinePrefix + CStr(int32_t(n));
        for (int32_t value : v.Values) lines << CStr(value);
    }
    return lines;
}

std::optional<BusConfiguration> Parse(const QStringList& lines, QString* error) {
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
        for (int32_t& stored : v.Values) stored = value();
    }
    return config;
}

}  // namespace BusConfigFormat
