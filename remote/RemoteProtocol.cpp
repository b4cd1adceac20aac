#include "RemoteProtocol.h"

#include <QStringView>
#include <optional>

#include "Text.h"

namespace RemoteProtocol {

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

// Blanks around a keyword and around a value list: white space, and also NUL
// and the other control characters (a C controller's string ends, line ends)
// that come between commands.
bool IsBlank(QChar c) { return c.isSpace() || c.category() == QChar::Other_Control; }

QStringView TrimBlanks(QStringView text) {
    while (!text.isEmpty() && IsBlank(text.front())) text = text.mid(1);
    while (!text.isEmpty() && IsBlank(text.back())) text.chop(1);
    return text;
}

// Keywords compare regardless of letter case, as the framework's text
// comparison does.
std::optional<RemoteKeyword> FindKeyword(QStringView text) {
    for (const KeywordName& name : kKeywords) {
        if (text.compare(QLatin1String(name.text), Qt::CaseInsensitive) == 0) return name.keyword;
    }
    return std::nullopt;
}

int32_t ValueOf(QStringView text) { return ToInt32(Val(text.toString())); }

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

// What may follow a keyword's ":" in a command that is not complete yet.
bool AreValueCharacters(QStringView text) {
    for (const QChar c : text) {
        const bool value = (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.' ||
                           c == u',' || c == u'e' || c == u'E' || IsBlank(c);
        if (!value) return false;
    }
    return true;
}

std::optional<RemoteCommand> ParseCommand(QStringView command) {
    // A command without ":" is all keyword and no values.
    const qsizetype colon = command.indexOf(u':');
    const QStringView keywordText = colon < 0 ? command : command.left(colon);
    const std::optional<RemoteKeyword> keyword = FindKeyword(TrimBlanks(keywordText));
    if (!keyword) return std::nullopt;
    RemoteCommand parsed;
    parsed.Keyword = *keyword;
    if (colon >= 0) ParseValues(TrimBlanks(command.mid(colon + 1)).toString(), parsed.Values);
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

bool CanBecomeRemoteCommand(const QByteArray& text) {
    // Read as the batch will be, so keywords compare exactly as the parser
    // compares them.
    const QString tail = RemoteBatchText(text);
    QStringView view(tail);
    while (!view.isEmpty() && IsBlank(view.front())) view = view.mid(1);
    if (view.isEmpty()) return true;
    const qsizetype colon = view.indexOf(u':');
    if (colon < 0) {
        for (const KeywordName& name : kKeywords) {
            const QLatin1String keyword(name.text);
            if (keyword.startsWith(view, Qt::CaseInsensitive)) return true;
        }
        // A whole keyword followed by blanks still waits for its ":".
        return FindKeyword(TrimBlanks(view)).has_value();
    }
    return FindKeyword(TrimBlanks(view.left(colon))) && AreValueCharacters(view.mid(colon + 1));
}

QByteArray TakeRemoteBatch(QByteArray& pending, const QByteArray& received) {
    const qsizetype lastStar = received.lastIndexOf('*');
    if (lastStar < 0) {
        // Kept text is a command's start already; once it is past its ":",
        // only the new bytes need a look (a command sent byte by byte stays
        // cheap).
        const bool keep = pending.contains(':') ? AreValueCharacters(RemoteBatchText(received))
                                                : CanBecomeRemoteCommand(pending + received);
        if (keep && pending.size() + received.size() <= kMaxPendingRemoteBytes)
            pending += received;
        else
            pending.clear();
        return {};
    }
    QByteArray batch = pending + received.left(lastStar + 1);
    pending = received.mid(lastStar + 1);
    if (pending.size() > kMaxPendingRemoteBytes || !CanBecomeRemoteCommand(pending))
        pending.clear();
    return batch;
}

QString RemoteBatchText(const QByteArray& batch) { return QString::fromLatin1(batch); }

}  // namespace RemoteProtocol
