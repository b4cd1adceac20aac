// The main of the window tests.
#include "App.h"
#include "MenuBar1.h"
#include "TestSupport.h"

int main(int argc, char** argv) {
    return RunTestsOffscreen(argc, argv, [] {
        // The application object and its menu bar, as start-up makes them.
        App::Instance().SetMenuBar(&MenuBar1::Instance());
        const int result = RUN_ALL_TESTS();
        App::Destroy();
        return result;
    });
}
