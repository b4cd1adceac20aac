#pragma once
#include <cstdint>

#include "Graphics.h"
#include "Picture.h"

// Helpers shared by the map painters. Each layer is a new picture of the
// map's size; nothing is drawn on a picture the caller already holds.

// A new map-sized picture that starts as a copy of `base` (white where the
// base has no pixels, for instance while the layer below was never drawn).
// The copy shares the base's pixels until it is first drawn on.
Picture NewLayerOn(const Picture& base);

// Fills the part of the rectangle that lies on the picture. Coordinates come
// from raw columns, rows and marks, so they are taken in 64 bits and clipped
// before they reach the int-based Graphics.
void FillClipped(Graphics& g, int64_t x, int64_t y, int64_t width, int64_t height);

// A 1-pixel outline inside width x height, clipped like FillClipped.
void OutlineClipped(Graphics& g, int64_t x, int64_t y, int64_t width, int64_t height);
