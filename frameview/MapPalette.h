#pragma once

#include "Color.h"

// The colours of the superframe map, read by its painters and by the main
// window's legend, which shows a box of each kind of slot.
namespace MapPalette {

constexpr Color kBackground = RGB(239, 239, 239);
constexpr Color kEvenRowLine = RGB(100, 100, 100);  // also the bottom line
constexpr Color kOddRowLine = RGB(150, 150, 150);
constexpr Color kFramingSlot = RGB(0, 180, 0);
constexpr Color kGuideSlot = RGB(0, 100, 200);
constexpr Color kMessageSlot = RGB(0, 255, 0);
constexpr Color kDataSpace = RGB(200, 200, 200);
constexpr Color kMessageBand = RGB(80, 200, 50);
constexpr Color kPaleMessageBand = RGB(255, 235, 150);  // never dimmed
constexpr Color kEmptySegmentDot = RGB(240, 240, 240);
constexpr Color kErrorMark = RGB(255, 0, 0);
constexpr Color kPointerFrame = RGB(255, 0, 0);

}  // namespace MapPalette
