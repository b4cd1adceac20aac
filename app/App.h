#pragma once
#include "Application.h"
#include "SingleInstance.h"

// The application object: App::Instance(), which start-up builds first and
// its end destroys (App::Destroy()). It carries the program's version.
class App : public Application, public SingleInstance<App> {
private:
    friend class SingleInstance<App>;
    App();
};
