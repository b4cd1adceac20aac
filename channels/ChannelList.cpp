#include "Main.h"

int32_t Main::GetFreeID() { return 0; }
int32_t Main::GetIDfromRow(int32_t) { return -1; }
void Main::BuildRowID() {}
void Main::UpdateSD() {}
void Main::ChannelListBox_Open() {}
void Main::ChannelListBox_Change() {}
void Main::ChannelListBox_ExpandRow(int32_t) {}
void Main::ChannelListBox_CollapseRow(int32_t) {}
bool Main::ChannelListBox_CellBackgroundPaint(::Graphics&, int32_t, int32_t) { return false; }
void Main::AddChannelButton_Action() {}
void Main::RemoveChannelButton_Action() {}
void Main::ClearAllChannels_Action() {}
