#pragma once
#include <cstdint>

#include "MapGeometry.h"
#include "Picture.h"

namespace MapPainters {

// The message band a controller lays over the message slots.
struct MessageMarks {
    int32_t Start = -1;   // message slots before the band
    int32_t Length = -1;  // message slots in the band; none when below 1
    int32_t Type = -1;    // 1 selects the pale band colour
};

// The bottom layer of the map: background, row lines, the control space
// (framing, guide and message slots), the free data space and the message
// band. With dimFlag 1 or more every slot from firstDimmedSlot on is drawn
// dimmed. Slot owners other than control space are drawn as data space.
Picture PaintControlLayer(const MapGeometry::SlotOwners& owners, const MessageMarks& marks,
                          int32_t dimFlag, int32_t firstDimmedSlot);

}  // namespace MapPainters
