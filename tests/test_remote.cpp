// Remote control: a real controller on the window's local socket.
#include <gtest/gtest.h>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <thread>

#include "BusState.h"
#include "Canvas.h"
#include "IPCSocket.h"
#include "Listbox.h"
#include "Main.h"
#include "Module1.h"
#include "PopupMenu.h"
#include "PushButton.h"
#include "RemoteController.h"
#include "TestSeams.h"
#include "TestSupport.h"
#include "Text.h"

namespace {
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// ---------------------------------------------------------------------------
// A controller on the window's socket.

const QString kLocalTitle = QStringLiteral("Veltrane");
const QString kRemoteTitle = QStringLiteral("Veltrane - Remote Controlled");

// Records the order in which widgets change their enabled state.
class EnabledOrder : public QObject {
public:
    explicit EnabledOrder(const std::vector<Control*>& controls) {
        for (Control* control : controls) control->Widget()->installEventFilter(this);
    }
    QStringList names;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::EnabledChange) names << watched->objectName();
        return false;
    }
};

const QStringList kUserControlNames = {
    "RootFrequencyPopup",  "ClockGearPopup",   "SubFrameModePopup", "AddChannelButton",
    "RemoveChannelButton", "ClearAllChannels", "ChannelListBox"};

class RemoteControlTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        path_ = window().IPCSocket1()->ListeningPath();
        ASSERT_FALSE(path_.isEmpty());
    }

    // A controller that the window has taken as its controller.
    std::unique_ptr<Controller> Connect() { return Connect(path_); }
    std::unique_ptr<Controller> Connect(const QString& path) {
        auto controller = std::make_unique<Controller>(path);
        EXPECT_TRUE(controller->Connected());
        EXPECT_TRUE(QTest::qWaitFor([this] { return window().Title() == kRemoteTitle; }));
        return controller;
    }

    std::vector<Control*> UserControls() {
        Main& m = window();
        return {m.RootFrequencyPopup(), m.ClockGearPopup(),      m.SubFrameModePopup(),
                m.AddChannelButton(),   m.RemoveChannelButton(), m.ClearAllChannels(),
                m.ChannelListBox()};
    }
    std::vector<bool> EnabledStates() {
        std::vector<bool> states;
        for (Control* control : UserControls()) states.push_back(control->Enabled());
        return states;
    }

    Channel& Record(int id) { return *window().ChannelRecord(id); }
    Listbox& List() { return *window().ChannelListBox(); }

    QString path_;
};

// A point of slot s's cell, `dx`, `dy` from its top-left pixel.
Color SlotPixel(const QImage& map, int slot, int dx = 1, int dy = 1) {
    return PixelColor(map, 7 * (slot % 96) + 2 + dx, 18 * (slot / 96) + 2 + dy);
}

const Color kDataSpace = RGB(200, 200, 200);
const Color kMessageGreen = RGB(0, 255, 0);
const Color kBandType1 = RGB(255, 235, 150);
const Color kErrorRed = RGB(255, 0, 0);

const QByteArray kStep2 = "SetSubFrameMode:19*SetClockGear:10*SetRootFrequency:1*";
const QByteArray kStep3 = "ClearAllChannels:*AddChannel:3,4,3208,0,0,0,0,1,0,16,7*";
const QByteArray kStep4 = "DisplayMessage:0,6,1*DisplayError:100,2*";
const QByteArray kStep5 = "SetSuperframeID:2*";

TEST_F(RemoteControlTest, WorkedExchange) {
    // The user's own settings before the controller takes over.
    window().SubFrameModePopup()->SetListIndex(0);
    window().ClockGearPopup()->SetListIndex(9);
    window().RootFrequencyPopup()->SetListIndex(2);

    // 1: a controller connects; the seven controls are disabled in order.
    EnabledOrder order(UserControls());
    auto controller = Connect();
    EXPECT_EQ(window().Title(), kRemoteTitle);
    EXPECT_EQ(EnabledStates(), std::vector<bool>(7, false));
    QStringList disabled = kUserControlNames;
    disabled.removeAll(QStringLiteral("RemoveChannelButton"));  // it was disabled already
    EXPECT_EQ(order.names, disabled);
    EXPECT_TRUE(window().IPCSocket1()->IsConnected());

    // 2: bus settings by pop-up row.
    ASSERT_TRUE(controller->Send(kStep2));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().RootFrequencyPopup()->ListIndex() == 1; }));
    EXPECT_EQ(window().SubFrameModePopup()->ListIndex(), 19);
    EXPECT_EQ(window().ClockGearPopup()->ListIndex(), 10);

    // 3: a fresh table with channel 3.
    Record(5).Status = 1;
    Record(5).SegmentLength = 9;
    Record(3).RowID = 12;
    ASSERT_TRUE(controller->Send(kStep3));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Record(3).Status == 1; }));
    ASSERT_EQ(List().ListCount(), 1);
    EXPECT_EQ(List().Cell(0, 0), QStringLiteral("3"));
    EXPECT_FALSE(List().Expanded(0));
    const Channel& c3 = Record(3);
    EXPECT_EQ(c3, (Channel{.SegmentDistribution = 3208,
                           .SegmentLength = 4,
                           .DataType = 1,
                           .DataLength = 16,
                           .Status = 1,
                           .BoxColor = window().ColorMap[3],
                           .Rate = c3.Rate,  // the rates have tests of their own
                           .RowID = -1,      // set by the list's next row-ID rebuild, not here
                           .Bandwidth = c3.Bandwidth,
                           .Editable = 7}));
    EXPECT_EQ(Record(5).Status, 0);
    EXPECT_EQ(Record(5).SegmentLength, 0);
    EXPECT_EQ(Record(5).RowID, -1);

    // 4: a message band and error marks in one batch.
    ASSERT_TRUE(controller->Send(kStep4));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().ErrorLength == 2; }));
    EXPECT_EQ(window().MessageStart, 0);
    EXPECT_EQ(window().MessageLength, 6);
    EXPECT_EQ(window().MessageType, 1);
    EXPECT_EQ(window().ErrorStart, 100);
    EXPECT_EQ(window().SyncError, 0);
    const QImage marked = GrabMap();

    // 5: the marks are reset, but the map still shows them.
    ASSERT_TRUE(controller->Send(kStep5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().SuperframeID == 2; }));
    EXPECT_EQ(window().ErrorLength, 0);
    EXPECT_EQ(window().ErrorStart, 0);
    EXPECT_EQ(window().SyncError, 0);
    EXPECT_EQ(window().MessageStart, 0);
    EXPECT_EQ(window().MessageLength, -1);
    EXPECT_EQ(window().MessageType, 0);
    EXPECT_EQ(GrabMap(), marked);

    // 6: the controller goes; the window is the user's again. (What a drag of
    // its channel writes to it: DragOfTheControllersChannelIsReported.)
    order.names.clear();
    controller->Disconnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().Title() == kLocalTitle; }));
    EXPECT_EQ(EnabledStates(), std::vector<bool>(7, true));
    EXPECT_EQ(order.names, kUserControlNames);
    EXPECT_FALSE(window().IPCSocket1()->IsConnected());
    EXPECT_EQ(window().MessageLength, -1);
    EXPECT_EQ(window().ErrorLength, 0);
    // The controller's channel stays, with its event id.
    ASSERT_EQ(List().ListCount(), 1);
    EXPECT_EQ(Record(3).Editable, 7);

    // Listening again: the next controller is served.
    auto next = Connect();
    EXPECT_EQ(window().Title(), kRemoteTitle);
}

TEST_F(RemoteControlTest, WorkedExchangeOnTheMap) {
    auto controller = Connect();
    ASSERT_TRUE(controller->Send(kStep2));
    ASSERT_TRUE(controller->Send(kStep3));
    ASSERT_TRUE(QTest::qWaitFor([&] { return List().ListCount() == 1; }));

    // Channel 3: 48 kHz with segments of 4 slots from slot 8, every 128 slots.
    EXPECT_EQ(List().Cell(0, 2), QStringLiteral("48kHz"));
    EXPECT_EQ(List().Cell(0, 3), QStringLiteral("768kbps"));
    QImage map = GrabMap();
    const Color colour = window().ColorMap[3];
    for (int segment = 0; segment < 12; ++segment) {
        for (int k = 0; k < 4; ++k) {
            const int slot = 8 + 128 * segment + k;
            EXPECT_EQ(SlotPixel(map, slot), colour) << "slot " << slot;
            EXPECT_EQ(Module1::SuperFrameSlot[size_t(slot)], 3) << "slot " << slot;
        }
        EXPECT_EQ(SlotPixel(map, 12 + 128 * segment), kDataSpace);
    }

    ASSERT_TRUE(controller->Send(kStep4));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().ErrorLength == 2; }));
    map = GrabMap();
    // The band over message slots 1 to 6: slots 3, 32 to 35 and 64, with 2
    // pixels of message green above it and at its outer ends.
    EXPECT_EQ(PixelColor(map, 7 * 3 + 5, 9), kBandType1);
    EXPECT_EQ(PixelColor(map, 7 * 3 + 2, 9), kMessageGreen);
    for (int slot : {32, 33, 34, 35}) {
        EXPECT_EQ(PixelColor(map, 7 * slot + 2, 9), kBandType1) << "slot " << slot;
        EXPECT_EQ(PixelColor(map, 7 * slot + 2, 3), kMessageGreen) << "slot " << slot;
    }
    EXPECT_EQ(PixelColor(map, 7 * 64 + 3, 9), kBandType1);
    EXPECT_EQ(PixelColor(map, 7 * 64 + 7, 9), kMessageGreen);
    EXPECT_EQ(PixelColor(map, 7 * 65 + 3, 9), kMessageGreen);
    // Error marks on slots 100 to 102; the channel stays.
    for (int slot : {100, 101, 102}) EXPECT_EQ(SlotPixel(map, slot), kErrorRed) << slot;
    EXPECT_EQ(SlotPixel(map, 103), kDataSpace);
    EXPECT_EQ(SlotPixel(map, 99), kMessageGreen);
    EXPECT_EQ(SlotPixel(map, 8), colour);

    ASSERT_TRUE(controller->Send(kStep5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().SuperframeID == 2; }));
    EXPECT_EQ(SlotPixel(GrabMap(), 100), kErrorRed);

    // The controller goes: the error marks leave the map, the band stays.
    controller->Disconnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().Title() == kLocalTitle; }));
    map = GrabMap();
    for (int slot : {100, 101, 102}) EXPECT_EQ(SlotPixel(map, slot), kDataSpace) << slot;
    EXPECT_EQ(PixelColor(map, 7 * 32 + 2, 9), kBandType1);
    EXPECT_EQ(SlotPixel(map, 8), colour);
}

TEST_F(RemoteControlTest, AFirstBatchOfChannelsShowsTheControlSpace) {
    auto controller = Connect();
    ASSERT_TRUE(controller->Send("AddChannel:3,4,3208,0,0,0,0,1,0,16,7*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return List().ListCount() == 1; }));
    const QImage map = GrabMap();
    ExpectOpeningControlSpace(map, 20);
    EXPECT_EQ(SlotPixel(map, 8), window().ColorMap[3]);
    EXPECT_EQ(SlotPixel(map, 32), kMessageGreen);
}

TEST_F(RemoteControlTest, CommandsWaitForTheirStarAcrossReads) {
    auto controller = Connect();

    // Nothing without the "*" (the sentinel, and not 5, is the superframe ID
    // once the window has read it); the "*" of the next write completes it.
    ASSERT_TRUE(controller->SendBehindSentinel("SetSuperframeID:5"));
    EXPECT_NE(window().SuperframeID, 5);
    ASSERT_TRUE(controller->Send("*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().SuperframeID == 5; }));

    // A command cut in two is executed once, as sent.
    ASSERT_TRUE(controller->SendBehindSentinel("AddChannel:3,4,32"));
    EXPECT_EQ(List().ListCount(), 0);
    ASSERT_TRUE(controller->Send("08,0,0,0,0,1,0,16,7*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return List().ListCount() == 1; }));
    EXPECT_EQ(Record(3).SegmentDistribution, 3208);
    EXPECT_EQ(Record(3).Editable, 7);
    ASSERT_TRUE(controller->SendSentinel());
    EXPECT_EQ(List().ListCount(), 1);

    // The read that completes a command is its batch, and resets the marks.
    ASSERT_TRUE(controller->Send("DisplayError:100,2*DisplayMes"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().ErrorLength == 2; }));
    ASSERT_TRUE(controller->Send("sage:0,6,1*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().MessageLength == 6; }));
    EXPECT_EQ(window().ErrorLength, 0);
    EXPECT_EQ(window().MessageType, 1);

    // What a controller sends just before it goes is still executed.
    ASSERT_TRUE(controller->Send("SetSuperframeID:4*"));
    controller->Disconnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().Title() == kLocalTitle; }));
    EXPECT_EQ(window().SuperframeID, 4);
}

TEST_F(RemoteControlTest, WritesEndingInNulAllRun) {
    // A C controller writes each command with its string's closing NUL.
    auto controller = Connect();
    auto nulTerminated = [](const QByteArray& command) { return command + QByteArray(1, '\0'); };
    ASSERT_TRUE(controller->Send(nulTerminated("SetSuperframeID:3*")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().SuperframeID == 3; }));
    ASSERT_TRUE(controller->Send(nulTerminated("AddChannel:5,4,3208,0,0,0,0,1,0,16,7*")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return List().ListCount() == 1; }));
    EXPECT_EQ(List().Cell(0, 0), QStringLiteral("5"));
    EXPECT_EQ(Record(5).Editable, 7);
    ASSERT_TRUE(controller->Send(nulTerminated("DisplayError:100,2*")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().ErrorLength == 2; }));
    EXPECT_EQ(window().ErrorStart, 100);
    ASSERT_TRUE(controller->Send(nulTerminated("SetSuperframeID:4*")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().SuperframeID == 4; }));

    // Several of them in one write: each NUL stands before the next keyword.
    ASSERT_TRUE(controller->Send(nulTerminated("ClearAllChannels:*") +
                                 nulTerminated("AddChannel:5,4,3210,0,0,0,0,1,0,16,5*") +
                                 nulTerminated("AddChannel:6,4,3212,0,0,0,0,1,0,16,6*") +
                                 nulTerminated("SetSuperframeID:5*")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().SuperframeID == 5; }));
    ASSERT_EQ(List().ListCount(), 2);
    EXPECT_EQ(List().Cell(0, 0), QStringLiteral("5"));
    EXPECT_EQ(List().Cell(1, 0), QStringLiteral("6"));
    EXPECT_EQ(Record(6).SegmentDistribution, 3212);

    // Back to back, without waiting: the reads join and split as they come.
    for (int id = 10; id < 40; ++id) {
        ASSERT_TRUE(controller->Send(nulTerminated("AddChannel:" + QByteArray::number(id) +
                                                   ",4,3208,0,0,0,0,1,0,16," +
                                                   QByteArray::number(id) + "*")));
    }
    ASSERT_TRUE(controller->Send(nulTerminated("SetSuperframeID:6*")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().SuperframeID == 6; }));
    ASSERT_EQ(List().ListCount(), 2 + 30);
    for (int id = 10; id < 40; ++id) EXPECT_EQ(Record(id).Editable, id) << id;
}

TEST_F(RemoteControlTest, JunkAfterTheLastStarDoesNotStopTheNextCommand) {
    auto controller = Connect();
    const QByteArray junk[] = {"junk", "\r\n!", "AddChannelX", "SetClockGear:1;", "Dis:"};
    int id = 0;
    for (const QByteArray& tail : junk) {
        SCOPED_TRACE(tail.toStdString());
        ASSERT_TRUE(controller->Send("SetSuperframeID:" + QByteArray::number(++id) + "*" + tail));
        ASSERT_TRUE(QTest::qWaitFor([&] { return window().SuperframeID == id; }));
        ASSERT_TRUE(
            controller->Send("AddChannel:" + QByteArray::number(id) + ",4,3208,0,0,0,0,1,0,16,7*"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return List().ListCount() == id; }));
        EXPECT_EQ(List().Cell(id - 1, 0), QString::number(id));
    }
}

TEST_F(RemoteControlTest, CommandSplitAtEveryByteRunsOnce) {
    auto controller = Connect();
    const QByteArray command = "  AddChannel : 9,4,3208,0,0,0,0,1,0,16,-7e0 *";
    for (const char byte : command) {
        ASSERT_TRUE(controller->Send(QByteArray(1, byte)));
        QTest::qWait(2);  // lets the window read each byte on its own
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return List().ListCount() == 1; }));
    EXPECT_EQ(List().Cell(0, 0), QStringLiteral("9"));
    EXPECT_EQ(Record(9).SegmentDistribution, 3208);
    EXPECT_EQ(Record(9).Editable, -7);

    // A sentinel proves the window read on; the channel is still listed once.
    ASSERT_TRUE(controller->Send("SetSuperframeID:8*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().SuperframeID == 8; }));
    EXPECT_EQ(List().ListCount(), 1);
}

TEST_F(RemoteControlTest, BlanksAndMissingValues) {
    auto controller = Connect();
    ASSERT_TRUE(controller->Send("  DisplayError :  100,2  *"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().ErrorLength == 2; }));
    EXPECT_EQ(window().ErrorStart, 100);

    ASSERT_TRUE(controller->Send("DisplayMessage:7*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().MessageStart == 7; }));
    EXPECT_EQ(window().MessageLength, 0);
    EXPECT_EQ(window().MessageType, 0);
    EXPECT_EQ(window().ErrorLength, 0);
}

TEST_F(RemoteControlTest, ClearAllChannelsKeepsTheMarksOfItsBatch) {
    auto controller = Connect();
    ASSERT_TRUE(controller->Send("AddChannel:3,4,3208,0,0,0,0,1,0,16,7*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return List().ListCount() == 1; }));
    const Color colour = Record(3).BoxColor;

    ASSERT_TRUE(controller->Send("DisplayError:100,2*ClearAllChannels:*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return List().ListCount() == 0; }));
    EXPECT_EQ(window().ErrorStart, 100);
    EXPECT_EQ(window().ErrorLength, 2);
    // Freed, but with its colour and event id.
    EXPECT_EQ(Record(3).Status, 0);
    EXPECT_EQ(Record(3).SegmentDistribution, 0);
    EXPECT_EQ(Record(3).RowID, -1);
    EXPECT_EQ(Record(3).BoxColor, colour);
    EXPECT_EQ(Record(3).Editable, 7);

    const QImage map = GrabMap();
    EXPECT_EQ(SlotPixel(map, 100), kErrorRed);
    EXPECT_EQ(SlotPixel(map, 8), kDataSpace);
}

TEST_F(RemoteControlTest, SuperframeIdAloneResetsTheMarksButNotTheMap) {
    auto controller = Connect();
    ASSERT_TRUE(controller->Send("DisplayError:100,2*DisplaySyncError:3*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().SyncError == 3; }));
    const QImage marked = GrabMap();

    ASSERT_TRUE(controller->Send("SetSuperframeID:9*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().SuperframeID == 9; }));
    EXPECT_EQ(window().SyncError, 0);
    EXPECT_EQ(window().ErrorLength, 0);
    EXPECT_EQ(window().MessageLength, -1);
    EXPECT_EQ(GrabMap(), marked);
    EXPECT_EQ(SlotPixel(marked, 192, 1, 1), kErrorRed);  // frame 1's first slot
    EXPECT_EQ(SlotPixel(marked, 101), kErrorRed);
}

TEST_F(RemoteControlTest, AddChannelTwiceListsTwoRows) {
    auto controller = Connect();
    const int32_t secondCode = Module1::CalculateSegmentDistribution(16, 128);
    ASSERT_TRUE(controller->Send("AddChannel:3,4,3208,0,0,0,0,1,0,16,7*AddChannel:3,2," +
                                 QByteArray::number(secondCode) + ",1,1,1,1,0,1,8,9*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return List().ListCount() == 2; }));
    EXPECT_EQ(List().Cell(0, 0), QStringLiteral("3"));
    EXPECT_EQ(List().Cell(1, 0), QStringLiteral("3"));
    const Channel& c3 = Record(3);
    EXPECT_EQ(c3.SegmentLength, 2);
    EXPECT_EQ(c3.SegmentDistribution, secondCode);
    EXPECT_EQ(c3.TransportProtocol, 1);
    EXPECT_EQ(c3.DataType, 0);
    EXPECT_EQ(c3.ChannelLink, 1);
    EXPECT_EQ(c3.DataLength, 8);
    EXPECT_EQ(c3.Editable, 9);

    // The first command's slots stay marked until the slot map is rebuilt.
    EXPECT_EQ(Module1::SuperFrameSlot[8], 3);
    EXPECT_EQ(Module1::SuperFrameSlot[16], 3);
}

// Within a batch the list's rate texts are written once per run of channel
// commands; what the window ends up showing must be what the same commands
// show when each comes as a batch of its own.
TEST_F(RemoteControlTest, BatchShowsWhatItsCommandsShowOneByOne) {
    const auto code = [](int offset, int interval) {
        return QString::number(Module1::CalculateSegmentDistribution(offset, interval));
    };
    const QStringList commands = {
        "SetSubFrameMode:19",
        "SetClockGear:10",
        "SetRootFrequency:1",
        "AddChannel:3,4," + code(4, 32) + ",0,0,2,0,1,0,16,7",
        "AddChannel:5,2," + code(8, 64) + ",1,1,9,1,0,1,8,9",
        "AddChannel:3,2," + code(12, 128) + ",0,0,17,0,1,0,16,7",  // ID 3 again: both rows follow
        "AddChannel:9,1,0,0,0,0,0,0,0,0,0",                        // no code: keeps its figures
        "SetClockGear:9",
        "AddChannel:7,4," + code(20, 256) + ",0,0,3,0,1,0,16,7",
        "AddChannel:5,3," + code(24, 512) + ",1,1,10,1,0,1,8,9",
        "SetRootFrequency:0",  // no valid bus: every row shows "???"
        "AddChannel:11,4," + code(28, 32) + ",0,0,0,0,1,0,16,7",
        "SetRootFrequency:2",
        "AddChannel:3,4," + code(4, 32) + ",0,0,1,0,1,0,16,7",
        "AddChannel:5,4," + code(16, 64) + ",1,0,1,0,1,0,16,7",  // pushed: the map needs its rate
    };
    struct Shown {
        QStringList cells;
        std::vector<std::pair<double, double>> figures;
        QImage map;
    };
    const auto shown = [this] {
        Shown s;
        for (int row = 0; row < List().ListCount(); ++row)
            for (int column = 0; column < 4; ++column) s.cells.append(List().Cell(row, column));
        for (int id = 0; id < 256; ++id)
            s.figures.emplace_back(Record(id).Rate, Record(id).Bandwidth);
        s.map = GrabMap();
        return s;
    };

    window().ExecNetworkCommand(commands.join(u'*') + u'*');
    const Shown batch = shown();

    Main::Destroy();
    ResetBusState();
    for (const QString& command : commands) window().ExecNetworkCommand(command + u'*');
    const Shown oneByOne = shown();

    EXPECT_EQ(List().ListCount(), 9);
    EXPECT_EQ(batch.cells, oneByOne.cells);
    EXPECT_EQ(batch.figures, oneByOne.figures);
    EXPECT_EQ(batch.map, oneByOne.map);
    // Every row of an ID shows its last figures, and they are figures.
    EXPECT_EQ(List().Cell(0, 2), List().Cell(7, 2));
    EXPECT_EQ(List().Cell(1, 3), List().Cell(8, 3));
    EXPECT_FALSE(List().Cell(1, 3).startsWith(u'?')) << List().Cell(1, 3).toStdString();
}

TEST_F(RemoteControlTest, ValuesOutsideThePoolAndThePopupsChangeNothing) {
    auto controller = Connect();
    window().SubFrameModePopup()->SetListIndex(19);
    window().ClockGearPopup()->SetListIndex(10);
    window().RootFrequencyPopup()->SetListIndex(1);
    const int32_t controlSize = Module1::iControlSize;
    const int32_t clockGear = Module1::iClockGear;
    const int32_t rootFrequency = Module1::iRootFrequency;

    ASSERT_TRUE(controller->Send(
        "AddChannel:256,4,3208,0,0,0,0,1,0,16,7*AddChannel:-1,4,3208*"
        "AddChannel:2147483647,4*AddChannel:-2147483648,4*AddChannel:99999999999,1*"
        "SetSubFrameMode:32*SetSubFrameMode:-1*SetClockGear:16*SetClockGear:-1*"
        "SetRootFrequency:2147483647*SetRootFrequency:-2147483648*SetSuperframeID:1*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().SuperframeID == 1; }));
    EXPECT_EQ(List().ListCount(), 0);
    for (int id = 0; id < 256; ++id) {
        EXPECT_EQ(Record(id).Status, 0) << id;
        EXPECT_EQ(Record(id).Editable, 0) << id;
    }
    EXPECT_EQ(window().SubFrameModePopup()->ListIndex(), 19);
    EXPECT_EQ(window().ClockGearPopup()->ListIndex(), 10);
    EXPECT_EQ(window().RootFrequencyPopup()->ListIndex(), 1);
    EXPECT_EQ(Module1::iControlSize, controlSize);
    EXPECT_EQ(Module1::iClockGear, clockGear);
    EXPECT_EQ(Module1::iRootFrequency, rootFrequency);

    // More than 21 values: the first eleven make the channel, the rest is ignored.
    QByteArray many = "AddChannel:4,4,3208,0,0,0,0,1,0,16,5";
    for (int i = 0; i < 30; ++i) many += ",777";
    ASSERT_TRUE(controller->Send(many + "*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return List().ListCount() == 1; }));
    EXPECT_EQ(Record(4).Editable, 5);
    EXPECT_EQ(Record(4).DataLength, 16);
}

// Numbers beyond the double range saturate like any huge number: rows no
// pop-up has, so nothing changes.
TEST_F(RemoteControlTest, NumbersBeyondTheDoubleRangeSelectNoRow) {
    auto controller = Connect();
    window().SubFrameModePopup()->SetListIndex(19);
    window().ClockGearPopup()->SetListIndex(10);
    window().RootFrequencyPopup()->SetListIndex(1);
    const int32_t clockGear = Module1::iClockGear;
    const int32_t subFrameLength = Module1::iSubFrameLength;

    ASSERT_TRUE(controller->Send(
        "SetClockGear:1e300*SetClockGear:1e400*SetClockGear:-1e400*SetClockGear:1e400,5*"
        "SetSubFrameMode:1e400*SetSubFrameMode:-1e999*SetRootFrequency:1e400*"
        "AddChannel:1e400,4,3208,0,0,0,0,1,0,16,7*AddChannel:-1e400,4,3208*"
        "SetSuperframeID:21*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().SuperframeID == 21; }));
    EXPECT_EQ(window().ClockGearPopup()->ListIndex(), 10);
    EXPECT_EQ(window().SubFrameModePopup()->ListIndex(), 19);
    EXPECT_EQ(window().RootFrequencyPopup()->ListIndex(), 1);
    EXPECT_EQ(Module1::iClockGear, clockGear);
    EXPECT_EQ(Module1::iSubFrameLength, subFrameLength);
    EXPECT_EQ(List().ListCount(), 0);

    // A value beyond the range in the other fields is stored saturated.
    ASSERT_TRUE(
        controller->Send("AddChannel:4,1e400,3208,0,0,0,0,1,0,-1e400,9*SetSuperframeID:22*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().SuperframeID == 22; }));
    ASSERT_EQ(List().ListCount(), 1);
    EXPECT_EQ(Record(4).SegmentLength, kMax);
    EXPECT_EQ(Record(4).DataLength, kMin);
    EXPECT_EQ(Record(4).Editable, 9);
}

// Whatever comes in, the window stays usable and a later valid command works.
TEST_F(RemoteControlTest, SurvivesBadInput) {
    auto controller = Connect();

    QRandomGenerator random(20240611);
    QByteArray noise(qsizetype{1024} * 1024, Qt::Uninitialized);
    for (char& byte : noise) byte = char(random.bounded(256));
    ASSERT_TRUE(controller->Send(noise));
    ASSERT_TRUE(controller->Send("*SetSuperframeID:11*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().SuperframeID == 11; }, 60000));

    QByteArray many;
    for (int i = 1; i <= 10000; ++i) {
        many += (i % 1000 == 0)
                    ? QByteArray("DisplaySyncError:") + QByteArray::number(i / 1000) + "*"
                    : QByteArray("SetSuperframeID:") + QByteArray::number(i) + "*";
    }
    ASSERT_TRUE(controller->Send(many));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().SuperframeID == 9999; }, 60000));

    // Values at the 32-bit limits, stored as received where the model takes them.
    ASSERT_TRUE(controller->Send(
        "AddChannel:5,2147483647,3208,2147483647,1,2147483647,-2147483648,1,0,2147483647,1*"
        "AddChannel:6,4,2147483647,1,1,31,0,0,0,0,2*"
        "AddChannel:7,-2147483648,-2147483648,3,0,0,0,0,0,0,3*"
        "DisplayMessage:2147483647,2147483647,1*DisplayMessage:-2147483648,2147483647,0*"
        "DisplayError:2147483647,2147483647*DisplayError:-2147483648,2147483647*"
        "DisplayError:1500,2147483647*DisplaySyncError:2147483647*DisplaySyncError:-2147483648*"
        "SetSuperframeID:12*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().SuperframeID == 12; }, 60000));
    EXPECT_EQ(List().ListCount(), 3);
    EXPECT_EQ(Record(5).SegmentLength, kMax);
    EXPECT_EQ(Record(6).SegmentDistribution, kMax);
    EXPECT_EQ(Record(7).SegmentLength, kMin);
    EXPECT_EQ(window().SyncError, kMin);

    // Still in charge of the window, and it is the user's again afterwards.
    EXPECT_EQ(window().Title(), kRemoteTitle);
    controller->Disconnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().Title() == kLocalTitle; }, 60000));
    EXPECT_EQ(EnabledStates(), std::vector<bool>(7, true));
}

TEST_F(RemoteControlTest, NotificationsLeaveAsTwoWritesInOrder) {
    auto controller = Connect();
    // Each write leaves at once: the controller reads it without the window's
    // event loop running in between.
    window().IPCSocket1()->Write("SetEventID:7*");
    EXPECT_EQ(controller->ReadWithoutEventLoop(), QByteArray("SetEventID:7*"));
    window().IPCSocket1()->Write("SetChannelSD:3,3209*");
    EXPECT_EQ(controller->ReadWithoutEventLoop(), QByteArray("SetChannelSD:3,3209*"));

    // Writing to a controller that has just gone is no fault either: the
    // window learns of it once the writer is done.
    controller->Disconnect();
    window().IPCSocket1()->Write("SetEventID:7*");
    window().IPCSocket1()->Write("SetChannelSD:3,3209*");
    EXPECT_EQ(window().Title(), kRemoteTitle);
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().Title() == kLocalTitle; }));
    window().IPCSocket1()->Write("SetEventID:7*");
    auto next = Connect();
    EXPECT_TRUE(window().IPCSocket1()->IsConnected());
}

TEST_F(RemoteControlTest, DragOfTheControllersChannelIsReported) {
    auto controller = Connect();
    ASSERT_TRUE(controller->Send(kStep3));
    ASSERT_TRUE(QTest::qWaitFor([&] { return List().ListCount() == 1; }));

    // Press on slot 9 (channel 3's first segment covers 8 to 11), drag to slot 9.
    Canvas* canvas = window().DrawZone();
    const QPoint slot9(7 * 9 + 4, 9);
    QTest::mousePress(canvas, Qt::LeftButton, {}, slot9);
    QTest::mouseMove(canvas, slot9 + QPoint(1, 0));
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, slot9 + QPoint(1, 0));
    EXPECT_EQ(Record(3).SegmentDistribution, 3209);
    EXPECT_EQ(controller->ReadCommands(2), QByteArray("SetEventID:7*SetChannelSD:3,3209*"));
}

// ---------------------------------------------------------------------------
// The socket file.

TEST_F(RemoteControlTest, SocketFileIsTheUsersAlone) {
    struct stat info {};
    ASSERT_EQ(::lstat(QFile::encodeName(path_).constData(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    EXPECT_EQ(info.st_uid, ::getuid());

    // The window going away takes the socket file with it.
    Main::Destroy();
    EXPECT_FALSE(QFile::exists(path_));
}

TEST_F(RemoteControlTest, SecondControllerIsRefusedAtOnce) {
    auto first = Connect();
    Controller second(path_);
    second.Socket().write("SetSuperframeID:99*");
    second.Socket().flush();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !second.Connected(); }));

    // The first controller's command is the sentinel: the window dropped the
    // second one before, and reads nothing of it any more.
    ASSERT_TRUE(first->Send("SetSuperframeID:5*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().SuperframeID == 5; }));
    EXPECT_EQ(window().SuperframeID, 5);
    EXPECT_EQ(window().Title(), kRemoteTitle);
    EXPECT_TRUE(window().IPCSocket1()->IsConnected());
}

// A controller as `echo CMD | nc -U` is one: connect, one write, close, on
// plain POSIX sockets from a thread of its own, never waiting for the window.
bool SendAndClose(const QByteArray& path, const QByteArray& text) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
              ::send(fd, text.constData(), size_t(text.size()), MSG_NOSIGNAL) == text.size();
    ::close(fd);
    return ok;
}

// The second connection comes before the window has seen the first one end:
// the first one's session ends (its command runs, then Error), and the second
// one is served with what it sent.
TEST_F(RemoteControlTest, NextControllerIsServedWhenTheLastOneHasGone) {
    const QByteArray path = QFile::encodeName(path_);
    ASSERT_TRUE(SendAndClose(path, "AddChannel:1,4,3208,0,0,0,0,1,0,16,1*"));
    Controller second(path_);
    ASSERT_TRUE(second.Send("AddChannel:2,4,3208,0,0,0,0,1,0,16,2*"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return List().ListCount() == 2; }));
    EXPECT_EQ(List().Cell(0, 0), QStringLiteral("1"));
    EXPECT_EQ(List().Cell(1, 0), QStringLiteral("2"));
    EXPECT_TRUE(second.Connected());
    EXPECT_EQ(window().Title(), kRemoteTitle);
    EXPECT_EQ(EnabledStates(), std::vector<bool>(7, false));
    // The first one's Error ran: its marks went with it; the second one is
    // the controller now.
    ASSERT_TRUE(second.SendSentinel());
    second.Disconnect();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().Title() == kLocalTitle; }));
}

// Sessions of one command each, as fast as a loop can make them: every one
// runs. The last one is the sentinel; sessions run in the order they came.
TEST_F(RemoteControlTest, EveryOneCommandSessionRuns) {
    constexpr int kSessions = 60;
    const QByteArray path = QFile::encodeName(path_);
    int sent = 0;
    std::thread client([&] {
        for (int id = 0; id < kSessions; ++id) {
            if (SendAndClose(path, "AddChannel:" + QByteArray::number(id) +
                                       ",4,3208,0,0,0,0,1,0,16," + QByteArray::number(id) + "*"))
                ++sent;
        }
        if (SendAndClose(path, "SetSuperframeID:4242*")) ++sent;
    });
    const bool done = QTest::qWaitFor([&] { return window().SuperframeID == 4242; }, 20000);
    client.join();
    ASSERT_TRUE(done);
    EXPECT_EQ(sent, kSessions + 1);
    ASSERT_EQ(List().ListCount(), kSessions);
    for (int id = 0; id < kSessions; ++id) EXPECT_EQ(List().Cell(id, 0), QString::number(id));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window().Title() == kLocalTitle; }));
    EXPECT_EQ(EnabledStates(), std::vector<bool>(7, true));
}

// A socket file that nobody listens on, as a crashed run leaves it.
void LeaveStaleSocketFile(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, native.constData(), size_t(native.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    ::close(fd);
}

// The warning of a socket that does not listen on `path`.
QRegularExpression NotListeningOn(const QString& path) {
    return QRegularExpression(QStringLiteral("^not listening on ") +
                              QRegularExpression::escape(path) + QStringLiteral(": "));
}

class SocketPathTest : public RemoteControlTest {
protected:
    // Builds a fresh window whose socket uses `path`. A warning it logs
    // meanwhile fails the test unless the test expects it.
    void OpenWindowOn(const QString& path) {
        Main::Destroy();
        TestSeams::Current().SetSocketPath(path);
        Main::Instance();
    }
    QTemporaryDir folder_;
};

TEST_F(SocketPathTest, StaleSocketFileIsReplaced) {
    const QString path = folder_.filePath(QStringLiteral("stale"));
    LeaveStaleSocketFile(path);
    ASSERT_TRUE(QFile::exists(path));
    OpenWindowOn(path);  // without a warning
    EXPECT_EQ(window().IPCSocket1()->ListeningPath(), path);
    Controller controller(path);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window().Title() == kRemoteTitle; }));
}

TEST_F(SocketPathTest, PathThatIsNotASocketIsLeftAlone) {
    const QString path = folder_.filePath(QStringLiteral("notes"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("keep me");
    }
    {
        ExpectedWarning warning(NotListeningOn(path));
        OpenWindowOn(path);
    }
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("keep me"));
    EXPECT_TRUE(window().IPCSocket1()->ListeningPath().isEmpty());

    // The program runs on without remote control.
    EXPECT_EQ(window().Title(), kLocalTitle);
    EXPECT_TRUE(window().AddChannelButton()->Enabled());
    Main::Destroy();
    EXPECT_TRUE(QFile::exists(path));
}

TEST_F(SocketPathTest, PathAnotherProgramListensOnIsLeftAlone) {
    const QString path = folder_.filePath(QStringLiteral("taken"));
    QLocalServer other;
    ASSERT_TRUE(other.listen(path));
    {
        ExpectedWarning warning(NotListeningOn(path));
        OpenWindowOn(path);
    }
    EXPECT_TRUE(window().IPCSocket1()->ListeningPath().isEmpty());
    // The window's look whether someone listens there came as a connection.
    ASSERT_TRUE(QTest::qWaitFor([&] { return other.hasPendingConnections(); }));
    while (other.hasPendingConnections()) delete other.nextPendingConnection();

    // The other program still gets its connections (the sentinel: the event
    // loop has run since); the window is not involved.
    Controller controller(path);
    EXPECT_TRUE(QTest::qWaitFor([&] { return other.hasPendingConnections(); }));
    EXPECT_EQ(window().Title(), kLocalTitle);
    Main::Destroy();
    EXPECT_TRUE(QFile::exists(path));
}
// While a controller is connected, someone replaces the socket file: the
// controller's leaving and the window's end leave the newcomer in place.
TEST_F(SocketPathTest, WhatTookThePathWhileConnectedSurvives) {
    const QString path = folder_.filePath(QStringLiteral("remote"));
    for (const bool listener : {false, true}) {
        SCOPED_TRACE(listener ? "another program's socket" : "a regular file");
        OpenWindowOn(path);  // without a warning
        // Nothing but the socket file is left beside the path.
        EXPECT_EQ(
            QDir(folder_.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot),
            QStringList({"remote"}));
        auto controller = Connect(path);
        ASSERT_TRUE(QFile::remove(path));
        QLocalServer other;
        if (listener) {
            ASSERT_TRUE(other.listen(path));
        } else {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write("keep me");
        }
        {
            ExpectedWarning warning(NotListeningOn(path));
            controller->Disconnect();
            ASSERT_TRUE(QTest::qWaitFor([&] { return window().Title() == kLocalTitle; }));
        }
        EXPECT_TRUE(window().IPCSocket1()->ListeningPath().isEmpty());
        Main::Destroy();

        if (listener) {
            Controller client(path);
            EXPECT_TRUE(client.Connected());
            EXPECT_TRUE(QTest::qWaitFor([&] { return other.hasPendingConnections(); }));
            other.close();  // removes its own socket file
        } else {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), QByteArray("keep me"));
            ASSERT_TRUE(QFile::remove(path));
        }
    }
}

// Between controllers the socket file stays at its path, the same file, so
// nobody else can take the path meanwhile; the window takes it away at its end.
TEST_F(SocketPathTest, SocketFileStaysBetweenControllers) {
    const QString path = folder_.filePath(QStringLiteral("remote"));
    OpenWindowOn(path);  // without a warning
    struct stat first {};
    ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &first), 0);
    for (int round = 0; round < 2; ++round) {
        Connect(path)->Disconnect();
        ASSERT_TRUE(QTest::qWaitFor([&] { return window().Title() == kLocalTitle; }));
        struct stat again {};
        ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &again), 0);
        EXPECT_TRUE(S_ISSOCK(again.st_mode));
        EXPECT_EQ(again.st_mode & 0777, 0600u);
        EXPECT_EQ(again.st_ino, first.st_ino) << "the same socket file";
        EXPECT_EQ(again.st_dev, first.st_dev);
    }
    // Someone else cannot place a socket there now.
    QLocalServer other;
    EXPECT_FALSE(other.listen(path));
    Main::Destroy();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(
        QDir(folder_.path()).isEmpty(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot));
}
}  // namespace
