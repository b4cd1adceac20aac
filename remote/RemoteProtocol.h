#pragma once
// The controller's text commands: a keyword, ":", decimal values separated by
// "," and a closing "*". Parsing is pure; Main executes the parsed commands.
#include <QByteArray>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

namespace RemoteProtocol {

// The commands the system understands, in the order their keywords are tested.
enum class RemoteKeyword {
    SetSuperframeID,
    SetSubFrameMode,
    SetClockGear,
    SetRootFrequency,
    DisplayMessage,
    DisplayError,
    DisplaySyncError,
    ClearAllChannels,
    AddChannel,
};

// Values one command can carry; further values are ignored.
constexpr int kRemoteValueCount = 21;

struct RemoteCommand {
    RemoteKeyword Keyword = RemoteKeyword::SetSuperframeID;
    // Values in the order sent; a value not sent reads 0.
    std::array<int32_t, kRemoteValueCount> Values{};

    friend bool operator==(const RemoteCommand&, const RemoteCommand&) = default;
};

// The commands of one batch, in order: every "*"-terminated command whose
// keyword is known. Unknown keywords, empty commands and the text after the
// last "*" are left out.
std::vector<RemoteCommand> ParseRemoteBatch(const QString& batch);

// The most text kept from one read for the next while it holds no "*".
constexpr qsizetype kMaxPendingRemoteBytes = qsizetype{64} * 1024;

// Blanks, around a keyword and around a value list, are white space and the
// control characters, NUL among them: what comes between two commands (a C
// controller's closing NUL, a line end) is no part of the next keyword.

// Whether text that has no "*" yet can still become a command once more text
// comes: after leading blanks, the start of a keyword, or a whole keyword
// (blanks may follow it) with ":" and value characters only (digits, signs,
// ".", ",", "e", "E", blanks).
bool CanBecomeRemoteCommand(const QByteArray& text);

// Joins what came in with the text kept from earlier reads and returns the
// batch it completes: everything up to and including its last "*", empty when
// there is none. The text after that "*" is kept in `pending` for the next
// read only while it can still become a command and is at most
// kMaxPendingRemoteBytes long; anything else is dropped at once, so that stray
// bytes (junk) never reach the next read's command.
QByteArray TakeRemoteBatch(QByteArray& pending, const QByteArray& received);

// The batch as text: each byte one character, so no byte is lost or altered.
QString RemoteBatchText(const QByteArray& batch);

}  // namespace RemoteProtocol
