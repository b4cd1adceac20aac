#include "ChannelFigures.h"

#include <cmath>

#include "BusFigures.h"
#include "Channel.h"
#include "Module1.h"
#include "Text.h"

namespace {
constexpr double kBitsPerSlot = 4.0;
}  // namespace

namespace ChannelFigures {

std::optional<double> SegmentRate(int32_t rootFrequency, int32_t clockGear,
                                  int32_t segmentDistribution) {
    const int32_t interval = Module1::SD2SI(segmentDistribution);
    if (interval <= 0) return std::nullopt;
    // A slot's 4 bits take 2^(12 - G) root frequency cycles at a bus clock of
    // RF / 2^(10 - G); a segment interval is that many slots.
    const double cyclesPerSegment = std::pow(2.0, 12 - clockGear) * static_cast<double>(interval);
    return static_cast<double>(rootFrequency) / cyclesPerSegment;
}

double Bandwidth(double rate, int32_t segmentLength) {
    return (rate * static_cast<double>(segmentLength)) * kBitsPerSlot;
}

QString RateText(double rate) {
    return CStr(Floor(rate) / 1000.0) + QStringLiteral("kHz");
}

QString BandwidthText(double bandwidth) {
    return CStr(Floor(bandwidth) / 1000.0) + QStringLiteral("kbps");
}

void UpdateFigures(Channel& channel) {
    if (!BusFigures::Valid(Module1::iRootFrequency, Module1::iClockGear)) return;
    if (channel.SegmentDistribution == 0) return;
    if (const auto rate =
            SegmentRate(Module1::iRootFrequency, Module1::iClockGear, channel.SegmentDistribution)) {
        channel.Rate = *rate;
        channel.Bandwidth = Bandwidth(*rate, channel.SegmentLength);
    }
}

}  // namespace ChannelFigures
