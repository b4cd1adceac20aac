#pragma once
#include <cstdint>

// The rows of the main window's three bus pop-ups, in the pop-ups' order:
// each row's text and what selecting it sets. The pop-ups list the texts; the
// bus arithmetic reads the values of the row that is selected.

// A root frequency row sets `iRootFrequency` to its frequency.
struct RootFrequencyRow {
    const char* Text;
    int32_t Hz;  // -1: not indicated or reserved
};

inline constexpr RootFrequencyRow kRootFrequencyRows[] = {
    {"0 - Not Indicated", -1},   {"1 - 24.576 MHz", 24576000}, {"2 - 22.5792 MHz", 22579200},
    {"3 - 15.36 MHz", 15360000}, {"4 - 16.8 MHz", 16800000},   {"5 - 19.2 MHz", 19200000},
    {"6 - 24 MHz", 24000000},    {"7 - 25 MHz", 25000000},     {"8 - 26 MHz", 26000000},
    {"9 - 27 MHz", 27000000},    {"10 - Reserved", -1},        {"11 - Reserved", -1},
    {"12 - Reserved", -1},       {"13 - Reserved", -1},        {"14 - Reserved", -1},
    {"15 - Reserved", -1}};

// A clock gear row sets `iClockGear` to its own row; only the usable gears
// give the bus and channel figures.
struct ClockGearRow {
    const char* Text;
    bool Usable;
};

inline constexpr ClockGearRow kClockGearRows[] = {
    {"0 - Not Indicated", false},  {"1 - 25 to 56.25 kHz", true},   {"2 - 50 to 112.5 kHz", true},
    {"3 - 100 to 225 kHz", true},  {"4 - 200 to 450 kHz", true},    {"5 - 400 to 900 kHz", true},
    {"6 - 0.8 to 1.8 MHz", true},  {"7 - 1.6 to 3.6 MHz", true},    {"8 - 3.2 to 7.2 MHz", true},
    {"9 - 6.4 to 14.4 MHz", true}, {"10 - 12.8 to 28.8 MHz", true}, {"11 - Reserved", false},
    {"12 - Reserved", false},      {"13 - Reserved", false},        {"14 - Reserved", false},
    {"15 - Reserved", false}};

// A subframe mode row sets `iControlSize` and `iSubFrameLength` together.
struct SubFrameMode {
    int32_t ControlSize;     // control-space slots at the start of each subframe
    int32_t SubFrameLength;  // slots per subframe
};

// The reserved rows set the pair their text shows.
struct SubFrameModeRow {
    const char* Text;
    SubFrameMode Mode;
};

inline constexpr SubFrameModeRow kSubFrameModeRows[] = {{"0 - 8 / 8", {8, 8}},
                                                        {"1 - 1 / 8 (Reserved)", {1, 8}},
                                                        {"2 - 8 / 8 (Reserved)", {8, 8}},
                                                        {"3 - 1 / 32 (Reserved)", {1, 32}},
                                                        {"4 - 1 / 6", {1, 6}},
                                                        {"5 - 1 / 8", {1, 8}},
                                                        {"6 - 1 / 24", {1, 24}},
                                                        {"7 - 1 / 32", {1, 32}},
                                                        {"8 - 2 / 6", {2, 6}},
                                                        {"9 - 2 / 8", {2, 8}},
                                                        {"10 - 2 / 24", {2, 24}},
                                                        {"11 - 2 / 32", {2, 32}},
                                                        {"12 - 3 / 6", {3, 6}},
                                                        {"13 - 3 / 8", {3, 8}},
                                                        {"14 - 3 / 24", {3, 24}},
                                                        {"15 - 3 / 32", {3, 32}},
                                                        {"16 - 4 / 6", {4, 6}},
                                                        {"17 - 4 / 8", {4, 8}},
                                                        {"18 - 4 / 24", {4, 24}},
                                                        {"19 - 4 / 32", {4, 32}},
                                                        {"20 - 8 / 8 (Reserved)", {8, 8}},
                                                        {"21 - 6 / 8", {6, 8}},
                                                        {"22 - 6 / 24", {6, 24}},
                                                        {"23 - 6 / 32", {6, 32}},
                                                        {"24 - 8 / 24", {8, 24}},
                                                        {"25 - 8 / 32", {8, 32}},
                                                        {"26 - 12 / 24", {12, 24}},
                                                        {"27 - 12 / 32", {12, 32}},
                                                        {"28 - 16 / 24", {16, 24}},
                                                        {"29 - 16 / 32", {16, 32}},
                                                        {"30 - 8 / 8 (Reserved)", {8, 8}},
                                                        {"31 - 24 / 32", {24, 32}}};
