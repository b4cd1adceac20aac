#pragma once
#include <QRect>
#include <array>
#include <cstdint>
#include <type_traits>

#include "Module1.h"
#include "Text.h"

// Where the slots of one superframe lie on the map: 16 rows of 96 cells, each
// cell 6 x 15 pixels on a 7 x 18 pixel pitch, so that neighbouring cells are 1
// pixel apart across and 3 pixels apart down. Every map layer and the canvas
// handlers share this geometry; the layers are exactly the canvas's size, so
// picture and canvas pixels coincide.
namespace MapGeometry {

constexpr int kSlotCount = Module1::kSlotCount;
constexpr int kColumns = 96;
constexpr int kRows = 16;
constexpr int kColumnPitchPx = 7;
constexpr int kRowPitchPx = 18;
constexpr int kCellMarginPx = 2;  // left of column 0 and above row 0
constexpr int kCellWidthPx = 6;
constexpr int kCellHeightPx = 15;
constexpr int kPictureWidthPx = 674;
constexpr int kPictureHeightPx = 290;
constexpr int kPictureDepth = 32;

static_assert(kColumns * kRows == kSlotCount);
static_assert(kColumns * kColumnPitchPx + kCellMarginPx == kPictureWidthPx);
static_assert(kRows * kRowPitchPx + kCellMarginPx == kPictureHeightPx);

// Owner of each slot, as Module1 keeps it (the entry past the last slot is unused).
using SlotOwners = std::array<int32_t, kSlotCount + 1>;
static_assert(std::is_same_v<SlotOwners, std::remove_cv_t<decltype(Module1::SuperFrameSlot)>>);

constexpr int SlotColumn(int slot) { return slot % kColumns; }
constexpr int SlotRow(int slot) { return slot / kColumns; }

// Cell position in 64 bits: painters are handed raw columns and rows.
constexpr int64_t CellLeft(int64_t column) { return kColumnPitchPx * column + kCellMarginPx; }
constexpr int64_t CellTop(int64_t row) { return kRowPitchPx * row + kCellMarginPx; }
inline QRect CellRect(int column, int row) {
    return QRect(static_cast<int>(CellLeft(column)), static_cast<int>(CellTop(row)), kCellWidthPx,
                 kCellHeightPx);
}

constexpr int RowLineY(int line) { return kRowPitchPx * line; }

// The cell a pixel belongs to: a cell's pixels and the gap to its right and
// below it. The division is done in double and its fraction dropped (ToInt32),
// as the program converts every double, so the margin pixels 0 and 1 fall in column
// and row 0. Every pixel of the picture gives a column 0..95 and a row 0..15;
// points outside it (a drag leaving the canvas) give columns and rows outside.
struct MapPoint {
    int32_t Column = 0;
    int32_t Row = 0;
    int64_t Slot = 0;  // column + 96 x row; 64 bits for points far off the map
};

inline MapPoint PointToSlot(int32_t x, int32_t y) {
    MapPoint point;
    point.Column = ToInt32((static_cast<double>(x) - kCellMarginPx) / kColumnPitchPx);
    point.Row = ToInt32((static_cast<double>(y) - kCellMarginPx) / kRowPitchPx);
    point.Slot = int64_t{point.Column} + int64_t{kColumns} * point.Row;
    return point;
}

constexpr bool IsOnMap(int32_t column, int32_t row) {
    return column >= 0 && column < kColumns && row >= 0 && row < kRows;
}

}  // namespace MapGeometry
