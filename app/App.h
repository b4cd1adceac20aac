#pragma once
#include "Application.h"

// The application object.
class App : public Application {
public:
    App();
    // The registered application object.
    static App* Instance();

    void Event_Open();
    void Constructor();
};
