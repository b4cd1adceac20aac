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
// "SD" row selected in the main window's channel list when it opens, and
// writes it back into that channel's "SD" row, wherever the selection has
// gone since. While it exists the main window's three bus pop-ups are
// disabled, so the rates it lists stay true to the bus. The one calculator is
// SDCalc::Instance(), built (and shown) on the first reference; a closed
// calculator is gone and the next reference builds a new one.
class SDCalc : public Window, public SingleInstance<SDCalc> {
    Q_OBJECT
public:
    // --- state ---------------------------------------------------------------
    int32_t iSegmentOffset = 0;
    int32_t iSegmentInterval = 0;

    // --- controls ------------------------------------------------------------
    PopupMenu* ChannelRatePopup() const { return channelRatePopup_; }
    Label* StaticText1() const { return staticText1_; }
    Label* StaticText2() const { return staticText2_; }
    Label* StaticText3() const { return staticText3_; }
    ::Separator* Separator1() const { return separator1_; }
    TextField* SegmentOffsetEditField() const { return segmentOffsetEditField_; }
    PopupMenu* SegmentIntervalPopup() const { return segmentIntervalPopup_; }
    ::Separator* Separator2() const { return separator2_; }
    Label* StaticText4() const { return staticText4_; }
    TextField* SegmentDistributionEditField() const { return segmentDistributionEditField_; }
    PushButton* AcceptButton() const { return acceptButton_; }
    Label* SDHexText() const { return sdHexText_; }
    Label* SDBinText() const { return sdBinText_; }

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
    // The "SD" row of the channel the calculator opened on, as the list
    // stands now; -1 when it shows none.
    int32_t TargetSDRow() const;
    // The rate pop-up's font: its own, or a condensed one small enough for
    // every rate it lists to show whole.
    void FitRateFont();

    PopupMenu* channelRatePopup_ = nullptr;
    Label* staticText1_ = nullptr;
    Label* staticText2_ = nullptr;
    Label* staticText3_ = nullptr;
    ::Separator* separator1_ = nullptr;
    TextField* segmentOffsetEditField_ = nullptr;
    PopupMenu* segmentIntervalPopup_ = nullptr;
    ::Separator* separator2_ = nullptr;
    Label* staticText4_ = nullptr;
    TextField* segmentDistributionEditField_ = nullptr;
    PushButton* acceptButton_ = nullptr;
    Label* sdHexText_ = nullptr;
    Label* sdBinText_ = nullptr;

    // The ID text of the channel whose "SD" row the calculator opened on, and
    // that row; -1 for none.
    QString targetChannel_;
    int32_t targetRow_ = -1;
};
