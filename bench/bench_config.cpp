// Saving and loading a full 256-channel bus configuration through the File
// menu's handlers (the file dialog answered by its hook, real files in a
// temporary folder), beside writing and reading the same bytes with QFile.
#include <benchmark/benchmark.h>

#include <QFile>
#include <QSaveFile>

#include "BenchSupport.h"
#include "BusState.h"
#include "Listbox.h"
#include "Main.h"

namespace {
constexpr int kFullBusChannels = kChannelIdCount;

QString SavedPath() { return BenchFolder() + QStringLiteral("/saved.cfg"); }
QString CopyPath() { return BenchFolder() + QStringLiteral("/copy.cfg"); }

Main& FullBusWindow() {
    Main::Destroy();
    ResetBusState();
    Main& main = Main::Instance();
    main.ExecNetworkCommand(FullBusSettings() + FullBusAddChannels());
    return main;
}

// The bytes the program saves for the full bus.
QByteArray SavedBytes() {
    FullBusWindow();
    ChooseFileInDialogs(SavedPath());
    Main::Instance()._FileSaveBusConfiguration_Action();
    Main::Destroy();
    QFile file(SavedPath());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void ReportMessages(benchmark::State& state) {
    const QStringList messages = TakeMessages();
    if (!messages.isEmpty()) state.SkipWithError(messages.first().toStdString().c_str());
}

void BM_SaveFullConfiguration(benchmark::State& state) {
    Main& main = FullBusWindow();
    ChooseFileInDialogs(SavedPath());
    for (auto _ : state) main._FileSaveBusConfiguration_Action();
    ReportMessages(state);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * QFile(SavedPath()).size());
    Main::Destroy();
}
BENCHMARK(BM_SaveFullConfiguration)->Unit(benchmark::kMillisecond);

void BM_LoadFullConfiguration(benchmark::State& state) {
    const QByteArray bytes = SavedBytes();
    Main& main = FullBusWindow();
    main.ExecNetworkCommand(QStringLiteral("ClearAllChannels*"));
    ChooseFileInDialogs(SavedPath());
    for (auto _ : state) main._FileLoadBusConfiguration_Action();
    ReportMessages(state);
    if (main.ChannelListBox()->ListCount() != kFullBusChannels)
        state.SkipWithError("the file did not load every channel");
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes.size());
    Main::Destroy();
}
BENCHMARK(BM_LoadFullConfiguration)->Unit(benchmark::kMillisecond);

// The same bytes written in one go: over the old file in place, and through a
// QSaveFile that replaces it whole, as the program's save does.
void BM_Reference_WriteBytesQFile(benchmark::State& state) {
    const QByteArray bytes = SavedBytes();
    for (auto _ : state) {
        QFile file(CopyPath());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
            file.write(bytes) != bytes.size())
            state.SkipWithError("cannot write the copy");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes.size());
}
BENCHMARK(BM_Reference_WriteBytesQFile)->Unit(benchmark::kMillisecond);

void BM_Reference_WriteBytesQSaveFile(benchmark::State& state) {
    const QByteArray bytes = SavedBytes();
    for (auto _ : state) {
        QSaveFile file(CopyPath());
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
            state.SkipWithError("cannot write the copy");
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes.size());
}
BENCHMARK(BM_Reference_WriteBytesQSaveFile)->Unit(benchmark::kMillisecond);

void BM_Reference_ReadBytesQFile(benchmark::State& state) {
    const QByteArray bytes = SavedBytes();
    for (auto _ : state) {
        QFile file(SavedPath());
        if (!file.open(QIODevice::ReadOnly)) state.SkipWithError("cannot read the file");
        const QByteArray read = file.readAll();
        benchmark::DoNotOptimize(read.constData());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * bytes.size());
}
BENCHMARK(BM_Reference_ReadBytesQFile)->Unit(benchmark::kMillisecond);
}  // namespace

int main(int argc, char** argv) { return RunWindowBenchmarks(argc, argv); }
