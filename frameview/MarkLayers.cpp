#include "MarkLayers.h"

#include <algorithm>

#include "LayerPicture.h"
#include "MapGeometry.h"
#include "MapPalette.h"
#include "PixelWriter.h"

using namespace MapGeometry;
using namespace MapPalette;

namespace MapPainters {

namespace {
constexpr int kFramesPerSuperframe = kRows / 2;
constexpr int kFrameOutsetPx = 1;  // the pointer frame lies one pixel outside the cell

void FillCell(PixelWriter& g, int64_t column, int64_t row) {
    g.FillBlock<kCellWidthPx, kCellHeightPx>(CellLeft(column), CellTop(row), kErrorMark);
}
}  // namespace

Picture PaintErrorLayer(const Picture& base, const ErrorMarks& marks) {
    Picture layer = NewLayerOn(base);
    PixelWriter g(layer.Image());
    // Only frames 0..7 and slots 0..1535 lie on the map; the marks are raw
    // controller values, so the loops run over that part alone.
    const int frames = static_cast<int>(std::min<int64_t>(marks.SyncError, kFramesPerSuperframe));
    for (int frame = 0; frame < frames; ++frame) FillCell(g, 0, int64_t{2} * frame);
    if (marks.Length >= 1) {
        const int64_t first = std::max<int64_t>(marks.Start, 0);
        const int64_t last = std::min<int64_t>(int64_t{marks.Start} + marks.Length, kSlotCount - 1);
        for (int64_t slot = first; slot <= last; ++slot)
            FillCell(g, slot % kColumns, slot / kColumns);
    }
    return layer;
}

Picture PaintPointerFrame(const Picture& base, int32_t column, int32_t row) {
    Picture layer = NewLayerOn(base);
    PixelWriter g(layer.Image());
    g.DrawRect(CellLeft(column) - kFrameOutsetPx, CellTop(row) - kFrameOutsetPx,
               kCellWidthPx + 2 * kFrameOutsetPx, kCellHeightPx + 2 * kFrameOutsetPx,
               kPointerFrame);
    return layer;
}

}  // namespace MapPainters
