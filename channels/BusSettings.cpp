#include <optional>

#include "BusFigures.h"
#include "Canvas.h"
#include "Label.h"
#include "Main.h"
#include "Module1.h"
#include "PopupMenu.h"
#include "SDCalc.h"
#include "Text.h"

namespace {
constexpr int32_t kDefaultRootFrequencyRow = 1;  // 24.576 MHz
constexpr int32_t kDefaultClockGearRow = 10;
constexpr int32_t kDefaultSubFrameModeRow = 19;  // 4 / 32

using BusFigures::kNoFigure;
}  // namespace

int32_t Module1::CalculateRootFrequency() {
    return RootFrequencyOfRow(Main::Instance().RootFrequencyPopup()->ListIndex());
}

namespace {
QString ControlBandwidthText() {
    using namespace Module1;
    if (!BusFigures::Valid(iRootFrequency, iClockGear)) return kNoFigure;
    const std::optional<double> kbps =
        BusFigures::ControlBandwidthKbps(iRootFrequency, iClockGear, iControlSize, iSubFrameLength);
    return kbps ? CStr(*kbps) : kNoFigure;
}

// Shows the two bus figures for the current root frequency and clock gear and
// the channel rates that follow from them. The map does not depend on them.
void ShowBusFigures(Main& main) {
    using namespace Module1;
    if (BusFigures::Valid(iRootFrequency, iClockGear))
        main.BusFrequencyText()->SetText(
            CStr(BusFigures::ActualBusFrequencyMHz(iRootFrequency, iClockGear)));
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
    if (const auto mode = BusFigures::SubFrameModeOfRow(SubFrameModePopup()->ListIndex())) {
        Module1::iControlSize = mode->ControlSize;
        Module1::iSubFrameLength = mode->SubFrameLength;
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

// The calculator's rates and a controller's settings both rest on the bus
// staying as it is; whichever lets go last gives the pop-ups back.
void Main::UpdateBusPopups() {
    const bool free = !SDCalc::Exists() && !remoteControlled_;
    RootFrequencyPopup()->SetEnabled(free);
    ClockGearPopup()->SetEnabled(free);
    SubFrameModePopup()->SetEnabled(free);
}
