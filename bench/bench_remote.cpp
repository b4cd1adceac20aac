// A controller's batch of AddChannel commands executed by the main window
// (each command redraws the whole map, as the protocol asks), beside the parse
// of the same batch and the bare full redraws it cannot do without.
#include <benchmark/benchmark.h>

#include <QString>
#include <vector>

#include "BenchSupport.h"
#include "BusState.h"
#include "Listbox.h"
#include "Main.h"
#include "RemoteProtocol.h"

using namespace RemoteProtocol;

namespace {
constexpr int kFullBusChannels = kChannelIdCount;
constexpr int kFloodCommands = 10000;  // more than any bus holds: a controller gone wrong

Main& FreshWindow() {
    Main::Destroy();
    ResetBusState();
    Main& main = Main::Instance();
    main.ExecNetworkCommand(FullBusSettings());
    return main;
}

// Runs `count` AddChannel commands as one batch, each time on an emptied list.
void RunAddChannelBatch(benchmark::State& state, int count) {
    Main& main = FreshWindow();
    const QString batch = FullBusAddChannels(count);
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
    const QString batch = FullBusAddChannels(kFullBusChannels);
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
    main.ExecNetworkCommand(FullBusAddChannels(kFullBusChannels));
    for (auto _ : state) {
        for (int n = 0; n < count; ++n) {
            main.RedrawMap(Main::MapLayer::Control, Main::SlotMap::Keep, Main::MapLayer::Error);
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
