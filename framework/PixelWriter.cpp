#include "PixelWriter.h"

#include <QImage>
#include <algorithm>

PixelWriter::PixelWriter(QImage& image) {
    if (image.isNull() || image.depth() != 32) return;
    pixels_ = reinterpret_cast<uint32_t*>(image.bits());
    stride_ = image.bytesPerLine() / static_cast<int64_t>(sizeof(uint32_t));
    width_ = image.width();
    height_ = image.height();
}

void PixelWriter::FillRect(int64_t x, int64_t y, int64_t width, int64_t height, Color colour) {
    if (!pixels_ || width <= 0 || height <= 0) return;
    const int64_t left = std::max<int64_t>(x, 0);
    const int64_t top = std::max<int64_t>(y, 0);
    const int64_t right = std::min<int64_t>(x + width, width_);
    const int64_t bottom = std::min<int64_t>(y + height, height_);
    if (left >= right || top >= bottom) return;
    const uint32_t argb = colour.Argb();
    for (int64_t row = top; row < bottom; ++row) {
        uint32_t* line = pixels_ + row * stride_;
        std::fill(line + left, line + right, argb);
    }
}

void PixelWriter::DrawRect(int64_t x, int64_t y, int64_t width, int64_t height, Color colour) {
    if (width <= 0 || height <= 0) return;
    FillRect(x, y, width, 1, colour);
    FillRect(x, y + height - 1, width, 1, colour);
    FillRect(x, y, 1, height, colour);
    FillRect(x + width - 1, y, 1, height, colour);
}
