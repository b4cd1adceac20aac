#pragma once
#include "Window.h"

// The segment distribution calculator.
class SDCalc : public Window {
    Q_OBJECT
public:
    static SDCalc& Instance();
    static bool Exists();

private:
    SDCalc() = default;
};
