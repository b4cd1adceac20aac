#include "BusFigures.h"

#include <cmath>

#include "Module1.h"
#include "Text.h"

namespace {
constexpr int32_t kHighestClockGear = 10;
constexpr int32_t kRootFrequencyRows = 16;
constexpr double kSlotsPerSuperframe = Module1::kSlotCount;
// Framing and guide slots of a superframe, which carry no messages.
constexpr double kFramingAndGuideSlots = 18.0;

// Control size / subframe length of each subframe mode row; the reserved rows
// set the pair their text shows.
constexpr BusFigures::SubFrameMode kSubFrameModes[] = {
    {8, 8},  {1, 8},  {8, 8},   {1, 32},  {1, 6},   {1, 8},   {1, 24}, {1, 32},
    {2, 6},  {2, 8},  {2, 24},  {2, 32},  {3, 6},   {3, 8},   {3, 24}, {3, 32},
    {4, 6},  {4, 8},  {4, 24},  {4, 32},  {8, 8},   {6, 8},   {6, 24}, {6, 32},
    {8, 24}, {8, 32}, {12, 24}, {12, 32}, {16, 24}, {16, 32}, {8, 8},  {24, 32}};
constexpr int32_t kSubFrameModeCount = sizeof(kSubFrameModes) / sizeof(kSubFrameModes[0]);

// 2^(10 - G): root frequency cycles per bus clock cycle.
double ClockDivider(int32_t clockGear) { return std::pow(2.0, 10 - clockGear); }
}  // namespace

namespace BusFigures {

std::optional<SubFrameMode> SubFrameModeOfRow(int32_t row) {
    if (row < 0 || row >= kSubFrameModeCount) return std::nullopt;
    return kSubFrameModes[row];
}

bool Valid(int32_t rootFrequency, int32_t clockGear) {
    return rootFrequency != -1 && clockGear >= 1 && clockGear <= kHighestClockGear;
}

double ActualBusFrequencyMHz(int32_t rootFrequency, int32_t clockGear) {
    // Truncated in kHz, so 22.5792 MHz shows as 22.579, not 22.58.
    const double kHz = (static_cast<double>(rootFrequency) / 1000000.0) * 1000.0;
    return Floor(kHz / ClockDivider(clockGear)) / 1000.0;
}

std::optional<double> ControlBandwidthKbps(int32_t rootFrequency, int32_t clockGear,
                                           int32_t controlSize, int32_t subFrameLength) {
    if (subFrameLength == 0) return std::nullopt;
    const double controlSlots =
        static_cast<double>(static_cast<int64_t>(controlSize) * Module1::kSlotCount) /
        subFrameLength;
    const double messageShare = (controlSlots - kFramingAndGuideSlots) * 10.0 / kSlotsPerSuperframe;
    const double busKHz = static_cast<double>(rootFrequency) / 1000.0;
    return Floor(messageShare * busKHz / ClockDivider(clockGear)) / 10.0;
}

void ForEveryValidSetting(const std::function<void(int32_t, int32_t)>& f) {
    for (int32_t row = 0; row < kRootFrequencyRows; ++row) {
        const int32_t rootFrequency = Module1::RootFrequencyOfRow(row);
        for (int32_t gear = 1; gear <= kHighestClockGear && rootFrequency != -1; ++gear)
            f(rootFrequency, gear);
    }
}

QStringList BusFrequencyTexts() {
    QStringList texts{kNoFigure};
    ForEveryValidSetting([&](int32_t rootFrequency, int32_t gear) {
        texts << CStr(ActualBusFrequencyMHz(rootFrequency, gear));
    });
    texts.removeDuplicates();
    return texts;
}

QStringList ControlBandwidthTexts() {
    QStringList texts{kNoFigure};
    ForEveryValidSetting([&](int32_t rootFrequency, int32_t gear) {
        for (const SubFrameMode& mode : kSubFrameModes)
            texts << CStr(
                *ControlBandwidthKbps(rootFrequency, gear, mode.ControlSize, mode.SubFrameLength));
    });
    texts.removeDuplicates();
    return texts;
}

}  // namespace BusFigures
