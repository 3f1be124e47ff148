#pragma once

#include "CDibSectionBuffer.h"

#include <cstdint>
#include <vector>

class CGameState;
class IAnimator;
class QPainter;

// The eight board files, opened in the working directory: slot 0 to 6 are the tiles,
// slot 7 the cell map.
inline constexpr int kTileCount = 7;
inline constexpr int kImageFileCount = 8;
extern const char* const g_imageFiles[kImageFileCount];

// The cell map, the seven tiles and the composed board picture.
class CBoardImage
{
public:
    CBoardImage();
    ~CBoardImage();
    CBoardImage(const CBoardImage&) = delete;
    CBoardImage& operator=(const CBoardImage&) = delete;

    std::uint32_t Load();
    void Reset();
    std::uint32_t Compose(const CGameState& gameState);
    // Copies the composed picture unscaled with its top-left at (x, y); remembers the origin.
    // Defined in the Qt part of the library.
    void Draw(std::int32_t x, std::int32_t y, QPainter& dc);
    bool HitTest(std::int32_t x, std::int32_t y, std::uint32_t& column, std::uint32_t& row) const;
    std::uint32_t Click(std::int32_t x, std::int32_t y, CGameState& gameState, IAnimator* animator);

    // The file that made the last Load fail, or null; kept across the Reset of that failure.
    const char* FailedFile() const { return m_pszFailedFile; }

    bool m_bLoaded;
    CDibSectionBuffer m_matrix;
    CDibSectionBuffer m_tiles[kTileCount];
    CDibSectionBuffer m_target;
    std::int32_t m_nOriginX;
    std::int32_t m_nOriginY;

private:
    // A stretch of the composed picture's memory whose bytes all come from the tile chosen for
    // one cell; cell kBoardCells stands for pixels of no cell. Built from the cell map at Load,
    // so a frame is one copy per stretch.
    struct Run
    {
        std::uint32_t offset;
        std::uint32_t length;
        std::uint32_t cell;
    };

    void BuildRuns();
    bool PicturesIntact() const;

    const char* m_pszFailedFile;
    std::vector<Run> m_runs;
};
