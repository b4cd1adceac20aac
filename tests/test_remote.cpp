// Remote control: the command parser alone, then a real controller on the
// window's local socket.
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

#include "Canvas.h"
#include "IPCSocket.h"
#include "Listbox.h"
#include "Main.h"
#include "Module1.h"
#include "PopupMenu.h"
#include "PushButton.h"
#include "RemoteController.h"
#include "RemoteProtocol.h"
#include "TestSupport.h"
#include "Text.h"

namespace {
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

// ---------------------------------------------------------------------------
// The parser, without a window.

RemoteCommand Command(RemoteKeyword keyword, std::initializer_list<int32_t> values = {}) {
    RemoteCommand command;
    command.Keyword = keyword;
    size_t i = 0;
    for (int32_t value : values) command.Values[i++] = value;
    return command;
}

}  // namespace

bool operator==(const RemoteCommand& a, const RemoteCommand& b) {
    return a.Keyword == b.Keyword && a.Values == b.Values;
}

void PrintTo(const RemoteCommand& command, std::ostream* os) {
    *os << "{keyword " << static_cast<int>(command.Keyword) << ":";
    for (int32_t value : command.Values) *os << " " << value;
    *os << "}";
}

namespace {
using K = RemoteKeyword;

struct ParseCase {
    const char* batch;
    std::vector<RemoteCommand> expected;
};

TEST(RemoteProtocol, ParsesBatchesIntoCommands) {
    const ParseCase cases[] = {
        {"SetSuperframeID:2*", {Command(K::SetSuperframeID, {2})}},
        // Without its "*" a command is not there yet.
        {"SetSuperframeID:2", {}},
        {"SetSuperframeID:2*SetClockGear:10", {Command(K::SetSuperframeID, {2})}},
        {"SetSubFrameMode:19*SetClockGear:10*SetRootFrequency:1*",
         {Command(K::SetSubFrameMode, {19}), Command(K::SetClockGear, {10}),
          Command(K::SetRootFrequency, {1})}},
        {"AddChannel:3,4,3208,0,0,0,0,1,0,16,7*",
         {Command(K::AddChannel, {3, 4, 3208, 0, 0, 0, 0, 1, 0, 16, 7})}},
        // Blanks around the keyword and around the whole value list.
        {"  DisplayError \t:  100,2  *", {Command(K::DisplayError, {100, 2})}},
        // Blanks inside the list: Val reads past leading blanks and stops at others.
        {"DisplayMessage: 0 , 6 ,1*", {Command(K::DisplayMessage, {0, 6, 1})}},
        // Missing values read 0.
        {"DisplayError:100*", {Command(K::DisplayError, {100, 0})}},
        {"DisplayMessage:0,,1*", {Command(K::DisplayMessage, {0, 0, 1})}},
        {"ClearAllChannels:*", {Command(K::ClearAllChannels)}},
        {"ClearAllChannels*", {Command(K::ClearAllChannels)}},
        // Empty commands and unknown keywords are left out.
        {"**Bogus:1*:5*DisplayErrors:1*", {}},
        {"addchannel:1*", {Command(K::AddChannel, {1})}},
        // Values: Val, then the Double-to-Int32 conversion.
        {"SetSuperframeID:2.9*", {Command(K::SetSuperframeID, {2})}},
        {"SetSuperframeID:-2.9*", {Command(K::SetSuperframeID, {-2})}},
        {"SetSuperframeID:1e3*", {Command(K::SetSuperframeID, {1000})}},
        {"SetSuperframeID:12abc*", {Command(K::SetSuperframeID, {12})}},
        {"SetSuperframeID:abc*", {Command(K::SetSuperframeID, {0})}},
        {"SetSuperframeID:1:2*", {Command(K::SetSuperframeID, {1})}},
        {"SetSuperframeID:99999999999*", {Command(K::SetSuperframeID, {kMax})}},
        {"SetSuperframeID:-99999999999*", {Command(K::SetSuperframeID, {kMin})}},
        {"SetSuperframeID:2147483647*", {Command(K::SetSuperframeID, {kMax})}},
        {"SetSuperframeID:-2147483648*", {Command(K::SetSuperframeID, {kMin})}},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.batch);
        EXPECT_EQ(ParseRemoteBatch(QString::fromLatin1(c.batch)), c.expected);
    }
}

TEST(RemoteProtocol, KeepsTwentyOneValuesAndIgnoresTheRest) {
    QStringList values;
    for (int i = 1; i <= 40; ++i) values << QString::number(i);
    const auto commands =
        ParseRemoteBatch(QStringLiteral("AddChannel:") + values.join(u',') + u'*');
    ASSERT_EQ(commands.size(), 1u);
    for (int i = 0; i < kRemoteValueCount; ++i) EXPECT_EQ(commands[0].Values[size_t(i)], i + 1);

    // A list of half a million commas is no burden either.
    const auto wide = ParseRemoteBatch(QStringLiteral("DisplayError:7") + QString(500000, u',') +
                                       QStringLiteral("*"));
    ASSERT_EQ(wide.size(), 1u);
    EXPECT_EQ(wide[0], Command(K::DisplayError, {7}));
}

struct SplitCase {
    const char* pending;
    const char* received;
    const char* batch;
    const char* pendingAfter;
};

TEST(RemoteProtocol, KeepsTheTextAfterTheLastStarForTheNextRead) {
    const SplitCase cases[] = {
        {"", "SetSuperframeID:2*", "SetSuperframeID:2*", ""},
        {"", "A:1*B:2*AddChannel:", "A:1*B:2*", "AddChannel:"},
        {"AddChannel:", "3*", "AddChannel:3*", ""},
        {"Add", "Chan", "", "AddChan"},
        {"AddChan", "nel:1*Dis", "AddChannel:1*", "Dis"},
        {"", "*", "*", ""},
        {"", "", "", ""},
        // What cannot become a command any more is dropped at once.
        {"", "AddChannel:5*@", "AddChannel:5*", ""},
        {"", "SetClockGear:3*junk", "SetClockGear:3*", ""},
        {"Dis", "pose", "", ""},
        {"DisplayError:1", "00,x", "", ""},
        {"DisplayError:1", "00, 2", "", "DisplayError:100, 2"},
        {"", "*\r\n", "*", "\r\n"},  // blanks may still lead a keyword
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(std::string(c.pending) + "|" + c.received);
        QByteArray pending(c.pending);
        QByteArray received(c.received);
        received.replace('@', '\0');  // "@" stands for a NUL byte
        EXPECT_EQ(TakeRemoteBatch(pending, received), QByteArray(c.batch));
        EXPECT_EQ(pending, QByteArray(c.pendingAfter));
    }
}

TEST(RemoteProtocol, KeepsOnlyTextThatCanStillBecomeACommand) {
    const struct {
        QByteArray text;
        bool kept;
    } cases[] = {
        {"", true},
        {"  \t", true},
        {"A", true},
        {"addchan", true},  // keywords compare regardless of letter case
        {"  SetSubFrameMode", true},
        {"DisplaySyncError :", true},
        {"AddChannel ", true},
        {"AddChannel:3,4,3208,0,0,0,0,1,0,16,7", true},
        {"DisplayMessage: -1.5e+3 , +2E-1,", true},
        {"ClearAllChannels:", true},
        {QByteArray(1, '\0'), false},
        {QByteArray("AddChannel:1", 12) + QByteArray(1, '\0'), false},
        {"Add ", false},
        {"AddChannelX", false},
        {"SetClockGear:1;", false},
        {"SetClockGear:0x1", false},
        {"Unknown:1", false},
        {":1", false},
        {"junk", false},
        {"\xC4\x64\x64", false},  // a Latin-1 letter before "dd"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        EXPECT_EQ(CanBecomeRemoteCommand(c.text), c.kept);
    }
}

TEST(RemoteProtocol, DropsPendingTextBeyondItsBound) {
    const QByteArray start = "AddChannel:";
    QByteArray pending = start + QByteArray(kMaxPendingRemoteBytes - start.size() - 1, '1');
    EXPECT_TRUE(TakeRemoteBatch(pending, "2").isEmpty());
    EXPECT_EQ(pending.size(), kMaxPendingRemoteBytes);  // up to the bound it is kept
    EXPECT_TRUE(TakeRemoteBatch(pending, "3").isEmpty());
    EXPECT_TRUE(pending.isEmpty());

    const QByteArray longTail =
        "SetSuperframeID:1*" + start + QByteArray(kMaxPendingRemoteBytes, '1');
    EXPECT_EQ(TakeRemoteBatch(pending, longTail), QByteArray("SetSuperframeID:1*"));
    EXPECT_TRUE(pending.isEmpty());
}

TEST(RemoteProtocol, BatchTextKeepsEveryByte) {
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) bytes.append(char(b));
    const QString text = RemoteBatchText(bytes);
    ASSERT_EQ(text.size(), 256);
    for (int b = 0; b < 256; ++b) EXPECT_EQ(text[b].unicode(), b);
}

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
        path_ = main().IPCSocket1()->ListeningPath();
        ASSERT_FALSE(path_.isEmpty());
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        UseTestSocketPath();
    }

    // A controller that the window has taken as its controller.
    std::unique_ptr<Controller> Connect() { return Connect(path_); }
    std::unique_ptr<Controller> Connect(const QString& path) {
        auto controller = std::make_unique<Controller>(path);
        EXPECT_TRUE(controller->Connected());
        EXPECT_TRUE(WaitUntil([this] { return main().Title() == kRemoteTitle; }));
        return controller;
    }

    std::vector<Control*> UserControls() {
        Main& m = main();
        return {m.RootFrequencyPopup(), m.ClockGearPopup(),      m.SubFrameModePopup(),
                m.AddChannelButton(),   m.RemoveChannelButton(), m.ClearAllChannels(),
                m.ChannelListBox()};
    }
    std::vector<bool> EnabledStates() {
        std::vector<bool> states;
        for (Control* control : UserControls()) states.push_back(control->Enabled());
        return states;
    }

    Channel& Record(int id) { return *main().SBChannel[size_t(id)]; }
    Listbox& List() { return *main().ChannelListBox(); }

    // The map painters and the bus settings belong to other parts of the
    // program; the map's pixels can only be checked once they draw.
    bool MapIsDrawn() {
        const Picture layer = main().DrawControlSlot(0, 0);
        return !layer.IsNil() && PixelColor(layer.Image(), 0, 1) == RGB(239, 239, 239) &&
               Module1::iControlSize == 4 && Module1::iSubFrameLength == 32;
    }

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
    main().SubFrameModePopup()->SetListIndex(0);
    main().ClockGearPopup()->SetListIndex(9);
    main().RootFrequencyPopup()->SetListIndex(2);

    // 1: a controller connects; the seven controls are disabled in order.
    EnabledOrder order(UserControls());
    auto controller = Connect();
    EXPECT_EQ(main().Title(), kRemoteTitle);
    EXPECT_EQ(EnabledStates(), std::vector<bool>(7, false));
    QStringList disabled = kUserControlNames;
    disabled.removeAll(QStringLiteral("RemoveChannelButton"));  // it was disabled already
    EXPECT_EQ(order.names, disabled);
    EXPECT_TRUE(main().IPCSocket1()->IsConnected());

    // 2: bus settings by pop-up row.
    ASSERT_TRUE(controller->Send(kStep2));
    ASSERT_TRUE(WaitUntil([&] { return main().RootFrequencyPopup()->ListIndex() == 1; }));
    EXPECT_EQ(main().SubFrameModePopup()->ListIndex(), 19);
    EXPECT_EQ(main().ClockGearPopup()->ListIndex(), 10);

    // 3: a fresh table with channel 3.
    Record(5).Status = 1;
    Record(5).SegmentLength = 9;
    Record(3).RowID = 12;
    ASSERT_TRUE(controller->Send(kStep3));
    ASSERT_TRUE(WaitUntil([&] { return Record(3).Status == 1; }));
    ASSERT_EQ(List().ListCount(), 1);
    EXPECT_EQ(List().Cell(0, 0), QStringLiteral("3"));
    EXPECT_FALSE(List().Expanded(0));
    const Channel& c3 = Record(3);
    EXPECT_EQ(c3, (Channel{.SegmentDistribution = 3208,
                           .SegmentLength = 4,
                           .DataType = 1,
                           .DataLength = 16,
                           .Status = 1,
                           .BoxColor = main().ColorMap[3],
                           .Rate = c3.Rate,  // the rates have tests of their own
                           .RowID = -1,      // set by the list's next row-ID rebuild, not here
                           .Bandwidth = c3.Bandwidth,
                           .Editable = 7}));
    EXPECT_EQ(Record(5).Status, 0);
    EXPECT_EQ(Record(5).SegmentLength, 0);
    EXPECT_EQ(Record(5).RowID, -1);

    // 4: a message band and error marks in one batch.
    ASSERT_TRUE(controller->Send(kStep4));
    ASSERT_TRUE(WaitUntil([&] { return main().ErrorLength == 2; }));
    EXPECT_EQ(main().MessageStart, 0);
    EXPECT_EQ(main().MessageLength, 6);
    EXPECT_EQ(main().MessageType, 1);
    EXPECT_EQ(main().ErrorStart, 100);
    EXPECT_EQ(main().SyncError, 0);
    const QImage marked = GrabMap();

    // 5: the marks are reset, but the map still shows them.
    ASSERT_TRUE(controller->Send(kStep5));
    ASSERT_TRUE(WaitUntil([&] { return main().SuperframeID == 2; }));
    EXPECT_EQ(main().ErrorLength, 0);
    EXPECT_EQ(main().ErrorStart, 0);
    EXPECT_EQ(main().SyncError, 0);
    EXPECT_EQ(main().MessageStart, 0);
    EXPECT_EQ(main().MessageLength, -1);
    EXPECT_EQ(main().MessageType, 0);
    EXPECT_EQ(GrabMap(), marked);

    // 6: the release of a drag of channel 3 to offset 9 writes two notifications.
    Record(3).SegmentDistribution = Module1::CalculateSegmentDistribution(9, 128);
    ASSERT_EQ(Record(3).SegmentDistribution, 3209);
    main().IPCSocket1()->Write("SetEventID:" + CStr(Record(3).Editable).toLatin1() + "*");
    main().IPCSocket1()->Write("SetChannelSD:3," + CStr(Record(3).SegmentDistribution).toLatin1() +
                               "*");
    EXPECT_EQ(controller->ReadCommands(2), QByteArray("SetEventID:7*SetChannelSD:3,3209*"));

    // 7: the controller goes; the window is the user's again.
    order.names.clear();
    controller->Disconnect();
    ASSERT_TRUE(WaitUntil([&] { return main().Title() == kLocalTitle; }));
    EXPECT_EQ(EnabledStates(), std::vector<bool>(7, true));
    EXPECT_EQ(order.names, kUserControlNames);
    EXPECT_FALSE(main().IPCSocket1()->IsConnected());
    EXPECT_EQ(main().MessageLength, -1);
    EXPECT_EQ(main().ErrorLength, 0);
    // The controller's channel stays, with its event id.
    ASSERT_EQ(List().ListCount(), 1);
    EXPECT_EQ(Record(3).Editable, 7);

    // Listening again: the next controller is served.
    auto next = Connect();
    EXPECT_EQ(main().Title(), kRemoteTitle);
}

TEST_F(RemoteControlTest, WorkedExchangeOnTheMap) {
    ASSERT_TRUE(MapIsDrawn()) << "needs the map painters and the bus settings";
    auto controller = Connect();
    ASSERT_TRUE(controller->Send(kStep2));
    ASSERT_TRUE(controller->Send(kStep3));
    ASSERT_TRUE(WaitUntil([&] { return List().ListCount() == 1; }));

    // Channel 3: 48 kHz with segments of 4 slots from slot 8, every 128 slots.
    EXPECT_EQ(List().Cell(0, 2), QStringLiteral("48kHz"));
    EXPECT_EQ(List().Cell(0, 3), QStringLiteral("768kbps"));
    QImage map = GrabMap();
    const Color colour = main().ColorMap[3];
    for (int segment = 0; segment < 12; ++segment) {
        for (int k = 0; k < 4; ++k) {
            const int slot = 8 + 128 * segment + k;
            EXPECT_EQ(SlotPixel(map, slot), colour) << "slot " << slot;
            EXPECT_EQ(Module1::SuperFrameSlot[size_t(slot)], 3) << "slot " << slot;
        }
        EXPECT_EQ(SlotPixel(map, 12 + 128 * segment), kDataSpace);
    }

    ASSERT_TRUE(controller->Send(kStep4));
    ASSERT_TRUE(WaitUntil([&] { return main().ErrorLength == 2; }));
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
    ASSERT_TRUE(WaitUntil([&] { return main().SuperframeID == 2; }));
    EXPECT_EQ(SlotPixel(GrabMap(), 100), kErrorRed);

    // The controller goes: the error marks leave the map, the band stays.
    controller->Disconnect();
    ASSERT_TRUE(WaitUntil([&] { return main().Title() == kLocalTitle; }));
    map = GrabMap();
    for (int slot : {100, 101, 102}) EXPECT_EQ(SlotPixel(map, slot), kDataSpace) << slot;
    EXPECT_EQ(PixelColor(map, 7 * 32 + 2, 9), kBandType1);
    EXPECT_EQ(SlotPixel(map, 8), colour);
}

TEST_F(RemoteControlTest, AFirstBatchOfChannelsShowsTheControlSpace) {
    ASSERT_TRUE(MapIsDrawn()) << "needs the map painters and the bus settings";
    auto controller = Connect();
    ASSERT_TRUE(controller->Send("AddChannel:3,4,3208,0,0,0,0,1,0,16,7*"));
    ASSERT_TRUE(WaitUntil([&] { return List().ListCount() == 1; }));
    const QImage map = GrabMap();
    ExpectOpeningControlSpace(map, 20);
    EXPECT_EQ(SlotPixel(map, 8), main().ColorMap[3]);
    EXPECT_EQ(SlotPixel(map, 32), kMessageGreen);
}

TEST_F(RemoteControlTest, CommandsWaitForTheirStarAcrossReads) {
    auto controller = Connect();

    // Nothing without the "*"; the "*" of the next write completes it.
    controller->SendAndSettle("SetSuperframeID:5");
    EXPECT_EQ(main().SuperframeID, 0);
    ASSERT_TRUE(controller->Send("*"));
    ASSERT_TRUE(WaitUntil([&] { return main().SuperframeID == 5; }));

    // A command cut in two is executed once, as sent.
    controller->SendAndSettle("AddChannel:3,4,32");
    EXPECT_EQ(List().ListCount(), 0);
    ASSERT_TRUE(controller->Send("08,0,0,0,0,1,0,16,7*"));
    ASSERT_TRUE(WaitUntil([&] { return List().ListCount() == 1; }));
    EXPECT_EQ(Record(3).SegmentDistribution, 3208);
    EXPECT_EQ(Record(3).Editable, 7);
    QTest::qWait(50);
    EXPECT_EQ(List().ListCount(), 1);

    // The read that completes a command is its batch, and resets the marks.
    ASSERT_TRUE(controller->Send("DisplayError:100,2*DisplayMes"));
    ASSERT_TRUE(WaitUntil([&] { return main().ErrorLength == 2; }));
    ASSERT_TRUE(controller->Send("sage:0,6,1*"));
    ASSERT_TRUE(WaitUntil([&] { return main().MessageLength == 6; }));
    EXPECT_EQ(main().ErrorLength, 0);
    EXPECT_EQ(main().MessageType, 1);

    // What a controller sends just before it goes is still executed.
    ASSERT_TRUE(controller->Send("SetSuperframeID:4*"));
    controller->Disconnect();
    ASSERT_TRUE(WaitUntil([&] { return main().Title() == kLocalTitle; }));
    EXPECT_EQ(main().SuperframeID, 4);
}

TEST_F(RemoteControlTest, WritesEndingInNulAllRun) {
    // A C controller writes each command with its string's closing NUL.
    auto controller = Connect();
    auto nulTerminated = [](const QByteArray& command) { return command + QByteArray(1, '\0'); };
    ASSERT_TRUE(controller->Send(nulTerminated("SetSuperframeID:3*")));
    ASSERT_TRUE(WaitUntil([&] { return main().SuperframeID == 3; }));
    ASSERT_TRUE(controller->Send(nulTerminated("AddChannel:5,4,3208,0,0,0,0,1,0,16,7*")));
    ASSERT_TRUE(WaitUntil([&] { return List().ListCount() == 1; }));
    EXPECT_EQ(List().Cell(0, 0), QStringLiteral("5"));
    EXPECT_EQ(Record(5).Editable, 7);
    ASSERT_TRUE(controller->Send(nulTerminated("DisplayError:100,2*")));
    ASSERT_TRUE(WaitUntil([&] { return main().ErrorLength == 2; }));
    EXPECT_EQ(main().ErrorStart, 100);
    ASSERT_TRUE(controller->Send(nulTerminated("SetSuperframeID:4*")));
    ASSERT_TRUE(WaitUntil([&] { return main().SuperframeID == 4; }));
}

TEST_F(RemoteControlTest, JunkAfterTheLastStarDoesNotStopTheNextCommand) {
    auto controller = Connect();
    const QByteArray junk[] = {"junk", "\r\n!", "AddChannelX", "SetClockGear:1;", "Dis:"};
    int id = 0;
    for (const QByteArray& tail : junk) {
        SCOPED_TRACE(tail.toStdString());
        ASSERT_TRUE(controller->Send("SetSuperframeID:" + QByteArray::number(++id) + "*" + tail));
        ASSERT_TRUE(WaitUntil([&] { return main().SuperframeID == id; }));
        ASSERT_TRUE(
            controller->Send("AddChannel:" + QByteArray::number(id) + ",4,3208,0,0,0,0,1,0,16,7*"));
        ASSERT_TRUE(WaitUntil([&] { return List().ListCount() == id; }));
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
    ASSERT_TRUE(WaitUntil([&] { return List().ListCount() == 1; }));
    EXPECT_EQ(List().Cell(0, 0), QStringLiteral("9"));
    EXPECT_EQ(Record(9).SegmentDistribution, 3208);
    EXPECT_EQ(Record(9).Editable, -7);

    // A sentinel proves the window read on; the channel is still listed once.
    ASSERT_TRUE(controller->Send("SetSuperframeID:8*"));
    ASSERT_TRUE(WaitUntil([&] { return main().SuperframeID == 8; }));
    EXPECT_EQ(List().ListCount(), 1);
}

TEST_F(RemoteControlTest, BlanksAndMissingValues) {
    auto controller = Connect();
    ASSERT_TRUE(controller->Send("  DisplayError :  100,2  *"));
    ASSERT_TRUE(WaitUntil([&] { return main().ErrorLength == 2; }));
    EXPECT_EQ(main().ErrorStart, 100);

    ASSERT_TRUE(controller->Send("DisplayMessage:7*"));
    ASSERT_TRUE(WaitUntil([&] { return main().MessageStart == 7; }));
    EXPECT_EQ(main().MessageLength, 0);
    EXPECT_EQ(main().MessageType, 0);
    EXPECT_EQ(main().ErrorLength, 0);
}

TEST_F(RemoteControlTest, ClearAllChannelsKeepsTheMarksOfItsBatch) {
    auto controller = Connect();
    ASSERT_TRUE(controller->Send("AddChannel:3,4,3208,0,0,0,0,1,0,16,7*"));
    ASSERT_TRUE(WaitUntil([&] { return List().ListCount() == 1; }));
    const Color colour = Record(3).BoxColor;

    ASSERT_TRUE(controller->Send("DisplayError:100,2*ClearAllChannels:*"));
    ASSERT_TRUE(WaitUntil([&] { return List().ListCount() == 0; }));
    EXPECT_EQ(main().ErrorStart, 100);
    EXPECT_EQ(main().ErrorLength, 2);
    // Freed, but with its colour and event id.
    EXPECT_EQ(Record(3).Status, 0);
    EXPECT_EQ(Record(3).SegmentDistribution, 0);
    EXPECT_EQ(Record(3).RowID, -1);
    EXPECT_EQ(Record(3).BoxColor, colour);
    EXPECT_EQ(Record(3).Editable, 7);

    ASSERT_TRUE(MapIsDrawn()) << "the map checks need the map painters";
    const QImage map = GrabMap();
    EXPECT_EQ(SlotPixel(map, 100), kErrorRed);
    EXPECT_EQ(SlotPixel(map, 8), kDataSpace);
}

TEST_F(RemoteControlTest, SuperframeIdAloneResetsTheMarksButNotTheMap) {
    auto controller = Connect();
    ASSERT_TRUE(controller->Send("DisplayError:100,2*DisplaySyncError:3*"));
    ASSERT_TRUE(WaitUntil([&] { return main().SyncError == 3; }));
    const QImage marked = GrabMap();

    ASSERT_TRUE(controller->Send("SetSuperframeID:9*"));
    ASSERT_TRUE(WaitUntil([&] { return main().SuperframeID == 9; }));
    EXPECT_EQ(main().SyncError, 0);
    EXPECT_EQ(main().ErrorLength, 0);
    EXPECT_EQ(main().MessageLength, -1);
    EXPECT_EQ(GrabMap(), marked);
    EXPECT_EQ(SlotPixel(marked, 192, 1, 1), kErrorRed);  // frame 1's first slot
    EXPECT_EQ(SlotPixel(marked, 101), kErrorRed);
}

TEST_F(RemoteControlTest, AddChannelTwiceListsTwoRows) {
    auto controller = Connect();
    const int32_t secondCode = Module1::CalculateSegmentDistribution(16, 128);
    ASSERT_TRUE(controller->Send("AddChannel:3,4,3208,0,0,0,0,1,0,16,7*AddChannel:3,2," +
                                 QByteArray::number(secondCode) + ",1,1,1,1,0,1,8,9*"));
    ASSERT_TRUE(WaitUntil([&] { return List().ListCount() == 2; }));
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

    ASSERT_TRUE(MapIsDrawn()) << "the slot map checks need the map painters";
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
        "SetSubFrameMode:19", "SetClockGear:10", "SetRootFrequency:1",
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
        for (int id = 0; id < 256; ++id) s.figures.emplace_back(Record(id).Rate, Record(id).Bandwidth);
        s.map = GrabMap();
        return s;
    };

    main().ExecNetworkCommand(commands.join(u'*') + u'*');
    const Shown batch = shown();

    Main::Destroy();
    Module1::ResetForTests();
    for (const QString& command : commands) main().ExecNetworkCommand(command + u'*');
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
    main().SubFrameModePopup()->SetListIndex(19);
    main().ClockGearPopup()->SetListIndex(10);
    main().RootFrequencyPopup()->SetListIndex(1);
    const int32_t controlSize = Module1::iControlSize;
    const int32_t clockGear = Module1::iClockGear;
    const int32_t rootFrequency = Module1::iRootFrequency;

    ASSERT_TRUE(controller->Send(
        "AddChannel:256,4,3208,0,0,0,0,1,0,16,7*AddChannel:-1,4,3208*"
        "AddChannel:2147483647,4*AddChannel:-2147483648,4*AddChannel:99999999999,1*"
        "SetSubFrameMode:32*SetSubFrameMode:-1*SetClockGear:16*SetClockGear:-1*"
        "SetRootFrequency:2147483647*SetRootFrequency:-2147483648*SetSuperframeID:1*"));
    ASSERT_TRUE(WaitUntil([&] { return main().SuperframeID == 1; }));
    EXPECT_EQ(List().ListCount(), 0);
    for (int id = 0; id < 256; ++id) {
        EXPECT_EQ(Record(id).Status, 0) << id;
        EXPECT_EQ(Record(id).Editable, 0) << id;
    }
    EXPECT_EQ(main().SubFrameModePopup()->ListIndex(), 19);
    EXPECT_EQ(main().ClockGearPopup()->ListIndex(), 10);
    EXPECT_EQ(main().RootFrequencyPopup()->ListIndex(), 1);
    EXPECT_EQ(Module1::iControlSize, controlSize);
    EXPECT_EQ(Module1::iClockGear, clockGear);
    EXPECT_EQ(Module1::iRootFrequency, rootFrequency);

    // More than 21 values: the first eleven make the channel, the rest is ignored.
    QByteArray many = "AddChannel:4,4,3208,0,0,0,0,1,0,16,5";
    for (int i = 0; i < 30; ++i) many += ",777";
    ASSERT_TRUE(controller->Send(many + "*"));
    ASSERT_TRUE(WaitUntil([&] { return List().ListCount() == 1; }));
    EXPECT_EQ(Record(4).Editable, 5);
    EXPECT_EQ(Record(4).DataLength, 16);
}

// Numbers beyond the double range saturate like any huge number: rows no
// pop-up has, so nothing changes.
TEST_F(RemoteControlTest, NumbersBeyondTheDoubleRangeSelectNoRow) {
    auto controller = Connect();
    main().SubFrameModePopup()->SetListIndex(19);
    main().ClockGearPopup()->SetListIndex(10);
    main().RootFrequencyPopup()->SetListIndex(1);
    const int32_t clockGear = Module1::iClockGear;
    const int32_t subFrameLength = Module1::iSubFrameLength;

    ASSERT_TRUE(controller->Send(
        "SetClockGear:1e300*SetClockGear:1e400*SetClockGear:-1e400*SetClockGear:1e400,5*"
        "SetSubFrameMode:1e400*SetSubFrameMode:-1e999*SetRootFrequency:1e400*"
        "AddChannel:1e400,4,3208,0,0,0,0,1,0,16,7*AddChannel:-1e400,4,3208*"
        "SetSuperframeID:21*"));
    ASSERT_TRUE(WaitUntil([&] { return main().SuperframeID == 21; }));
    EXPECT_EQ(main().ClockGearPopup()->ListIndex(), 10);
    EXPECT_EQ(main().SubFrameModePopup()->ListIndex(), 19);
    EXPECT_EQ(main().RootFrequencyPopup()->ListIndex(), 1);
    EXPECT_EQ(Module1::iClockGear, clockGear);
    EXPECT_EQ(Module1::iSubFrameLength, subFrameLength);
    EXPECT_EQ(List().ListCount(), 0);

    // A value beyond the range in the other fields is stored saturated.
    ASSERT_TRUE(
        controller->Send("AddChannel:4,1e400,3208,0,0,0,0,1,0,-1e400,9*SetSuperframeID:22*"));
    ASSERT_TRUE(WaitUntil([&] { return main().SuperframeID == 22; }));
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
    ASSERT_TRUE(WaitUntil([&] { return main().SuperframeID == 11; }, 60000));

    QByteArray many;
    for (int i = 1; i <= 10000; ++i) {
        many += (i % 1000 == 0)
                    ? QByteArray("DisplaySyncError:") + QByteArray::number(i / 1000) + "*"
                    : QByteArray("SetSuperframeID:") + QByteArray::number(i) + "*";
    }
    ASSERT_TRUE(controller->Send(many));
    ASSERT_TRUE(WaitUntil([&] { return main().SuperframeID == 9999; }, 60000));

    // Values at the 32-bit limits, stored as received where the model takes them.
    ASSERT_TRUE(controller->Send(
        "AddChannel:5,2147483647,3208,2147483647,1,2147483647,-2147483648,1,0,2147483647,1*"
        "AddChannel:6,4,2147483647,1,1,31,0,0,0,0,2*"
        "AddChannel:7,-2147483648,-2147483648,3,0,0,0,0,0,0,3*"
        "DisplayMessage:2147483647,2147483647,1*DisplayMessage:-2147483648,2147483647,0*"
        "DisplayError:2147483647,2147483647*DisplayError:-2147483648,2147483647*"
        "DisplayError:1500,2147483647*DisplaySyncError:2147483647*DisplaySyncError:-2147483648*"
        "SetSuperframeID:12*"));
    ASSERT_TRUE(WaitUntil([&] { return main().SuperframeID == 12; }, 60000));
    EXPECT_EQ(List().ListCount(), 3);
    EXPECT_EQ(Record(5).SegmentLength, kMax);
    EXPECT_EQ(Record(6).SegmentDistribution, kMax);
    EXPECT_EQ(Record(7).SegmentLength, kMin);
    EXPECT_EQ(main().SyncError, kMin);

    // Still in charge of the window, and it is the user's again afterwards.
    EXPECT_EQ(main().Title(), kRemoteTitle);
    controller->Disconnect();
    ASSERT_TRUE(WaitUntil([&] { return main().Title() == kLocalTitle; }, 60000));
    EXPECT_EQ(EnabledStates(), std::vector<bool>(7, true));
}

TEST_F(RemoteControlTest, NotificationsLeaveAsTwoWritesInOrder) {
    auto controller = Connect();
    // Each write leaves at once: the controller reads it without the window's
    // event loop running in between.
    main().IPCSocket1()->Write("SetEventID:7*");
    EXPECT_EQ(controller->ReadWithoutEventLoop(), QByteArray("SetEventID:7*"));
    main().IPCSocket1()->Write("SetChannelSD:3,3209*");
    EXPECT_EQ(controller->ReadWithoutEventLoop(), QByteArray("SetChannelSD:3,3209*"));

    // Writing to a controller that has just gone is no fault either: the
    // window learns of it once the writer is done.
    controller->Disconnect();
    main().IPCSocket1()->Write("SetEventID:7*");
    main().IPCSocket1()->Write("SetChannelSD:3,3209*");
    EXPECT_EQ(main().Title(), kRemoteTitle);
    ASSERT_TRUE(WaitUntil([&] { return main().Title() == kLocalTitle; }));
    main().IPCSocket1()->Write("SetEventID:7*");
    auto next = Connect();
    EXPECT_TRUE(main().IPCSocket1()->IsConnected());
}

TEST_F(RemoteControlTest, DragOfTheControllersChannelIsReported) {
    ASSERT_TRUE(MapIsDrawn()) << "needs the map painters and the canvas handlers";
    auto controller = Connect();
    ASSERT_TRUE(controller->Send(kStep3));
    ASSERT_TRUE(WaitUntil([&] { return List().ListCount() == 1; }));

    // Press on slot 9 (channel 3's first segment covers 8 to 11), drag to slot 9.
    Canvas* canvas = main().DrawZone();
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
    ASSERT_TRUE(WaitUntil([&] { return !second.Connected(); }));

    ASSERT_TRUE(first->Send("SetSuperframeID:5*"));
    ASSERT_TRUE(WaitUntil([&] { return main().SuperframeID == 5; }));
    QTest::qWait(50);
    EXPECT_EQ(main().SuperframeID, 5);
    EXPECT_EQ(main().Title(), kRemoteTitle);
    EXPECT_TRUE(main().IPCSocket1()->IsConnected());
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

class SocketPathTest : public RemoteControlTest {
  protected:
    // Builds a fresh window whose socket uses `path`; returns the lines it
    // wrote to standard error meanwhile, without the offscreen platform's notes.
    QStringList OpenWindowOn(const QString& path) {
        Main::Destroy();
        IPCSocket::SetPathRedirect([path](const QString&) { return path; });
        testing::internal::CaptureStderr();
        Main::Instance();
        const QString text = QString::fromStdString(testing::internal::GetCapturedStderr());
        QStringList lines = text.split(u'\n', Qt::SkipEmptyParts);
        lines.removeIf(
            [](const QString& line) { return line.contains("plugin does not support"); });
        return lines;
    }
    QTemporaryDir folder_;
};

TEST_F(SocketPathTest, StaleSocketFileIsReplaced) {
    const QString path = folder_.filePath(QStringLiteral("stale"));
    LeaveStaleSocketFile(path);
    ASSERT_TRUE(QFile::exists(path));
    EXPECT_EQ(OpenWindowOn(path), QStringList());
    EXPECT_EQ(main().IPCSocket1()->ListeningPath(), path);
    Controller controller(path);
    EXPECT_TRUE(WaitUntil([&] { return main().Title() == kRemoteTitle; }));
}

TEST_F(SocketPathTest, PathThatIsNotASocketIsLeftAlone) {
    const QString path = folder_.filePath(QStringLiteral("notes"));
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("keep me");
    }
    const QStringList warning = OpenWindowOn(path);
    ASSERT_EQ(warning.size(), 1) << warning.join(u'\n').toStdString();
    EXPECT_TRUE(warning[0].contains(path)) << warning[0].toStdString();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("keep me"));
    EXPECT_TRUE(main().IPCSocket1()->ListeningPath().isEmpty());

    // The program runs on without remote control.
    EXPECT_EQ(main().Title(), kLocalTitle);
    EXPECT_TRUE(main().AddChannelButton()->Enabled());
    Main::Destroy();
    EXPECT_TRUE(QFile::exists(path));
}

TEST_F(SocketPathTest, PathAnotherProgramListensOnIsLeftAlone) {
    const QString path = folder_.filePath(QStringLiteral("taken"));
    QLocalServer other;
    ASSERT_TRUE(other.listen(path));
    const QStringList warning = OpenWindowOn(path);
    ASSERT_EQ(warning.size(), 1) << warning.join(u'\n').toStdString();
    EXPECT_TRUE(warning[0].contains(path)) << warning[0].toStdString();
    EXPECT_TRUE(main().IPCSocket1()->ListeningPath().isEmpty());
    QTest::qWait(20);
    while (other.hasPendingConnections()) delete other.nextPendingConnection();

    // The other program still gets its connections; the window is not involved.
    Controller controller(path);
    EXPECT_TRUE(WaitUntil([&] { return other.hasPendingConnections(); }));
    QTest::qWait(50);
    EXPECT_EQ(main().Title(), kLocalTitle);
    Main::Destroy();
    EXPECT_TRUE(QFile::exists(path));
}
// While a controller is connected, someone replaces the socket file: the
// controller's leaving and the window's end leave the newcomer in place.
TEST_F(SocketPathTest, WhatTookThePathWhileConnectedSurvives) {
    const QString path = folder_.filePath(QStringLiteral("remote"));
    for (const bool listener : {false, true}) {
        SCOPED_TRACE(listener ? "another program's socket" : "a regular file");
        ASSERT_EQ(OpenWindowOn(path), QStringList());
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
        testing::internal::CaptureStderr();
        controller->Disconnect();
        ASSERT_TRUE(WaitUntil([&] { return main().Title() == kLocalTitle; }));
        const std::string warning = testing::internal::GetCapturedStderr();
        EXPECT_TRUE(QString::fromStdString(warning).contains(path)) << warning;
        EXPECT_TRUE(main().IPCSocket1()->ListeningPath().isEmpty());
        Main::Destroy();

        if (listener) {
            Controller client(path);
            EXPECT_TRUE(client.Connected());
            EXPECT_TRUE(WaitUntil([&] { return other.hasPendingConnections(); }));
            other.close();  // removes its own socket file
        } else {
            QFile file(path);
            ASSERT_TRUE(file.open(QIODevice::ReadOnly));
            EXPECT_EQ(file.readAll(), QByteArray("keep me"));
            ASSERT_TRUE(QFile::remove(path));
        }
    }
}

// Listening again after a controller leaves places a new socket file, and
// that one is the file the window takes away at its end.
TEST_F(SocketPathTest, ListeningAgainKnowsItsNewSocketFile) {
    const QString path = folder_.filePath(QStringLiteral("remote"));
    ASSERT_EQ(OpenWindowOn(path), QStringList());
    struct stat first {};
    ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &first), 0);
    Connect(path)->Disconnect();
    ASSERT_TRUE(WaitUntil([&] { return main().Title() == kLocalTitle; }));
    struct stat again {};
    ASSERT_EQ(::lstat(QFile::encodeName(path).constData(), &again), 0);
    EXPECT_TRUE(S_ISSOCK(again.st_mode));
    EXPECT_EQ(again.st_mode & 0777, 0600u);
    Connect(path)->Disconnect();
    ASSERT_TRUE(WaitUntil([&] { return main().Title() == kLocalTitle; }));
    Main::Destroy();
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_TRUE(
        QDir(folder_.path()).isEmpty(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot));
}
}  // namespace
