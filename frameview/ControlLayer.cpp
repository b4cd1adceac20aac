#include "ControlLayer.h"

#include "LayerPicture.h"
#include "MapPalette.h"
#include "PixelWriter.h"
#include "Text.h"

using namespace MapGeometry;
using namespace MapPalette;

namespace MapPainters {

namespace {
constexpr int32_t kPaleBandType = 1;

// The control-space slots counted from 1 over the superframe: the 2nd and 3rd
// are the guide slots.
constexpr int32_t kFirstGuideSlot = 2;
constexpr int32_t kLastGuideSlot = 3;

// Held in single precision, so the divisor is slightly above the double 1.08.
constexpr float kDimDivisor = 1.08f;

// The band leaves 2 pixels of the slot colour above and below it, and its
// outer ends 2 pixels inside the first and last cells.
constexpr int kBandInsetPx = 2;
constexpr int kBandHeightPx = 11;
constexpr int kBandEndWidthPx = 4;

uint8_t DimComponent(uint8_t component, double divisor) {
    return static_cast<uint8_t>(ToInt32(component / divisor));
}

Color Dimmed(Color colour, double divisor) {
    return Color{DimComponent(colour.Red, divisor), DimComponent(colour.Green, divisor),
                 DimComponent(colour.Blue, divisor)};
}

// Slot colours at one brightness, worked out once per drawing.
struct Palette {
    Color framing, guide, message, data, band;

    Palette(double divisor, int32_t bandType)
        : framing(Dimmed(kFramingSlot, divisor)),
          guide(Dimmed(kGuideSlot, divisor)),
          message(Dimmed(kMessageSlot, divisor)),
          data(Dimmed(kDataSpace, divisor)),
          band(bandType == kPaleBandType
                   ? kPaleMessageBand
                   : Color{kMessageBand.Red, DimComponent(kMessageBand.Green, divisor),
                           kMessageBand.Blue}) {}
};

void FillCell(PixelWriter& g, int column, int row, Color colour) {
    g.FillBlock<kCellWidthPx, kCellHeightPx>(CellLeft(column), CellTop(row), colour);
}

// The part of the band in the cell of message slot number `message` (from 1).
// A band of one slot gets both end shapes, which together fill the cell's width.
void FillBand(PixelWriter& g, int column, int row, int64_t message, const MessageMarks& marks,
              Color colour) {
    const int64_t first = int64_t{marks.Start} + 1;
    const int64_t last = int64_t{marks.Start} + marks.Length;
    const int64_t left = CellLeft(column);
    const int64_t top = CellTop(row) + kBandInsetPx;
    if (message == first)
        g.FillRect(left + kBandInsetPx, top, kBandEndWidthPx, kBandHeightPx, colour);
    if (message > first && message < last)
        g.FillRect(left, top, kCellWidthPx, kBandHeightPx, colour);
    if (message == last) g.FillRect(left, top, kBandEndWidthPx, kBandHeightPx, colour);
}

void DrawRowLine(PixelWriter& g, int line, Color colour) {
    g.FillRect(0, RowLineY(line), kPictureWidthPx, 1, colour);
}
}  // namespace

Picture PaintControlLayer(const SlotOwners& owners, const MessageMarks& marks, int32_t dimFlag,
                          int32_t firstDimmedSlot) {
    Picture layer = NewLayer();
    PixelWriter g(layer.Image());
    g.FillRect(0, 0, kPictureWidthPx, kPictureHeightPx, kBackground);

    const bool dimming = dimFlag >= 1;
    const Palette full(1.0, marks.Type);
    const Palette dim(static_cast<double>(kDimDivisor), marks.Type);
    const bool withBand = marks.Length >= 1;

    int32_t controlSlots = 0;  // control-space slots so far, over the superframe
    int64_t messageSlots = 0;  // message slots so far: the band's slot numbers
    for (int row = 0; row < kRows; ++row) {
        DrawRowLine(g, row, row % 2 == 0 ? kEvenRowLine : kOddRowLine);
        for (int column = 0; column < kColumns; ++column) {
            const int slot = row * kColumns + column;
            const Palette& colours = dimming && slot >= firstDimmedSlot ? dim : full;
            if (owners[static_cast<size_t>(slot)] != Module1::kControlSpace) {
                FillCell(g, column, row, colours.data);
                continue;
            }
            ++controlSlots;
            const bool guide = controlSlots == kFirstGuideSlot || controlSlots == kLastGuideSlot;
            const bool framing = column == 0;
            FillCell(g, column, row,
                     guide ? colours.guide : (framing ? colours.framing : colours.message));
            if (guide || framing) continue;
            ++messageSlots;
            if (withBand) FillBand(g, column, row, messageSlots, marks, colours.band);
        }
    }
    DrawRowLine(g, kRows, kEvenRowLine);
    return layer;
}

}  // namespace MapPainters
