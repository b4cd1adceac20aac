#include "SDCalc.h"

namespace {
SDCalc* g_calculator = nullptr;
}

SDCalc& SDCalc::Instance() {
    if (!g_calculator || g_calculator->IsClosed()) {
        g_calculator = new SDCalc();
        g_calculator->Construct();
    }
    return *g_calculator;
}

bool SDCalc::Exists() { return g_calculator && !g_calculator->IsClosed(); }
