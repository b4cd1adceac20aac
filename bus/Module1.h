#pragma once
#include <array>
#include <cstdint>

// Program-wide bus state and arithmetic.
namespace Module1 {

constexpr int kSlotCount = 1536;  // slots in one superframe

// Bus parameters, written only by the bus pop-ups' handlers.
extern int32_t iRootFrequency;   // Hz, -1 when not indicated or reserved
extern int32_t iClockGear;       // the clock gear row; 1 to 10 are usable gears
extern int32_t iControlSize;     // control-space slots at the start of each subframe
extern int32_t iSubFrameLength;  // slots per subframe

// Owner of each slot: -1 free data slot, 0..255 channel ID, 256 control space.
// Entry 1536 is not a slot.
extern std::array<int32_t, kSlotCount + 1> SuperFrameSlot;

constexpr int32_t kFreeSlot = -1;
constexpr int32_t kControlSpace = 256;

// Control space and free slots for the current subframe mode; leaves the map
// as it is while no subframe length is set.
void BuildSlotMap();

// The root frequency in Hz of a root frequency row; -1 for the rows without one.
int32_t RootFrequencyOfRow(int32_t row);

// The root frequency in Hz of the row selected in the main window's root
// frequency pop-up; -1 for the rows without one. Defined with the bus
// settings in channels/BusSettings.cpp, since it reads that pop-up.
int32_t CalculateRootFrequency();

// Greatest common divisor as far as the prime factors lie in 2 to 53; a zero
// argument shows a message and counts as 1.
int32_t GCD(int32_t iX, int32_t iY);

int32_t Bit_Test(int32_t value, int32_t bit);
int32_t Bit_Set(int32_t value, int32_t bit, int32_t state);

// Segment interval and offset of a segment distribution code (0 above 4095).
int32_t SD2SI(int32_t code);
int32_t SD2SO(int32_t code);
// The code of an offset (first) and an interval.
int32_t CalculateSegmentDistribution(int32_t offset, int32_t interval);

}  // namespace Module1
