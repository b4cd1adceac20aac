#include "Main.h"

void Main::ExecNetworkCommand(const QString&) {}
