// A controller's batch of AddChannel commands executed by the main window
// (each command redraws the whole map, as the protocol asks), beside the parse
// of the same batch and the bare full redraws it cannot do without.
#include <benchmark/benchmark.h>

#include <QString>
#include <vector>

#include "BenchSupport.h"
#include "Canvas.h"
#include "Graphics.h"
#include "Listbox.h"
#include "Main.h"
#include "Module1.h"
#include "RemoteProtocol.h"

namespace {
constexpr int kSlotCount = 1536;
constexpr int kSubframeSlots = 32;
constexpr int kControlSlots = 4;  // subframe mode 4 / 32
constexpr int kFullBusChannels = 256;
constexpr int kFloodCommands = 10000;  // more than any bus holds: a controller gone wrong

const QString kBusSettings =
    QStringLiteral("SetSubFrameMode:19*SetClockGear:10*SetRootFrequency:1*");

// The AddChannel commands of a full bus: 256 channels that share out every
// data slot of mode 4 / 32, with 4 to 6 slots each, one segment per
// superframe; `count` commands repeat those channels in turn.
QString AddChannelBatch(int count) {
    struct Placed {
        int offset;
        int length;
    };
    std::vector<Placed> placed;
    const std::vector<int> six = {4, 4, 5, 5, 5, 5};
    const std::vector<int> five = {5, 5, 6, 6, 6};
    for (int block = 0; block < kSlotCount / kSubframeSlots; ++block) {
        int offset = block * kSubframeSlots + kControlSlots;
        for (int length : block < 16 ? six : five) {
            placed.push_back({offset, length});
            offset += length;
        }
    }
    QString batch;
    for (int n = 0; n < count; ++n) {
        const int id = n % kFullBusChannels;
        const Placed& p = placed[static_cast<size_t>(id)];
        const int code = Module1::CalculateSegmentDistribution(p.offset, kSlotCount);
        batch += QStringLiteral("AddChannel:%1,%2,%3,%4,0,0,0,1,0,16,%5*")
                     .arg(id)
                     .arg(p.length)
                     .arg(code)
                     .arg(id % 2)
                     .arg(id % 8);
    }
    return batch;
}

Main& FreshWindow() {
    Main::Destroy();
    Module1::ResetForTests();
    Main& main = Main::Instance();
    main.ExecNetworkCommand(kBusSettings);
    return main;
}

// Runs `count` AddChannel commands as one batch, each time on an emptied list.
void RunAddChannelBatch(benchmark::State& state, int count) {
    Main& main = FreshWindow();
    const QString batch = AddChannelBatch(count);
    for (auto _ : state) {
        state.PauseTiming();
        main.ExecNetworkCommand(QStringLiteral("ClearAllChannels*"));
        state.ResumeTiming();
        main.ExecNetworkCommand(batch);
    }
    if (main.ChannelListBox()->ListCount() != count)
        state.SkipWithError("the list does not show one row per command");
    state.counters["commands"] = count;
    Main::Destroy();
}

void BM_RemoteBatch256AddChannel(benchmark::State& state) {
    RunAddChannelBatch(state, kFullBusChannels);
}
BENCHMARK(BM_RemoteBatch256AddChannel)->Unit(benchmark::kMillisecond);

// A flood of commands, at two sizes to show how the time grows with the rows.
void BM_RemoteBatchFloodAddChannel(benchmark::State& state) {
    RunAddChannelBatch(state, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_RemoteBatchFloodAddChannel)
    ->Unit(benchmark::kMillisecond)
    ->Arg(kFloodCommands / 4)
    ->Arg(kFloodCommands)
    ->Iterations(1);

void BM_Reference_ParseBatch256(benchmark::State& state) {
    const QString batch = AddChannelBatch(kFullBusChannels);
    for (auto _ : state) {
        std::vector<RemoteCommand> commands = ParseRemoteBatch(batch);
        benchmark::DoNotOptimize(commands.data());
    }
}
BENCHMARK(BM_Reference_ParseBatch256)->Unit(benchmark::kMillisecond);

// The redraws alone: `count` times the three layers over the full bus and the
// top one onto the map.
void RunFullRedraws(benchmark::State& state, int count) {
    Main& main = FreshWindow();
    main.ExecNetworkCommand(AddChannelBatch(kFullBusChannels));
    for (auto _ : state) {
        for (int n = 0; n < count; ++n) {
            main.ControlSlotBuffer = main.DrawControlSlot(0, 0);
            main.ChannelSlotBuffer = main.DrawChannelSlot(main.ControlSlotBuffer);
            main.ErrorSlotBuffer = main.DrawErrorSlot(main.ChannelSlotBuffer);
            main.DrawZone()->Graphics().DrawPicture(main.ErrorSlotBuffer, 0, 0);
        }
    }
    Main::Destroy();
}

void BM_Reference_256FullRedraws(benchmark::State& state) {
    RunFullRedraws(state, kFullBusChannels);
}
BENCHMARK(BM_Reference_256FullRedraws)->Unit(benchmark::kMillisecond);

void BM_Reference_FloodFullRedraws(benchmark::State& state) {
    RunFullRedraws(state, static_cast<int>(state.range(0)));
}
BENCHMARK(BM_Reference_FloodFullRedraws)
    ->Unit(benchmark::kMillisecond)
    ->Arg(kFloodCommands / 4)
    ->Arg(kFloodCommands)
    ->Iterations(1);
}  // namespace

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv); }
