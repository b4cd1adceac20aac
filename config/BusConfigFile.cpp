#include "BusConfiguration.h"
#include "FileDialogs.h"
#include "Listbox.h"
#include "Main.h"
#include "MsgBox.h"
#include "PopupMenu.h"
#include "Text.h"
#include "TextInputStream.h"
#include "TextOutputStream.h"

using BusConfigFormat::BusConfiguration;

namespace {
const QString kFileTypeName = QStringLiteral("Bus Configuration");
const QString kFileExtensions = QStringLiteral("cfg;txt");
const QString kDefaultFileName = QStringLiteral("SBconfig.cfg");
// Every line the format has is a short number or the header; a longer line
// means the file is something else, and reading stops there.
constexpr qint64 kMaxLineBytes = 4096;

FileType BusConfigurationType() { return FileType(kFileTypeName, kFileExtensions); }

void ShowFileError(const QString& failure, const FolderItem& file, const QString& reason) {
    MsgBox(QStringLiteral("Error: %1 \"%2\": %3").arg(failure, file.NativePath(), reason));
}

BusConfiguration Capture(const Main& main) {
    BusConfiguration config;
    config.SubFrameModeRow = main.SubFrameModePopup()->ListIndex();
    config.ClockGearRow = main.ClockGearPopup()->ListIndex();
    config.RootFrequencyRow = main.RootFrequencyPopup()->ListIndex();
    for (int n = 0; n < BusConfigFormat::kChannelCount; ++n)
        if (const Channel* record = main.ChannelRecord(n))
            config.Channels[static_cast<size_t>(n)] = BusConfigFormat::ChannelValues::Of(*record);
    return config;
}

// Reads no more of the file than the format has lines; nullopt (after the
// message) when the file cannot be read or is not a bus configuration.
std::optional<BusConfiguration> Read(const FolderItem& file) {
    QString reason;
    std::unique_ptr<TextInputStream> stream = TextInputStream::Open(file, &reason);
    if (!stream) {
        ShowFileError(QStringLiteral("cannot open"), file, reason);
        return std::nullopt;
    }
    stream->SetMaxLineLength(kMaxLineBytes);
    QStringList lines;
    while (lines.size() < BusConfigFormat::kLineCount && !stream->EndOfFile())
        lines.append(stream->ReadLine());
    if (stream->Failed()) {
        ShowFileError(QStringLiteral("cannot read"), file, stream->ErrorString());
        return std::nullopt;
    }
    stream->Close();

    QString invalid;
    std::optional<BusConfiguration> config = BusConfigFormat::Parse(lines, &invalid);
    if (!config) MsgBox(invalid);
    return config;
}

// Replaces the channel table and the bus rows with the configuration's.
void Apply(Main& main, const BusConfiguration& config) {
    main.ClearChannelTable();

    // Each row runs its pop-up's change handler, which derives the bus
    // parameters; a row the pop-up does not have leaves it as it is.
    main.SubFrameModePopup()->SetListIndex(config.SubFrameModeRow);
    main.ClockGearPopup()->SetListIndex(config.ClockGearRow);
    main.RootFrequencyPopup()->SetListIndex(config.RootFrequencyRow);

    // Rows come in channel ID order; their RowID waits for the list's next BuildRowID.
    for (int n = 0; n < BusConfigFormat::kChannelCount; ++n) {
        const BusConfigFormat::ChannelValues& values = config.Channels[static_cast<size_t>(n)];
        Channel* record = main.ChannelRecord(n);
        if (!record) continue;
        values.StoreIn(*record);
        if (values.Status() != 0) {
            main.ChannelListBox()->AddFolder(Str(n));
            record->BoxColor = main.ColorMap[static_cast<size_t>(n)];
        }
    }
}
}  // namespace

bool Main::_FileSaveBusConfiguration_Action() {
    const FolderItem file = GetSaveFolderItem(BusConfigurationType(), kDefaultFileName);
    if (file.IsNil()) return true;

    QString reason;
    std::unique_ptr<TextOutputStream> stream = TextOutputStream::Create(file, &reason);
    if (!stream) {
        ShowFileError(QStringLiteral("cannot create"), file, reason);
        return true;
    }
    for (const QString& line : BusConfigFormat::Serialize(Capture(*this)))
        if (!stream->WriteLine(line)) break;
    // The old file is replaced only when every line was written.
    if (!stream->Close())
        ShowFileError(QStringLiteral("cannot write"), file, stream->ErrorString());
    return true;
}

bool Main::_FileLoadBusConfiguration_Action() {
    const FolderItem file = GetOpenFolderItem(BusConfigurationType());
    if (!file.IsNil()) {
        // A file that cannot be read, or is no bus configuration, changes nothing.
        const std::optional<BusConfiguration> config = Read(file);
        if (!config) return true;
        Apply(*this, *config);
    }
    // Also after a cancelled dialog the map is rebuilt and leaves the start picture.
    DisplayChannelRate();
    RedrawMap(MapLayer::Control, SlotMap::Rebuild);
    flgStartScreen = 1;
    return true;
}
