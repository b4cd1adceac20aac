#pragma once
#include <cstdint>

#include "Color.h"

class Picture;

// Writes straight into a layer's pixels: a pointer move over the map fills
// thousands of small rectangles. Rectangles are left, top, width, height and
// cover exactly width x height pixels; coordinates come from raw columns,
// rows and marks, so they are taken in 64 bits and clipped to the picture.
class LayerPixels {
  public:
    // The layer's pixels are made its own here, once, before any drawing.
    explicit LayerPixels(Picture& layer);

    int Width() const { return width_; }
    int Height() const { return height_; }

    void FillRect(int64_t x, int64_t y, int64_t width, int64_t height, Color colour);
    // A 1-pixel outline inside width x height.
    void DrawRect(int64_t x, int64_t y, int64_t width, int64_t height, Color colour);

  private:
    uint32_t* pixels_ = nullptr;
    int64_t stride_ = 0;  // pixels from one scanline to the next
    int width_ = 0;
    int height_ = 0;
};
