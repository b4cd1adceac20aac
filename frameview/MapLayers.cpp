#include <array>

#include "Canvas.h"
#include "ChannelLayer.h"
#include "ControlLayer.h"
#include "Listbox.h"
#include "Main.h"
#include "MarkLayers.h"
#include "Module1.h"

using namespace MapPainters;

Picture Main::DrawControlSlot(int32_t dimFlag, int32_t firstDimmedSlot) {
    return PaintControlLayer(Module1::SuperFrameSlot, {MessageStart, MessageLength, MessageType},
                             dimFlag, firstDimmedSlot);
}

Picture Main::DrawChannelSlot(const Picture& base) {
    std::array<const Channel*, kChannelIdCount> pool{};
    for (size_t id = 0; id < pool.size(); ++id) pool[id] = ChannelRecord(static_cast<int64_t>(id));
    return PaintChannelLayer(base, pool, {Module1::iRootFrequency, Module1::iClockGear},
                             Module1::SuperFrameSlot);
}

Picture Main::DrawErrorSlot(const Picture& base) {
    return PaintErrorLayer(base, {ErrorStart, ErrorLength, SyncError});
}

Picture Main::DrawMobileSlot(int32_t column, int32_t row, const Picture& base) {
    return PaintPointerFrame(base, column, row);
}

void Main::RedrawMap(MapLayer from, SlotMap slotMap, MapLayer top,
                     std::optional<int32_t> firstDimmedSlot) {
    if (slotMap == SlotMap::Rebuild) Module1::BuildSlotMap();
    const Picture* shown = nullptr;
    if (from == MapLayer::Control) {
        ControlSlotBuffer =
            firstDimmedSlot ? DrawControlSlot(1, *firstDimmedSlot) : DrawControlSlot(0, 0);
        shown = &ControlSlotBuffer;
    }
    const bool channels =
        from == MapLayer::Channel || top == MapLayer::Error || ChannelListBox()->ListCount() > 0;
    if (from <= MapLayer::Channel && top >= MapLayer::Channel && channels) {
        ChannelSlotBuffer = DrawChannelSlot(ControlSlotBuffer);
        shown = &ChannelSlotBuffer;
    }
    if (top == MapLayer::Error) {
        ErrorSlotBuffer = DrawErrorSlot(ChannelSlotBuffer);
        shown = &ErrorSlotBuffer;
    }
    if (shown) DrawZone()->Graphics().DrawPicture(*shown, 0, 0);
}
