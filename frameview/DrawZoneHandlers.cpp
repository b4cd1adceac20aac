#include <algorithm>

#include "Canvas.h"
#include "IPCSocket.h"
#include "Label.h"
#include "Listbox.h"
#include "Main.h"
#include "MapGeometry.h"
#include "Module1.h"
#include "Text.h"

namespace {
using MapGeometry::MapPoint;
using MapGeometry::PointToSlot;

bool IsOnMap(const MapPoint& at) { return MapGeometry::IsOnMap(at.Column, at.Row); }

// Only a channel in use with a segment distribution can be moved: a free
// record is no channel, and a code of 0 (none) would decode as interval 3.
bool IsDraggable(const Channel& channel) {
    return channel.Status != 0 && channel.SegmentDistribution != 0;
}

// Sum over the dragged channel's target slots below 1536 of (owner + 1),
// skipping its own slots: 0 exactly when every target is free or its own.
int64_t CollisionSum(int32_t offset, int32_t interval, int32_t segmentLength, int32_t movingId) {
    int64_t sum = 0;
    const int32_t segments = ToInt32(static_cast<double>(Module1::kSlotCount) / interval);
    for (int64_t u = 0; u < segments; ++u) {
        const int64_t start = offset + u * interval;
        if (start >= Module1::kSlotCount) break;
        const int64_t end =
            std::min<int64_t>(start + std::max(segmentLength, 0), Module1::kSlotCount);
        for (int64_t t = start; t < end; ++t) {
            const int32_t owner = Module1::SuperFrameSlot[static_cast<size_t>(t)];
            if (owner != movingId) sum += static_cast<int64_t>(owner) + 1;
        }
    }
    return sum;
}
}  // namespace

void Main::DrawZone_MouseMove(int32_t x, int32_t y) {
    const MapPoint at = PointToSlot(x, y);
    MobileSlotText()->SetText(CStr(at.Slot));
    if (flgStartScreen != 1) return;
    // Not RedrawMap: only the layers with something to show are built, and
    // the pointer frame goes over the top one before anything is drawn.
    Picture top = ControlSlotBuffer;
    if (ChannelListBox()->ListCount() > 0) {
        ChannelSlotBuffer = DrawChannelSlot(ControlSlotBuffer);
        top = ChannelSlotBuffer;
    }
    if (ErrorLength > 0 || SyncError > 0) {
        ErrorSlotBuffer = DrawErrorSlot(top);
        top = ErrorSlotBuffer;
    }
    DrawZone()->Graphics().DrawPicture(DrawMobileSlot(at.Column, at.Row, top), 0, 0);
}

bool Main::DrawZone_MouseDown(int32_t x, int32_t y) {
    if (flgStartScreen == 0) flgStartScreen = 1;
    if (flgMoveChannel != 0) return false;
    const MapPoint at = PointToSlot(x, y);
    MobileSlotText()->SetText(CStr(at.Slot));
    flgMoveChannel = 0;
    iMoveID = -1;
    if (!IsOnMap(at)) return false;
    const auto slot = static_cast<int32_t>(at.Slot);
    const int32_t owner = Module1::SuperFrameSlot[static_cast<size_t>(slot)];
    const Channel* record = ChannelRecord(owner);
    if (!record) return false;
    const Channel& channel = *record;
    const int32_t interval = Module1::SD2SI(channel.SegmentDistribution);
    if (IsDraggable(channel) && slot < interval &&
        (!IPCSocket1()->IsConnected() || channel.Editable != 0)) {
        iMoveID = owner;
        flgMoveChannel = 1;
        // Dimmed outside the first interval, where the first segment can go.
        RedrawMap(MapLayer::Control, SlotMap::Rebuild, MapLayer::Channel, interval);
    }
    return true;
}

void Main::DrawZone_MouseDrag(int32_t x, int32_t y) {
    if (flgMoveChannel != 1) return;
    const MapPoint at = PointToSlot(x, y);
    if (!IsOnMap(at)) return;
    const auto offset = static_cast<int32_t>(at.Slot);
    MobileSlotText()->SetText(CStr(offset));
    Channel* record = ChannelRecord(iMoveID);
    if (!record || !IsDraggable(*record)) return;
    Channel& channel = *record;
    const int32_t interval = Module1::SD2SI(channel.SegmentDistribution);
    const int32_t length = channel.SegmentLength;
    if (interval <= 0) return;  // no interval: every offset is refused
    // The first segment stays inside the first interval, also for a length
    // below 1, so every stored code decodes to the channel's interval.
    if (static_cast<int64_t>(offset) + std::max(length, 1) > interval) return;
    if (CollisionSum(offset, interval, length, iMoveID) != 0) return;
    const int32_t code = Module1::CalculateSegmentDistribution(offset, interval);
    if (code == channel.SegmentDistribution) return;
    channel.SegmentDistribution = code;
    // On the press's dimmed layer; the old offset's slots are forgotten.
    RedrawMap(MapLayer::Channel, SlotMap::Rebuild);
    UpdateSD();
}

void Main::DrawZone_MouseUp(int32_t, int32_t) {
    const Channel* channel = ChannelRecord(iMoveID);
    if (IPCSocket1()->IsConnected() && flgMoveChannel == 1 && channel && IsDraggable(*channel)) {
        IPCSocket1()->Write(("SetEventID:" + CStr(channel->Editable) + "*").toLatin1());
        IPCSocket1()->Write(
            ("SetChannelSD:" + CStr(iMoveID) + "," + CStr(channel->SegmentDistribution) + "*")
                .toLatin1());
    }
    flgMoveChannel = 0;
    iMoveID = -1;
    // Undimmed again; the drag rebuilt the slot map after its last change.
    RedrawMap(MapLayer::Control, SlotMap::Keep);
}

void Main::DrawZone_Paint(::Graphics&) {
    if (flgStartScreen != 1) return;
    // Also with an empty list, when the channel layer equals the control space.
    RedrawMap(MapLayer::Channel, SlotMap::Keep);
}
