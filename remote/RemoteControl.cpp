#include "Main.h"

void Main::IPCSocket1_Connected() {}
void Main::IPCSocket1_Error() {}
void Main::IPCSocket1_DataAvailable() {}
