#include <array>

#include "IPCSocket.h"
#include "Listbox.h"
#include "Main.h"
#include "PushButton.h"
#include "RemoteProtocol.h"

using namespace RemoteProtocol;

namespace {
// The user's channel controls, which a controller takes over after the bus
// pop-ups; always handled in this order.
std::array<Control*, 4> ChannelControls(Main& window) {
    return {window.AddChannelButton(), window.RemoveChannelButton(), window.ClearAllChannels(),
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
    UpdateBusPopups();
    for (Control* control : ChannelControls(*this)) control->SetEnabled(false);
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
    UpdateBusPopups();
    for (Control* control : ChannelControls(*this)) control->SetEnabled(true);
}
