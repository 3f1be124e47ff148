#pragma once

#include "CDibSectionBuffer.h"
#include "CGameState.h"

#include <cstdint>
#include <vector>

class QPainter;

// The board as it was composed and drawn before: 24-bit bottom-up pictures, byte stretches
// joined per tile, converted and turned upright at every paint. Kept as the baseline.
class LegacyBoard
{
public:
    std::uint32_t Load(const char* const files[8]);
    void Compose(const CGameState& game);
    void Draw(int x, int y, QPainter& dc) const;
    std::size_t PictureBytes() const;

private:
    struct Run
    {
        std::uint32_t offset;
        std::uint32_t length;
        std::uint32_t cell;
    };

    CDibSectionBuffer m_matrix;
    CDibSectionBuffer m_tiles[7];
    CDibSectionBuffer m_target;
    std::vector<Run> m_runs;
};
