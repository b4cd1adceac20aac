#include "Main.h"

void Main::DisplayChannelRate() {}
