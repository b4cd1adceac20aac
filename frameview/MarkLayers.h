#pragma once
#include <cstdint>

#include "Picture.h"

namespace MapPainters {

// Error marks a controller reports.
struct ErrorMarks {
    int32_t Start = 0;      // first slot with an error
    int32_t Length = 0;     // slots after `Start` that have one too; none when below 1
    int32_t SyncError = 0;  // frames, from frame 0, whose first slot shows a sync error
};

// A copy of `base` with the error marks in red. Marks off the map (slots
// outside 0..1535, frames 8 and above) leave nothing.
Picture PaintErrorLayer(const Picture& base, const ErrorMarks& marks);

// A copy of `base` with a 1-pixel red frame just outside the cell of
// (column, row). Any column and row are accepted; what falls off the picture
// is not drawn.
Picture PaintPointerFrame(const Picture& base, int32_t column, int32_t row);

}  // namespace MapPainters
