#pragma once

#include "Pictures.h"

#include <array>
#include <cstdint>
#include <vector>

// Median-cut palette for the 8-bit pictures (emblem, icon images).
class ColourQuantizer
{
public:
    void AddColour(std::uint8_t r, std::uint8_t g, std::uint8_t b);
    // Fills palette entries [first, first + count) and remembers them for Nearest.
    void BuildPalette(std::array<RgbQuad, 256>& palette, int first, int count);
    std::uint8_t Nearest(std::uint8_t r, std::uint8_t g, std::uint8_t b) const;

private:
    struct Entry
    {
        std::uint32_t key; // 0x00RRGGBB
        std::uint32_t count;
    };
    std::vector<std::uint32_t> m_colours;
    std::vector<RgbQuad> m_built;
    int m_nFirst = 0;
};
