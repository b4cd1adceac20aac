// Writes the fuzzers' seed inputs into a folder (fuzz/corpus/ is what it
// wrote): the controller's reads of the worked exchange, and bus
// configuration files as the program's own saver writes them.
//   veltrane_fuzz_seeds <folder>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <random>

#include "Channel.h"
#include "FuzzWindow.h"
#include "Main.h"
#include "Module1.h"
#include "PopupMenu.h"

namespace {
// One read per line, as fuzz_remote cuts its input.
const char* const kWorkedExchange =
    "SetSubFrameMode:19*SetClockGear:10*SetRootFrequency:1*\n"
    "ClearAllChannels:*AddChannel:3,4,3208,0,0,0,0,1,0,16,7*\n"
    "DisplayMessage:0,6,1*DisplayError:100,2*\n"
    "SetSuperframeID:2*\n";

// Commands cut between reads, and every keyword once.
const char* const kSplitCommands =
    "AddChannel:3,4,32\n"
    "08,0,0,0,0,1,0,16,7*DisplayMes\n"
    "sage:0,6,1*DisplayError:100,2*DisplaySyncError:3*\n"
    "SetSuperframeID:5\n"
    "*SetSubFrameMode:7*SetClockGear:9*SetRootFrequency:3*ClearAllChannels:*\n";

constexpr int kRandomSeed = 1536;
constexpr int kIntervals[] = {4,  8,  16, 32, 64,  128, 256, 512, 1024,
                              12, 24, 48, 96, 192, 384, 768, 1536};

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

bool Save(Main& window, const QString& path) {
    ChooseFile(path);
    const int before = MessageCount();
    window._FileSaveBusConfiguration_Action();
    ChooseFile(QString());
    return MessageCount() == before && QFile::exists(path);
}

// Bus rows and channels drawn from the value menus' codes.
void Randomise(Main& window) {
    std::mt19937 random(kRandomSeed);
    auto pick = [&random](uint32_t count) { return static_cast<int32_t>(random() % count); };
    window.SubFrameModePopup()->SetListIndex(
        pick(uint32_t(window.SubFrameModePopup()->ListCount())));
    window.ClockGearPopup()->SetListIndex(pick(uint32_t(window.ClockGearPopup()->ListCount())));
    window.RootFrequencyPopup()->SetListIndex(
        pick(uint32_t(window.RootFrequencyPopup()->ListCount())));
    for (int n = 0; n < kChannelIdCount; ++n) {
        Channel& record = *window.ChannelRecord(n);
        // A quarter of the records are listed, one in eight is an unlisted
        // leftover, the rest stay empty.
        const int32_t kind = pick(8);
        if (kind > 2) continue;
        record.Status = kind < 2 ? 1 : 0;
        const int32_t interval = kIntervals[pick(std::size(kIntervals))];
        record.SegmentLength = 1 + pick(31);
        record.SegmentDistribution =
            Module1::CalculateSegmentDistribution(pick(uint32_t(interval)), interval);
        record.TransportProtocol = pick(8);
        record.FrequencyLocked = pick(2);
        record.PresenceRate = pick(24);
        record.AuxFormat = pick(2);
        record.ChannelLink = pick(2);
        record.DataType = pick(4);
        record.DataLength = pick(32);
    }
}
}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.mkpath(QStringLiteral("remote")) || !folder.mkpath(QStringLiteral("config"))) {
        std::fprintf(stderr, "cannot make the folders in %s\n", argv[1]);
        return 1;
    }

    Main& window = OpenFuzzWindow();
    bool ok =
        WriteFile(folder.filePath(QStringLiteral("remote/worked-exchange")), kWorkedExchange) &&
        WriteFile(folder.filePath(QStringLiteral("remote/split-commands")), kSplitCommands) &&
        Save(window, folder.filePath(QStringLiteral("config/default.cfg")));
    Randomise(window);
    ok = ok && Save(window, folder.filePath(QStringLiteral("config/random.cfg")));
    if (!ok) {
        std::fprintf(stderr, "cannot write the seeds in %s\n", argv[1]);
        return 1;
    }
    return 0;
}
