#pragma once
#include "Application.h"
#include "SingleInstance.h"

// The application object: App::Instance(), which start-up builds first and
// its end destroys (App::Destroy()).
class App : public Application, public SingleInstance<App> {
public:
    void Event_Open();
    void Constructor();

private:
    friend class SingleInstance<App>;
    App();
};
