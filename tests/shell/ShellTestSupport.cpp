#include "ShellTestSupport.h"

#include <QTest>

#include <limits>

std::vector<QString> ErrorBoxLog::texts;

bool CellPixel(const CBoardImage& image, std::uint32_t column, std::uint32_t row, QPoint& pixel)
{
    const CDibSectionBuffer& map = image.m_matrix;
    if (map.m_pHeader == nullptr || map.m_pBits == nullptr)
    {
        return false;
    }
    const int width = map.m_pHeader->width;
    const int height = map.m_pHeader->height < 0 ? -map.m_pHeader->height : map.m_pHeader->height;
    std::vector<QPoint> points;
    long long sumX = 0;
    long long sumY = 0;
    for (int y = 0; y < height; ++y)
    {
        const std::uint8_t* line = map.GetRowAddress(y);
        for (int x = 0; line != nullptr && x < width; ++x)
        {
            const RgbQuad& entry = map.m_pColours[line[x]];
            if (entry.green == 0 && entry.red == column && entry.blue == row)
            {
                points.emplace_back(x, y);
                sumX += x;
                sumY += y;
            }
        }
    }
    if (points.empty())
    {
        return false;
    }
    const long long n = static_cast<long long>(points.size());
    const QPoint middle(static_cast<int>(sumX / n), static_cast<int>(sumY / n));
    long long best = std::numeric_limits<long long>::max();
    for (const QPoint& p : points)
    {
        const long long d = static_cast<long long>((p - middle).manhattanLength());
        if (d < best)
        {
            best = d;
            pixel = p;
        }
    }
    return true;
}

QPoint ViewPointOfCell(const CChildView& view, std::uint32_t column, std::uint32_t row)
{
    QPoint pixel;
    if (!CellPixel(view.m_boardImage, column, row, pixel))
    {
        return QPoint(-1, -1);
    }
    return pixel + QPoint(15, 20) + view.ClientOrigin();
}

void ClickCell(CChildView& view, std::uint32_t column, std::uint32_t row)
{
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, ViewPointOfCell(view, column, row));
}

std::uint32_t LastPairBoard(std::uint32_t column, std::uint32_t row)
{
    if (row == 0 && column < 2)
    {
        return 1;
    }
    if (column < 2)
    {
        return 4 + (column + row) % 2;
    }
    return 2 + (column + row) % 2;
}
