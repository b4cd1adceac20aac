#include "Canvas.h"
#include "Listbox.h"
#include "Main.h"
#include "Module1.h"
#include "PopupMenu.h"
#include "RemoteProtocol.h"
#include "Text.h"

namespace {
constexpr int kChannelIdCount = 256;

// The values of AddChannel, by position in the command.
enum AddChannelValue {
    kChannelId,
    kSegmentLength,
    kSegmentDistribution,
    kTransportProtocol,
    kFrequencyLocked,
    kPresenceRate,
    kAuxFormat,
    kDataType,
    kChannelLink,
    kDataLength,
    kEventId,
};

// All three layers, bottom up, and the top one onto the map; the slot map is
// rebuilt first when the channels' old slots must be forgotten.
void RedrawMap(Main& window, bool rebuildSlotMap) {
    if (rebuildSlotMap) Module1::BuildSlotMap();
    window.ControlSlotBuffer = window.DrawControlSlot(0, 0);
    window.ChannelSlotBuffer = window.DrawChannelSlot(window.ControlSlotBuffer);
    window.ErrorSlotBuffer = window.DrawErrorSlot(window.ChannelSlotBuffer);
    window.DrawZone()->Graphics().DrawPicture(window.ErrorSlotBuffer, 0, 0);
}

// A row the pop-up does not have changes nothing (and -1, no row, is refused
// too: the bus settings would be left undefined).
void SelectRow(PopupMenu* popup, int32_t row) {
    if (row >= 0 && row < popup->ListCount()) popup->SetListIndex(row);
}

void ClearChannels(Main& window) {
    window.ChannelListBox()->DeleteAllRows();
    for (int id = 0; id < kChannelIdCount; ++id) {
        Channel& record = *window.SBChannel[static_cast<size_t>(id)];
        record.Status = 0;
        record.RowID = -1;
        record.SegmentDistribution = 0;
        record.SegmentLength = 0;
        record.TransportProtocol = 0;
        record.FrequencyLocked = 0;
        record.PresenceRate = 0;
        record.AuxFormat = 0;
        record.ChannelLink = 0;
        record.DataType = 0;
        record.DataLength = 0;
        record.Bandwidth = 0.0;
        record.Rate = 0.0;
    }
    RedrawMap(window, true);
}

void AddChannel(Main& window, const std::array<int32_t, kRemoteValueCount>& values) {
    const int32_t id = values[kChannelId];
    // The pool has IDs 0 to 255 only; any other ID adds no row either.
    if (id < 0 || id >= kChannelIdCount) return;
    window.ChannelListBox()->AddFolder(Str(id));
    Channel& record = *window.SBChannel[static_cast<size_t>(id)];
    record.Status = 1;
    record.BoxColor = window.ColorMap[static_cast<size_t>(id)];
    record.SegmentLength = values[kSegmentLength];
    record.SegmentDistribution = values[kSegmentDistribution];
    record.TransportProtocol = values[kTransportProtocol];
    record.FrequencyLocked = values[kFrequencyLocked];
    record.PresenceRate = values[kPresenceRate];
    record.AuxFormat = values[kAuxFormat];
    record.DataType = values[kDataType];
    record.ChannelLink = values[kChannelLink];
    record.DataLength = values[kDataLength];
    record.Editable = values[kEventId];
    window.DisplayChannelRate();
    RedrawMap(window, false);
}
}  // namespace

void Main::ExecNetworkCommand(const QString& batch) {
    const std::vector<RemoteCommand> commands = ParseRemoteBatch(batch);

    // Every batch starts without marks; they show only once a command redraws.
    ErrorLength = 0;
    ErrorStart = 0;
    SyncError = 0;
    MessageStart = 0;
    MessageLength = -1;
    MessageType = 0;

    for (const RemoteCommand& command : commands) {
        const auto& v = command.Values;
        switch (command.Keyword) {
            case RemoteKeyword::SetSuperframeID:
                SuperframeID = v[0];
                break;
            case RemoteKeyword::SetSubFrameMode:
                SelectRow(SubFrameModePopup(), v[0]);
                break;
            case RemoteKeyword::SetClockGear:
                SelectRow(ClockGearPopup(), v[0]);
                break;
            case RemoteKeyword::SetRootFrequency:
                SelectRow(RootFrequencyPopup(), v[0]);
                break;
            case RemoteKeyword::DisplayMessage:
                MessageStart = v[0];
                MessageLength = v[1];
                MessageType = v[2];
                RedrawMap(*this, true);
                break;
            case RemoteKeyword::DisplayError:
                ErrorStart = v[0];
                ErrorLength = v[1];
                RedrawMap(*this, true);
                break;
            case RemoteKeyword::DisplaySyncError:
                SyncError = v[0];
                RedrawMap(*this, true);
                break;
            case RemoteKeyword::ClearAllChannels:
                ClearChannels(*this);
                break;
            case RemoteKeyword::AddChannel:
                AddChannel(*this, v);
                break;
        }
    }
}
