#include "CBoardSet.h"

#include "ErrorCodes.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace
{
constexpr int kMatrixSlot = 7;
constexpr int kEmptyTile = 0;
constexpr int kSelectTile = 6;
} // namespace

CBoardSet::CBoardSet()
    : m_nWidth(0), m_nHeight(0), m_cellOfIndex{}, m_nPixels(0), m_cellStart{}, m_shownTile{},
      m_nStretchCount(0), m_bFull(true)
{
}

CBoardSet::~CBoardSet() = default;

void CBoardSet::Reset()
{
    m_matrix.Reset();
    m_nWidth = 0;
    m_nHeight = 0;
    // Handing the memory back, not only emptying: a refused set must not keep holding it.
    m_tiles.reset();
    m_composed.reset();
    m_nPixels = 0;
    std::vector<Stretch>().swap(m_stretches);
    std::vector<std::uint32_t>().swap(m_byCell);
    m_nStretchCount = 0;
    m_bFull = true;
}

std::uint32_t CBoardSet::CellOfEntry(const RgbQuad& entry)
{
    if (entry.green == 0 && entry.red < kBoardColumns && entry.blue < kBoardRows)
    {
        return entry.blue * static_cast<std::uint32_t>(kBoardColumns) + entry.red;
    }
    return kNoCell;
}

int CBoardSet::TileOfCell(const Cell& cell)
{
    if ((cell.flags & kCellSelected) != 0)
    {
        return kSelectTile;
    }
    if (cell.colour >= 1 && cell.colour <= static_cast<std::uint32_t>(kBallColours))
    {
        return static_cast<int>(cell.colour);
    }
    return kEmptyTile;
}

std::uint32_t CBoardSet::Load(const char* const files[kImageFileCount], const char*& failedFile)
{
    Reset();
    failedFile = files[kMatrixSlot];
    std::uint32_t code = m_matrix.LoadFromFile(files[kMatrixSlot], kMaxSide);
    if (code == kErrorSuccess && m_matrix.Header()->bitCount != 8)
    {
        code = kErrorInvalidParameter;
    }
    m_nWidth = m_matrix.Header()->width;
    m_nHeight = m_matrix.Header()->height;
    for (int i = 0; i < 256; ++i)
    {
        m_cellOfIndex[std::size_t(i)] = CellOfEntry(m_matrix.Colours()[i]);
    }
    // The stretches are counted before the tiles are read, so a hostile cell map costs no
    // more than itself.
    std::size_t count = 0;
    if (code == kErrorSuccess)
    {
        code = CountStretches(count);
    }
    if (code == kErrorSuccess)
    {
        m_nPixels = std::size_t(m_nWidth) * std::size_t(m_nHeight);
        // The tiles are written in full below; the picture is black until composed.
        m_tiles.reset(new (std::nothrow) std::uint32_t[m_nPixels * kTileCount]);
        m_composed.reset(new (std::nothrow) std::uint32_t[m_nPixels]());
        if (!m_tiles || !m_composed)
        {
            code = kErrorNotEnoughMemory;
        }
    }
    for (int slot = 0; slot < kTileCount && code == kErrorSuccess; ++slot)
    {
        failedFile = files[slot];
        code = LoadTile(slot, files[slot]);
    }
    if (code != kErrorSuccess)
    {
        Reset();
        return code;
    }
    failedFile = nullptr;
    m_nStretchCount = count;
    m_bFull = true;
    return kErrorSuccess;
}

std::uint32_t CBoardSet::CountStretches(std::size_t& count) const
{
    count = 0;
    std::uint32_t previous = ~std::uint32_t{0};
    for (std::int32_t y = 0; y < m_nHeight; ++y)
    {
        const std::uint8_t* indexes = m_matrix.GetRowAddress(y);
        for (std::int32_t x = 0; x < m_nWidth; ++x)
        {
            const std::uint32_t cell = m_cellOfIndex[indexes[x]];
            if (cell != previous)
            {
                if (++count > kMaxStretches)
                {
                    return kErrorNotEnoughMemory;
                }
                previous = cell;
            }
        }
    }
    return kErrorSuccess;
}

// Rows follow each other without padding, so a stretch runs on across a row's end.
void CBoardSet::BuildStretches(std::size_t count)
{
    m_stretches.clear();
    m_stretches.reserve(count);
    std::uint32_t offset = 0;
    for (std::int32_t y = 0; y < m_nHeight; ++y)
    {
        const std::uint8_t* indexes = m_matrix.GetRowAddress(y);
        for (std::int32_t x = 0; x < m_nWidth; ++x, ++offset)
        {
            const std::uint32_t cell = m_cellOfIndex[indexes[x]];
            if (!m_stretches.empty() && m_stretches.back().cell == cell)
            {
                ++m_stretches.back().length;
            }
            else
            {
                m_stretches.push_back(Stretch{offset, 1, cell});
            }
        }
    }

    // Counting sort by cell: a cell's stretches are found without a search.
    m_cellStart.fill(0);
    for (const Stretch& s : m_stretches)
    {
        ++m_cellStart[s.cell + 1];
    }
    for (std::size_t i = 1; i < m_cellStart.size(); ++i)
    {
        m_cellStart[i] += m_cellStart[i - 1];
    }
    m_byCell.assign(m_stretches.size(), 0);
    std::array<std::uint32_t, kBoardCells + 1> next{};
    std::copy(m_cellStart.begin(), m_cellStart.end() - 1, next.begin());
    for (std::uint32_t i = 0; i < m_stretches.size(); ++i)
    {
        m_byCell[next[m_stretches[i].cell]++] = i;
    }
}

std::uint32_t CBoardSet::LoadTile(int slot, const char* file)
{
    CDibSectionBuffer tile;
    std::uint32_t code = tile.LoadFromFile(file, kMaxSide);
    if (code != kErrorSuccess)
    {
        return code;
    }
    const BitmapInfoHeader& header = *tile.Header();
    if (header.bitCount != 24 || header.width != m_nWidth || header.height != m_nHeight)
    {
        return kErrorInvalidParameter;
    }
    std::uint32_t* to = m_tiles.get() + std::size_t(slot) * m_nPixels;
    for (std::int32_t y = 0; y < m_nHeight; ++y)
    {
        const std::uint8_t* from = tile.GetRowAddress(y);
        // Four bytes at a time, the fourth (the next pixel's blue) overwritten by opaque alpha;
        // the row's last pixel alone, as its fourth byte may lie past the picture.
        for (std::int32_t x = 0; x + 1 < m_nWidth; ++x, from += 3)
        {
            std::uint32_t bgrx = 0;
            std::memcpy(&bgrx, from, sizeof bgrx);
            *to++ = 0xff000000U | (bgrx & 0x00ffffffU);
        }
        *to++ =
            0xff000000U | (std::uint32_t(from[2]) << 16) | (std::uint32_t(from[1]) << 8) | from[0];
    }
    return kErrorSuccess;
}

void CBoardSet::CopyCell(std::uint32_t cell, int tile)
{
    const std::uint32_t* source = m_tiles.get() + std::size_t(tile) * m_nPixels;
    std::uint32_t* target = m_composed.get();
    for (std::uint32_t i = m_cellStart[cell]; i < m_cellStart[cell + 1]; ++i)
    {
        const Stretch& s = m_stretches[m_byCell[i]];
        std::memcpy(target + s.offset, source + s.offset, s.length * sizeof(std::uint32_t));
    }
}

std::uint32_t CBoardSet::Compose(const Cell* cells)
{
    if (!Loaded())
    {
        return kErrorNotReady;
    }
    if (m_stretches.empty())
    {
        // Built on first use, so a set that is loaded but never shown costs no more.
        BuildStretches(m_nStretchCount);
        m_bFull = true;
    }
    if (m_bFull)
    {
        // In memory order: one pass over the picture.
        for (const Stretch& s : m_stretches)
        {
            const int tile = s.cell == kNoCell ? kEmptyTile : TileOfCell(cells[s.cell]);
            std::memcpy(m_composed.get() + s.offset,
                        m_tiles.get() + std::size_t(tile) * m_nPixels + s.offset,
                        s.length * sizeof(std::uint32_t));
        }
        for (std::uint32_t cell = 0; cell < kNoCell; ++cell)
        {
            m_shownTile[cell] = TileOfCell(cells[cell]);
        }
        m_shownTile[kNoCell] = kEmptyTile;
        m_bFull = false;
        return kErrorSuccess;
    }
    for (std::uint32_t cell = 0; cell < kNoCell; ++cell)
    {
        const int tile = TileOfCell(cells[cell]);
        if (tile != m_shownTile[cell])
        {
            CopyCell(cell, tile);
            m_shownTile[cell] = tile;
        }
    }
    return kErrorSuccess;
}

std::uint32_t CBoardSet::TilePixel(int slot, std::int32_t x, std::int32_t y) const
{
    if (!Loaded() || slot < 0 || slot >= kTileCount || x < 0 || y < 0 || x >= m_nWidth ||
        y >= m_nHeight)
    {
        return 0;
    }
    return m_tiles[std::size_t(slot) * m_nPixels + std::size_t(y) * std::size_t(m_nWidth) +
                   std::size_t(x)];
}

const RgbQuad* CBoardSet::EntryAt(std::int64_t x, std::int64_t y) const
{
    if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight)
    {
        return nullptr;
    }
    const std::uint8_t* indexes = m_matrix.GetRowAddress(static_cast<std::int32_t>(y));
    return indexes != nullptr ? &m_matrix.Colours()[indexes[x]] : nullptr;
}

bool CBoardSet::RefinesCellsOf(const CBoardSet& base) const
{
    if (!Loaded() || !base.Loaded() || m_nWidth != 2 * std::int64_t{base.m_nWidth} ||
        m_nHeight != 2 * std::int64_t{base.m_nHeight})
    {
        return false;
    }
    for (std::int32_t y = 0; y < m_nHeight; ++y)
    {
        for (std::int32_t x = 0; x < m_nWidth; ++x)
        {
            // What a click reads (red and blue) and what is drawn (the decoded cell) agree.
            const RgbQuad& fine = *EntryAt(x, y);
            const RgbQuad& coarse = *base.EntryAt(x / 2, y / 2);
            if (CellOfEntry(fine) != CellOfEntry(coarse) || fine.red != coarse.red ||
                fine.blue != coarse.blue)
            {
                return false;
            }
        }
    }
    return true;
}
