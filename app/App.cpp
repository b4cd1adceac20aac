#include "App.h"

App::App() {
    MajorVersion = VELTRANE_VERSION_MAJOR;
    MinorVersion = VELTRANE_VERSION_MINOR;
    BugVersion = VELTRANE_VERSION_PATCH;
}
