#pragma once

#include "BoardSnapshot.h"
#include "Pictures.h"

#include <array>

// Geometry of the board picture: a 16 x 11 grid of square cells under a title band.
namespace BoardLayout
{
inline constexpr int kWidth = 454;
inline constexpr int kHeight = 440;
inline constexpr int kColumns = kBoardColumns;
inline constexpr int kRows = kBoardRows;
inline constexpr int kCellSize = 28;
inline constexpr int kGridX = (kWidth - kColumns * kCellSize) / 2;
inline constexpr int kGridY = kHeight - kGridX - kRows * kCellSize;
// Colour-table index of every pixel outside the cells.
inline constexpr int kOutsideIndex = 255;
} // namespace BoardLayout

// Tile slots in the order the game reads them.
enum TileSlot
{
    kTileEmpty = 0,
    kTileRed,
    kTileGreen,
    kTileBlue,
    kTileYellow,
    kTileMagenta,
    kTileSelect,
    kTileSlotCount,
};

struct BoardPictures
{
    IndexedPicture cellMap;
    std::array<TruecolourPicture, kTileSlotCount> tiles;
};

// scale: board pixels per layout pixel (1, or 2 for the set at twice the pixels).
BoardPictures PaintBoard(int scale = 1);

// The cell map alone (cheap); the tiles take a moment.
IndexedPicture PaintCellMap(int scale = 1);
