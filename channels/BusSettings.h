#pragma once
#include <cstdint>

namespace Module1 {
// The root frequency in Hz of the row selected in the main window's root
// frequency pop-up; -1 for the rows without one.
int32_t CalculateRootFrequency();
}  // namespace Module1
