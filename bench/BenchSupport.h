#pragma once
// What the benchmarks share: the runtime, hooks in place of the modal
// dialogs, a socket path of the benchmark's own, and the full bus they load.
#include <QString>
#include <QStringList>
#include <array>

#include "Channel.h"

// Every message box raised since the last call; a benchmark that sees one
// reports an error instead of a figure.
QStringList TakeMessages();

// The file that the following file dialogs choose; empty cancels them.
void ChooseFileInDialogs(const QString& path);

// A temporary folder of this benchmark program, removed at its end.
QString BenchFolder();
// Where the main window's socket listens in benchmarks, in that folder.
QString BenchSocketPath();

// The commands that set the bus to subframe mode 4 / 32, clock gear 10 and a
// root frequency of 24.576 MHz.
QString FullBusSettings();
constexpr int kFullBusSubframeSlots = 32;
constexpr int kFullBusControlSlots = 4;

// A full bus on those settings: 256 channels that share out every data slot,
// 4 to 6 slots each, one segment per superframe. By channel ID: the
// channel's slot in the superframe and its segment length.
struct FullBusChannel {
    int Offset;
    int Length;
};
const std::array<FullBusChannel, kChannelIdCount>& FullBusChannels();

// AddChannel commands of that full bus; `count` commands repeat its
// channels in turn.
QString FullBusAddChannels(int count = kChannelIdCount);

// Resident memory of this process now, from /proc/self/status.
double ResidentMegabytes();

// A main for window benchmarks: the offscreen platform, the program's own
// start-up (Program.h), the seams (TestSeams: no modal dialog, the socket in
// BenchFolder()), then every registered benchmark.
int RunWindowBenchmarks(int argc, char** argv);
