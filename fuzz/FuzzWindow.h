#pragma once
// The one offscreen main window that the fuzz targets and the seed maker
// drive, built once per process, and the cheap reset between inputs.
#include <QString>

class Main;

// Starts the program offscreen (Program.h) and builds the main window on the
// first call: message boxes are swallowed, the file dialogs answer with ChooseFile's path
// and the socket listens in a private folder, never on the product's path.
Main& OpenFuzzWindow();

// Back to a fresh window's bus rows and an empty channel table.
void ResetFuzzWindow(Main& window);

// The file that the following file dialogs choose; empty cancels them.
void ChooseFile(const QString& path);

// A folder of this process for scratch files, removed at exit.
QString ScratchPath(const QString& name);

// How many message boxes were raised since the last reset.
int MessageCount();

// Stops the fuzzer with `what` on standard error: a fault the sanitizers
// cannot see.
[[noreturn]] void Fail(const char* what);

// What holds after any input: the window is the user's, and every channel
// row names a channel of the pool that is in use.
void CheckWindow(Main& window);
