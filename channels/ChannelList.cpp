#include <optional>

#include "ChannelParameters.h"
#include "ChannelRowIds.h"
#include "Graphics.h"
#include "Listbox.h"
#include "Main.h"
#include "PushButton.h"
#include "Text.h"

using namespace ChannelRows;

namespace {
constexpr int kSwatchMarginPx = 2;

// A freed channel takes its drag in the map with it: the moves and the
// release that follow store and report nothing.
void EndDragOf(Main& main, int32_t id) {
    if (main.flgMoveChannel != 0 && main.iMoveID == id) {
        main.flgMoveChannel = 0;
        main.iMoveID = -1;
    }
}
}  // namespace

int32_t Main::GetFreeID() {
    for (int32_t id = 0; id < kChannelIdCount; ++id) {
        const Channel* c = ChannelRecord(id);
        if (c && c->Status == 0) return id;
    }
    return 0;
}

int32_t Main::GetIDfromRow(int32_t row) {
    Listbox* list = ChannelListBox();
    if (row < 0 || row >= list->ListCount()) return -1;
    for (int32_t id = 0; id < kChannelIdCount; ++id) {
        const Channel* c = ChannelRecord(id);
        if (c && c->RowID == row) return id;
    }
    // Rows whose position is not recorded yet are named by their ID text,
    // parameter rows by their channel's.
    const QString text = list->Cell(row, kIdColumn);
    if (!text.isEmpty()) return IdOfText(text);
    const std::optional<ParameterRowPlace> place = ParameterRowAt(*list, row);
    return place ? place->Id : -1;
}

void Main::BuildRowID() {
    Listbox* list = ChannelListBox();
    for (int row = 0; row < list->ListCount(); ++row) {
        const QString text = list->Cell(row, kIdColumn);
        if (text.isEmpty()) continue;
        if (Channel* c = ChannelRecord(IdOfText(text))) c->RowID = row;
    }
}

void Main::UpdateSD() {
    Listbox* list = ChannelListBox();
    constexpr int kSdOffset = RowOffsetOf(&Channel::SegmentDistribution);
    for (int row = 0; row < list->ListCount(); ++row) {
        if (!list->RowIsFolder(row) || !list->Expanded(row)) continue;
        if (row + kSdOffset >= list->ListCount()) continue;
        if (const Channel* c = ChannelRecord(IdOfText(list->Cell(row, kIdColumn))))
            list->SetCell(row + kSdOffset, kValueColumn, CStr(c->SegmentDistribution));
    }
}

void Main::ChannelListBox_Open() {}

void Main::ChannelListBox_Change() {
    // Enabled only for a channel row whose position is recorded.
    const int row = ChannelListBox()->ListIndex();
    bool channelRow = false;
    if (row != -1) {
        const Channel* c = ChannelRecord(GetIDfromRow(row));
        channelRow = c && c->RowID == row;
    }
    RemoveChannelButton()->SetEnabled(channelRow);
}

void Main::ChannelListBox_ExpandRow(int32_t row) {
    Listbox* list = ChannelListBox();
    for (int k = 0; k < kChannelParameterCount; ++k) list->AddRow(QString());
    for (int offset = 1; offset <= kChannelParameterCount; ++offset)
        list->SetCell(row + offset, kLabelColumn,
                      QString::fromLatin1(ParameterAtRowOffset(offset)->Label));
    BuildRowID();  // the channel rows below moved down
    if (const Channel* c = ChannelRecord(GetIDfromRow(row))) {
        for (int offset = 1; offset <= kChannelParameterCount; ++offset)
            list->SetCell(row + offset, kValueColumn,
                          CStr(c->*ParameterAtRowOffset(offset)->Field));
    }
    DisplayChannelRate();
}

void Main::ChannelListBox_CollapseRow(int32_t) {
    // The list took the parameter rows away; no value cell stays editable.
    Listbox* list = ChannelListBox();
    for (int row = 0; row < list->ListCount(); ++row)
        list->SetCellType(row, kValueColumn, kDefaultCellType);
    BuildRowID();
    DisplayChannelRate();
}

bool Main::ChannelListBox_CellBackgroundPaint(::Graphics& g, int32_t row, int32_t column) {
    Listbox* list = ChannelListBox();
    if (column != kLabelColumn || row < 0 || row >= list->ListCount()) return false;
    const QString text = list->Cell(row, kIdColumn);
    if (text.isEmpty()) return false;
    if (const Channel* c = ChannelRecord(IdOfText(text))) {
        g.ForeColor = c->BoxColor;
        g.FillRect(kSwatchMarginPx, kSwatchMarginPx, g.Width() - 2 * kSwatchMarginPx,
                   g.Height() - 2 * kSwatchMarginPx);
    }
    return false;
}

void Main::AddChannelButton_Action() {
    const int32_t id = GetFreeID();
    Channel* c = ChannelRecord(id);
    // With every ID in use GetFreeID names a channel that is listed already.
    if (!c || c->Status != 0) return;
    ChannelListBox()->AddFolder(Str(id));
    c->Status = 1;
    c->BoxColor = ColorMap[static_cast<size_t>(id)];
    BuildRowID();
    DisplayChannelRate();
}

void Main::RemoveChannelButton_Action() {
    Listbox* list = ChannelListBox();
    const int row = list->ListIndex();
    if (row == -1) return;
    const int32_t id = GetIDfromRow(row);
    Channel* c = ChannelRecord(id);
    // Only a channel row whose position is recorded, as the button's enabling has it.
    if (!c || c->RowID != row) return;
    // The button is disabled with the selection; its focus stays in the list
    // rather than passing on to the bus pop-ups.
    if (RemoveChannelButton()->hasFocus()) list->setFocus(Qt::OtherFocusReason);
    if (list->Expanded(row)) list->SetExpanded(row, false);
    list->RemoveRow(row);
    // Freed once its row is gone, so that the collapse above cannot give the
    // record its row back.
    FreeChannelRecord(*c);
    EndDragOf(*this, id);
    BuildRowID();

    // The channel's slots go from the slot map with it.
    RedrawMap(MapLayer::Channel, SlotMap::Rebuild);
}

void Main::ClearChannelTable() {
    ChannelListBox()->DeleteAllRows();
    for (int32_t id = 0; id < kChannelIdCount; ++id)
        if (Channel* c = ChannelRecord(id)) {
            FreeChannelRecord(*c);
            EndDragOf(*this, id);
        }
}

void Main::ClearAllChannels_Action() {
    ClearChannelTable();
    // The canvas shows the control space alone.
    RedrawMap(MapLayer::Control, SlotMap::Rebuild, MapLayer::Control);
}
