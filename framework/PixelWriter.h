#pragma once
#include <cstdint>

#include "Color.h"

class QImage;

// Writes opaque colours and copies pictures straight into the pixels of a
// 32-bit image: the map's layers fill thousands of small rectangles per
// pointer move, and a picture's or canvas's Graphics fills and copies through
// it too, so the clipping is written once, here. Rectangles are left, top, width,
// height and cover exactly width x height pixels; coordinates may come from
// raw columns, rows and marks, so they are taken in 64 bits and clipped to
// the image. An image that is null or not 32 bits deep is left alone.
class PixelWriter {
public:
    // The image's pixels are made its own here, once, before any writing.
    explicit PixelWriter(QImage& image);

    int Width() const { return width_; }
    int Height() const { return height_; }

    void FillRect(int64_t x, int64_t y, int64_t width, int64_t height, Color colour);
    // The same for a rectangle of a size known when compiling (a map cell):
    // the common case, wholly on the image, needs no clipping.
    template <int W, int H>
    void FillBlock(int64_t x, int64_t y, Color colour) {
        if (!pixels_ || x < 0 || y < 0 || x + W > width_ || y + H > height_) {
            FillRect(x, y, W, H, colour);
            return;
        }
        const uint32_t argb = colour.Argb();
        uint32_t* line = pixels_ + y * stride_ + x;
        for (int row = 0; row < H; ++row, line += stride_)
            for (int column = 0; column < W; ++column) line[column] = argb;
    }
    // A 1-pixel outline inside width x height.
    void DrawRect(int64_t x, int64_t y, int64_t width, int64_t height, Color colour);
    // Copies the pixels of `source` (32 bits deep too, or nothing is copied)
    // with its top left corner at x, y.
    void CopyImage(const QImage& source, int64_t x, int64_t y);

private:
    // The part of a rectangle that lies on the image; empty (right <= left or
    // bottom <= top) when none does.
    struct Span {
        int64_t left, top, right, bottom;
        bool Empty() const { return left >= right || top >= bottom; }
    };
    Span Clip(int64_t x, int64_t y, int64_t width, int64_t height) const;

    uint32_t* pixels_ = nullptr;
    int64_t stride_ = 0;  // pixels from one scanline to the next
    int width_ = 0;
    int height_ = 0;
};
