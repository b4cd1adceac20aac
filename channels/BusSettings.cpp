#include "BusSettings.h"

#include <cmath>

#include "Label.h"
#include "Main.h"
#include "Module1.h"
#include "PopupMenu.h"
#include "Text.h"

namespace {
constexpr int32_t kDefaultRootFrequencyRow = 1;  // 24.576 MHz
constexpr int32_t kDefaultClockGearRow = 10;
constexpr int32_t kDefaultSubFrameModeRow = 19;  // 4 / 32

constexpr int32_t kHighestClockGear = 10;
constexpr int32_t kRootFrequencyRows = 16;
constexpr double kSlotsPerSuperframe = Module1::kSlotCount;
// Framing and guide slots of a superframe, which carry no messages.
constexpr double kFramingAndGuideSlots = 18.0;

const QString kNoFigure = QStringLiteral("???");

// Control size / subframe length of each subframe mode row; the reserved rows
// set the pair their text shows.
constexpr BusSettings::SubFrameMode kSubFrameModes[] = {
    {8, 8},  {1, 8},  {8, 8},   {1, 32},  {1, 6},   {1, 8},   {1, 24}, {1, 32},
    {2, 6},  {2, 8},  {2, 24},  {2, 32},  {3, 6},   {3, 8},   {3, 24}, {3, 32},
    {4, 6},  {4, 8},  {4, 24},  {4, 32},  {8, 8},   {6, 8},   {6, 24}, {6, 32},
    {8, 24}, {8, 32}, {12, 24}, {12, 32}, {16, 24}, {16, 32}, {8, 8},  {24, 32}};
constexpr int32_t kSubFrameModeCount = sizeof(kSubFrameModes) / sizeof(kSubFrameModes[0]);

// 2^(10 - G): root frequency cycles per bus clock cycle.
double ClockDivider(int32_t clockGear) {
    return std::pow(2.0, 10 - clockGear);
}
}  // namespace

namespace BusSettings {

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
        static_cast<double>(static_cast<int64_t>(controlSize) * Module1::kSlotCount) / subFrameLength;
    const double messageShare = (controlSlots - kFramingAndGuideSlots) * 10.0 / kSlotsPerSuperframe;
    const double busKHz = static_cast<double>(rootFrequency) / 1000.0;
    return Floor(messageShare * busKHz / ClockDivider(clockGear)) / 10.0;
}

QStringList BusFrequencyTexts() {
    QStringList texts{kNoFigure};
    for (int32_t row = 0; row < kRootFrequencyRows; ++row) {
        const int32_t rootFrequency = Module1::RootFrequencyOfRow(row);
        for (int32_t gear = 1; gear <= kHighestClockGear && rootFrequency != -1; ++gear)
            texts << CStr(ActualBusFrequencyMHz(rootFrequency, gear));
    }
    texts.removeDuplicates();
    return texts;
}

QStringList ControlBandwidthTexts() {
    QStringList texts{kNoFigure};
    for (int32_t row = 0; row < kRootFrequencyRows; ++row) {
        const int32_t rootFrequency = Module1::RootFrequencyOfRow(row);
        for (int32_t gear = 1; gear <= kHighestClockGear && rootFrequency != -1; ++gear)
            for (const SubFrameMode& mode : kSubFrameModes)
                texts << CStr(*ControlBandwidthKbps(rootFrequency, gear, mode.controlSize,
                                                    mode.subFrameLength));
    }
    texts.removeDuplicates();
    return texts;
}

}  // namespace BusSettings

int32_t Module1::CalculateRootFrequency() {
    return RootFrequencyOfRow(Main::Instance().RootFrequencyPopup()->ListIndex());
}

namespace {
QString ControlBandwidthText() {
    using namespace Module1;
    if (!BusSettings::Valid(iRootFrequency, iClockGear)) return kNoFigure;
    const std::optional<double> kbps = BusSettings::ControlBandwidthKbps(
        iRootFrequency, iClockGear, iControlSize, iSubFrameLength);
    return kbps ? CStr(*kbps) : kNoFigure;
}

// Shows the two bus figures for the current root frequency and clock gear and
// the channel rates that follow from them. The map does not depend on them.
void ShowBusFigures(Main& main) {
    using namespace Module1;
    if (BusSettings::Valid(iRootFrequency, iClockGear))
        main.BusFrequencyText()->SetText(
            CStr(BusSettings::ActualBusFrequencyMHz(iRootFrequency, iClockGear)));
    else
        main.BusFrequencyText()->SetText(kNoFigure);
    main.ControlBWText()->SetText(ControlBandwidthText());
    main.DisplayChannelRate();
}
}  // namespace

void Main::RootFrequencyPopup_Open() {
    RootFrequencyPopup()->SetListIndex(kDefaultRootFrequencyRow);
    Module1::iRootFrequency = Module1::CalculateRootFrequency();
}

void Main::ClockGearPopup_Open() {
    ClockGearPopup()->SetListIndex(kDefaultClockGearRow);
    Module1::iClockGear = ClockGearPopup()->ListIndex();
}

void Main::SubFrameModePopup_Open() {
    // The change handler this raises sets the control size and subframe length.
    SubFrameModePopup()->SetListIndex(kDefaultSubFrameModeRow);
}

void Main::RootFrequencyPopup_Change() {
    Module1::iRootFrequency = Module1::CalculateRootFrequency();
    ShowBusFigures(*this);
}

void Main::ClockGearPopup_Change() {
    Module1::iClockGear = ClockGearPopup()->ListIndex();
    ShowBusFigures(*this);
}

void Main::SubFrameModePopup_Change() {
    if (const auto mode = BusSettings::SubFrameModeOfRow(SubFrameModePopup()->ListIndex())) {
        Module1::iControlSize = mode->controlSize;
        Module1::iSubFrameLength = mode->subFrameLength;
    }
    ControlBWText()->SetText(ControlBandwidthText());

    // The control space moved: rebuild the slot map and the layers on it.
    // The error layer is left alone until it is next drawn.
    RedrawMap(MapLayer::Control, SlotMap::Rebuild);
}

void Main::SubFrameModePopup_LostFocus() {
    // Only the slot map; the channels mark their slots again at the next draw.
    Module1::BuildSlotMap();
}
