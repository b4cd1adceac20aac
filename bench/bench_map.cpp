// The superframe map layers, as a pointer move over the map redraws them,
// against the floor of copying the same picture bytes.
#include <benchmark/benchmark.h>

#include <array>
#include <cstring>
#include <vector>

#include "BenchSupport.h"
#include "ChannelLayer.h"
#include "ControlLayer.h"
#include "MapGeometry.h"
#include "MarkLayers.h"
#include "Module1.h"

using namespace MapGeometry;
using namespace MapPainters;

namespace {
constexpr size_t kPictureBytes = size_t{kPictureWidthPx} * kPictureHeightPx * 4;
constexpr int kLayersPerMove = 3;  // channel, error and pointer layers

constexpr std::array<int32_t, 8> kPresenceCodes = {1, 2, 3, 9, 10, 17, 18, 19};

// The full bus, half of its channels with a presence rate that leaves
// segments empty.
struct Scene {
    SlotOwners owners{};
    std::array<Channel, kChannelIdCount> records{};
    std::array<const Channel*, kChannelIdCount> pointers{};
    BusClock bus{24576000, 10};
    Picture control;
    ErrorMarks errors{700, 40, 3};

    Scene() {
        for (int s = 0; s < kSlotCount; ++s)
            owners[static_cast<size_t>(s)] =
                s % kFullBusSubframeSlots < kFullBusControlSlots ? Module1::kControlSpace : -1;
        for (size_t id = 0; id < kChannelIdCount; ++id) {
            const FullBusChannel& placed = FullBusChannels()[id];
            Channel& channel = records[id];
            channel.Status = 1;
            channel.SegmentDistribution =
                Module1::CalculateSegmentDistribution(placed.Offset, kSlotCount);
            channel.SegmentLength = placed.Length;
            channel.BoxColor = RGB(static_cast<int>(id * 37 % 192) + 63, 120,
                                   static_cast<int>(id * 53 % 192) + 63);
            channel.TransportProtocol = id % 2 == 0 ? 1 : 0;
            // Every pushed channel a pair of presence rate and segment rate
            // of its own, so no drawing can reuse a ratio.
            channel.PresenceRate = kPresenceCodes[id / 2 % kPresenceCodes.size()];
            const size_t rateStep = id / 2 / kPresenceCodes.size() + 1;
            channel.Rate = 8000.0 * static_cast<double>(rateStep);
            pointers[id] = &channel;
        }
        control = PaintControlLayer(owners, {0, 20, 0}, 0, 0);
    }
};

Scene& TheScene() {
    static Scene scene;
    return scene;
}

void BM_DrawControlSlot(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        Picture layer = PaintControlLayer(scene.owners, {0, 20, 0}, 1, 64);
        benchmark::DoNotOptimize(layer.Image().constBits());
    }
}
BENCHMARK(BM_DrawControlSlot);

void BM_DrawChannelSlot(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        Picture layer = PaintChannelLayer(scene.control, scene.pointers, scene.bus, scene.owners);
        benchmark::DoNotOptimize(layer.Image().constBits());
    }
}
BENCHMARK(BM_DrawChannelSlot);

void BM_DrawErrorSlot(benchmark::State& state) {
    Scene& scene = TheScene();
    for (auto _ : state) {
        Picture layer = PaintErrorLayer(scene.control, scene.errors);
        benchmark::DoNotOptimize(layer.Image().constBits());
    }
}
BENCHMARK(BM_DrawErrorSlot);

void BM_DrawMobileSlot(benchmark::State& state) {
    Scene& scene = TheScene();
    int step = 0;
    for (auto _ : state) {
        Picture layer = PaintPointerFrame(scene.control, step % kColumns, step % kRows);
        benchmark::DoNotOptimize(layer.Image().constBits());
        ++step;
    }
}
BENCHMARK(BM_DrawMobileSlot);

// What one pointer move draws: the channel layer on the control-space layer,
// the error layer on it and the pointer frame on that.
void BM_PointerMoveChain(benchmark::State& state) {
    Scene& scene = TheScene();
    int step = 0;
    for (auto _ : state) {
        const Picture channels =
            PaintChannelLayer(scene.control, scene.pointers, scene.bus, scene.owners);
        const Picture errors = PaintErrorLayer(channels, scene.errors);
        Picture shown = PaintPointerFrame(errors, step % kColumns, step % kRows);
        benchmark::DoNotOptimize(shown.Image().constBits());
        ++step;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kLayersPerMove *
                            static_cast<int64_t>(kPictureBytes));
}
BENCHMARK(BM_PointerMoveChain);

// The floor: copying the bytes of the three pictures a move creates.
void BM_CopyFloor(benchmark::State& state) {
    std::vector<unsigned char> source(kPictureBytes, 0x5a);
    std::vector<std::vector<unsigned char>> targets(kLayersPerMove,
                                                    std::vector<unsigned char>(kPictureBytes));
    for (auto _ : state) {
        for (auto& target : targets) {
            std::memcpy(target.data(), source.data(), kPictureBytes);
            benchmark::DoNotOptimize(target.data());
        }
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kLayersPerMove *
                            static_cast<int64_t>(kPictureBytes));
}
BENCHMARK(BM_CopyFloor);
}  // namespace

BENCHMARK_MAIN();
