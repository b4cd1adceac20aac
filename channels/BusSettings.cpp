#include "BusSettings.h"

#include "Main.h"
#include "Module1.h"
#include "PopupMenu.h"

int32_t Module1::CalculateRootFrequency() {
    return RootFrequencyOfRow(Main::Instance().RootFrequencyPopup()->ListIndex());
}

void Main::RootFrequencyPopup_Change() {}
void Main::RootFrequencyPopup_Open() {}
void Main::ClockGearPopup_Change() {}
void Main::ClockGearPopup_Open() {}
void Main::SubFrameModePopup_Change() {}
void Main::SubFrameModePopup_LostFocus() {}
void Main::SubFrameModePopup_Open() {}
