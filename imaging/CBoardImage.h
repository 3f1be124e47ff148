#pragma once

#include "CBoardSet.h"

#include <cstdint>

class CGameState;
class IAnimator;
class QPainter;

// The board's picture sets and the one being shown: the required set, and at device pixel
// ratios above 1 the set at twice its pixels when that set loads and agrees with it.
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
    // Picks the set for a device pixel ratio; the first ratio above 1 reads the finer set.
    // A switch composes the new set from the cells last composed.
    void SetDeviceRatio(double ratio);
    // Draws the composed picture at the logical size of the required set with its top-left
    // at (x, y); remembers the origin. Defined in the Qt part of the library.
    void Draw(std::int32_t x, std::int32_t y, QPainter& dc);
    // (x, y) in logical pixels, in the space of the last Draw.
    bool HitTest(double x, double y, std::uint32_t& column, std::uint32_t& row) const;
    std::uint32_t Click(double x, double y, CGameState& gameState, IAnimator* animator);

    // The file that made the last Load fail, or null; kept across the Reset of that failure.
    const char* FailedFile() const { return m_pszFailedFile; }
    bool Loaded() const { return m_bLoaded; }
    // The set composed and drawn now, and how many of its pixels make one logical pixel.
    const CBoardSet& Shown() const { return m_sets[m_nShown]; }
    int ShownScale() const { return m_nShown + 1; }
    const CBoardSet& BaseSet() const { return m_sets[0]; }
    std::int32_t OriginX() const { return m_nOriginX; }
    std::int32_t OriginY() const { return m_nOriginY; }
    void SetOrigin(std::int32_t x, std::int32_t y)
    {
        m_nOriginX = x;
        m_nOriginY = y;
    }

private:
    enum class FineSet
    {
        Untried,
        Usable,
        Refused,
    };

    bool m_bLoaded;
    CBoardSet m_sets[2];
    int m_nShown;
    FineSet m_fine;
    Cell m_cells[kBoardCells];
    std::int32_t m_nOriginX;
    std::int32_t m_nOriginY;
    const char* m_pszFailedFile;
};
