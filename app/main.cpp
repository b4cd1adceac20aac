#include <QApplication>

#include "App.h"
#include "Main.h"
#include "MenuBar1.h"
#include "ProcessSetup.h"

int main(int argc, char** argv) {
    SetUpProcess();
    QApplication runtime(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Veltrane"));

    App& app = App::Instance();
    app.SetMenuBar(&MenuBar1::Instance());
    Main::Instance();
    const int exitCode = app.Run();
    Main::Destroy();
    App::Destroy();
    MenuBar1::Destroy();
    return exitCode;
}
