#pragma once
#include "MenuItem.h"

// The application's one menu bar: File, Edit and Help.
class MenuBar1 : public MenuBar {
public:
    // The single instance, built on the first call.
    static MenuBar1* Instance();
    static void Release();

    void Untitled0();  // File
    void Untitled1();  // Edit
    void Untitled2();  // Help

private:
    MenuBar1();
};
