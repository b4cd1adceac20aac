#pragma once
#include <QString>
#include <cstdint>

#include "SingleInstance.h"
#include "Window.h"

class Label;
class PopupMenu;
class PushButton;
class Separator;
class TextField;

// The segment distribution calculator: turns a channel rate (or segment
// interval) and a segment offset into the segment distribution code of the
// "SD" row selected in the main window's channel list, and writes it back.
// While it exists the main window's three bus pop-ups are disabled, so the
// rates it lists stay true to the bus. The one calculator is
// SDCalc::Instance(), built (and shown) on the first reference; a closed
// calculator is gone and the next reference builds a new one.
class SDCalc : public Window, public SingleInstance<SDCalc> {
    Q_OBJECT
public:
    ~SDCalc() override;

    // --- state ---------------------------------------------------------------
    int32_t iSegmentOffset = 0;
    int32_t iSegmentInterval = 0;

    // --- controls ------------------------------------------------------------
    PopupMenu* ChannelRatePopup() const { return ChannelRatePopup_; }
    Label* StaticText1() const { return StaticText1_; }
    Label* StaticText2() const { return StaticText2_; }
    Label* StaticText3() const { return StaticText3_; }
    ::Separator* Separator1() const { return Separator1_; }
    TextField* SegmentOffsetEditField() const { return SegmentOffsetEditField_; }
    PopupMenu* SegmentIntervalPopup() const { return SegmentIntervalPopup_; }
    ::Separator* Separator2() const { return Separator2_; }
    Label* StaticText4() const { return StaticText4_; }
    TextField* SegmentDistributionEditField() const { return SegmentDistributionEditField_; }
    PushButton* AcceptButton() const { return AcceptButton_; }
    Label* SDHexText() const { return SDHexText_; }
    Label* SDBinText() const { return SDBinText_; }

    // --- control event handlers ----------------------------------------------
    void ChannelRatePopup_Change();
    bool SegmentOffsetEditField_KeyDown(const QString& key);
    void SegmentOffsetEditField_LostFocus();
    void SegmentIntervalPopup_Change();
    void SegmentDistributionEditField_TextChange();
    void AcceptButton_Action();

    // --- window events -------------------------------------------------------
    void Event_Open();
    void Event_Close();

protected:
    void Layout() override;
    void CreateControls() override;

private:
    friend class SingleInstance<SDCalc>;
    SDCalc();
    void _CreateControls0();

    // Steps the handlers share.
    void ReadControls();
    void ApplyOffsetRule();
    void ShowCode();
    // The selected row of the main list when it is an "SD" parameter row; -1 otherwise.
    static int32_t SelectedSDRow();
    static void SetBusPopupsEnabled(bool enabled);

    PopupMenu* ChannelRatePopup_ = nullptr;
    Label* StaticText1_ = nullptr;
    Label* StaticText2_ = nullptr;
    Label* StaticText3_ = nullptr;
    ::Separator* Separator1_ = nullptr;
    TextField* SegmentOffsetEditField_ = nullptr;
    PopupMenu* SegmentIntervalPopup_ = nullptr;
    ::Separator* Separator2_ = nullptr;
    Label* StaticText4_ = nullptr;
    TextField* SegmentDistributionEditField_ = nullptr;
    PushButton* AcceptButton_ = nullptr;
    Label* SDHexText_ = nullptr;
    Label* SDBinText_ = nullptr;
};
