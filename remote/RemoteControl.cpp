#include <algorithm>
#include <array>

#include "IPCSocket.h"
#include "Listbox.h"
#include "Main.h"
#include "PopupMenu.h"
#include "PushButton.h"
#include "RemoteProtocol.h"
#include "SDCalc.h"

using namespace RemoteProtocol;

namespace {
// The user's bus and channel controls, which a controller takes over; always
// handled in this order.
std::array<Control*, 7> UserControls(Main& window) {
    return {window.RootFrequencyPopup(), window.ClockGearPopup(),      window.SubFrameModePopup(),
            window.AddChannelButton(),   window.RemoveChannelButton(), window.ClearAllChannels(),
            window.ChannelListBox()};
}
}  // namespace

void Main::ResetMarks() {
    MessageType = 0;
    MessageLength = -1;
    MessageStart = 0;
    ErrorLength = 0;
    ErrorStart = 0;
    SyncError = 0;
}

void Main::IPCSocket1_Connected() {
    pendingRemoteText_.clear();
    remoteControlled_ = true;
    SetTitle(kRemoteTitle);
    for (Control* control : UserControls(*this)) control->SetEnabled(false);
}

void Main::IPCSocket1_DataAvailable() {
    // A command cut between two reads is completed by the next one.
    const QByteArray batch = TakeRemoteBatch(pendingRemoteText_, IPCSocket1()->ReadAll());
    if (batch.isEmpty()) return;
    ExecNetworkCommand(RemoteBatchText(batch));
}

void Main::IPCSocket1_Error() {
    SetTitle(kLocalTitle);
    // The socket keeps its file at the path between controllers, so that no
    // other program can take the path meanwhile; Listen only listens anew
    // when the path was taken from it.
    IPCSocket1()->Disconnect();
    IPCSocket1()->Listen();
    pendingRemoteText_.clear();

    ResetMarks();
    // Only the channel layer: the error marks leave the map at once.
    RedrawMap(MapLayer::Channel, SlotMap::Rebuild);

    // The bus pop-ups stay with the calculator while it is open.
    remoteControlled_ = false;
    const std::array<Control*, 3> busPopups = {RootFrequencyPopup(), ClockGearPopup(),
                                               SubFrameModePopup()};
    const bool calculatorHoldsThePopups = SDCalc::Exists();
    for (Control* control : UserControls(*this)) {
        const bool busPopup =
            std::find(busPopups.begin(), busPopups.end(), control) != busPopups.end();
        if (!busPopup || !calculatorHoldsThePopups) control->SetEnabled(true);
    }
}
