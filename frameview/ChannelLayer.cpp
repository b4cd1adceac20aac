#include "ChannelLayer.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "Graphics.h"
#include "LayerPicture.h"
#include "Module1.h"
#include "Text.h"

using namespace MapGeometry;

namespace {
constexpr size_t kChannelCount = 256;
constexpr Color kEmptySegmentDot = RGB(240, 240, 240);
constexpr int kDotLeftPx = 2;  // inside the cell
constexpr int kDotTopPx = 7;
constexpr int kDotSizePx = 2;

// Transport protocols whose segments may go empty, as the presence rate says.
constexpr int32_t kPushedProtocol = 1;
constexpr int32_t kPulledProtocol = 3;

// Presence rate families, chosen by bits 3 and 4 of the code.
constexpr int32_t kFamilyBit = 3;
constexpr int32_t kHighFamilyBit = 4;
constexpr double k12000FamilyHz = 12000;
constexpr double k11025FamilyHz = 11025;
constexpr double k8000FamilyHz = 8000;

// Of every `den` segments, `num` carry data, spread evenly by an accumulator.
// `everySegment` stands for a ratio of at least one.
struct PresenceRatio {
    bool everySegment = true;
    int64_t num = 1;
    int64_t den = 1;
};

// The family base in Hz; 0 for a code with both family bits set (or a
// negative code, whose bits read neither 0 nor 1), which names no family.
double FamilyBase(int32_t code) {
    const int32_t low = Module1::Bit_Test(code, kFamilyBit);
    const int32_t high = Module1::Bit_Test(code, kHighFamilyBit);
    if (low == 0 && high == 0) return k12000FamilyHz;
    if (low == 1 && high == 0) return k11025FamilyHz;
    if (low == 0 && high == 1) return k8000FamilyHz;
    return 0;
}

PresenceRatio RatioOf(const Channel& channel, const BusClock& bus) {
    PresenceRatio ratio;
    const int32_t code = channel.PresenceRate;
    if (channel.TransportProtocol != kPushedProtocol &&
        channel.TransportProtocol != kPulledProtocol)
        return ratio;
    if (code == 0) return ratio;
    // Without a usable root frequency and gear the rate means nothing: show
    // every segment as carrying data. Any gear row but 0 passes here.
    if (bus.rootFrequency == -1 || bus.clockGear == 0) return ratio;
    const double base = FamilyBase(code);
    // A code without a family has no presence rate to compare: all data.
    if (base == 0) return ratio;
    const int32_t n = Module1::Bit_Set(Module1::Bit_Set(code, kFamilyBit, 0), kHighFamilyBit, 0);
    const double presence = base * std::pow(2.0, static_cast<double>(n) - 1);
    const int32_t presenceHz = ToInt32(presence);
    const int32_t rate = ToInt32(channel.Rate);
    // A rate never computed (below 1) or a presence rate below 1 Hz has no
    // common divisor worth a message on every redraw; divide by 1 instead.
    const int32_t divisor = presenceHz >= 1 && rate >= 1 ? Module1::GCD(presenceHz, rate) : 1;
    ratio.num = ToInt32(presence / divisor);
    ratio.den = ToInt32(channel.Rate / divisor);
    ratio.everySegment = false;
    return ratio;
}

// What the top channel leaves in one slot.
struct SlotPaint {
    int32_t id = -1;  // none
    bool carriesData = true;
};
using TopChannels = std::array<SlotPaint, kSlotCount>;

// Records the channel's segments over those of lower IDs. Slots past the
// last slot all land on it; slots below 0 (an offset read from a negative
// code) are not on the map.
void RecordChannel(TopChannels& top, const Channel& channel, int32_t id, const BusClock& bus) {
    // A negative length paints nothing, like a zero one.
    if (channel.Status != 1 || channel.SegmentLength <= 0) return;
    const int32_t offset = Module1::SD2SO(channel.SegmentDistribution);
    const int32_t interval = Module1::SD2SI(channel.SegmentDistribution);
    if (offset == 0 || interval <= 0) return;

    const PresenceRatio ratio = RatioOf(channel, bus);
    const double lastSegment = static_cast<double>(kSlotCount) / interval - 1;
    constexpr int64_t kLastSlot = kSlotCount - 1;
    int64_t accumulator = 0;
    for (int64_t u = 0; u <= lastSegment; ++u) {
        bool carriesData = true;
        if (!ratio.everySegment) {
            accumulator += ratio.num;
            carriesData = accumulator >= ratio.den;
            if (carriesData) accumulator -= ratio.den;
        }
        const int64_t first = u * interval + offset;
        int64_t last = std::min(first + channel.SegmentLength - 1, kLastSlot);
        // A segment longer than the interval runs into the next one, which
        // covers the rest of it again: only its first interval stays visible.
        // This bounds the work for any length.
        if (u + 1 <= lastSegment) last = std::min(last, first + interval - 1);
        for (int64_t slot = std::max<int64_t>(first, 0); slot <= last; ++slot)
            top[static_cast<size_t>(slot)] = {id, carriesData};
        if (first > kLastSlot) top[kLastSlot] = {id, carriesData};
    }
}

void PaintSlot(Graphics& g, int slot, Color colour, bool carriesData) {
    const int left = static_cast<int>(CellLeft(SlotColumn(slot)));
    const int top = static_cast<int>(CellTop(SlotRow(slot)));
    g.ForeColor = colour;
    g.FillRect(left, top, kCellWidthPx, kCellHeightPx);
    // A carrying segment's dot is in the cell's own colour: nothing to add.
    if (carriesData) return;
    g.ForeColor = kEmptySegmentDot;
    g.FillRect(left + kDotLeftPx, top + kDotTopPx, kDotSizePx, kDotSizePx);
}
}  // namespace

Picture PaintChannelLayer(const Picture& base, std::span<const Channel* const> channels,
                          const BusClock& bus, SlotOwners& owners) {
    // Every painting of a slot covers its whole cell, so only the last one
    // shows: find the top channel of every slot first, then paint each slot once.
    TopChannels top;
    const size_t count = std::min(channels.size(), kChannelCount);
    for (size_t id = 0; id < count; ++id)
        if (channels[id]) RecordChannel(top, *channels[id], static_cast<int32_t>(id), bus);

    Picture layer = NewLayerOn(base);
    Graphics g = layer.Graphics();
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const SlotPaint& paint = top[static_cast<size_t>(slot)];
        if (paint.id < 0) continue;
        owners[static_cast<size_t>(slot)] = paint.id;
        PaintSlot(g, slot, channels[static_cast<size_t>(paint.id)]->BoxColor, paint.carriesData);
    }
    return layer;
}
