#include "CBoardImage.h"

#include <QImage>
#include <QPainter>

void CBoardImage::Draw(std::int32_t x, std::int32_t y, QPainter& dc)
{
    if (!m_bLoaded)
    {
        return;
    }
    m_nOriginX = x;
    m_nOriginY = y;

    const BitmapInfoHeader& header = *m_target.m_pHeader;
    const int width = header.width;
    const int height = header.height < 0 ? -header.height : header.height;
    const std::uint8_t* top = m_target.GetRowAddress(0);
    const std::uint8_t* bottom = m_target.GetRowAddress(height - 1);
    if (width <= 0 || top == nullptr || bottom == nullptr)
    {
        return;
    }

    // The pixel memory stays ours: the wrapper reads the rows in memory order, and a bottom-up
    // picture is turned upright while it is converted to the painter's own pixel format.
    const bool bottomUp = bottom < top;
    const QImage rows(bottomUp ? bottom : top, width, height, m_target.m_nStride,
                      QImage::Format_BGR888);
    QImage upright = rows.convertToFormat(QImage::Format_RGB32);
    if (bottomUp)
    {
        upright = std::move(upright).mirrored(false, true);
    }
    dc.drawImage(x, y, upright);
}
