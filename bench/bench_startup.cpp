// Start-up, measured two ways, each beside a bare Qt program doing the same:
// - whole program starts: every iteration starts this program again as a
//   fresh process in the role of the real program (its start-up, as main()
//   does it) or of a bare Qt program (QApplication, a QMainWindow, a QLabel), and
//   times from the start of the process until it reports its window shown;
//   the process also reports its resident memory at that moment;
// - the main window built again in a running process (the runtime exists).
// The window's socket listens in a temporary folder, never on the product's path.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QProcess>
#include <cstdio>

#include "BenchSupport.h"
#include "BusState.h"
#include "IPCSocket.h"
#include "Main.h"
#include "Program.h"
#include "TestSeams.h"

namespace {
const QString kRoleMarker = QStringLiteral("--startup-role=");
constexpr int kChildTimeoutMs = 30000;

// In a started process: its window shown, the line "shown <VmRSS in MB>".
void ReportShown() {
    std::printf("shown %.1f\n", ResidentMegabytes());
    std::fflush(stdout);
}

// The role "program": what main() does up to the main window shown, with the
// seams that keep the socket in the benchmark's folder.
int RunProgramRole(int argc, char** argv) {
    const Program program(argc, argv);
    TestSeams seams(BenchSocketPath());
    Main& main = Program::OpenMainWindow();
    QCoreApplication::processEvents();
    if (!main.isVisible() || !main.IPCSocket1()->ListeningPath().startsWith(BenchFolder())) {
        std::printf(
            "the main window is not shown or its socket is not in the benchmark's folder\n");
        return 1;
    }
    ReportShown();
    return 0;
}

// The role "bare": a bare Qt program's window of the main window's size, with
// one line of text (so that it too loads the fonts).
int RunBareRole(int argc, char** argv) {
    QApplication runtime(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("Veltrane")));
    window.resize(955, 442);
    window.show();
    QCoreApplication::processEvents();
    if (!window.isVisible()) return 1;
    ReportShown();
    return 0;
}

// Starts this program in `role` once per iteration; the time is from the
// start of the process to its report of the window shown.
void StartFreshProcesses(benchmark::State& state, const QString& role) {
    double rss = 0;
    for (auto _ : state) {
        QProcess child;
        // Its standard error (Qt's notes) only in the report of a failed start.
        QElapsedTimer clock;
        clock.start();
        child.start(QCoreApplication::applicationFilePath(), {kRoleMarker + role});
        QByteArray line;
        while (!line.endsWith('\n') && child.waitForReadyRead(kChildTimeoutMs))
            line += child.readLine();
        const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
        const bool finished = child.waitForFinished(kChildTimeoutMs);
        if (!line.startsWith("shown ") || !finished || child.exitStatus() != QProcess::NormalExit ||
            child.exitCode() != 0) {
            state.SkipWithError(
                ("the " + role + " process did not start: " + QString::fromLocal8Bit(line))
                    .toStdString()
                    .c_str());
            break;
        }
        state.SetIterationTime(seconds);
        rss = line.mid(6).trimmed().toDouble();
    }
    state.counters["rss_MB"] = rss;
}

void BM_ProgramStartToMainWindowShown(benchmark::State& state) {
    StartFreshProcesses(state, QStringLiteral("program"));
    state.SetLabel("fresh process: start to main window shown");
}
BENCHMARK(BM_ProgramStartToMainWindowShown)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_Reference_BareQtProgramStartToWindowShown(benchmark::State& state) {
    StartFreshProcesses(state, QStringLiteral("bare"));
    state.SetLabel("fresh process: start to a bare QMainWindow with a QLabel shown");
}
BENCHMARK(BM_Reference_BareQtProgramStartToWindowShown)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

void BM_MainWindowShownAgain(benchmark::State& state) {
    for (auto _ : state) {
        ResetBusState();
        Main& main = Program::OpenMainWindow();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(main.isVisible());
        state.PauseTiming();
        Main::Destroy();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
    state.SetLabel("in a running process: main window built and shown again");
}
BENCHMARK(BM_MainWindowShownAgain)->Unit(benchmark::kMillisecond);

void BM_Reference_BareWindowShownAgain(benchmark::State& state) {
    for (auto _ : state) {
        QMainWindow window;
        window.resize(955, 442);
        window.show();
        QCoreApplication::processEvents();
        benchmark::DoNotOptimize(window.isVisible());
    }
    state.SetLabel("in a running process: a bare QMainWindow shown");
}
BENCHMARK(BM_Reference_BareWindowShownAgain)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == kRoleMarker + QStringLiteral("program")) return RunProgramRole(argc, argv);
        if (argument == kRoleMarker + QStringLiteral("bare")) return RunBareRole(argc, argv);
    }
    return RunWindowBenchmarks(argc, argv);
}
