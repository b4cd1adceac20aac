#include "ChannelLayer.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "LayerPicture.h"
#include "MapPalette.h"
#include "Module1.h"
#include "PixelWriter.h"
#include "Text.h"

using namespace MapGeometry;

namespace MapPainters {

using MapPalette::kEmptySegmentDot;

namespace {
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

constexpr int32_t kDistributionCodes = 4096;  // the 12-bit codes

struct Distribution {
    int32_t interval = 0;
    int32_t offset = 0;
};

// The bus model's decoding, looked up: every redraw decodes every channel.
Distribution Decode(int32_t code) {
    if (code < 0 || code >= kDistributionCodes) return {Module1::SD2SI(code), Module1::SD2SO(code)};
    static const auto table = [] {
        std::array<Distribution, kDistributionCodes> decoded{};
        for (int32_t c = 0; c < kDistributionCodes; ++c)
            decoded[static_cast<size_t>(c)] = {Module1::SD2SI(c), Module1::SD2SO(c)};
        return decoded;
    }();
    return table[static_cast<size_t>(code)];
}

// Of every `den` segments, `num` carry data, spread evenly by an accumulator.
// `everySegment` stands for a ratio that needs no accumulator.
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

// The ratio of the presence rate (code) to the segment rate.
PresenceRatio RatioOfRates(int32_t code, double rate) {
    PresenceRatio ratio;
    const double base = FamilyBase(code);
    // A code without a family has no presence rate to compare: all data.
    if (base == 0) return ratio;
    const int32_t n = Module1::Bit_Set(Module1::Bit_Set(code, kFamilyBit, 0), kHighFamilyBit, 0);
    const double presence = base * std::pow(2.0, static_cast<double>(n) - 1);
    const int32_t presenceHz = ToInt32(presence);
    const int32_t rateHz = ToInt32(rate);
    // A rate never computed (below 1) or a presence rate below 1 Hz has no
    // common divisor worth a message on every redraw; divide by 1 instead.
    const int32_t divisor = presenceHz >= 1 && rateHz >= 1 ? Module1::GCD(presenceHz, rateHz) : 1;
    ratio.num = ToInt32(presence / divisor);
    ratio.den = ToInt32(rate / divisor);
    ratio.everySegment = false;
    return ratio;
}

// Ratios worked out during one drawing: channels tend to share their rates.
class RatioCache {
public:
    PresenceRatio Get(int32_t code, double rate) {
        for (size_t i = 0; i < count_; ++i)
            if (entries_[i].code == code && entries_[i].rate == rate) return entries_[i].ratio;
        const PresenceRatio ratio = RatioOfRates(code, rate);
        entries_[next_] = {code, rate, ratio};
        next_ = (next_ + 1) % entries_.size();
        count_ = std::min(count_ + 1, entries_.size());
        return ratio;
    }

private:
    struct Entry {
        int32_t code = 0;
        double rate = 0;
        PresenceRatio ratio;
    };
    std::array<Entry, 16> entries_{};
    size_t count_ = 0;
    size_t next_ = 0;
};

PresenceRatio RatioOf(const Channel& channel, const BusClock& bus, RatioCache& cache) {
    if (channel.TransportProtocol != kPushedProtocol &&
        channel.TransportProtocol != kPulledProtocol)
        return {};
    if (channel.PresenceRate == 0) return {};
    // Without a usable root frequency and gear the rate means nothing: show
    // every segment as carrying data. Any gear row but 0 passes here.
    if (bus.RootFrequency == -1 || bus.ClockGear == 0) return {};
    return cache.Get(channel.PresenceRate, channel.Rate);
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
void RecordChannel(TopChannels& top, const Channel& channel, int32_t id, const BusClock& bus,
                   RatioCache& cache) {
    // A negative length paints nothing, like a zero one.
    if (channel.Status != 1 || channel.SegmentLength <= 0) return;
    const Distribution distribution = Decode(channel.SegmentDistribution);
    if (distribution.offset == 0 || distribution.interval <= 0) return;

    const PresenceRatio ratio = RatioOf(channel, bus, cache);
    const double lastSegment = static_cast<double>(kSlotCount) / distribution.interval - 1;
    constexpr int64_t kLastSlot = kSlotCount - 1;
    int64_t accumulator = 0;
    for (int64_t u = 0; static_cast<double>(u) <= lastSegment; ++u) {
        bool carriesData = true;
        if (!ratio.everySegment) {
            accumulator += ratio.num;
            carriesData = accumulator >= ratio.den;
            if (carriesData) accumulator -= ratio.den;
        }
        const int64_t first = u * distribution.interval + distribution.offset;
        int64_t last = std::min(first + channel.SegmentLength - 1, kLastSlot);
        // A segment longer than the interval runs into the next one, which
        // covers the rest of it again: only its first interval stays visible.
        // This bounds the work for any length.
        if (static_cast<double>(u + 1) <= lastSegment)
            last = std::min(last, first + distribution.interval - 1);
        for (int64_t slot = std::max<int64_t>(first, 0); slot <= last; ++slot)
            top[static_cast<size_t>(slot)] = {id, carriesData};
        if (first > kLastSlot) top[kLastSlot] = {id, carriesData};
    }
}

void PaintSlot(PixelWriter& g, int slot, Color colour, bool carriesData) {
    const int64_t left = CellLeft(SlotColumn(slot));
    const int64_t top = CellTop(SlotRow(slot));
    g.FillBlock<kCellWidthPx, kCellHeightPx>(left, top, colour);
    // A carrying segment's dot is in the cell's own colour: nothing to add.
    if (!carriesData)
        g.FillBlock<kDotSizePx, kDotSizePx>(left + kDotLeftPx, top + kDotTopPx, kEmptySegmentDot);
}
}  // namespace

Picture PaintChannelLayer(const Picture& base, std::span<const Channel* const> channels,
                          const BusClock& bus, SlotOwners& owners) {
    // Every painting of a slot covers its whole cell, so only the last one
    // shows: find the top channel of every slot first, then paint each slot once.
    TopChannels top;
    RatioCache ratios;
    const size_t count = std::min<size_t>(channels.size(), kChannelIdCount);
    for (size_t id = 0; id < count; ++id)
        if (channels[id]) RecordChannel(top, *channels[id], static_cast<int32_t>(id), bus, ratios);

    Picture layer = NewLayerOn(base);
    PixelWriter g(layer.Image());
    for (int slot = 0; slot < kSlotCount; ++slot) {
        const SlotPaint& paint = top[static_cast<size_t>(slot)];
        if (paint.id < 0) continue;
        owners[static_cast<size_t>(slot)] = paint.id;
        PaintSlot(g, slot, channels[static_cast<size_t>(paint.id)]->BoxColor, paint.carriesData);
    }
    return layer;
}

}  // namespace MapPainters
