#include "SDCalc.h"

#include <QFontMetrics>
#include <algorithm>
#include <cmath>
#include <optional>

#include "ChannelParameters.h"
#include "ChannelRowIds.h"
#include "ControlTable.h"
#include "FontFit.h"
#include "Label.h"
#include "Listbox.h"
#include "Main.h"
#include "Module1.h"
#include "MsgBox.h"
#include "PopupMenu.h"
#include "PushButton.h"
#include "Separator.h"
#include "Text.h"
#include "TextField.h"

using namespace ChannelRows;

namespace {
constexpr int kWindowWidthPx = 300;
constexpr int kWindowHeightPx = 281;
const QString kTitle = QStringLiteral("Segment Distribution Calculator");
const QString kLengthError =
    QStringLiteral("Error: The Segment Interval is smaller than the Segment Length");

// The root clock ticks once per cell at gear 10; a superframe is 1536 slots
// of 4 cells.
constexpr double kSlotsPerSuperframe = Module1::kSlotCount;
constexpr double kCellsPerSuperframe = 4 * kSlotsPerSuperframe;
constexpr int kRowsPerFamily = 9;  // rows 1..9 and 10..18 of the pop-ups
constexpr int kHighestCode = 4095;

// The "SD" row, by its offset below the channel row.
constexpr int32_t kSDOffset = RowOffsetOf(&Channel::SegmentDistribution);

// The channel row above `row` when `row` is an "SD" row; -1 otherwise.
int32_t ChannelRowOfSDRow(const Listbox& list, int32_t row) {
    const std::optional<ParameterRowPlace> place = ParameterRowAt(list, row);
    return place && place->Offset == kSDOffset ? place->ChannelRow : -1;
}

const QString kReturnKey = Chr(13);
const QString kEnterKey = Chr(3);

// B, the rate in Hz of a channel with one segment per superframe. The gear
// goes into the exponent as a double, so that any stored gear (0, reserved,
// or not set) gives some number and never an integer overflow.
double SuperframeRateHz() {
    return Module1::iRootFrequency /
           (std::pow(2.0, 10.0 - Module1::iClockGear) * kCellsPerSuperframe);
}

// A code exists only for an offset inside an interval the encoder knows; 0
// (no segment distribution) otherwise, also for an interval of 0 (no row).
int32_t CodeOf(int32_t offset, int32_t interval) {
    if (interval <= 0 || offset < 0 || offset >= interval) return 0;
    return Module1::CalculateSegmentDistribution(offset, interval);
}

}  // namespace

// The calculator belongs to the main window: it goes with it.
SDCalc::SDCalc() {
    setParent(&Main::Instance(), Qt::Window);
    OpenEvent = [this] { Event_Open(); };
    CloseEvent = [this] { Event_Close(); };
}

void SDCalc::Layout() {
    SetTitle(kTitle);
    SetResizeable(false);
    SetButtons(true, true, false);
    SetSize(kWindowWidthPx, kWindowHeightPx);
    SetVisibleOnceBuilt(true);
}

void SDCalc::CreateControls() { _CreateControls0(); }

void SDCalc::_CreateControls0() {
    const ControlRow<SDCalc> table[] = {
        Row(&SDCalc::channelRatePopup_, "ChannelRatePopup", {165, 14, 115, 28}),
        Row(&SDCalc::staticText1_, "StaticText1", {20, 13, 133, 24}, "Channel Rate (kHz)"),
        Row(&SDCalc::staticText2_, "StaticText2", {20, 71, 110, 24}, "Segment Offset"),
        Row(&SDCalc::staticText3_, "StaticText3", {20, 101, 110, 24}, "Segment Interval"),
        Row(&SDCalc::separator1_, "Separator1", {20, 48, 260, 11}),
        Row(&SDCalc::segmentOffsetEditField_, "SegmentOffsetEditField", {165, 72, 115, 20}),
        Row(&SDCalc::segmentIntervalPopup_, "SegmentIntervalPopup", {165, 102, 115, 28}),
        Row(&SDCalc::separator2_, "Separator2", {20, 137, 260, 11}),
        Row(&SDCalc::staticText4_, "StaticText4", {20, 160, 139, 24}, "Segment Distribution"),
        Row(&SDCalc::segmentDistributionEditField_, "SegmentDistributionEditField",
            {165, 161, 115, 20}, "0"),
        Row(&SDCalc::acceptButton_, "AcceptButton", {103, 240, 94, 28}, "Accept"),
        Row(&SDCalc::sdHexText_, "SDHexText", {165, 185, 115, 20}, "0x0"),
        Row(&SDCalc::sdBinText_, "SDBinText", {165, 208, 115, 20}, "0b0"),
    };
    for (const ControlRow<SDCalc>& row : table) row(*this);

    // The events, in the order of the table.
    channelRatePopup_->Change = [this] { ChannelRatePopup_Change(); };
    segmentOffsetEditField_->KeyDown = [this](const QString& key) {
        return SegmentOffsetEditField_KeyDown(key);
    };
    segmentOffsetEditField_->LostFocus = [this] { SegmentOffsetEditField_LostFocus(); };
    segmentIntervalPopup_->Change = [this] { SegmentIntervalPopup_Change(); };
    segmentDistributionEditField_->TextChange = [this] {
        SegmentDistributionEditField_TextChange();
    };
    acceptButton_->Action = [this] { AcceptButton_Action(); };

    // Tab order is creation order; Tab moves through those that take focus.
    const std::vector<Control*>& controls = Controls();
    for (size_t i = 1; i < controls.size(); ++i)
        setTabOrder(controls[i - 1]->Widget(), controls[i]->Widget());
}

void SDCalc::Event_Open() {
    const int32_t row = SelectedSDRow();
    const Listbox* list = Main::Instance().ChannelListBox();
    const int32_t sd = row < 0 ? 0 : CLong32(list->Cell(row, kValueColumn));
    if (row >= 0) {
        targetRow_ = row;
        targetChannel_ = list->Cell(ChannelRowOfSDRow(*list, row), kIdColumn);
    }

    int32_t offset = Module1::iControlSize;  // first slot after the first control space
    int32_t interval = 0;
    // Codes run from 1 to 4095; anything else (0, a negative or larger
    // number, text) holds no code.
    if (sd > 0 && sd <= kHighestCode) {
        offset = Module1::SD2SO(sd);
        interval = Module1::SD2SI(sd);
        segmentDistributionEditField_->SetText(CStr(sd));
    }

    const double rateKHz = SuperframeRateHz() * 0.001;
    segmentOffsetEditField_->SetText(CStr(offset));

    channelRatePopup_->DeleteAllRows();
    segmentIntervalPopup_->DeleteAllRows();
    // Row k of the rate pop-up is the rate of the interval in row k.
    channelRatePopup_->AddRow(CStr(rateKHz));
    segmentIntervalPopup_->AddRow(CStr(kSlotsPerSuperframe));
    for (int i = 0; i < kRowsPerFamily; ++i) {
        channelRatePopup_->AddRow(CStr(rateKHz * 2 * std::pow(2.0, i)));
        segmentIntervalPopup_->AddRow(CStr(kSlotsPerSuperframe / (std::pow(2.0, i) * 2)));
    }
    for (int i = 0; i < kRowsPerFamily; ++i) {
        channelRatePopup_->AddRow(CStr(rateKHz * 3 * std::pow(2.0, i)));
        segmentIntervalPopup_->AddRow(CStr(kSlotsPerSuperframe / (std::pow(2.0, i) * 3)));
    }

    // Selecting the row runs both change handlers, which compute the code.
    for (int k = 0; k < segmentIntervalPopup_->ListCount(); ++k) {
        if (CLong32(segmentIntervalPopup_->List(k)) == interval) {
            segmentIntervalPopup_->SetListIndex(k);
            break;
        }
    }

    FitRateFont();
    SegmentDistributionEditField_TextChange();
    if (Main::Exists()) Main::Instance().UpdateBusPopups();
}

// The pop-ups go back to the user unless a controller holds them.
void SDCalc::Event_Close() {
    if (Main::Exists()) Main::Instance().UpdateBusPopups();
}

void SDCalc::ChannelRatePopup_Change() {
    segmentIntervalPopup_->SetListIndex(channelRatePopup_->ListIndex());
    ReadControls();
    ApplyOffsetRule();
    ShowCode();
}

void SDCalc::SegmentIntervalPopup_Change() {
    channelRatePopup_->SetListIndex(segmentIntervalPopup_->ListIndex());
    ReadControls();
    ApplyOffsetRule();
    ShowCode();
}

void SDCalc::SegmentOffsetEditField_LostFocus() {
    ReadControls();
    ApplyOffsetRule();
    ShowCode();
}

// Return or Enter fits the whole segment of the last committed segment
// length into the interval; every key then goes on to the field.
bool SDCalc::SegmentOffsetEditField_KeyDown(const QString& key) {
    if (key != kReturnKey && key != kEnterKey) return false;
    const int32_t length = Main::Instance().iSegmentLength;
    ReadControls();
    if (int64_t{iSegmentOffset} + length > iSegmentInterval) {
        iSegmentOffset = ToInt32(static_cast<double>(int64_t{iSegmentInterval} - length));
        segmentOffsetEditField_->SetText(CStr(iSegmentOffset));
    }
    if (length < iSegmentInterval) {
        ShowCode();
    } else {
        segmentDistributionEditField_->SetText(QStringLiteral("0"));
        segmentOffsetEditField_->SetText(QStringLiteral("0"));
        MsgBox(kLengthError);
    }
    return false;
}

void SDCalc::SegmentDistributionEditField_TextChange() {
    const int64_t code = CLong(segmentDistributionEditField_->Text());
    sdHexText_->SetText(QStringLiteral("0x") + Hex(code));
    sdBinText_->SetText(QStringLiteral("0b") + Bin(code));
}

// The code reaches the channel's record when the opened cell editor ends
// its edit, through the list's own commit.
void SDCalc::AcceptButton_Action() {
    // The bus pop-ups follow when the calculator closes below.
    ReadControls();
    ApplyOffsetRule();
    ShowCode();
    if (CLong(segmentDistributionEditField_->Text()) > kHighestCode)
        segmentDistributionEditField_->SetText(QStringLiteral("0"));

    // The code goes into the editor of the channel's "SD" cell, which the
    // list's commit stores; an edit abandoned there leaves the cell showing
    // what the record holds. Without that row there is no cell it belongs to.
    int32_t row = TargetSDRow();
    if (row >= 0) {
        // An edit elsewhere ends first; its commit may have moved the rows.
        Main::Instance().ChannelListBox()->EndEdit();
        row = TargetSDRow();
    }
    if (row >= 0) {
        Listbox* list = Main::Instance().ChannelListBox();
        list->SetListIndex(row);
        list->SetCellType(row, kValueColumn, kEditableCellType);
        list->EditCell(row, kValueColumn);
        if (list->EditedRow() == row) {
            list->ActiveCell().SetText(segmentDistributionEditField_->Text());
            list->ActiveCell().Widget()->selectAll();
        }
    }
    Close();
}

void SDCalc::ReadControls() {
    iSegmentInterval = CLong32(segmentIntervalPopup_->Text());
    iSegmentOffset = CLong32(segmentOffsetEditField_->Text());
}

// Keeps the offset inside the interval.
void SDCalc::ApplyOffsetRule() {
    if (iSegmentOffset >= iSegmentInterval) {
        iSegmentOffset = iSegmentInterval - 1;
        segmentOffsetEditField_->SetText(CStr(iSegmentOffset));
    }
}

void SDCalc::ShowCode() {
    segmentDistributionEditField_->SetText(CStr(CodeOf(iSegmentOffset, iSegmentInterval)));
}

int32_t SDCalc::SelectedSDRow() {
    const Listbox* list = Main::Instance().ChannelListBox();
    const int32_t row = list->ListIndex();
    return ChannelRowOfSDRow(*list, row) >= 0 ? row : -1;
}

int32_t SDCalc::TargetSDRow() const {
    if (targetRow_ < 0 || !Main::Exists()) return -1;
    const Listbox* list = Main::Instance().ChannelListBox();
    const QString& idText = targetChannel_;
    auto isTheChannelsSDRow = [&](int32_t row) {
        const int32_t channelRow = ChannelRowOfSDRow(*list, row);
        return channelRow >= 0 && list->Cell(channelRow, kIdColumn) == idText;
    };
    if (isTheChannelsSDRow(targetRow_)) return targetRow_;
    // Rows above it came or went: the channel's row, wherever it is now.
    for (int32_t row = kSDOffset; row < list->ListCount(); ++row)
        if (isTheChannelsSDRow(row)) return row;
    return -1;
}

void SDCalc::FitRateFont() {
    PopupMenu* popup = channelRatePopup_;
    QStringList rates;
    for (int k = 0; k < popup->ListCount(); ++k) rates << popup->List(k);
    const int room = popup->TextRoom();
    const QFont own = popup->font();
    const QFontMetrics metrics(own);
    const bool fits = std::all_of(rates.begin(), rates.end(), [&](const QString& rate) {
        return metrics.horizontalAdvance(rate) <= room;
    });
    if (fits) return;
    QFont condensed = own;
    condensed.setStretch(QFont::Condensed);
    popup->setFont(FontFittingWidth(condensed, rates, room));
}
