#include "About.h"

#include "App.h"
#include "Canvas.h"
#include "ControlTable.h"
#include "Label.h"
#include "PushButton.h"
#include "Resources.h"
#include "Text.h"

namespace {
constexpr int kWindowWidthPx = 714;
constexpr int kWindowHeightPx = 410;
const QString kTitle = QStringLiteral("About");
const QString kTagline = QStringLiteral("SLIMbus bandwidth planning");

}  // namespace

About::About() {
    OpenEvent = [this] { Event_Open(); };
}

void About::Layout() {
    SetTitle(kTitle);
    SetResizeable(false);
    SetButtons(true, true, false);
    SetSize(kWindowWidthPx, kWindowHeightPx);
    SetVisibleOnceBuilt(true);
}

void About::CreateControls() { _CreateControls0(); }

void About::_CreateControls0() {
    constexpr int kRight = Label::AlignRight;
    const ControlRow<About> table[] = {
        Row(&About::pushButton1_, "PushButton1", {305, 362, 104, 28}, "Close"),
        Row(&About::staticText1_, "StaticText1", {20, 7, 289, 21}, "Veltrane Toolbox"),
        Row(&About::staticText2_, "StaticText2", {508, 8, 56, 19}, "Version:", kRight),
        Row(&About::tVersion_, "T_Version", {570, 8, 124, 19}, "-"),
        Row(&About::tDate_, "T_Date", {570, 29, 124, 19}, "-"),
        Row(&About::staticText5_, "StaticText5", {21, 29, 277, 19}, kTagline),
        Row(&About::canvas1_, "Canvas1", {20, 60, 674, 290}),
        Row(&About::staticText3_, "StaticText3", {479, 29, 85, 19}, "Release Date:", kRight),
    };
    for (const ControlRow<About>& row : table) row(*this);

    pushButton1_->SetDefault(true);
    staticText1_->SetBold(true);
    // The picture only; the canvas takes no focus, so "Close" has it.
    canvas1_->SetBackdrop(Splash21());
    canvas1_->setFocusPolicy(Qt::NoFocus);

    pushButton1_->Action = [this] { PushButton1_Action(); };
    pushButton1_->setFocus();
}

void About::PushButton1_Action() { Close(); }

void About::Event_Open() {
    if (App::Exists()) {
        const App& app = App::Instance();
        tVersion_->SetText(CStr(app.MajorVersion) + QLatin1Char('.') + CStr(app.MinorVersion) +
                           QLatin1Char('.') + CStr(app.BugVersion));
    }
    tDate_->SetText(BuildDate().AbbreviatedDate());
}
