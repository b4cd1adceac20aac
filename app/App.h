#pragma once
#include "Application.h"
#include "SingleInstance.h"

// The application object: App::Instance(), which start-up builds first and
// its end destroys (App::Destroy()). It carries the program's version.
class App : public Application, public SingleInstance<App> {
private:
    friend class SingleInstance<App>;
    App();  // NOLINT(modernize-use-equals-delete): defined in App.cpp, reached through Instance()
};
