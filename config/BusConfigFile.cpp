#include "Main.h"

bool Main::_FileLoadBusConfiguration_Action() { return true; }
bool Main::_FileSaveBusConfiguration_Action() { return true; }
