#include "BusState.h"

#include "Module1.h"

void ResetBusState() {
    Module1::iRootFrequency = 0;
    Module1::iClockGear = 0;
    Module1::iControlSize = 0;
    Module1::iSubFrameLength = 0;
    Module1::SuperFrameSlot.fill(0);
}
