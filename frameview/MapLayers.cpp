#include "Main.h"

Picture Main::DrawControlSlot(int32_t, int32_t) { return NewPicture(674, 290, 32); }
Picture Main::DrawChannelSlot(const Picture& base) { return base; }
Picture Main::DrawErrorSlot(const Picture& base) { return base; }
Picture Main::DrawMobileSlot(int32_t, int32_t, const Picture& base) { return base; }
