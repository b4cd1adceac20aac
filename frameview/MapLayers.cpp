#include <array>

#include "ChannelLayer.h"
#include "ControlLayer.h"
#include "Main.h"
#include "MarkLayers.h"
#include "Module1.h"

namespace {
constexpr size_t kChannelIds = 256;  // SBChannel entries 0..255 are channels
}

Picture Main::DrawControlSlot(int32_t dimFlag, int32_t firstDimmedSlot) {
    return PaintControlLayer(Module1::SuperFrameSlot, {MessageStart, MessageLength, MessageType},
                             dimFlag, firstDimmedSlot);
}

Picture Main::DrawChannelSlot(const Picture& base) {
    std::array<const Channel*, kChannelIds> pool{};
    for (size_t id = 0; id < pool.size(); ++id) pool[id] = SBChannel[id].get();
    return PaintChannelLayer(base, pool, {Module1::iRootFrequency, Module1::iClockGear},
                             Module1::SuperFrameSlot);
}

Picture Main::DrawErrorSlot(const Picture& base) {
    return PaintErrorLayer(base, {ErrorStart, ErrorLength, SyncError});
}

Picture Main::DrawMobileSlot(int32_t column, int32_t row, const Picture& base) {
    return PaintPointerFrame(base, column, row);
}
