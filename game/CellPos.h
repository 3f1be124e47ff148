#pragma once

#include <cstdint>

struct CellPos
{
    std::uint32_t column;
    std::uint32_t row;

    friend bool operator==(const CellPos&, const CellPos&) = default;
};
