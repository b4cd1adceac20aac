#include "Main.h"

bool Main::ChannelListBox_CellClick(int32_t, int32_t, int32_t, int32_t) { return false; }
void Main::ChannelListBox_CellAction(int32_t, int32_t) {}
bool Main::ChannelListBox_ConstructContextualMenu(MenuItem*, int32_t, int32_t) { return true; }
bool Main::ChannelListBox_ContextualMenuAction(MenuItem*) { return true; }
