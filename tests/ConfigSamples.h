#pragma once
// Configurations and file bytes that the configuration tests share.
#include <QByteArray>
#include <QStringList>
#include <cstdint>

#include "BusConfiguration.h"

using BusConfigFormat::BusConfiguration;

namespace ConfigSamples {
using ChannelValues = BusConfigFormat::ChannelValues;

constexpr int kChannels = BusConfigFormat::kChannelCount;

inline QByteArray Joined(const QStringList& lines, const char* lineEnd) {
    QByteArray bytes;
    for (const QString& line : lines) bytes += line.toUtf8() + lineEnd;
    return bytes;
}

// A configuration with every value distinct from its neighbours, so that a
// value landing in the wrong field shows.
inline BusConfiguration Numbered() {
    BusConfiguration config;
    config.SubFrameModeRow = 7;
    config.ClockGearRow = 9;
    config.RootFrequencyRow = 3;
    for (int n = 0; n < kChannels; ++n) {
        const int32_t b = n * 100;
        config.Channels[size_t(n)] = {b + 1, b + 2, b + 3, b + 4, b + 5,
                                      b + 6, b + 7, b + 8, b + 9, b + 10};
    }
    return config;
}

}  // namespace ConfigSamples
