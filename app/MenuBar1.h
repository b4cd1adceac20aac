#pragma once
#include "MenuItem.h"
#include "SingleInstance.h"

// The application's one menu bar: File, Edit and Help. The single instance
// is MenuBar1::Instance(), built on the first reference; the program's
// finalisation releases it with MenuBar1::Destroy().
class MenuBar1 : public MenuBar, public SingleInstance<MenuBar1> {
public:
    void Untitled0();  // File
    void Untitled1();  // Edit
    void Untitled2();  // Help

private:
    friend class SingleInstance<MenuBar1>;
    MenuBar1();
};
