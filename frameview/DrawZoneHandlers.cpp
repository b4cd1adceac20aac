#include "Main.h"

void Main::DrawZone_MouseMove(int32_t, int32_t) {}
bool Main::DrawZone_MouseDown(int32_t, int32_t) { return false; }
void Main::DrawZone_MouseDrag(int32_t, int32_t) {}
void Main::DrawZone_MouseUp(int32_t, int32_t) {}
void Main::DrawZone_Paint(::Graphics&) {}
