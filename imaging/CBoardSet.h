#pragma once

#include "CDibSectionBuffer.h"
#include "CGameState.h"
#include "DataFiles.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// One resolution of the board: its cell map, its tiles held as 32-bit top-down rows (the
// screen's own layout, converted once at load) and the picture composed from them.
// Every size is checked before anything is allocated, so any accepted set stays within
// about 150 MiB and a compose copies at most kMaxStretches stretches.
class CBoardSet
{
public:
    static constexpr std::int32_t kMaxSide = 2048;
    static constexpr std::size_t kMaxStretches = std::size_t{1} << 20;
    static constexpr std::uint32_t kNoCell = kBoardCells;

    CBoardSet();
    ~CBoardSet();
    CBoardSet(const CBoardSet&) = delete;
    CBoardSet& operator=(const CBoardSet&) = delete;

    // Returns 0 or an error code; on failure failedFile is the file at fault (or null for
    // the set as a whole) and the set is empty.
    std::uint32_t Load(const char* const files[kImageFileCount], const char*& failedFile);
    void Reset();
    bool Loaded() const { return m_composed != nullptr; }

    // Brings the picture up to date with cells (kBoardCells of them). Only cells whose tile
    // changed since the last call are copied, unless a full compose is due.
    std::uint32_t Compose(const Cell* cells);
    // The next Compose writes every pixel.
    void Invalidate() { m_bFull = true; }

    std::int32_t Width() const { return m_nWidth; }
    std::int32_t Height() const { return m_nHeight; }
    // The composed picture: Height() rows of Width() pixels 0xffRRGGBB, top row first.
    const std::uint32_t* Pixels() const { return m_composed.get(); }
    std::uint32_t TilePixel(int slot, std::int32_t x, std::int32_t y) const;
    // The cell-map entry under pixel (x, y), row 0 at the top; null outside the map.
    const RgbQuad* EntryAt(std::int64_t x, std::int64_t y) const;
    // True when every pixel of this cell map decodes as the pixel of base beneath it, base
    // being half this set's size.
    bool RefinesCellsOf(const CBoardSet& base) const;

    static std::uint32_t CellOfEntry(const RgbQuad& entry);
    static int TileOfCell(const Cell& cell);

private:
    // A stretch of the composed picture whose pixels all belong to one cell (or to none).
    struct Stretch
    {
        std::uint32_t offset;
        std::uint32_t length;
        std::uint32_t cell;
    };

    std::uint32_t CountStretches(std::size_t& count) const;
    void BuildStretches(std::size_t count);
    std::uint32_t LoadTile(int slot, const char* file);
    void CopyCell(std::uint32_t cell, int tile);

    CDibSectionBuffer m_matrix;
    std::int32_t m_nWidth;
    std::int32_t m_nHeight;
    std::array<std::uint32_t, 256> m_cellOfIndex;
    std::unique_ptr<std::uint32_t[]> m_tiles; // kTileCount pictures one after the other
    std::unique_ptr<std::uint32_t[]> m_composed;
    std::size_t m_nPixels;
    std::vector<Stretch> m_stretches;    // in memory order
    std::vector<std::uint32_t> m_byCell; // stretch numbers grouped by cell
    std::array<std::uint32_t, kBoardCells + 2> m_cellStart;
    std::array<int, kBoardCells + 1> m_shownTile;
    std::size_t m_nStretchCount;
    bool m_bFull;
};
