#include <QApplication>

#include "App.h"
#include "Main.h"
#include "MenuBar1.h"
#include "ProcessSetup.h"

int main(int argc, char** argv) {
    QApplication runtime(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Veltrane"));
    SetUpProcess();

    int exitCode = 0;
    {
        App app;
        app.SetMenuBar(MenuBar1::Instance());
        Main::Instance();
        exitCode = app.Run();
        Main::Destroy();
    }
    MenuBar1::Release();
    return exitCode;
}
