#pragma once
#include <QString>
#include <cstdint>

class Main;
struct Channel;

// How the channel list's rows name their channels.
namespace ChannelRows {

constexpr int kIdColumn = 0;
constexpr int kLabelColumn = 1;  // the swatch of a channel row, the label of a parameter row
constexpr int kValueColumn = 2;  // the rate of a channel row, the value of a parameter row
constexpr int kBandwidthColumn = 3;

// Cell types of a value cell: shown only, or edited in place when clicked.
constexpr int kDefaultCellType = 0;
constexpr int kEditableCellType = 3;

// The number a row's ID text holds. The text may come from a file or a
// controller, so it may name no channel; numbers beyond 32 bits saturate
// rather than wrap onto a real ID.
int32_t IdOfText(const QString& text);

// The pool's record of a channel ID; nullptr for an ID outside 0..255 or
// before the pool is filled.
Channel* Record(Main& main, int64_t id);

}  // namespace ChannelRows
