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
    PushButton* PushButton1() const { return pushButton1_; }
    Label* StaticText1() const { return staticText1_; }
    Label* StaticText2() const { return staticText2_; }
    Label* T_Version() const { return tVersion_; }
    Label* T_Date() const { return tDate_; }
    Label* StaticText5() const { return staticText5_; }
    Canvas* Canvas1() const { return canvas1_; }
    Label* StaticText3() const { return staticText3_; }

    void PushButton1_Action();
    void Event_Open();

protected:
    void Layout() override;
    void CreateControls() override;

private:
    friend class SingleInstance<About>;
    About();
    void _CreateControls0();

    PushButton* pushButton1_ = nullptr;
    Label* staticText1_ = nullptr;
    Label* staticText2_ = nullptr;
    Label* tVersion_ = nullptr;
    Label* tDate_ = nullptr;
    Label* staticText5_ = nullptr;
    Canvas* canvas1_ = nullptr;
    Label* staticText3_ = nullptr;
};
