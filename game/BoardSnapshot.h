#pragma once

#include "Cell.h"

#include <cstdint>

inline constexpr int kBoardColumns = 16;
inline constexpr int kBoardRows = 11;
inline constexpr int kBoardCells = kBoardColumns * kBoardRows;

// One slot of the undo ring: the board just before a removal, unmarked, and the total then.
struct BoardSnapshot
{
    bool valid;
    Cell cells[kBoardCells];
    std::int32_t totalScore;
};
