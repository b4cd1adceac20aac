#pragma once
#include <QColor>
#include <cstdint>

// An opaque colour as the program stores it (BoxColor, ColorMap, ForeColor).
struct Color {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;

    constexpr uint32_t Argb() const {
        return 0xFF000000u | (uint32_t{Red} << 16) | (uint32_t{Green} << 8) | uint32_t{Blue};
    }
    QColor ToQColor() const { return QColor(Red, Green, Blue); }
    friend constexpr bool operator==(const Color&, const Color&) = default;
};

// Components outside 0..255 are clamped.
constexpr Color RGB(int red, int green, int blue) {
    auto clamp = [](int v) { return static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
    return Color{clamp(red), clamp(green), clamp(blue)};
}
