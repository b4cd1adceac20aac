#pragma once
#include <QString>
#include <array>
#include <cstdint>
#include <optional>

class Listbox;

// How the channel list's rows name their channels: the columns and their
// widths, the ID that a row's ID text holds, and which rows are parameter rows.
namespace ChannelRows {

constexpr int kIdColumn = 0;
constexpr int kLabelColumn = 1;  // the swatch of a channel row, the label of a parameter row
constexpr int kValueColumn = 2;  // the rate of a channel row, the value of a parameter row
constexpr int kBandwidthColumn = 3;
constexpr int kColumnCount = 4;

// Each column's width in pixels, by column.
constexpr std::array<int, kColumnCount> kColumnWidthsPx = {45, 30, 60, 85};

// Cell types of a value cell: shown only, or edited in place when clicked.
constexpr int kDefaultCellType = 0;
constexpr int kEditableCellType = 3;

// The number a row's ID text holds. The text may come from a file or a
// controller, so it may name no channel; numbers beyond 32 bits saturate
// rather than wrap onto a real ID.
int32_t IdOfText(const QString& text);

// Where a parameter row stands: its channel's row and ID, and its offset
// below that row (1 for the first parameter).
struct ParameterRowPlace {
    int32_t ChannelRow;
    int32_t Id;
    int32_t Offset;
};

// The place of `row` when it is a parameter row; none for a channel row or a
// row outside the list. The one test of what a row is: a parameter row has an
// empty ID column and stands at most nine rows below the nearest row with an
// ID, its channel's (only an expanded channel row has rows below it without
// an ID).
std::optional<ParameterRowPlace> ParameterRowAt(const Listbox& list, int32_t row);

}  // namespace ChannelRows
