// Arbitrary bytes as a bus configuration file: the parser alone, whose result
// must survive a save and a read back unchanged, then the whole load action
// on the window, through a real file and the open dialog's hook.
#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "BusConfiguration.h"
#include "FuzzWindow.h"
#include "Listbox.h"
#include "Main.h"

using BusConfigFormat::BusConfiguration;

namespace {
QString& InputFile() {
    static QString path = ScratchPath(QStringLiteral("input.cfg"));
    return path;
}

void CheckRoundTrip(const QByteArray& bytes) {
    static const QRegularExpression lineEnd(QStringLiteral("\r\n|\r|\n"));
    const QStringList lines = QString::fromUtf8(bytes).split(lineEnd);
    const std::optional<BusConfiguration> config = BusConfigFormat::Parse(lines, nullptr);
    if (!config) return;
    const QStringList saved = BusConfigFormat::Serialize(*config);
    if (saved.size() != BusConfigFormat::kLineCount) Fail("a saved file has the wrong line count");
    const std::optional<BusConfiguration> again = BusConfigFormat::Parse(saved, nullptr);
    if (!again || !(*again == *config)) Fail("a saved configuration reads back differently");
}
}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    OpenFuzzWindow();
    ChooseFile(InputFile());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    CheckRoundTrip(bytes);

    QFile file(InputFile());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        Fail("cannot write the input file");
    file.close();

    Main& window = OpenFuzzWindow();
    ResetFuzzWindow(window);
    window._FileLoadBusConfiguration_Action();
    QCoreApplication::processEvents();
    CheckWindow(window);

    // A load lists exactly the channels in use, in channel ID order.
    int previous = -1;
    int inUse = 0;
    for (int id = 0; id < BusConfigFormat::kChannelCount; ++id)
        if (window.ChannelRecord(id)->Status != 0) ++inUse;
    const Listbox& list = *window.ChannelListBox();
    if (list.ListCount() != inUse) Fail("the list does not hold the channels in use");
    for (int row = 0; row < list.ListCount(); ++row) {
        const int id = list.Cell(row, 0).toInt();
        if (id <= previous) Fail("the channel rows are not in channel ID order");
        previous = id;
    }
    return 0;
}
