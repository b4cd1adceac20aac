#pragma once
// What the window benchmarks share: the runtime, hooks in place of the modal
// dialogs, and a socket path of the benchmark's own.
#include <QString>
#include <QStringList>

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

// AddChannel commands of a full bus on those settings: 256 channels that
// share out every data slot, 4 to 6 slots each, one segment per superframe;
// `count` commands repeat those channels in turn.
QString FullBusAddChannels(int count = kChannelIdCount);

// Resident memory of this process now, from /proc/self/status.
double ResidentMegabytes();

// A main for window benchmarks: the offscreen platform, the program's own
// start-up (Program.h), the seams (TestSeams: no modal dialog, the socket in
// BenchFolder()), then every registered benchmark.
int RunWindowBenchmarks(int argc, char** argv);
