#include <array>
#include <vector>

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

// The value menu of each parameter row, by its offset below the channel row.
const std::array<std::vector<const char*>, 10> kValueMenus = {{
    {},
    {"1 to 31 slots"},
    {"Segment Distribution Calculator"},
    {"0 - Isochronous Protocol", "1 - Pushed Protocol", "2 - Pulled Protocol",
     "3 - Locked Protocol", "4 - Asynchronous Protocol / Simplex",
     "5 - Asynchronous Protocol / half-duplex", "6 - Extended Asynchronous Protocol / Simplex",
     "7 - Extended Asynchronous Protocol / half-duplex", "14 - User Defined Protocol 1",
     "15 - User Defined Protocol 2"},
    {"0 - Frequency unlocked", "1 - Frequency locked"},
    {"0 - Not Indicated", "1 - 12kHz",    "2 - 24kHz",     "3 - 48kHz",     "4 - 96kHz",
     "5 - 192kHz",        "6 - 384kHz",   "7 - 768kHz",    "9 - 11.025kHz", "10 - 22.05kHz",
     "11 - 44.1kHz",      "12 - 88.2kHz", "13 - 176.4kHz", "14 - 352.8kHz", "15 - 705.6kHz",
     "16 - 4kHz",         "17 - 8kHz",    "18 - 16kHz",    "19 - 32kHz",    "20 - 64kHz",
     "21 - 128kHz",       "22 - 256kHz",  "23 - 512kHz"},
    {"0 - Not applicable", "1 - IEC60958 Tunneling"},
    {"0 - Channel not linked", "1 - Channel linked"},
    {"0 - Not Indicated", "1 - LPCM audio", "2 - IEC61937 Compressed audio",
     "3 - Packed PDM audio"},
    {"0 - Not Indicated", "1 to 31 slots respectively"},
}};

// A code item's text begins with its code and " - ".
bool IsCodeItem(const QString& text) {
    for (const auto& menu : kValueMenus)
        for (const char* item : menu)
            if (text == QLatin1String(item) && text.contains(QStringLiteral(" - "))) return true;
    return false;
}

// Whether a row is still the parameter row `offset` rows below the row of
// channel `id`: the rows may have changed while a menu was open (a
// controller's commands run meanwhile).
bool IsParameterRowOf(const Listbox& list, int32_t row, int32_t id, int32_t offset) {
    if (row < 0 || row >= list.ListCount() || offset < 1) return false;
    for (int32_t r = row; r > row - offset; --r)
        if (r <= 0 || !list.Cell(r, kIdColumn).isEmpty()) return false;
    const QString idText = list.Cell(row - offset, kIdColumn);
    return !idText.isEmpty() && IdOfText(idText) == id && list.Expanded(row - offset);
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
    // Once the edit has ended the cell shows what the record holds, not the
    // text as typed ("007", "abc", digits beyond 32 bits).
    if (row - channelRow >= 1 && row - channelRow <= 9)
        ChannelListBox()->SetCell(row, column, CStr(value));
    // The channel's new segments over its old ones, which stay marked in the slot map.
    auto redrawChannels = [this] {
        DisplayChannelRate();
        RedrawMap(MapLayer::Channel, SlotMap::Keep);
    };
    switch (row - channelRow) {
        case 1:
            channel.SegmentLength = value;
            redrawChannels();
            break;
        case 2:
            channel.SegmentDistribution = value;
            iSegmentLength = channel.SegmentLength;
            if (Module1::SD2SO(value) == 0 && value != 0) MsgBox(kZeroOffsetMessage);
            redrawChannels();
            break;
        case 3:
            channel.TransportProtocol = value;
            break;
        case 4:
            channel.FrequencyLocked = value;
            break;
        case 5:
            channel.PresenceRate = value;
            break;
        case 6:
            channel.AuxFormat = value;
            break;
        case 7:
            channel.ChannelLink = value;
            break;
        case 8:
            channel.DataType = value;
            break;
        case 9:
            channel.DataLength = value;
            break;
        default:
            break;
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
    if (offset < 1 || offset > 9) return true;
    valueMenuRow_ = row;
    valueMenuChannel_ = id;
    valueMenuOffset_ = offset;
    for (const char* text : kValueMenus[static_cast<size_t>(offset)])
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
