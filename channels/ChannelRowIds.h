#pragma once
#include <QString>
#include <array>
#include <cstdint>

// How the channel list's rows name their channels: the columns and their
// widths, and the ID that a row's ID text holds.
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

}  // namespace ChannelRows
