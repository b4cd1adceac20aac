#pragma once
// Reading map pictures in tests: the map's colours, where a slot's cell
// lies, and pixel comparisons.
#include <gtest/gtest.h>

#include <cstdint>

#include "Color.h"
#include "CoreTestSupport.h"
#include "MapGeometry.h"
#include "Picture.h"

namespace MapPictures {
using namespace MapGeometry;

constexpr Color kBackground = RGB(239, 239, 239);
constexpr Color kDarkLine = RGB(100, 100, 100);
constexpr Color kLightLine = RGB(150, 150, 150);
constexpr Color kFraming = RGB(0, 180, 0);
constexpr Color kGuide = RGB(0, 100, 200);
constexpr Color kMessage = RGB(0, 255, 0);
constexpr Color kData = RGB(200, 200, 200);
constexpr Color kBand = RGB(80, 200, 50);
constexpr Color kPaleBand = RGB(255, 235, 150);
constexpr Color kRed = RGB(255, 0, 0);
constexpr Color kEmptyDot = RGB(240, 240, 240);
constexpr int32_t kRoot24576kHz = 24576000;
constexpr int32_t kGear10 = 10;

inline Color At(const Picture& picture, int x, int y) { return PixelColor(picture.Image(), x, y); }
inline int Left(int slot) { return static_cast<int>(CellLeft(SlotColumn(slot))); }
inline int Top(int slot) { return static_cast<int>(CellTop(SlotRow(slot))); }
inline Color CellColour(const Picture& picture, int slot) {
    return At(picture, Left(slot), Top(slot));
}
inline Color DotColour(const Picture& picture, int slot) {
    return At(picture, Left(slot) + 2, Top(slot) + 7);
}

// Pixels where two pictures differ.
inline int Differences(const Picture& a, const Picture& b) {
    int count = 0;
    for (int y = 0; y < kPictureHeightPx; ++y)
        for (int x = 0; x < kPictureWidthPx; ++x)
            if (a.Image().pixel(x, y) != b.Image().pixel(x, y)) ++count;
    return count;
}

// Every pixel of the slot's cell has the colour (the dot area excepted when asked).
inline void ExpectCell(const Picture& picture, int slot, Color colour, bool skipDot = false) {
    for (int y = Top(slot); y < Top(slot) + kCellHeightPx; ++y)
        for (int x = Left(slot); x < Left(slot) + kCellWidthPx; ++x) {
            const bool inDot = x >= Left(slot) + 2 && x < Left(slot) + 4 && y >= Top(slot) + 7 &&
                               y < Top(slot) + 9;
            if (skipDot && inDot) continue;
            ASSERT_EQ(At(picture, x, y), colour) << "slot " << slot << " at " << x << "," << y;
        }
}

}  // namespace MapPictures
