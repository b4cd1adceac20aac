#pragma once
#include <cstdint>
#include <span>

#include "Channel.h"
#include "MapGeometry.h"
#include "Picture.h"

namespace MapPainters {

// The bus parameters the channel layer reads.
struct BusClock {
    int32_t RootFrequency = -1;  // Hz, -1 when not indicated or reserved
    int32_t ClockGear = 0;       // the clock gear row
};

// Draws every channel in use on a copy of `base`, in ascending ID order (the
// index in `channels`; null entries are skipped), so where segments overlap
// the higher ID shows. Each segment's cells are filled in the channel's
// colour; a segment that carries no data shows a light dot in each cell.
// Writes the ID of the channel drawn last into `owners` for every slot painted,
// and never clears an entry.
Picture PaintChannelLayer(const Picture& base, std::span<const Channel* const> channels,
                          const BusClock& bus, MapGeometry::SlotOwners& owners);

}  // namespace MapPainters
