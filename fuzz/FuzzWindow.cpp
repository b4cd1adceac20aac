#include "FuzzWindow.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QTemporaryDir>

#include "BusState.h"
#include "Listbox.h"
#include "Main.h"
#include "Program.h"
#include "TestSeams.h"

namespace {
// A fresh window's bus rows, and no channels.
const QString kResetBatch = QStringLiteral(
    "ClearAllChannels:*SetSubFrameMode:19*SetClockGear:10*SetRootFrequency:1*SetSuperframeID:0*");

QTemporaryDir& Scratch() {
    static QTemporaryDir folder;
    return folder;
}

// Kept for the whole run: a fuzzer ends with exit(), when taking the window
// down would meet Qt's globals already gone.
Program* g_program = nullptr;
TestSeams* g_seams = nullptr;
}  // namespace

Main& OpenFuzzWindow() {
    static Main* window = [] {
        // Never a real screen, whatever the environment says.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        // The fuzzer's own flags are none of Qt's business.
        static int argc = 1;
        static char name[] = "veltrane_fuzz";
        static char* argv[] = {name, nullptr};
        g_program = new Program(argc, argv);
        g_seams = new TestSeams(ScratchPath(QStringLiteral("remote")));

        ResetBusState();
        Main& main = Program::OpenMainWindow();
        // Qt loads the font database and its caches on first use; that is
        // done here, before the fuzzer counts allocations per input.
        QFontDatabase::families();
        ResetFuzzWindow(main);
        QCoreApplication::processEvents();
        return &main;
    }();
    return *window;
}

void ResetFuzzWindow(Main& window) {
    // Each input's records go with it: a run holds millions of them.
    g_seams->ForgetRecords();
    window.ExecNetworkCommand(kResetBatch);
}

void ChooseFile(const QString& path) { g_seams->ChooseFile(path); }

QString ScratchPath(const QString& name) { return Scratch().filePath(name); }

int MessageCount() { return static_cast<int>(g_seams->Messages().size()); }

void Fail(const char* what) {
    qFatal("%s", what);  // prints and aborts, which the fuzzer reports as a crash
}

void CheckWindow(Main& window) {
    if (window.Title() != Main::kLocalTitle) Fail("the window title is not the user's");
    const Listbox& list = *window.ChannelListBox();
    for (int row = 0; row < list.ListCount(); ++row) {
        const QString idText = list.Cell(row, 0);
        if (idText.isEmpty()) continue;  // a parameter row
        bool isNumber = false;
        const int id = idText.toInt(&isNumber);
        const Channel* record = isNumber ? window.ChannelRecord(id) : nullptr;
        if (!record) Fail("a channel row names no channel");
        if (record->Status == 0) Fail("a channel row shows a free channel");
    }
}

// Fontconfig loses a few bytes of its own while Qt loads the font database
// (a leak inside the library, once per process); nothing of ours is hidden.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so\n"; }
