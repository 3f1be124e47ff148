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

    const CBoardSet& set = Shown();
    // The pixels stay ours and are read as they are: no conversion, no copy.
    QImage picture(reinterpret_cast<const uchar*>(set.Pixels()), set.Width(), set.Height(),
                   static_cast<qsizetype>(set.Width()) * 4, QImage::Format_RGB32);
    picture.setDevicePixelRatio(ShownScale());

    // Where a device pixel is not a whole number of picture pixels, sample smoothly rather
    // than repeat pixels unevenly.
    const qreal ratio = dc.device() != nullptr ? dc.device()->devicePixelRatioF() : 1.0;
    const bool exact = ratio == ShownScale();
    const bool smooth = dc.testRenderHint(QPainter::SmoothPixmapTransform);
    dc.setRenderHint(QPainter::SmoothPixmapTransform, !exact);
    dc.drawImage(QPointF(x, y), picture);
    dc.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
}
