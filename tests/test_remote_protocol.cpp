// The remote command parser, without a window.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <limits>
#include <ostream>
#include <vector>

#include "RemoteProtocol.h"

using namespace RemoteProtocol;

namespace {
constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kMin = std::numeric_limits<int32_t>::min();

RemoteCommand Command(RemoteKeyword keyword, std::initializer_list<int32_t> values = {}) {
    RemoteCommand command;
    command.Keyword = keyword;
    size_t i = 0;
    for (int32_t value : values) command.Values[i++] = value;
    return command;
}

}  // namespace

namespace RemoteProtocol {
void PrintTo(const RemoteCommand& command, std::ostream* os) {
    *os << "{keyword " << static_cast<int>(command.Keyword) << ":";
    for (int32_t value : command.Values) *os << " " << value;
    *os << "}";
}
}  // namespace RemoteProtocol

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
        // NUL and the other control characters count as blanks too.
        {"\x01"
         "DisplayError\x7f:\x1f"
         "100,2\x9f*",
         {Command(K::DisplayError, {100, 2})}},
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
        // Values: Val, then the double to int32_t conversion (ToInt32).
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

// A C controller writes each command with its string's closing NUL; several
// of them arrive in one read, each NUL before the next keyword.
TEST(RemoteProtocol, NulsBetweenCommandsAreBlanks) {
    const QByteArray nul(1, '\0');
    const QByteArray batch = "ClearAllChannels:*" + nul + "AddChannel:5,4,3210,0,0,0,0,1,0,16,5*" +
                             nul + "AddChannel:6,4,3212,0,0,0,0,1,0,16,6*" + nul + nul +
                             "\r\nDisplayError:100,2*" + nul;
    QByteArray pending;
    const QByteArray taken = TakeRemoteBatch(pending, batch);
    EXPECT_EQ(
        ParseRemoteBatch(RemoteBatchText(taken)),
        std::vector<RemoteCommand>({Command(K::ClearAllChannels),
                                    Command(K::AddChannel, {5, 4, 3210, 0, 0, 0, 0, 1, 0, 16, 5}),
                                    Command(K::AddChannel, {6, 4, 3212, 0, 0, 0, 0, 1, 0, 16, 6}),
                                    Command(K::DisplayError, {100, 2})}));
    // The NUL that ends the read may stand before the next read's keyword.
    const QByteArray next = TakeRemoteBatch(pending, "SetSuperframeID:7*");
    EXPECT_EQ(ParseRemoteBatch(RemoteBatchText(next)),
              std::vector<RemoteCommand>({Command(K::SetSuperframeID, {7})}));
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
        {"", "SetClockGear:3*junk", "SetClockGear:3*", ""},
        {"Dis", "pose", "", ""},
        {"DisplayError:1", "00,x", "", ""},
        {"DisplayError:1", "00, 2", "", "DisplayError:100, 2"},
        {"", "*\r\n", "*", "\r\n"},                    // blanks may still lead a keyword
        {"", "AddChannel:5*@", "AddChannel:5*", "@"},  // a NUL is a blank
        {"@", "AddChannel:5*", "@AddChannel:5*", ""},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(std::string(c.pending) + "|" + c.received);
        // "@" stands for a NUL byte.
        auto bytes = [](const char* text) { return QByteArray(text).replace('@', '\0'); };
        QByteArray pending = bytes(c.pending);
        EXPECT_EQ(TakeRemoteBatch(pending, bytes(c.received)), bytes(c.batch));
        EXPECT_EQ(pending, bytes(c.pendingAfter));
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
        {QByteArray(1, '\0'), true},  // control characters are blanks
        {QByteArray("\0\x01"
                    "Add",
                    5),
         true},
        {QByteArray("AddChannel:1", 12) + QByteArray(1, '\0'), true},
        {QByteArray("Add\0C", 5), false},
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
}  // namespace
