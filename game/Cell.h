#pragma once

#include <cstdint>

// One board position. colour: 0 empty, 1 red, 2 green, 3 blue, 4 yellow, 5 magenta.
struct Cell
{
    std::uint32_t colour;
    std::uint32_t flags;
};

// Bit 0 of Cell::flags: the cell belongs to the selected group. No other bit is ever set.
inline constexpr std::uint32_t kCellSelected = 1u;
