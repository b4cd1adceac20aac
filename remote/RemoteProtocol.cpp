#include "RemoteProtocol.h"

#include <QStringView>
#include <optional>

#include "Text.h"

namespace {
struct KeywordName {
    const char* text;
    RemoteKeyword keyword;
};

constexpr KeywordName kKeywords[] = {
    {"SetSuperframeID", RemoteKeyword::SetSuperframeID},
    {"SetSubFrameMode", RemoteKeyword::SetSubFrameMode},
    {"SetClockGear", RemoteKeyword::SetClockGear},
    {"SetRootFrequency", RemoteKeyword::SetRootFrequency},
    {"DisplayMessage", RemoteKeyword::DisplayMessage},
    {"DisplayError", RemoteKeyword::DisplayError},
    {"DisplaySyncError", RemoteKeyword::DisplaySyncError},
    {"ClearAllChannels", RemoteKeyword::ClearAllChannels},
    {"AddChannel", RemoteKeyword::AddChannel},
};

// Keywords compare regardless of letter case, as the framework's text
// comparison does.
std::optional<RemoteKeyword> FindKeyword(const QString& text) {
    for (const KeywordName& name : kKeywords) {
        if (text.compare(QLatin1String(name.text), Qt::CaseInsensitive) == 0) return name.keyword;
    }
    return std::nullopt;
}

int32_t ValueOf(QStringView text) {
    return ToInt32(Val(text.toString()));
}

// Fills the values from a value list: each text before a "," is one value,
// then the text after the last ",". Values past the last entry are not read.
void ParseValues(const QString& list, std::array<int32_t, kRemoteValueCount>& values) {
    const QStringView view(list);
    qsizetype start = 0;
    for (int index = 0; index < kRemoteValueCount; ++index) {
        const qsizetype comma = view.indexOf(u',', start);
        if (comma < 0) {
            values[static_cast<size_t>(index)] = ValueOf(view.mid(start));
            return;
        }
        values[static_cast<size_t>(index)] = ValueOf(view.mid(start, comma - start));
        start = comma + 1;
    }
}

std::optional<RemoteCommand> ParseCommand(QStringView command) {
    // A command without ":" is all keyword and no values.
    const qsizetype colon = command.indexOf(u':');
    const QStringView keywordText = colon < 0 ? command : command.left(colon);
    const std::optional<RemoteKeyword> keyword = FindKeyword(Trim(keywordText.toString()));
    if (!keyword) return std::nullopt;
    RemoteCommand parsed;
    parsed.Keyword = *keyword;
    if (colon >= 0) ParseValues(Trim(command.mid(colon + 1).toString()), parsed.Values);
    return parsed;
}
}  // namespace

std::vector<RemoteCommand> ParseRemoteBatch(const QString& batch) {
    std::vector<RemoteCommand> commands;
    const QStringView view(batch);
    qsizetype start = 0;
    for (;;) {
        const qsizetype star = view.indexOf(u'*', start);
        if (star < 0) break;  // the text after the last "*" is no command
        if (std::optional<RemoteCommand> command = ParseCommand(view.mid(start, star - start)))
            commands.push_back(*command);
        start = star + 1;
    }
    return commands;
}

QByteArray TakeRemoteBatch(QByteArray& pending, const QByteArray& received) {
    const qsizetype lastStar = received.lastIndexOf('*');
    if (lastStar < 0) {
        if (pending.size() + received.size() > kMaxPendingRemoteBytes)
            pending.clear();
        else
            pending += received;
        return {};
    }
    QByteArray batch = pending + received.left(lastStar + 1);
    pending = received.mid(lastStar + 1);
    if (pending.size() > kMaxPendingRemoteBytes) pending.clear();
    return batch;
}

QString RemoteBatchText(const QByteArray& batch) {
    return QString::fromLatin1(batch);
}
