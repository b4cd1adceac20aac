#include <optional>

#include "ChannelParameters.h"
#include "ChannelRowIds.h"
#include "Listbox.h"
#include "Main.h"
#include "MenuItem.h"
#include "Module1.h"
#include "MsgBox.h"
#include "SDCalc.h"
#include "Text.h"

using namespace ChannelRows;

namespace {
const QString kCalculatorItem = QStringLiteral("Segment Distribution Calculator");
const QString kZeroOffsetMessage = QStringLiteral(
    "Error: the segment offset is equal to 0.  The segment distribution value is not valid.");

// A code item's text begins with its code and " - ".
bool IsCodeItem(const QString& text) {
    for (const ChannelParameter& parameter : kChannelParameters)
        for (const char* item : parameter.Menu)
            if (text == QLatin1String(item) && text.contains(QStringLiteral(" - "))) return true;
    return false;
}

// Whether a row is still the parameter row `offset` rows below the row of
// channel `id`: the rows may have changed while a menu was open (a
// controller's commands run meanwhile).
bool IsParameterRowOf(const Listbox& list, int32_t row, int32_t id, int32_t offset) {
    const std::optional<ParameterRowPlace> place = ParameterRowAt(list, row);
    return place && place->Id == id && place->Offset == offset;
}
}  // namespace

bool Main::ChannelListBox_CellClick(int32_t row, int32_t column, int32_t, int32_t) {
    BuildRowID();
    Listbox* list = ChannelListBox();
    if (!list->Expanded(row)) list->SetCellType(row, kValueColumn, kDefaultCellType);
    if (column == kValueColumn) {
        const Channel* channel = ChannelRecord(GetIDfromRow(row));
        if (channel && row != channel->RowID) {
            list->SetCellType(row, kValueColumn, kEditableCellType);
            list->EditCell(row, kValueColumn);
        }
    }
    return false;
}

void Main::ChannelListBox_CellAction(int32_t row, int32_t column) {
    Channel* record = ChannelRecord(GetIDfromRow(row));
    if (!record) return;
    Channel& channel = *record;
    const int32_t channelRow = channel.RowID;
    if (row == channelRow || channelRow < 0) return;
    const int32_t value = CLong32(ChannelListBox()->Cell(row, column));
    const ChannelParameter* parameter = ParameterAtRowOffset(row - channelRow);
    if (!parameter) return;
    // Once the edit has ended the cell shows what the record holds, not the
    // text as typed ("007", "abc", digits beyond 32 bits).
    ChannelListBox()->SetCell(row, column, CStr(value));
    channel.*parameter->Field = value;
    if (parameter->Field == &Channel::SegmentDistribution) {
        iSegmentLength = channel.SegmentLength;
        if (Module1::SD2SO(value) == 0 && value != 0) MsgBox(kZeroOffsetMessage);
    }
    // The channel's new segments over its old ones, which stay marked in the slot map.
    if (parameter->MovesSegments) {
        DisplayChannelRate();
        RedrawMap(MapLayer::Channel, SlotMap::Keep);
    }
}

bool Main::ChannelListBox_ConstructContextualMenu(MenuItem* base, int32_t x, int32_t y) {
    valueMenuRow_ = -1;
    const int32_t row = ChannelListBox()->RowFromXY(x, y);
    if (row < 0 || !base) return true;
    const int32_t id = GetIDfromRow(row);
    const Channel* channel = ChannelRecord(id);
    if (!channel) return true;
    const int32_t channelRow = channel->RowID;
    if (row == channelRow || channelRow < 0) return true;
    const int32_t offset = row - channelRow;
    const ChannelParameter* parameter = ParameterAtRowOffset(offset);
    if (!parameter) return true;
    valueMenuRow_ = row;
    valueMenuChannel_ = id;
    valueMenuOffset_ = offset;
    for (const char* text : parameter->Menu)
        base->Append(new MenuItem(QString(), QString::fromLatin1(text)));
    return true;
}

bool Main::ChannelListBox_ContextualMenuAction(MenuItem* hitItem) {
    flgStartScreen = 1;
    if (!hitItem) return true;
    const QString& text = hitItem->Text;
    Listbox* list = ChannelListBox();
    auto menuRowHolds = [&] {
        return IsParameterRowOf(*list, valueMenuRow_, valueMenuChannel_, valueMenuOffset_);
    };
    if (text == kCalculatorItem) {
        // The calculator works on the selected "SD" row: the one the menu was
        // opened on, starting from what was typed into it (the commit stores
        // it before the calculator reads the cell).
        list->EndEdit();
        if (!SDCalc::Exists()) list->SetListIndex(menuRowHolds() ? valueMenuRow_ : -1);
        SDCalc::Instance().Show();
        return true;
    }
    if (!IsCodeItem(text)) return true;
    // The code goes into the value cell of the row the menu was opened on:
    // into its edit in progress, or opened for it. Rows changed while the
    // menu was open (a controller's commands) take it nowhere.
    if (!menuRowHolds()) return true;
    if (list->EditedRow() != valueMenuRow_ || list->EditedColumn() != kValueColumn) {
        list->SetCellType(valueMenuRow_, kValueColumn, kEditableCellType);
        list->EditCell(valueMenuRow_, kValueColumn);  // ends another edit first
        if (list->EditedRow() != valueMenuRow_ || !menuRowHolds()) return true;
    }
    list->ActiveCell().SetText(CStr(static_cast<int32_t>(CLong(text))));
    return true;
}
