#include "Program.h"

#include <QApplication>

#include "App.h"
#include "Main.h"
#include "MenuBar1.h"
#include "ProcessSetup.h"

namespace {
// No signal may find the process without its handling, not even while the
// runtime starts.
std::unique_ptr<QApplication> StartRuntime(int& argc, char** argv) {
    SetUpProcess();
    return std::make_unique<QApplication>(argc, argv);
}
}  // namespace

Program::Program(int& argc, char** argv) : runtime_(StartRuntime(argc, argv)) {
    QCoreApplication::setApplicationName(kApplicationName);
    App::Instance().SetMenuBar(&MenuBar1::Instance());
}

Program::~Program() {
    Main::Destroy();
    App::Destroy();
    MenuBar1::Destroy();
}

Main& Program::OpenMainWindow() { return Main::Instance(); }

int Program::Run() { return App::Instance().Run(); }
