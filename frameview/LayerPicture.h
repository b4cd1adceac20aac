#pragma once

#include "Picture.h"

namespace MapPainters {

// Every layer is a new picture of the map's size; nothing is drawn on a
// picture a caller already holds. A pointer move makes three of them, so
// their pixel buffers are recycled: a buffer goes back to a small pool when
// the last copy of its picture goes, and the next layer reuses it instead of
// asking the system for fresh memory.

// A new map-sized picture, its pixels not yet set.
Picture NewLayer();

// A new map-sized picture that starts as a copy of `base` (white where the
// base has no pixels, for instance while the layer below was never drawn).
Picture NewLayerOn(const Picture& base);

}  // namespace MapPainters
