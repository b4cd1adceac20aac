#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLineEdit>
#include <QLocalServer>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <atomic>
#include <chrono>
#include <climits>
#include <cmath>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <random>
#include <thread>

#include "BusConfiguration.h"
#include "Canvas.h"
#include "Channel.h"
#include "ChildProcess.h"
#include "ConfigSamples.h"
#include "FileDialogs.h"
#include "Graphics.h"
#include "Label.h"
#include "Listbox.h"
#include "Main.h"
#include "Module1.h"
#include "PopupMenu.h"
#include "TestSupport.h"

using BusConfigFormat::BusConfiguration;

namespace {
using namespace ConfigSamples;

// --- file permissions, as an unprivileged user meets them ---------------------

// The role of the child process that runs a permission test without privileges.
const QString kWithoutPrivilegesRole = QStringLiteral("without-file-privileges");

ino_t Inode(const QString& path) {
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_ino : 0;
}

// Whether permissions bind this process: a folder without write permission
// takes no new file.
bool FilePermissionsHold() {
    QTemporaryDir dir;
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    QFile probe(dir.filePath("probe"));
    const bool created = probe.open(QIODevice::WriteOnly);
    if (created) probe.remove();
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return !created;
}

// --- loading and saving from the main window --------------------------------

// What a failed load or save must leave as it was.
struct WindowState {
    std::vector<std::string> rows;  // the four cells of every row, "|"-joined, "+" when expanded
    int subFrameRow, clockGearRow, rootRow;
    int32_t rootFrequency, clockGear, controlSize, subFrameLength;
    QString busFrequency, controlBandwidth;
    std::vector<Channel> channels;
    int32_t startScreen;
    QImage map;
    std::array<int32_t, Module1::kSlotCount + 1> slotMap;
};

class ConfigFileTest : public MainWindowTest {
protected:
    QString Path(const QString& name) const { return dir_.filePath(name); }

    bool Load(const QString& path) {
        ChooseFileInDialogs(path);
        const bool handled = window()._FileLoadBusConfiguration_Action();
        ChooseFileInDialogs(QString());
        return handled;
    }
    bool Save(const QString& path) {
        ChooseFileInDialogs(path);
        const bool handled = window()._FileSaveBusConfiguration_Action();
        ChooseFileInDialogs(QString());
        return handled;
    }

    Channel& Record(int n) { return *window().ChannelRecord(n); }

    // Permission cases need a process that permissions bind. A privileged one
    // (root) runs the calling test again in a child without the capabilities
    // that override permissions, and takes the child's outcome as its own;
    // `runHere` tells whether the caller is to run the cases itself.
    void RunWhereFilePermissionsHold(bool* runHere) {
        *runHere = false;
        if (FilePermissionsHold()) {
            *runHere = true;
            return;
        }
        if (ChildProcess::Role() == kWithoutPrivilegesRole)
            GTEST_SKIP() << "the file capabilities could not be dropped, so root overrides "
                            "the permissions under test";
        const QString why = ChildProcess::WhyNotIsolated();
        if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();
        ChildProcess child;
        ChildProcess::Options options;
        options.dropFileCapabilities = true;
        const QString failed = child.StartThisTest(kWithoutPrivilegesRole, {}, options);
        ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
        ASSERT_TRUE(child.WaitForExit(240000)) << "the unprivileged child did not finish";
        const std::string output = child.Output().toStdString();
        ASSERT_TRUE(child.ExitedNormally()) << child.Describe().toStdString();
        ASSERT_EQ(child.ExitCode(), 0) << "as an unprivileged process:\n" << output;
        if (output.find("[  SKIPPED ]") != std::string::npos)
            GTEST_SKIP() << "skipped as an unprivileged process:\n" << output;
        EXPECT_NE(output.find("[  PASSED  ] 1 test."), std::string::npos) << output;
    }

    Listbox* List() { return window().ChannelListBox(); }

    WindowState State() {
        WindowState s;
        for (int r = 0; r < List()->ListCount(); ++r)
            s.rows.push_back((QStringList({List()->Cell(r, 0), List()->Cell(r, 1),
                                           List()->Cell(r, 2), List()->Cell(r, 3)})
                                  .join('|') +
                              (List()->Expanded(r) ? "+" : ""))
                                 .toStdString());
        s.subFrameRow = window().SubFrameModePopup()->ListIndex();
        s.clockGearRow = window().ClockGearPopup()->ListIndex();
        s.rootRow = window().RootFrequencyPopup()->ListIndex();
        s.rootFrequency = Module1::iRootFrequency;
        s.clockGear = Module1::iClockGear;
        s.controlSize = Module1::iControlSize;
        s.subFrameLength = Module1::iSubFrameLength;
        s.busFrequency = window().BusFrequencyText()->Text();
        s.controlBandwidth = window().ControlBWText()->Text();
        for (int n = 0; n < kChannels; ++n) s.channels.push_back(Record(n));
        s.startScreen = window().flgStartScreen;
        s.map = GrabMap();
        s.slotMap = Module1::SuperFrameSlot;
        return s;
    }

    void ExpectUnchanged(const WindowState& before) {
        const WindowState after = State();
        EXPECT_EQ(after.rows, before.rows);
        EXPECT_EQ(after.subFrameRow, before.subFrameRow);
        EXPECT_EQ(after.clockGearRow, before.clockGearRow);
        EXPECT_EQ(after.rootRow, before.rootRow);
        EXPECT_EQ(after.rootFrequency, before.rootFrequency);
        EXPECT_EQ(after.clockGear, before.clockGear);
        EXPECT_EQ(after.controlSize, before.controlSize);
        EXPECT_EQ(after.subFrameLength, before.subFrameLength);
        EXPECT_EQ(after.busFrequency, before.busFrequency);
        EXPECT_EQ(after.controlBandwidth, before.controlBandwidth);
        EXPECT_EQ(after.channels, before.channels);
        EXPECT_EQ(after.startScreen, before.startScreen);
        EXPECT_TRUE(after.map == before.map) << "the map was redrawn";
        EXPECT_TRUE(after.slotMap == before.slotMap);
    }

    // The user's work: two listed channels, other bus rows and a drawn map.
    void MakeUserWork() {
        window().SubFrameModePopup()->SetListIndex(13);
        window().ClockGearPopup()->SetListIndex(8);
        window().RootFrequencyPopup()->SetListIndex(2);
        for (int n : {3, 7}) {
            List()->AddFolder(QString::number(n));
            Record(n).Status = 1;
            Record(n).SegmentDistribution = 1029;
            Record(n).SegmentLength = 2;
            Record(n).BoxColor = window().ColorMap[size_t(n)];
            Record(n).RowID = List()->ListCount() - 1;
        }
        Graphics g = window().DrawZone()->Graphics();
        g.ForeColor = RGB(10, 200, 30);
        g.FillRect(0, 0, 100, 50);
    }

    // Channel IDs whose status is not 0, in ID order.
    static QStringList UsedIDs(const BusConfiguration& config) {
        QStringList ids;
        for (int n = 0; n < kChannels; ++n)
            if (config.Channels[size_t(n)].Status() != 0) ids << QString::number(n);
        return ids;
    }

    QStringList ListedIDs() {
        QStringList ids;
        for (int r = 0; r < List()->ListCount(); ++r) ids << List()->Cell(r, 0);
        return ids;
    }

    // The map as the last layer the load drew: the channel layer when the
    // list has rows, else the control-space layer.
    void ExpectMapRedrawn() {
        EXPECT_EQ(window().flgStartScreen, 1);
        ASSERT_FALSE(window().ControlSlotBuffer.IsNil());
        const Picture& top =
            List()->ListCount() > 0 ? window().ChannelSlotBuffer : window().ControlSlotBuffer;
        ASSERT_FALSE(top.IsNil());
        EXPECT_TRUE(GrabMap() == top.Image().convertToFormat(QImage::Format_RGB32));
    }

    QTemporaryDir dir_;
};

// A random configuration that the map can draw: bus rows with valid settings,
// listed channels with real codes, and anything at all in the free records.
BusConfiguration RandomConfiguration(std::mt19937& random) {
    auto pick = [&random](int low, int high) {
        return std::uniform_int_distribution<int32_t>(low, high)(random);
    };
    static const int32_t kIntervals[] = {2,  3,  4,   6,   8,   12,  16,  24,  32,  48,
                                         64, 96, 128, 192, 256, 384, 512, 768, 1536};
    BusConfiguration config;
    config.SubFrameModeRow = pick(0, 31);
    config.ClockGearRow = pick(1, 10);
    config.RootFrequencyRow = pick(1, 9);
    for (ChannelValues& v : config.Channels) {
        const int kind = pick(0, 9);
        if (kind < 6) {
            v = {0,
                 pick(INT32_MIN, INT32_MAX),
                 pick(INT32_MIN, INT32_MAX),
                 pick(-9, 9),
                 pick(INT32_MIN, INT32_MAX),
                 pick(0, 15),
                 pick(-1, 1),
                 pick(INT32_MIN, INT32_MAX),
                 pick(0, 15),
                 pick(INT32_MIN, INT32_MAX)};
            continue;
        }
        const int32_t interval = kIntervals[pick(0, int(std::size(kIntervals)) - 1)];
        const int32_t code =
            kind == 6 ? 0 : Module1::CalculateSegmentDistribution(pick(0, interval - 1), interval);
        v = {kind == 9 ? 2 : 1, code,         pick(1, std::min(interval, 16)),
             pick(0, 3),        pick(0, 127), pick(0, 15),
             pick(0, 1),        pick(1, 32),  pick(0, 15),
             pick(0, 1)};
    }
    return config;
}

TEST_F(ConfigFileTest, SaveThenLoadRestoresTheWholeConfiguration) {
    std::mt19937 random(20111102);
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const BusConfiguration saved = RandomConfiguration(random);
        window().SubFrameModePopup()->SetListIndex(saved.SubFrameModeRow);
        window().ClockGearPopup()->SetListIndex(saved.ClockGearRow);
        window().RootFrequencyPopup()->SetListIndex(saved.RootFrequencyRow);
        for (int n = 0; n < kChannels; ++n) saved.Channels[size_t(n)].StoreIn(Record(n));

        RecordedFileDialogs().clear();
        ASSERT_TRUE(Save(Path("SBconfig.cfg")));
        ASSERT_EQ(RecordedFileDialogs().size(), 1);
        const FileDialogRequest request = RecordedFileDialogs().first();
        EXPECT_EQ(request.Kind, FileDialogKind::Save);
        EXPECT_EQ(request.Type.Name, "Bus Configuration");
        EXPECT_EQ(request.Type.Extensions, "cfg;txt");
        EXPECT_EQ(request.Type.DialogFilter(), "Bus Configuration (*.cfg *.txt)");
        EXPECT_EQ(request.DefaultName, "SBconfig.cfg");

        // Other work in the window, which the load must replace.
        window().SubFrameModePopup()->SetListIndex((saved.SubFrameModeRow + 1) % 32);
        window().ClockGearPopup()->SetListIndex(saved.ClockGearRow % 10 + 1);
        window().RootFrequencyPopup()->SetListIndex(saved.RootFrequencyRow % 9 + 1);
        for (int n = 0; n < kChannels; ++n) {
            ChannelValues{1, 5, 6, 7, 8, 9, 10, 11, 12, 13}.StoreIn(Record(n));
            Record(n).RowID = 3;
            Record(n).Rate = 1.5;
            Record(n).Bandwidth = 2.5;
        }
        List()->AddFolder("250");
        List()->AddFolder("251");

        RecordedFileDialogs().clear();
        ASSERT_TRUE(Load(Path("SBconfig.cfg")));
        ASSERT_EQ(RecordedFileDialogs().size(), 1);
        EXPECT_EQ(RecordedFileDialogs().first().Kind, FileDialogKind::Open);
        EXPECT_EQ(RecordedFileDialogs().first().Type.DialogFilter(),
                  "Bus Configuration (*.cfg *.txt)");
        EXPECT_TRUE(RecordedMessages().isEmpty()) << RecordedMessages().join('\n').toStdString();

        EXPECT_EQ(window().SubFrameModePopup()->ListIndex(), saved.SubFrameModeRow);
        EXPECT_EQ(window().ClockGearPopup()->ListIndex(), saved.ClockGearRow);
        EXPECT_EQ(window().RootFrequencyPopup()->ListIndex(), saved.RootFrequencyRow);
        for (int n = 0; n < kChannels; ++n) {
            ASSERT_EQ(ChannelValues::Of(Record(n)), saved.Channels[size_t(n)]) << "channel " << n;
            EXPECT_EQ(Record(n).RowID, -1) << "channel " << n;
        }
        EXPECT_EQ(ListedIDs(), UsedIDs(saved));
        for (int r = 0; r < List()->ListCount(); ++r) {
            const int n = List()->Cell(r, 0).toInt();
            EXPECT_TRUE(List()->RowIsFolder(r));
            EXPECT_FALSE(List()->Expanded(r));
            EXPECT_EQ(Record(n).BoxColor, window().ColorMap[size_t(n)]) << "channel " << n;
        }
        ExpectMapRedrawn();
    }
}

TEST_F(ConfigFileTest, LoadDerivesTheBusAndTheRatesAgain) {
    std::mt19937 random(4242);
    const BusConfiguration config = RandomConfiguration(random);
    WriteBytes(Path("random.cfg"), Joined(BusConfigFormat::Serialize(config), "\n"));
    ASSERT_TRUE(Load(Path("random.cfg")));

    const int32_t rootFrequency = Module1::RootFrequencyOfRow(config.RootFrequencyRow);
    EXPECT_EQ(Module1::iRootFrequency, rootFrequency);
    EXPECT_EQ(Module1::iClockGear, config.ClockGearRow);
    EXPECT_GT(Module1::iSubFrameLength, 0);
    int checked = 0;
    for (int r = 0; r < List()->ListCount(); ++r) {
        const int n = List()->Cell(r, 0).toInt();
        const Channel& record = Record(n);
        EXPECT_TRUE(List()->Cell(r, 2).endsWith("kHz")) << List()->Cell(r, 2).toStdString();
        EXPECT_TRUE(List()->Cell(r, 3).endsWith("kbps")) << List()->Cell(r, 3).toStdString();
        if (record.SegmentDistribution == 0) {
            EXPECT_EQ(record.Rate, 0.0);
            continue;
        }
        const double interval = Module1::SD2SI(record.SegmentDistribution);
        const double rate =
            double(rootFrequency) / (std::pow(2.0, 12 - config.ClockGearRow) * interval);
        EXPECT_DOUBLE_EQ(record.Rate, rate) << "channel " << n;
        EXPECT_DOUBLE_EQ(record.Bandwidth, rate * record.SegmentLength * 4) << "channel " << n;
        ++checked;
    }
    EXPECT_GT(checked, 0);
}

// Lines 2 to 4 need the pop-ups' open handlers (rows 19, 10 and 1).
TEST_F(ConfigFileTest, SavedFileHasItsFixedLayout) {
    ASSERT_TRUE(Save(Path("layout.cfg")));
    const QByteArray bytes = ReadBytes(Path("layout.cfg"));
    ASSERT_TRUE(bytes.endsWith('\n'));
    EXPECT_FALSE(bytes.contains('\r'));
    const QList<QByteArray> lines = bytes.chopped(1).split('\n');
    ASSERT_EQ(lines.size(), 2820);
    EXPECT_EQ(lines[0], "SLIMbus Configuration file");
    EXPECT_EQ(lines[4], "Channel 0");
    EXPECT_EQ(lines[2809], "Channel 255");
    for (int n = 0; n < kChannels; ++n)
        for (int k = 1; k <= 10; ++k) ASSERT_EQ(lines[4 + 11 * n + k], "0");

    EXPECT_EQ(lines[1], "19");
    EXPECT_EQ(lines[2], "10");
    EXPECT_EQ(lines[3], "1");
}

TEST_F(ConfigFileTest, EveryLineEndAndAnySlimbusHeaderLoadTheSame) {
    BusConfiguration config = Numbered();
    // Values the map can draw.
    for (int n = 0; n < kChannels; ++n)
        config.Channels[size_t(n)] = {n % 3 == 0 ? 1 : 0, 0, 1, 0, 0, 0, 0, 8, 0, 0};
    const struct {
        const char* header;
        const char* lineEnd;
    } cases[] = {
        {"SLIMbus Configuration file", "\n"},
        {"SLIMbus Configuration file", "\r\n"},
        {"SLIMbus Configuration file", "\r"},
        {"Veltrane export of a SLIMbus Configuration", "\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header + std::string(c.lineEnd[0] == '\r' ? " CR" : " LF"));
        QStringList lines = BusConfigFormat::Serialize(config);
        lines[0] = c.header;
        WriteBytes(Path("ends.cfg"), Joined(lines, c.lineEnd));
        window().SubFrameModePopup()->SetListIndex(0);
        window().ClockGearPopup()->SetListIndex(1);
        window().RootFrequencyPopup()->SetListIndex(1);
        ASSERT_TRUE(Load(Path("ends.cfg")));
        EXPECT_TRUE(RecordedMessages().isEmpty());
        EXPECT_EQ(window().SubFrameModePopup()->ListIndex(), 7);
        EXPECT_EQ(window().ClockGearPopup()->ListIndex(), 9);
        EXPECT_EQ(window().RootFrequencyPopup()->ListIndex(), 3);
        for (int n = 0; n < kChannels; ++n)
            ASSERT_EQ(ChannelValues::Of(Record(n)), config.Channels[size_t(n)]) << n;
        EXPECT_EQ(ListedIDs(), UsedIDs(config));
    }
}

TEST_F(ConfigFileTest, ChannelLinesAreNotComparedWithAnything) {
    BusConfiguration config;
    config.SubFrameModeRow = 19;
    config.ClockGearRow = 10;
    config.RootFrequencyRow = 1;
    config.Channels[3] = {1, 1029, 2, 0, 0, 0, 0, 16, 0, 0};
    config.Channels[4] = {1, 0, 4, 0, 0, 0, 0, 16, 0, 0};
    QStringList lines = BusConfigFormat::Serialize(config);
    lines[4 + 11 * 3] = "Channel 200";
    lines[4 + 11 * 4] = "Channel 3";
    WriteBytes(Path("relabelled.cfg"), Joined(lines, "\n"));
    ASSERT_TRUE(Load(Path("relabelled.cfg")));
    EXPECT_EQ(ListedIDs(), QStringList({"3", "4"}));
    EXPECT_EQ(ChannelValues::Of(Record(3)), config.Channels[3]);
    EXPECT_EQ(ChannelValues::Of(Record(4)), config.Channels[4]);
    EXPECT_EQ(Record(200).Status, 0);
}

TEST_F(ConfigFileTest, ShortFileReadsMissingAndNonNumericLinesAsZero) {
    MakeUserWork();
    WriteBytes(Path("short.cfg"), "SLIMbus\n7\nnine\n");
    ASSERT_TRUE(Load(Path("short.cfg")));
    EXPECT_TRUE(RecordedMessages().isEmpty());
    EXPECT_EQ(window().SubFrameModePopup()->ListIndex(), 7);
    EXPECT_EQ(window().ClockGearPopup()->ListIndex(), 0);
    EXPECT_EQ(window().RootFrequencyPopup()->ListIndex(), 0);
    EXPECT_EQ(List()->ListCount(), 0);
    for (int n = 0; n < kChannels; ++n) {
        EXPECT_EQ(ChannelValues::Of(Record(n)), ChannelValues()) << n;
        EXPECT_EQ(Record(n).Rate, 0.0);
        EXPECT_EQ(Record(n).Bandwidth, 0.0);
    }
    ExpectMapRedrawn();
}

TEST_F(ConfigFileTest, RowsThePopupsDoNotHaveLeaveThemAsTheyAre) {
    MakeUserWork();
    BusConfiguration config;
    config.SubFrameModeRow = 40;
    config.ClockGearRow = 16;
    config.RootFrequencyRow = -5;
    config.Channels[9].Values[0] = 1;  // in use
    WriteBytes(Path("rows.cfg"), Joined(BusConfigFormat::Serialize(config), "\n"));
    ASSERT_TRUE(Load(Path("rows.cfg")));
    EXPECT_EQ(window().SubFrameModePopup()->ListIndex(), 13);
    EXPECT_EQ(window().ClockGearPopup()->ListIndex(), 8);
    EXPECT_EQ(window().RootFrequencyPopup()->ListIndex(), 2);
    EXPECT_EQ(ListedIDs(), QStringList({"9"}));
}

TEST_F(ConfigFileTest, AFileThatIsNoBusConfigurationChangesNothing) {
    MakeUserWork();
    const QStringList good = BusConfigFormat::Serialize(Numbered());
    QStringList noHeader = good;
    noHeader[0] = "Configuration file";
    WriteBytes(Path("noheader.cfg"), Joined(noHeader, "\n"));
    WriteBytes(Path("empty.cfg"), "");
    // A huge first line, and a huge line after all the lines the format has:
    // only the first is read at all.
    WriteBytes(Path("hugeline.cfg"), QByteArray(10 << 20, 'S') + "\n" + Joined(good.mid(1), "\n"));
    WriteBytes(Path("trailing.cfg"), Joined(good, "\n") + QByteArray(10 << 20, '9'));

    const struct {
        const char* file;
        const char* message;
    } cases[] = {
        {"noheader.cfg", "Invalid file format"},
        {"empty.cfg", "Invalid file format"},
        {"hugeline.cfg", "Error: cannot read \"%1\": line 1 is longer than 4096 bytes"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const WindowState before = State();
        RecordedMessages().clear();
        EXPECT_TRUE(Load(Path(c.file)));
        QString message = c.message;
        if (message.contains("%1")) message = message.arg(Path(c.file));
        EXPECT_EQ(RecordedMessages(), QStringList({message}));
        ExpectUnchanged(before);
    }

    RecordedMessages().clear();
    EXPECT_TRUE(Load(Path("trailing.cfg")));
    EXPECT_TRUE(RecordedMessages().isEmpty()) << RecordedMessages().join('\n').toStdString();
    EXPECT_EQ(window().SubFrameModePopup()->ListIndex(), 7);
}

TEST_F(ConfigFileTest, AnEndlessFileIsNotReadToItsEnd) {
    // A terabyte without a line end, taking no room on the disk.
    QFile endless(Path("endless.cfg"));
    ASSERT_TRUE(endless.open(QIODevice::WriteOnly));
    if (!endless.resize(qint64{1} << 40)) GTEST_SKIP() << "no sparse files here";
    endless.close();
    MakeUserWork();
    const WindowState before = State();
    EXPECT_TRUE(Load(Path("endless.cfg")));
    EXPECT_EQ(
        RecordedMessages(),
        QStringList({QStringLiteral("Error: cannot read \"%1\": line 1 is longer than 4096 bytes")
                         .arg(Path("endless.cfg"))}));
    ExpectUnchanged(before);
}

// Should a load wait on a named pipe after all, a writer ends the wait after
// a while, so that the test fails instead of hanging.
class PipeWatchdog {
public:
    explicit PipeWatchdog(const QString& pipe) : pipe_(QFile::encodeName(pipe)) {}
    ~PipeWatchdog() {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            done_ = true;
        }
        finished_.notify_one();
        thread_.join();
    }
    PipeWatchdog(const PipeWatchdog&) = delete;
    PipeWatchdog& operator=(const PipeWatchdog&) = delete;

private:
    void Watch() {
        std::unique_lock<std::mutex> lock(mutex_);
        if (finished_.wait_for(lock, std::chrono::seconds(20), [this] { return done_; })) return;
        const int writer = ::open(pipe_.constData(), O_WRONLY | O_NONBLOCK);
        if (writer >= 0) ::close(writer);
    }

    const QByteArray pipe_;
    std::mutex mutex_;
    std::condition_variable finished_;
    bool done_ = false;
    std::thread thread_{[this] { Watch(); }};  // last: starts once the rest is made
};

// Opening a named pipe would wait for a writer and a device may never end:
// only a regular file is opened at all.
TEST_F(ConfigFileTest, LoadingAnythingButARegularFileChangesNothing) {
    const QString pipe = Path("pipe.cfg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QLocalServer server;
    ASSERT_TRUE(server.listen(Path("socket.cfg"))) << server.errorString().toStdString();
    QDir(dir_.path()).mkdir("a folder.cfg");
    WriteBytes(Path("good.cfg"), Joined(BusConfigFormat::Serialize(Numbered()), "\n"));
    ASSERT_TRUE(QFile::link(Path("good.cfg"), Path("link to good.cfg")));

    const PipeWatchdog watchdog(pipe);

    std::vector<QString> files = {pipe, Path("socket.cfg"), Path("a folder.cfg")};
    for (const char* device : {"/dev/null", "/dev/zero"}) {
        if (!QFileInfo::exists(device)) continue;
        files.emplace_back(device);
        const QString link =
            Path(QStringLiteral("link to %1.cfg").arg(QFileInfo(device).fileName()));
        ASSERT_TRUE(QFile::link(device, link));
        files.push_back(link);
    }
    MakeUserWork();
    for (const QString& file : files) {
        SCOPED_TRACE(file.toStdString());
        const WindowState before = State();
        RecordedMessages().clear();
        RecordedFileDialogs().clear();
        EXPECT_TRUE(Load(file));
        ASSERT_EQ(RecordedFileDialogs().size(), 1);
        EXPECT_EQ(RecordedFileDialogs().first().Kind, FileDialogKind::Open);
        EXPECT_EQ(RecordedMessages(),
                  QStringList(
                      {QStringLiteral("Error: cannot open \"%1\": not a regular file").arg(file)}));
        ExpectUnchanged(before);
    }
    // The pipe is still a pipe, and nobody holds it open for reading.
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(pipe).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
    errno = 0;
    const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
    EXPECT_EQ(writer, -1);
    EXPECT_EQ(errno, ENXIO);
    if (writer >= 0) ::close(writer);
    EXPECT_TRUE(QFileInfo(Path("a folder.cfg")).isDir());

    // A link to a regular file is a regular file.
    RecordedMessages().clear();
    EXPECT_TRUE(Load(Path("link to good.cfg")));
    EXPECT_TRUE(RecordedMessages().isEmpty()) << RecordedMessages().join('\n').toStdString();
    EXPECT_EQ(window().SubFrameModePopup()->ListIndex(), 7);
}

TEST_F(ConfigFileTest, FilesThatCannotBeReadChangeNothing) {
    MakeUserWork();
    QDir(dir_.path()).mkdir("a folder.cfg");
    WriteBytes(Path("dangling target"), "x");
    ASSERT_TRUE(QFile::link(Path("dangling target"), Path("dangling.cfg")));
    QFile::remove(Path("dangling target"));

    for (const QString& file : {Path("missing.cfg"), Path("a folder.cfg"), Path("dangling.cfg"),
                                Path("missing folder/x.cfg")}) {
        SCOPED_TRACE(file.toStdString());
        const WindowState before = State();
        RecordedMessages().clear();
        EXPECT_TRUE(Load(file));
        ASSERT_EQ(RecordedMessages().size(), 1);
        const QString prefix = QStringLiteral("Error: cannot open \"%1\": ").arg(file);
        EXPECT_TRUE(RecordedMessages().first().startsWith(prefix))
            << RecordedMessages().first().toStdString();
        EXPECT_GT(RecordedMessages().first().size(), prefix.size()) << "no reason given";
        ExpectUnchanged(before);
    }
}

// Root reads any file: the case runs where permissions bind.
TEST_F(ConfigFileTest, AFileWithoutReadPermissionChangesNothing) {
    bool runHere = false;
    RunWhereFilePermissionsHold(&runHere);
    if (!runHere) return;
    MakeUserWork();
    const QString file = Path("locked.cfg");
    WriteBytes(file, Joined(BusConfigFormat::Serialize(Numbered()), "\n"));
    QFile::setPermissions(file, QFileDevice::WriteOwner);
    const WindowState before = State();
    EXPECT_TRUE(Load(file));
    EXPECT_EQ(
        RecordedMessages(),
        QStringList({QStringLiteral("Error: cannot open \"%1\": Permission denied").arg(file)}));
    ExpectUnchanged(before);
    QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

TEST_F(ConfigFileTest, SavesThatCannotBeMadeLeaveEverythingAsItWas) {
    MakeUserWork();
    WriteBytes(Path("plain.txt"), "not a folder");
    QDir(dir_.path()).mkdir("SBconfig.cfg");

    for (const QString& target : {Path("plain.txt/SBconfig.cfg"), Path("SBconfig.cfg"),
                                  Path("no such folder/SBconfig.cfg")}) {
        SCOPED_TRACE(target.toStdString());
        const WindowState before = State();
        RecordedMessages().clear();
        EXPECT_TRUE(Save(target));
        ASSERT_EQ(RecordedMessages().size(), 1);
        const QString prefix = QStringLiteral("Error: cannot create \"%1\": ").arg(target);
        EXPECT_TRUE(RecordedMessages().first().startsWith(prefix))
            << RecordedMessages().first().toStdString();
        EXPECT_GT(RecordedMessages().first().size(), prefix.size()) << "no reason given";
        ExpectUnchanged(before);
    }
    EXPECT_EQ(ReadBytes(Path("plain.txt")), "not a folder");
    EXPECT_TRUE(QFileInfo(Path("SBconfig.cfg")).isDir());
}

// Root writes anywhere: these cases run where permissions bind.
TEST_F(ConfigFileTest, SavesThatPermissionsForbidLeaveEverythingAsItWas) {
    bool runHere = false;
    RunWhereFilePermissionsHold(&runHere);
    if (!runHere) return;
    MakeUserWork();
    const QByteArray old = "SLIMbus Configuration file\n4\n";
    QDir(dir_.path()).mkdir("locked");
    WriteBytes(Path("locked/read-only.cfg"), old);
    WriteBytes(Path("read-only.cfg"), old);
    QFile::setPermissions(Path("locked/read-only.cfg"), QFileDevice::ReadOwner);
    QFile::setPermissions(Path("read-only.cfg"), QFileDevice::ReadOwner);
    QFile::setPermissions(Path("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    // A new file where no file may be made, and files that may not be written
    // (in a locked folder and in an open one).
    for (const QString& target :
         {Path("locked/SBconfig.cfg"), Path("locked/read-only.cfg"), Path("read-only.cfg")}) {
        SCOPED_TRACE(target.toStdString());
        const WindowState before = State();
        RecordedMessages().clear();
        EXPECT_TRUE(Save(target));
        ASSERT_EQ(RecordedMessages().size(), 1);
        const QString prefix = QStringLiteral("Error: cannot create \"%1\": ").arg(target);
        EXPECT_TRUE(RecordedMessages().first().startsWith(prefix))
            << RecordedMessages().first().toStdString();
        EXPECT_GT(RecordedMessages().first().size(), prefix.size()) << "no reason given";
        ExpectUnchanged(before);
    }
    EXPECT_EQ(ReadBytes(Path("locked/read-only.cfg")), old);
    EXPECT_EQ(ReadBytes(Path("read-only.cfg")), old);
    EXPECT_EQ(QDir(Path("locked")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList({"read-only.cfg"}));
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files), QStringList({"read-only.cfg"}));
    QFile::setPermissions(Path("locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// A named pipe, a device or a socket at the chosen path is no file to save
// into (nor is a link to one): the save says so and leaves it, and its folder,
// as they were.
TEST_F(ConfigFileTest, SavingOntoAnythingButARegularFileTouchesNothing) {
    const QString pipe = Path("pipe.cfg");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    QLocalServer server;
    ASSERT_TRUE(server.listen(Path("socket.cfg"))) << server.errorString().toStdString();
    ASSERT_TRUE(QFile::link(pipe, Path("link to pipe.cfg")));
    std::vector<QString> targets = {pipe, Path("link to pipe.cfg"), Path("socket.cfg")};
    // A copy of the null device, as `mknod null.cfg c 1 3` makes it.
    const QString device = Path("null.cfg");
    const bool haveDevice =
        ::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
    const std::string noDevice = haveDevice ? std::string() : std::strerror(errno);
    if (haveDevice) {
        ASSERT_TRUE(QFile::link(device, Path("link to null.cfg")));
        targets.push_back(device);
        targets.push_back(Path("link to null.cfg"));
    }
    auto node = [](const QString& path) {
        struct stat info {};
        ::lstat(QFile::encodeName(path).constData(), &info);
        return std::tuple(info.st_ino, info.st_mode, info.st_rdev, info.st_size);
    };
    std::vector<std::tuple<ino_t, mode_t, dev_t, off_t>> nodes;
    nodes.reserve(targets.size());
    for (const QString& target : targets) nodes.push_back(node(target));
    const auto entries = [this] {
        return QDir(dir_.path())
            .entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot);
    };
    const QStringList before = entries();

    MakeUserWork();
    for (const QString& target : targets) {
        SCOPED_TRACE(target.toStdString());
        const WindowState state = State();
        RecordedMessages().clear();
        EXPECT_TRUE(Save(target));
        EXPECT_EQ(
            RecordedMessages(),
            QStringList(
                {QStringLiteral("Error: cannot create \"%1\": not a regular file").arg(target)}));
        ExpectUnchanged(state);
    }
    for (size_t i = 0; i < targets.size(); ++i)
        EXPECT_EQ(node(targets[i]), nodes[i]) << targets[i].toStdString();
    EXPECT_EQ(entries(), before);
    // Nobody holds the pipe open.
    errno = 0;
    const int writer = ::open(QFile::encodeName(pipe).constData(), O_WRONLY | O_NONBLOCK);
    EXPECT_EQ(writer, -1);
    EXPECT_EQ(errno, ENXIO);
    if (writer >= 0) ::close(writer);

    if (!haveDevice)
        GTEST_SKIP() << "the device cases did not run: no device node can be made here ("
                     << noDevice << ")";
}

// The temporary file of an atomic save cannot be made in a folder that takes
// no new files; a file there that may be written is written in place. Root
// writes anywhere: the case runs where permissions bind.
TEST_F(ConfigFileTest, AWritableFileInALockedFolderIsSavedInPlace) {
    bool runHere = false;
    RunWhereFilePermissionsHold(&runHere);
    if (!runHere) return;
    QDir(dir_.path()).mkdir("locked");
    const QString target = Path("locked/SBconfig.cfg");
    WriteBytes(target, QByteArray(20000, '#'));  // longer than the saved file
    const ino_t inode = Inode(target);
    QFile::setPermissions(Path("locked"), QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    window().SubFrameModePopup()->SetListIndex(7);
    ChannelValues{1, 1029, 2, 0, 0, 0, 0, 16, 0, 0}.StoreIn(Record(5));
    EXPECT_TRUE(Save(target));
    EXPECT_TRUE(RecordedMessages().isEmpty()) << RecordedMessages().join('\n').toStdString();
    BusConfiguration expected;
    expected.SubFrameModeRow = 7;
    expected.ClockGearRow = window().ClockGearPopup()->ListIndex();
    expected.RootFrequencyRow = window().RootFrequencyPopup()->ListIndex();
    expected.Channels[5] = {1, 1029, 2, 0, 0, 0, 0, 16, 0, 0};
    EXPECT_EQ(ReadBytes(target), Joined(BusConfigFormat::Serialize(expected), "\n"));
    EXPECT_EQ(Inode(target), inode) << "not written in place";
    EXPECT_EQ(QDir(Path("locked")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
              QStringList({"SBconfig.cfg"}));

    // It loads back like any saved file.
    window().SubFrameModePopup()->SetListIndex(3);
    EXPECT_TRUE(Load(target));
    EXPECT_TRUE(RecordedMessages().isEmpty()) << RecordedMessages().join('\n').toStdString();
    EXPECT_EQ(window().SubFrameModePopup()->ListIndex(), 7);
    EXPECT_EQ(ListedIDs(), QStringList({"5"}));

    // In a folder that takes new files the save stays atomic: a new file
    // takes the old one's place.
    QFile::setPermissions(Path("locked"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    EXPECT_TRUE(Save(target));
    EXPECT_TRUE(RecordedMessages().isEmpty()) << RecordedMessages().join('\n').toStdString();
    EXPECT_NE(Inode(target), inode);
    EXPECT_EQ(ReadBytes(target), Joined(BusConfigFormat::Serialize(expected), "\n"));
}

// A save that crosses the process's file-size limit, in a child started
// under that limit (as `ulimit -f` would), set up as the program is (the test
// main starts the way the program does): the write fails, the user is told,
// the old file stays. The test process keeps its own limit.
TEST_F(ConfigFileTest, AFailedWriteKeepsTheOldFile) {
    const QString kChildPath = QStringLiteral("/tmp/kept.cfg");
    if (ChildProcess::Role() == QLatin1String("save-over-limit")) {
        const QString path = ChildProcess::RoleArguments().value(0);
        EXPECT_TRUE(Save(path));
        for (const QString& message : RecordedMessages())
            std::printf("message: %s\n", message.toLocal8Bit().constData());
        return;
    }
    const QString why = ChildProcess::WhyNotIsolated();
    if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();

    ChildProcess child;
    const QString path = child.HostPath(kChildPath);
    const QByteArray old = "SLIMbus Configuration file\n4\n";
    WriteBytes(path, old);
    ChildProcess::Options options;
    options.fileSizeLimit = 4096;  // the file needs about 6 KB
    const QString failed =
        child.StartThisTest(QStringLiteral("save-over-limit"), {kChildPath}, options);
    ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
    ASSERT_TRUE(child.WaitForExit(60000)) << child.Describe().toStdString();
    ASSERT_EQ(child.ExitCode(), 0) << child.Describe().toStdString();
    const QString output = QString::fromLocal8Bit(child.Output());
    EXPECT_TRUE(output.contains(QStringLiteral("[  PASSED  ] 1 test"))) << output.toStdString();
    const QStringList messages =
        output.split(u'\n').filter(QRegularExpression(QStringLiteral("^message: ")));
    ASSERT_EQ(messages.size(), 1) << output.toStdString();
    EXPECT_TRUE(messages[0].startsWith(
        QStringLiteral("message: Error: cannot write \"%1\": ").arg(kChildPath)))
        << messages[0].toStdString();
    EXPECT_EQ(ReadBytes(path), old);
    EXPECT_EQ(QDir(QFileInfo(path).path()).entryList(QDir::Files), QStringList({"kept.cfg"}));
}

// A file written in place has no temporary file to fall back on: a save that
// the file-size limit or a full disk stops fails before any old byte changes.
// Each case runs in a child that permissions bind, as they bind a user, set up
// as the program sets itself up (by the test main); the full disk is a small file system that
// the child mounts in its own mount namespace and fills.
TEST_F(ConfigFileTest, AFailedInPlaceSaveKeepsTheOldFile) {
    const QString kRole = QStringLiteral("save-in-place");
    const struct {
        const char* name;
        rlim_t fileSizeLimit;  // 0: none
        bool fullDisk;
        int oldSize;      // the new text takes about 6 KB
        const char* why;  // nullptr: the save succeeds
    } cases[] = {
        {"over the size limit, the old file shorter", 4096, false, 2000, "File too large"},
        {"over the size limit, the old file longer", 4096, false, 20000, "File too large"},
        {"on a full disk, the old file shorter", 0, true, 2000, "No space left on device"},
        // Written over, the longer old file has room for the new text.
        {"on a full disk, the old file longer", 0, true, 20000, nullptr},
    };
    auto oldBytes = [](int size) {
        QByteArray bytes = "SLIMbus Configuration file\n4\n";
        while (bytes.size() < size) bytes += QByteArray::number(bytes.size() % 97) + '\n';
        return bytes.left(size);
    };

    if (ChildProcess::Role() == kRole) {
        const auto& c = cases[ChildProcess::RoleArguments().value(0).toInt()];
        if (!FilePermissionsHold())
            GTEST_SKIP() << "the file capabilities could not be dropped, so root overrides "
                            "the permissions under test";
        QString locked = QStringLiteral("/tmp/locked");
        if (c.fullDisk) {
            ASSERT_TRUE(QDir("/tmp").mkdir("full"));
            ASSERT_EQ(::mount("tmpfs", "/tmp/full", "tmpfs", 0, "size=128k"), 0)
                << std::strerror(errno);
            locked = QStringLiteral("/tmp/full/locked");
            ASSERT_TRUE(QDir("/tmp/full").mkdir("locked"));
            WriteBytes(locked + "/old.cfg", oldBytes(c.oldSize));
            const int filler = ::open("/tmp/full/filler", O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
            ASSERT_GE(filler, 0);
            const QByteArray block(4096, 'f');
            while (::write(filler, block.constData(), size_t(block.size())) > 0) {
            }
            ::close(filler);
            ASSERT_TRUE(
                QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
        }
        const QString old = locked + "/old.cfg";
        const QByteArray was = ReadBytes(old);
        const ino_t inode = Inode(old);
        EXPECT_TRUE(Save(old));
        for (const QString& message : RecordedMessages())
            std::printf("message: %s\n", message.toLocal8Bit().constData());
        if (c.why) {
            EXPECT_EQ(ReadBytes(old), was);
        } else {
            BusConfiguration saved;
            saved.SubFrameModeRow = window().SubFrameModePopup()->ListIndex();
            saved.ClockGearRow = window().ClockGearPopup()->ListIndex();
            saved.RootFrequencyRow = window().RootFrequencyPopup()->ListIndex();
            EXPECT_EQ(ReadBytes(old), Joined(BusConfigFormat::Serialize(saved), "\n"));
        }
        EXPECT_EQ(Inode(old), inode) << "not written in place";
        EXPECT_EQ(QDir(locked).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
                  QStringList({"old.cfg"}));
        return;
    }
    const QString why = ChildProcess::WhyNotIsolated();
    if (!why.isEmpty()) GTEST_SKIP() << why.toStdString();

    for (size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.name);
        ChildProcess child;
        const QString old =
            QString::fromLatin1(c.fullDisk ? "/tmp/full/locked/old.cfg" : "/tmp/locked/old.cfg");
        if (!c.fullDisk) {
            ASSERT_TRUE(QDir().mkpath(child.HostPath("/tmp/locked")));
            WriteBytes(child.HostPath(old), oldBytes(c.oldSize));
            QFile::setPermissions(child.HostPath("/tmp/locked"),
                                  QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        ChildProcess::Options options;
        options.dropFileCapabilities = true;
        if (c.fileSizeLimit != 0) options.fileSizeLimit = c.fileSizeLimit;
        const QString failed = child.StartThisTest(kRole, {QString::number(i)}, options);
        ASSERT_TRUE(failed.isEmpty()) << failed.toStdString();
        ASSERT_TRUE(child.WaitForExit(60000)) << child.Describe().toStdString();
        const std::string output = child.Output().toStdString();
        ASSERT_EQ(child.ExitCode(), 0) << child.Describe().toStdString();
        if (output.find("[  SKIPPED ]") != std::string::npos)
            GTEST_SKIP() << "skipped as an unprivileged process:\n" << output;
        EXPECT_NE(output.find("[  PASSED  ] 1 test"), std::string::npos) << output;
        const QStringList messages = QString::fromStdString(output).split(u'\n').filter(
            QRegularExpression(QStringLiteral("^message: ")));
        if (c.why)
            EXPECT_EQ(messages, QStringList({QStringLiteral("message: Error: cannot write "
                                                            "\"%1\": %2")
                                                 .arg(old, QLatin1String(c.why))}))
                << output;
        else
            EXPECT_TRUE(messages.isEmpty()) << output;
        if (!c.fullDisk) {
            EXPECT_EQ(ReadBytes(child.HostPath(old)), oldBytes(c.oldSize));
            QFile::setPermissions(child.HostPath("/tmp/locked"), QFileDevice::ReadOwner |
                                                                     QFileDevice::WriteOwner |
                                                                     QFileDevice::ExeOwner);
        }
    }
}

TEST_F(ConfigFileTest, CancelledDialogs) {
    MakeUserWork();
    const WindowState before = State();
    EXPECT_TRUE(window()._FileSaveBusConfiguration_Action());
    ExpectUnchanged(before);
    EXPECT_TRUE(QDir(dir_.path()).isEmpty());

    // A cancelled open keeps the table (rates are shown again) but rebuilds
    // and shows the map.
    const QStringList listed = ListedIDs();
    EXPECT_TRUE(window()._FileLoadBusConfiguration_Action());
    EXPECT_TRUE(RecordedMessages().isEmpty());
    ASSERT_EQ(RecordedFileDialogs().size(), 2);
    EXPECT_EQ(RecordedFileDialogs()[0].Kind, FileDialogKind::Save);
    EXPECT_EQ(RecordedFileDialogs()[1].Kind, FileDialogKind::Open);
    const WindowState after = State();
    EXPECT_EQ(ListedIDs(), listed);
    for (int n = 0; n < kChannels; ++n) {
        const Channel& was = before.channels[size_t(n)];
        const Channel& is = after.channels[size_t(n)];
        EXPECT_EQ(ChannelValues::Of(is), ChannelValues::Of(was)) << n;
        EXPECT_EQ(is.BoxColor, was.BoxColor) << n;
    }
    EXPECT_EQ(after.subFrameRow, before.subFrameRow);
    ExpectMapRedrawn();
    EXPECT_FALSE(GrabMap() == before.map);
}

// --- the real file dialogs ---------------------------------------------------

// While it lives, the program's real dialogs show instead of the seam's
// answers, and the dialogs keep their state (a Qt file dialog stores where it
// was) in a folder of the test's own.
class RealFileDialogs {
public:
    RealFileDialogs() : seam_(SetFileDialogHook({})) {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings_.path());
    }
    ~RealFileDialogs() {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation));
        SetFileDialogHook(std::move(seam_));
    }
    RealFileDialogs(const RealFileDialogs&) = delete;
    RealFileDialogs& operator=(const RealFileDialogs&) = delete;

private:
    FileDialogHook seam_;
    QTemporaryDir settings_;
};

// The files (not folders) in one folder that anybody opened, as inotify tells.
class OpenedFiles {
public:
    explicit OpenedFiles(const QString& folder) : fd_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        if (fd_ >= 0)
            watch_ = ::inotify_add_watch(fd_, QFile::encodeName(folder).constData(), IN_OPEN);
    }
    ~OpenedFiles() {
        if (fd_ >= 0) ::close(fd_);
    }
    OpenedFiles(const OpenedFiles&) = delete;
    OpenedFiles& operator=(const OpenedFiles&) = delete;

    bool Watching() const { return watch_ >= 0; }
    // Those opened since the last call.
    QStringList Take() {
        QStringList names;
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(fd_, buffer, sizeof buffer);
            if (got <= 0) return names;
            for (ssize_t at = 0; at < got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if ((event->mask & IN_OPEN) && !(event->mask & IN_ISDIR) && event->len > 0)
                    names << QFile::decodeName(event->name);
                at += ssize_t(sizeof(inotify_event)) + event->len;
            }
        }
    }

private:
    int fd_;
    int watch_ = -1;
};

// Keeps turning `name` in `folder` from a regular file into a named pipe and
// back, renaming entries made in `spare` over it, so that whoever looks at it
// finds one and then opens the other. Should anybody wait on a pipe after all,
// it frees them after a while by opening the pipes for writing.
class FlippingFile {
public:
    FlippingFile(const QString& folder, const QString& spare, const QString& name,
                 const QStringList& pipes)
        : target_(QFile::encodeName(QDir(folder).filePath(name))),
          spare_(QFile::encodeName(spare)) {
        for (const QString& pipe : pipes) pipes_.push_back(QFile::encodeName(pipe));
        thread_ = std::thread([this] { Run(); });
    }
    ~FlippingFile() {
        stop_ = true;
        thread_.join();
    }
    FlippingFile(const FlippingFile&) = delete;
    FlippingFile& operator=(const FlippingFile&) = delete;

    int Flips() const { return flips_; }
    bool HadToFreeAReader() const { return freed_; }

private:
    void Run() {
        const auto start = std::chrono::steady_clock::now();
        for (int n = 0; !stop_; ++n) {
            if (std::chrono::steady_clock::now() - start > std::chrono::seconds(20)) {
                for (const QByteArray& pipe : pipes_) {
                    const int writer = ::open(pipe.constData(), O_WRONLY | O_NONBLOCK);
                    if (writer >= 0) {
                        freed_ = true;
                        ::close(writer);
                    }
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                continue;
            }
            const QByteArray entry = spare_ + "/entry" + QByteArray::number(n);
            if (n % 2 == 0) {
                ::mkfifo(entry.constData(), 0600);
            } else {
                const int fd = ::open(entry.constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
                if (fd >= 0) {
                    [[maybe_unused]] const ssize_t written = ::write(fd, "SLIMbus\n", 8);
                    ::close(fd);
                }
            }
            if (::rename(entry.constData(), target_.constData()) == 0) ++flips_;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }

    const QByteArray target_;
    const QByteArray spare_;
    std::vector<QByteArray> pipes_;
    std::atomic<bool> stop_{false};
    std::atomic<int> flips_{0};
    std::atomic<bool> freed_{false};
    std::thread thread_;
};

// Answers the next file dialog as a user would: once it shows `folder` with
// `listed` in it (their types filled in), runs `shown` and chooses `choice`.
// Gives up after 20 seconds, cancelling the dialog.
void AnswerFileDialog(const QString& folder, const QStringList& listed, const QString& choice,
                      const std::function<void(QFileDialog&)>& shown) {
    auto* timer = new QTimer;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    auto folderChosen = std::make_shared<bool>(false);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        if (std::chrono::steady_clock::now() > deadline) {
            ADD_FAILURE() << "the dialog did not list the folder in time";
            dialog->reject();
            timer->deleteLater();
            return;
        }
        if (!*folderChosen) {
            dialog->setDirectory(folder);
            *folderChosen = true;
            return;
        }
        const auto* model = dialog->findChild<QFileSystemModel*>();
        if (!model) return;
        const QModelIndex root = model->index(folder);
        QStringList found;
        for (int row = 0; row < model->rowCount(root); ++row) {
            const QModelIndex name = model->index(row, 0, root);
            if (!model->index(row, 2, root).data().toString().isEmpty())
                found << name.data().toString();
        }
        for (const QString& name : listed)
            if (!found.contains(name)) return;
        timer->stop();
        timer->deleteLater();
        shown(*dialog);
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (!name) {
            ADD_FAILURE() << "the dialog has no file name field";
            dialog->reject();
            return;
        }
        name->setText(choice);
        QTest::keyClick(name, Qt::Key_Return);
    });
    timer->start(10);
}

// The dialogs never open a file to choose its icon or type (what a file is
// called says it): a named pipe in the folder, or a file that keeps turning
// into one, cannot stop the window, and no file is opened before it is chosen.
TEST_F(ConfigFileTest, TheFileDialogsOpenNoFileTheyList) {
    QDir(dir_.path()).mkdir("shown");
    QDir(dir_.path()).mkdir("spare");
    const QString folder = Path("shown");
    const QString pipe = folder + "/pipe.cfg";
    WriteBytes(folder + "/plain.cfg", Joined(BusConfigFormat::Serialize(Numbered()), "\n"));
    WriteBytes(folder + "/notes.txt", "notes\n");
    WriteBytes(folder + "/no extension", "SLIMbus\n");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    OpenedFiles opened(folder);
    ASSERT_TRUE(opened.Watching()) << std::strerror(errno);
    const RealFileDialogs real;
    const FlippingFile flipping(folder, Path("spare"), "flip.cfg", {pipe, folder + "/flip.cfg"});

    struct Seen {
        bool visible = false;
        QStringList opened;
    };
    auto look = [&](Seen& seen) {
        return [&](QFileDialog& dialog) {
            // Let the flipping file change under the dialog's eyes a while.
            const int flips = flipping.Flips();
            EXPECT_TRUE(QTest::qWaitFor([&] { return flipping.Flips() > flips + 40; }, 5000));
            QTest::qWait(50);
            seen.visible = dialog.isVisible();
            seen.opened = opened.Take();
        };
    };
    const QStringList listed = {"notes.txt", "plain.cfg"};

    Seen opening;
    AnswerFileDialog(folder, listed, "plain.cfg", look(opening));
    EXPECT_TRUE(window()._FileLoadBusConfiguration_Action());
    EXPECT_TRUE(opening.visible);
    EXPECT_TRUE(opening.opened.isEmpty())
        << "opened by the open dialog: " << opening.opened.join(", ").toStdString();
    EXPECT_TRUE(RecordedMessages().isEmpty()) << RecordedMessages().join('\n').toStdString();
    EXPECT_EQ(window().SubFrameModePopup()->ListIndex(), 7) << "the chosen file was not loaded";

    opened.Take();  // the load's own reading of the chosen file
    Seen saving;
    AnswerFileDialog(folder, listed, "saved.cfg", look(saving));
    EXPECT_TRUE(window()._FileSaveBusConfiguration_Action());
    EXPECT_TRUE(saving.visible);
    EXPECT_TRUE(saving.opened.isEmpty())
        << "opened by the save dialog: " << saving.opened.join(", ").toStdString();
    EXPECT_TRUE(RecordedMessages().isEmpty()) << RecordedMessages().join('\n').toStdString();
    EXPECT_EQ(ReadBytes(folder + "/saved.cfg"), ReadBytes(folder + "/plain.cfg"));

    EXPECT_FALSE(flipping.HadToFreeAReader()) << "something waited on a named pipe";
}

}  // namespace
