#pragma once
#include "SingleInstance.h"
#include "Window.h"

class Canvas;
class Label;
class PushButton;

// The About box: product name, version, release date and a picture. At most
// one exists (About::Instance()); closing it destroys it and the next
// reference builds a new one.
class About : public Window, public SingleInstance<About> {
    Q_OBJECT
public:
    ~About() override;

    PushButton* PushButton1() const { return PushButton1_; }
    Label* StaticText1() const { return StaticText1_; }
    Label* StaticText2() const { return StaticText2_; }
    Label* T_Version() const { return T_Version_; }
    Label* T_Date() const { return T_Date_; }
    Label* StaticText5() const { return StaticText5_; }
    Canvas* Canvas1() const { return Canvas1_; }
    Label* StaticText3() const { return StaticText3_; }

    void PushButton1_Action();
    void Event_Open();

protected:
    void Layout() override;
    void CreateControls() override;

private:
    friend class SingleInstance<About>;
    About();
    void _CreateControls0();

    PushButton* PushButton1_ = nullptr;
    Label* StaticText1_ = nullptr;
    Label* StaticText2_ = nullptr;
    Label* T_Version_ = nullptr;
    Label* T_Date_ = nullptr;
    Label* StaticText5_ = nullptr;
    Canvas* Canvas1_ = nullptr;
    Label* StaticText3_ = nullptr;
};
