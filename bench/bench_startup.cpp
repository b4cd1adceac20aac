// Start-up to the main window shown, offscreen, beside a bare Qt window
// shown the same way as the reference; and the resident memory after start-up.
// The window's socket listens in a temporary folder, never on the product's path.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>

#include "App.h"
#include "BenchSupport.h"
#include "BusState.h"
#include "IPCSocket.h"
#include "Main.h"
#include "MenuBar1.h"
#include "TestSeams.h"

namespace {
double g_coldStartMs = 0;  // process start (the runtime's creation) to the first window shown
double g_coldRssMb = 0;

void BM_StartupToMainWindowShown(benchmark::State& state) {
    double rss = 0;
    for (auto _ : state) {
        ResetBusState();
        App::Instance().SetMenuBar(&MenuBar1::Instance());
        Main& main = Main::Instance();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(main.isVisible());
        if (rss == 0) {
            rss = ResidentMegabytes();
            if (!main.IPCSocket1()->ListeningPath().startsWith(BenchFolder()))
                state.SkipWithError("the socket does not listen in the benchmark's folder");
        }
        state.PauseTiming();
        Main::Destroy();
        App::Destroy();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["rss_MB_after_startup"] = rss;
    state.counters["cold_start_ms"] = g_coldStartMs;
    state.counters["cold_rss_MB"] = g_coldRssMb;
}
BENCHMARK(BM_StartupToMainWindowShown)->Unit(benchmark::kMillisecond);

void BM_Reference_BareWindowShown(benchmark::State& state) {
    for (auto _ : state) {
        QMainWindow window;
        window.resize(955, 442);
        window.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.isVisible());
    }
}
BENCHMARK(BM_Reference_BareWindowShown)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QElapsedTimer clock;
    clock.start();
    QApplication runtime(argc, argv);
    TestSeams seams(BenchSocketPath());  // the socket listens in a folder of its own
    App::Instance().SetMenuBar(&MenuBar1::Instance());
    Main::Instance();
    QCoreApplication::processEvents();
    g_coldStartMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    g_coldRssMb = ResidentMegabytes();
    Main::Destroy();
    App::Destroy();
    QCoreApplication::processEvents();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
