#include "LegacyBoard.h"

#include <QImage>
#include <QPainter>

#include <cstring>

namespace
{
std::uint32_t CellOfEntry(const RgbQuad& e)
{
    return e.green == 0 && e.red < kBoardColumns && e.blue < kBoardRows
               ? e.blue * std::uint32_t(kBoardColumns) + e.red
               : std::uint32_t(kBoardCells);
}

int TileOf(const Cell& cell)
{
    if ((cell.flags & kCellSelected) != 0)
    {
        return 6;
    }
    return cell.colour >= 1 && cell.colour <= std::uint32_t(kBallColours) ? int(cell.colour) : 0;
}
} // namespace

std::uint32_t LegacyBoard::Load(const char* const files[8])
{
    std::uint32_t code = m_matrix.LoadFromFile(files[7]);
    for (int slot = 0; slot < 7 && code == 0; ++slot)
    {
        code = m_tiles[slot].LoadFromFile(files[slot]);
    }
    if (code != 0)
    {
        return code;
    }
    const std::int32_t width = m_matrix.Header()->width;
    const std::int32_t height = m_matrix.Header()->height;
    code = m_target.CreateBlank(width, height);
    if (code != 0)
    {
        return code;
    }
    const auto stride = std::uint32_t(m_target.Stride());
    const std::uint32_t padding = stride - 3 * std::uint32_t(width);
    for (std::int32_t memoryRow = 0; memoryRow < height; ++memoryRow)
    {
        const std::uint8_t* indexes = m_matrix.GetRowAddress(height - 1 - memoryRow);
        std::uint32_t offset = std::uint32_t(memoryRow) * stride;
        for (std::int32_t x = 0; x < width; ++x, offset += 3)
        {
            const std::uint32_t cell = CellOfEntry(m_matrix.Colours()[indexes[x]]);
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
    return 0;
}

void LegacyBoard::Compose(const CGameState& game)
{
    const std::uint8_t* source[kBoardCells + 1];
    for (int i = 0; i < kBoardCells; ++i)
    {
        source[i] = m_tiles[TileOf(game.cells[i])].Bits();
    }
    source[kBoardCells] = m_tiles[0].Bits();
    std::uint8_t* target = m_target.Bits();
    const std::uint8_t* from = source[m_runs.front().cell];
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    for (const Run& run : m_runs)
    {
        const std::uint8_t* tile = source[run.cell];
        if (tile != from)
        {
            std::memcpy(target + start, from + start, end - start);
            from = tile;
            start = run.offset;
        }
        end = run.offset + run.length;
    }
    std::memcpy(target + start, from + start, end - start);
}

void LegacyBoard::Draw(int x, int y, QPainter& dc) const
{
    const int width = m_target.Header()->width;
    const int height = m_target.Header()->height;
    const QImage rows(m_target.GetRowAddress(height - 1), width, height, m_target.Stride(),
                      QImage::Format_BGR888);
    dc.drawImage(x, y, rows.convertToFormat(QImage::Format_RGB32).mirrored(false, true));
}

std::size_t LegacyBoard::PictureBytes() const
{
    return std::size_t(m_target.Stride()) * std::size_t(m_target.Header()->height);
}
