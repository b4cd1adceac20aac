#include "BusFigures.h"

#include <cmath>
#include <iterator>

#include "Module1.h"
#include "Text.h"

namespace {
constexpr double kSlotsPerSuperframe = Module1::kSlotCount;
// Framing and guide slots of a superframe, which carry no messages.
constexpr double kFramingAndGuideSlots = 18.0;

// 2^(10 - G): root frequency cycles per bus clock cycle.
double ClockDivider(int32_t clockGear) { return std::pow(2.0, 10 - clockGear); }
}  // namespace

namespace BusFigures {

std::optional<SubFrameMode> SubFrameModeOfRow(int32_t row) {
    if (row < 0 || row >= std::ssize(kSubFrameModeRows)) return std::nullopt;
    return kSubFrameModeRows[row].Mode;
}

bool Valid(int32_t rootFrequency, int32_t clockGear) {
    return rootFrequency != -1 && clockGear >= 0 && clockGear < std::ssize(kClockGearRows) &&
           kClockGearRows[clockGear].Usable;
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
    for (const RootFrequencyRow& root : kRootFrequencyRows)
        for (int32_t gear = 0; gear < std::ssize(kClockGearRows); ++gear)
            if (Valid(root.Hz, gear)) f(root.Hz, gear);
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
        for (const SubFrameModeRow& row : kSubFrameModeRows)
            texts << CStr(*ControlBandwidthKbps(rootFrequency, gear, row.Mode.ControlSize,
                                                row.Mode.SubFrameLength));
    });
    texts.removeDuplicates();
    return texts;
}

}  // namespace BusFigures
