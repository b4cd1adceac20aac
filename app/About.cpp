#include "About.h"

#include "App.h"
#include "Canvas.h"
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

About::~About() = default;

void About::Layout() {
    SetTitle(kTitle);
    SetResizeable(false);
    SetButtons(true, true, false);
    SetSize(kWindowWidthPx, kWindowHeightPx);
    SetVisibleOnceBuilt(true);
}

void About::CreateControls() {
    _CreateControls0();
}

void About::_CreateControls0() {
    pushButton1_ = AddControl<PushButton>(QStringLiteral("PushButton1"));
    pushButton1_->SetBounds(305, 362, 104, 28);
    pushButton1_->SetCaption(QStringLiteral("Close"));
    pushButton1_->SetDefault(true);
    pushButton1_->Action = [this] { PushButton1_Action(); };

    staticText1_ = AddLabel(this, QStringLiteral("StaticText1"), 20, 7, 289, 21,
                             QStringLiteral("Veltrane Toolbox"), Label::AlignLeft);
    staticText1_->SetBold(true);
    staticText2_ = AddLabel(this, QStringLiteral("StaticText2"), 508, 8, 56, 19,
                             QStringLiteral("Version:"), Label::AlignRight);
    tVersion_ = AddLabel(this, QStringLiteral("T_Version"), 570, 8, 124, 19, QStringLiteral("-"),
                           Label::AlignLeft);
    tDate_ = AddLabel(this, QStringLiteral("T_Date"), 570, 29, 124, 19, QStringLiteral("-"),
                        Label::AlignLeft);
    staticText5_ =
        AddLabel(this, QStringLiteral("StaticText5"), 21, 29, 277, 19, kTagline, Label::AlignLeft);

    // The picture only; the canvas takes no focus, so "Close" has it.
    canvas1_ = AddControl<Canvas>(QStringLiteral("Canvas1"));
    canvas1_->SetBackdrop(Splash21());
    canvas1_->SetBounds(20, 60, 674, 290);
    canvas1_->setFocusPolicy(Qt::NoFocus);

    staticText3_ = AddLabel(this, QStringLiteral("StaticText3"), 479, 29, 85, 19,
                             QStringLiteral("Release Date:"), Label::AlignRight);

    pushButton1_->setFocus();
}

void About::PushButton1_Action() {
    Close();
}

void About::Event_Open() {
    if (App::Exists()) {
        const App& app = App::Instance();
        tVersion_->SetText(CStr(app.MajorVersion) + QLatin1Char('.') + CStr(app.MinorVersion) +
                            QLatin1Char('.') + CStr(app.BugVersion));
    }
    tDate_->SetText(BuildDate().AbbreviatedDate());
}
