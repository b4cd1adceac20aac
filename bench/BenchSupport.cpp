#include "BenchSupport.h"

#include <benchmark/benchmark.h>

#include <QFile>
#include <QTemporaryDir>
#include <vector>

#include "Channel.h"
#include "Module1.h"
#include "Program.h"
#include "TestSeams.h"

QStringList TakeMessages() {
    QStringList taken;
    taken.swap(TestSeams::Current().Messages());
    return taken;
}

void ChooseFileInDialogs(const QString& path) { TestSeams::Current().ChooseFile(path); }

QString BenchFolder() {
    static QTemporaryDir folder;
    return folder.path();
}

QString BenchSocketPath() { return BenchFolder() + QStringLiteral("/remote"); }

QString FullBusSettings() {
    return QStringLiteral("SetSubFrameMode:19*SetClockGear:10*SetRootFrequency:1*");
}

const std::array<FullBusChannel, kChannelIdCount>& FullBusChannels() {
    static const std::array<FullBusChannel, kChannelIdCount> channels = [] {
        // 48 subframes of 28 data slots: 16 of six channels (4+4+5+5+5+5) and
        // 32 of five (5+5+6+6+6) make 256 channels.
        std::array<FullBusChannel, kChannelIdCount> placed{};
        const std::vector<int> six = {4, 4, 5, 5, 5, 5};
        const std::vector<int> five = {5, 5, 6, 6, 6};
        size_t id = 0;
        for (int subframe = 0; subframe < Module1::kSlotCount / kFullBusSubframeSlots; ++subframe) {
            int offset = subframe * kFullBusSubframeSlots + kFullBusControlSlots;
            for (int length : subframe < 16 ? six : five) {
                placed[id++] = {offset, length};
                offset += length;
            }
        }
        return placed;
    }();
    return channels;
}

QString FullBusAddChannels(int count) {
    QString batch;
    for (int n = 0; n < count; ++n) {
        const int id = n % kChannelIdCount;
        const FullBusChannel& p = FullBusChannels()[static_cast<size_t>(id)];
        const int code = Module1::CalculateSegmentDistribution(p.Offset, Module1::kSlotCount);
        batch += QStringLiteral("AddChannel:%1,%2,%3,%4,0,0,0,1,0,16,%5*")
                     .arg(id)
                     .arg(p.Length)
                     .arg(code)
                     .arg(id % 2)
                     .arg(id % 8);
    }
    return batch;
}

double ResidentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    return 0;
}

int RunWindowBenchmarks(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    const Program program(argc, argv);
    TestSeams seams(BenchSocketPath());
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
