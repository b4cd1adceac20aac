#include "LayerPicture.h"

#include <QImage>
#include <algorithm>

#include "MapGeometry.h"

using namespace MapGeometry;

Picture NewLayerOn(const Picture& base) {
    if (!base.IsNil() && base.Width() == kPictureWidthPx && base.Height() == kPictureHeightPx &&
        base.Image().format() == QImage::Format_RGB32)
        return base;
    Picture layer = NewPicture(kPictureWidthPx, kPictureHeightPx, kPictureDepth);
    layer.Graphics().DrawPicture(base, 0, 0);
    return layer;
}

void FillClipped(Graphics& g, int64_t x, int64_t y, int64_t width, int64_t height) {
    if (width <= 0 || height <= 0) return;
    const int64_t left = std::max<int64_t>(x, 0);
    const int64_t top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(x + width, g.Width());
    const int64_t bottom = std::min<int64_t>(y + height, g.Height());
    if (left >= right || top >= bottom) return;
    g.FillRect(static_cast<int>(left), static_cast<int>(top), static_cast<int>(right - left),
               static_cast<int>(bottom - top));
}

void OutlineClipped(Graphics& g, int64_t x, int64_t y, int64_t width, int64_t height) {
    if (width <= 0 || height <= 0) return;
    FillClipped(g, x, y, width, 1);
    FillClipped(g, x, y + height - 1, width, 1);
    FillClipped(g, x, y, 1, height);
    FillClipped(g, x + width - 1, y, 1, height);
}
