#include "ChannelFigures.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "BusFigures.h"
#include "Channel.h"
#include "Module1.h"
#include "Text.h"

namespace {
constexpr double kBitsPerSlot = 4.0;
constexpr int32_t kLongestSegment = 31;
constexpr int32_t kHighestCode = 4095;

// One valid code (one the encoder gives for its interval and offset) of
// each segment interval.
std::vector<int32_t> OneCodePerInterval() {
    std::vector<int32_t> codes;
    std::vector<int32_t> intervals;
    for (int32_t code = 1; code <= kHighestCode; ++code) {
        const int32_t interval = Module1::SD2SI(code);
        const bool valid =
            Module1::CalculateSegmentDistribution(Module1::SD2SO(code), interval) == code;
        if (!valid || std::find(intervals.begin(), intervals.end(), interval) != intervals.end())
            continue;
        intervals.push_back(interval);
        codes.push_back(code);
    }
    return codes;
}

// Calls f(rate) for every rate a channel can have under valid bus settings.
template <typename F>
void ForEveryRate(F f) {
    const std::vector<int32_t> codes = OneCodePerInterval();
    BusFigures::ForEveryValidSetting([&](int32_t rootFrequency, int32_t gear) {
        for (int32_t code : codes)
            if (const auto rate = ChannelFigures::SegmentRate(rootFrequency, gear, code)) f(*rate);
    });
}
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

QString RateText(double rate) { return CStr(Floor(rate) / 1000.0) + QStringLiteral("kHz"); }

QString BandwidthText(double bandwidth) {
    return CStr(Floor(bandwidth) / 1000.0) + QStringLiteral("kbps");
}

void UpdateFigures(Channel& channel) {
    if (!BusFigures::Valid(Module1::iRootFrequency, Module1::iClockGear)) return;
    if (channel.SegmentDistribution == 0) return;
    if (const auto rate = SegmentRate(Module1::iRootFrequency, Module1::iClockGear,
                                      channel.SegmentDistribution)) {
        channel.Rate = *rate;
        channel.Bandwidth = Bandwidth(*rate, channel.SegmentLength);
    }
}

QStringList RateTexts() {
    QStringList texts{kNoRateText};
    ForEveryRate([&](double rate) { texts << RateText(rate); });
    texts.removeDuplicates();
    return texts;
}

QStringList BandwidthTexts() {
    QStringList texts{kNoBandwidthText};
    ForEveryRate([&](double rate) {
        for (int32_t length = 1; length <= kLongestSegment; ++length)
            texts << BandwidthText(Bandwidth(rate, length));
    });
    texts.removeDuplicates();
    return texts;
}

}  // namespace ChannelFigures
