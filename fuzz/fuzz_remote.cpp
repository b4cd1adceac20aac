// Arbitrary bytes as a controller's reads: the input is cut at every newline
// into reads, and each read takes the socket's path (the pending text of the
// earlier reads, then the batch it completes), so state carries between them.
#include <QByteArray>
#include <QCoreApplication>
#include <cstddef>
#include <cstdint>

#include "FuzzWindow.h"
#include "Main.h"
#include "PopupMenu.h"
#include "RemoteProtocol.h"

using namespace RemoteProtocol;

namespace {
constexpr char kReadSeparator = '\n';
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    OpenFuzzWindow();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Main& window = OpenFuzzWindow();
    ResetFuzzWindow(window);

    const QByteArray input =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QByteArray pending;
    qsizetype start = 0;
    while (start <= input.size()) {
        qsizetype end = input.indexOf(kReadSeparator, start);
        if (end < 0) end = input.size();
        const QByteArray batch = TakeRemoteBatch(pending, input.mid(start, end - start));
        if (!batch.isEmpty()) window.ExecNetworkCommand(RemoteBatchText(batch));
        start = end + 1;
    }
    // Whatever the commands left for the event loop (repaints of the map).
    QCoreApplication::processEvents();
    CheckWindow(window);
    // A controller selects rows of the bus pop-ups, never none of them.
    for (const PopupMenu* popup :
         {window.SubFrameModePopup(), window.ClockGearPopup(), window.RootFrequencyPopup()}) {
        if (popup->ListIndex() < 0 || popup->ListIndex() >= popup->ListCount())
            Fail("a bus pop-up has no row selected");
    }
    return 0;
}
