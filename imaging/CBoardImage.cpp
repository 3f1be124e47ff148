#include "CBoardImage.h"

#include "CGameState.h"
#include "ErrorCodes.h"
#include "IAnimator.h"

#include <cstring>

const char* const g_imageFiles[kImageFileCount] = {
    "empty.bmp",  "red.bmp",     "green.bmp",  "blue.bmp",
    "yellow.bmp", "magenta.bmp", "select.bmp", "matrix.bmp",
};

namespace
{

constexpr int kMatrixSlot = 7;
constexpr int kEmptyTile = 0;
constexpr int kSelectTile = 6;
constexpr std::uint32_t kNoCell = kBoardCells;

// The cell a cell-map colour entry stands for, or kNoCell.
std::uint32_t CellOfEntry(const RgbQuad& entry)
{
    if (entry.green == 0 && entry.red < kBoardColumns && entry.blue < kBoardRows)
    {
        return entry.blue * static_cast<std::uint32_t>(kBoardColumns) + entry.red;
    }
    return kNoCell;
}

int TileOfCell(const Cell& cell)
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

// Copies one stretch. Short stretches (a gap between cells, a few bytes) cost less inline than a
// call; source and target never overlap, so a tail may be copied as one overlapping block.
inline void CopyRun(std::uint8_t* target, const std::uint8_t* source, std::uint32_t length)
{
    if (length >= 64)
    {
        std::memcpy(target, source, length);
    }
    else if (length >= 16)
    {
        std::uint32_t done = 0;
        for (; done + 16 <= length; done += 16)
        {
            std::memcpy(target + done, source + done, 16);
        }
        if (done < length)
        {
            std::memcpy(target + length - 16, source + length - 16, 16);
        }
    }
    else if (length >= 8)
    {
        std::memcpy(target, source, 8);
        std::memcpy(target + length - 8, source + length - 8, 8);
    }
    else if (length >= 4)
    {
        std::memcpy(target, source, 4);
        std::memcpy(target + length - 4, source + length - 4, 4);
    }
    else
    {
        for (std::uint32_t i = 0; i < length; ++i)
        {
            target[i] = source[i];
        }
    }
}

} // namespace

CBoardImage::CBoardImage()
    : m_bLoaded(false), m_nOriginX(0), m_nOriginY(0), m_pszFailedFile(nullptr)
{
}

CBoardImage::~CBoardImage()
{
    Reset();
}

void CBoardImage::Reset()
{
    // m_pszFailedFile survives: the failure path of Load resets and the caller still asks
    // which file failed.
    m_bLoaded = false;
    m_matrix.Reset();
    for (CDibSectionBuffer& tile : m_tiles)
    {
        tile.Reset();
    }
    m_target.Reset();
    m_nOriginX = 0;
    m_nOriginY = 0;
    m_runs.clear();
}

std::uint32_t CBoardImage::Load()
{
    m_pszFailedFile = nullptr;
    std::uint32_t code = m_matrix.LoadFromFile(g_imageFiles[kMatrixSlot]);
    if (code == kErrorSuccess && m_matrix.m_pHeader->bitCount != 8)
    {
        code = kErrorInvalidParameter;
    }
    if (code != kErrorSuccess)
    {
        m_pszFailedFile = g_imageFiles[kMatrixSlot];
        Reset();
        return code;
    }

    const std::int32_t width = m_matrix.m_pHeader->width;
    const std::int32_t height = m_matrix.m_pHeader->height;
    for (int slot = 0; slot < kTileCount; ++slot)
    {
        CDibSectionBuffer& tile = m_tiles[slot];
        code = tile.LoadFromFile(g_imageFiles[slot]);
        if (code == kErrorSuccess &&
            (tile.m_pHeader->bitCount != 24 || tile.m_pHeader->width != width ||
             tile.m_pHeader->height != height))
        {
            code = kErrorInvalidParameter;
        }
        if (code != kErrorSuccess)
        {
            m_pszFailedFile = g_imageFiles[slot];
            Reset();
            return code;
        }
    }

    code = m_target.CreateBlank(width, height);
    if (code != kErrorSuccess)
    {
        Reset();
        return code;
    }
    BuildRuns();
    m_bLoaded = true;
    return kErrorSuccess;
}

// Walks the composed picture in memory order (bottom row first) and cuts it into stretches of
// one cell each. A row's padding joins its last stretch, so stretches of one cell meet across
// row ends, and the stretches cover every byte of the picture.
void CBoardImage::BuildRuns()
{
    std::uint32_t cellOfIndex[256];
    for (int i = 0; i < 256; ++i)
    {
        cellOfIndex[i] = CellOfEntry(m_matrix.m_pColours[i]);
    }

    m_runs.clear();
    const std::int32_t width = m_target.m_pHeader->width;
    const std::int32_t height = m_target.m_pHeader->height;
    const std::uint32_t stride = static_cast<std::uint32_t>(m_target.m_nStride);
    const std::uint32_t padding = stride - 3 * static_cast<std::uint32_t>(width);
    for (std::int32_t memoryRow = 0; memoryRow < height; ++memoryRow)
    {
        const std::uint8_t* indexes = m_matrix.GetRowAddress(height - 1 - memoryRow);
        std::uint32_t offset = static_cast<std::uint32_t>(memoryRow) * stride;
        for (std::int32_t x = 0; x < width; ++x, offset += 3)
        {
            const std::uint32_t cell = cellOfIndex[indexes[x]];
            if (!m_runs.empty() && m_runs.back().cell == cell &&
                m_runs.back().offset + m_runs.back().length == offset)
            {
                m_runs.back().length += 3;
            }
            else
            {
                m_runs.push_back(Run{offset, 3, cell});
            }
        }
        m_runs.back().length += padding;
    }
}

// Guards the stretches against pictures that were reset or replaced behind our back.
bool CBoardImage::PicturesIntact() const
{
    const BitmapInfoHeader& target = *m_target.m_pHeader;
    if (m_target.m_pBits == nullptr)
    {
        return false;
    }
    for (const CDibSectionBuffer& tile : m_tiles)
    {
        const BitmapInfoHeader& header = *tile.m_pHeader;
        if (tile.m_pBits == nullptr || header.bitCount != 24 || header.width != target.width ||
            header.height != target.height)
        {
            return false;
        }
    }
    return true;
}

std::uint32_t CBoardImage::Compose(const CGameState& gameState)
{
    if (!m_bLoaded || m_runs.empty() || !PicturesIntact())
    {
        return kErrorNotReady;
    }
    const std::uint8_t* source[kBoardCells + 1];
    for (int i = 0; i < kBoardCells; ++i)
    {
        source[i] = m_tiles[TileOfCell(gameState.cells[i])].m_pBits;
    }
    source[kNoCell] = m_tiles[kEmptyTile].m_pBits;

    // Neighbouring stretches drawn from the same tile are copied as one.
    std::uint8_t* target = m_target.m_pBits;
    const std::uint8_t* from = source[m_runs.front().cell];
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    for (const Run& run : m_runs)
    {
        const std::uint8_t* tile = source[run.cell];
        if (tile != from)
        {
            CopyRun(target + start, from + start, end - start);
            from = tile;
            start = run.offset;
        }
        end = run.offset + run.length;
    }
    CopyRun(target + start, from + start, end - start);
    return kErrorSuccess;
}

bool CBoardImage::HitTest(std::int32_t x, std::int32_t y, std::uint32_t& column,
                          std::uint32_t& row) const
{
    // Wide arithmetic: a point far from the origin must not overflow.
    const std::int64_t dx = static_cast<std::int64_t>(x) - m_nOriginX;
    const std::int64_t dy = static_cast<std::int64_t>(y) - m_nOriginY;
    const BitmapInfoHeader& header = *m_matrix.m_pHeader;
    if (dx < 0 || dx >= header.width || dy < 0 || dy >= header.height)
    {
        return false;
    }
    const std::uint8_t* indexes = m_matrix.GetRowAddress(static_cast<std::int32_t>(dy));
    if (indexes == nullptr || dx >= m_matrix.m_nStride)
    {
        return false;
    }
    const RgbQuad& entry = m_matrix.m_pColours[indexes[dx]];
    column = entry.red;
    row = entry.blue;
    return true;
}

std::uint32_t CBoardImage::Click(std::int32_t x, std::int32_t y, CGameState& gameState,
                                 IAnimator* animator)
{
    if (!m_bLoaded)
    {
        return 0;
    }
    std::uint32_t column = 0;
    std::uint32_t row = 0;
    if (!HitTest(x, y, column, row))
    {
        return 0;
    }
    const ClickResult result = gameState.ProcessClick(column, row, animator);
    if (result != ResultNothing)
    {
        Compose(gameState);
    }
    return static_cast<std::uint32_t>(result);
}
