#include "ChannelFigures.h"
#include "ChannelParameters.h"
#include "Listbox.h"
#include "Main.h"
#include "PopupMenu.h"
#include "RemoteProtocol.h"
#include "Text.h"

using namespace RemoteProtocol;

namespace {
// The values of AddChannel, by position in the command: the channel ID, the
// record fields below in this order, then the controller's event id.
constexpr size_t kChannelIdValue = 0;
constexpr std::array<int32_t Channel::*, kChannelParameterCount> kAddChannelFields = {
    &Channel::SegmentLength,   &Channel::SegmentDistribution, &Channel::TransportProtocol,
    &Channel::FrequencyLocked, &Channel::PresenceRate,        &Channel::AuxFormat,
    &Channel::DataType,        &Channel::ChannelLink,         &Channel::DataLength};
constexpr size_t kEventIdValue = kChannelIdValue + 1 + kAddChannelFields.size();
static_assert(kEventIdValue < kRemoteValueCount);

// A row the pop-up does not have changes nothing (and -1, no row, is refused
// too: the bus settings would be left undefined).
void SelectRow(PopupMenu* popup, int32_t row) {
    if (row >= 0 && row < popup->ListCount()) popup->SetListIndex(row);
}

// The list's rate texts during a batch. The first AddChannel of a run of
// commands that leave the bus settings and the list alone writes them all;
// the later ones of the run store only their own channel's figures (which the
// map needs at once), and the texts are written when the run ends. No event
// runs inside a batch, so the window shows what it would if every command
// wrote them all, and a flood of AddChannel walks the list once, not once per
// command.
class ListRates {
public:
    void ChannelAdded(Main& window, Channel& record) {
        if (current_) {
            ChannelFigures::UpdateFigures(record);
            due_ = true;
        } else {
            window.DisplayChannelRate();
            current_ = true;
        }
    }
    // Before a command that reads or changes the bus settings or the list.
    void EndRun(Main& window) {
        if (due_) window.DisplayChannelRate();
        due_ = false;
        current_ = false;
    }

private:
    bool current_ = false;  // every text shows its channel's figures, but for `due_`
    bool due_ = false;      // rows added since the texts were written
};

void AddChannel(Main& window, const std::array<int32_t, kRemoteValueCount>& values,
                ListRates& rates) {
    const int32_t id = values[kChannelIdValue];
    // The pool has IDs 0 to 255 only; any other ID adds no row either.
    Channel* found = window.ChannelRecord(id);
    if (!found) return;
    window.ChannelListBox()->AddFolder(Str(id));
    Channel& record = *found;
    record.Status = 1;
    record.BoxColor = window.ColorMap[static_cast<size_t>(id)];
    for (size_t k = 0; k < kAddChannelFields.size(); ++k)
        record.*kAddChannelFields[k] = values[kChannelIdValue + 1 + k];
    record.Editable = values[kEventIdValue];
    rates.ChannelAdded(window, record);
    // Every layer, on the slot map as it is: the channel's slots are added.
    window.RedrawMap(Main::MapLayer::Control, Main::SlotMap::Keep, Main::MapLayer::Error);
}
}  // namespace

void Main::ExecNetworkCommand(const QString& batch) {
    const std::vector<RemoteCommand> commands = ParseRemoteBatch(batch);

    // Every batch starts without marks; they show only once a command redraws.
    ResetMarks();

    ListRates rates;
    for (const RemoteCommand& command : commands) {
        const auto& v = command.Values;
        switch (command.Keyword) {
            case RemoteKeyword::SetSuperframeID:
                SuperframeID = v[0];
                break;
            case RemoteKeyword::SetSubFrameMode:
                rates.EndRun(*this);
                SelectRow(SubFrameModePopup(), v[0]);
                break;
            case RemoteKeyword::SetClockGear:
                rates.EndRun(*this);
                SelectRow(ClockGearPopup(), v[0]);
                break;
            case RemoteKeyword::SetRootFrequency:
                rates.EndRun(*this);
                SelectRow(RootFrequencyPopup(), v[0]);
                break;
            case RemoteKeyword::DisplayMessage:
                MessageStart = v[0];
                MessageLength = v[1];
                MessageType = v[2];
                RedrawMap(MapLayer::Control, SlotMap::Rebuild, MapLayer::Error);
                break;
            case RemoteKeyword::DisplayError:
                ErrorStart = v[0];
                ErrorLength = v[1];
                RedrawMap(MapLayer::Control, SlotMap::Rebuild, MapLayer::Error);
                break;
            case RemoteKeyword::DisplaySyncError:
                SyncError = v[0];
                RedrawMap(MapLayer::Control, SlotMap::Rebuild, MapLayer::Error);
                break;
            case RemoteKeyword::ClearAllChannels:
                rates.EndRun(*this);
                // Unlike the button, every layer: marks of this batch stay.
                ClearChannelTable();
                RedrawMap(MapLayer::Control, SlotMap::Rebuild, MapLayer::Error);
                break;
            case RemoteKeyword::AddChannel:
                AddChannel(*this, v, rates);
                break;
        }
    }
    rates.EndRun(*this);
}
