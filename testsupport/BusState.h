#pragma once

// Back to the program-wide bus state a run starts with: every bus parameter 0
// and every slot map entry 0, as before the first window. Tests, benchmarks
// and fuzz targets call it before they build a fresh main window.
void ResetBusState();
