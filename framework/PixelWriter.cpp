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

PixelWriter::Span PixelWriter::Clip(int64_t x, int64_t y, int64_t width, int64_t height) const {
    if (width <= 0 || height <= 0) return {0, 0, 0, 0};
    return {std::max<int64_t>(x, 0), std::max<int64_t>(y, 0), std::min<int64_t>(x + width, width_),
            std::min<int64_t>(y + height, height_)};
}

void PixelWriter::FillRect(int64_t x, int64_t y, int64_t width, int64_t height, Color colour) {
    if (!pixels_) return;
    const Span span = Clip(x, y, width, height);
    if (span.Empty()) return;
    const uint32_t argb = colour.Argb();
    for (int64_t row = span.top; row < span.bottom; ++row) {
        uint32_t* line = pixels_ + row * stride_;
        std::fill(line + span.left, line + span.right, argb);
    }
}

void PixelWriter::CopyImage(const QImage& source, int64_t x, int64_t y) {
    if (!pixels_ || source.isNull() || source.depth() != 32) return;
    const Span span = Clip(x, y, source.width(), source.height());
    if (span.Empty()) return;
    for (int64_t row = span.top; row < span.bottom; ++row) {
        const auto* from =
            reinterpret_cast<const uint32_t*>(source.constScanLine(static_cast<int>(row - y)));
        std::copy(from + (span.left - x), from + (span.right - x),
                  pixels_ + row * stride_ + span.left);
    }
}

void PixelWriter::DrawRect(int64_t x, int64_t y, int64_t width, int64_t height, Color colour) {
    if (width <= 0 || height <= 0) return;
    FillRect(x, y, width, 1, colour);
    FillRect(x, y + height - 1, width, 1, colour);
    FillRect(x, y, 1, height, colour);
    FillRect(x + width - 1, y, 1, height, colour);
}
