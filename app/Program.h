#pragma once
#include <QString>
#include <memory>

class Main;
class QApplication;

// One run of the program, from the process entry to its exit. The program's
// main, the window tests' main, the benchmarks and the fuzz targets all start
// through it, so each runs under the program's own conditions; they differ
// only in their seams (the platform they choose before, TestSeams after) and
// in what they do with the window.
//
// Starting, in this order: the process set-up (ProcessSetup.h), first of all;
// the framework runtime on the command line, named kApplicationName; the
// application object App with the one menu bar MenuBar1. The end (the
// destructor): the main window, the application object and the menu bar go,
// then the runtime.
class Program {
public:
    // The name message boxes carry as their title.
    static inline const QString kApplicationName = QStringLiteral("Veltrane");

    // The runtime keeps `argc` and `argv`: they must outlive the object.
    Program(int& argc, char** argv);
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The default window: the one main window, built on the first reference.
    static Main& OpenMainWindow();
    // Runs the event loop until the program quits; gives its exit code.
    static int Run();

private:
    std::unique_ptr<QApplication> runtime_;
};
