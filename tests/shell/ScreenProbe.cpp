// Reads a screenshot of the running game against the board files of the working directory:
//   ScreenProbe cell COLUMN ROW                   -> "x y" of the cell's middle in the picture
//   ScreenProbe locate SHOT X0 Y0 X1 Y1           -> "x y" where the board picture's top-left is
//   ScreenProbe look SHOT X Y COLUMN ROW          -> "select", "tile N" or "other"
#include "CBoardImage.h"
#include "ShellTestSupport.h"

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace
{

QRgb PictureAt(const CDibSectionBuffer& picture, int x, int y)
{
    const std::uint8_t* row = picture.GetRowAddress(y);
    return qRgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
}

bool IsCell(const CBoardImage& image, int x, int y, int column, int row)
{
    const RgbQuad& e = image.m_matrix.m_pColours[image.m_matrix.GetRowAddress(y)[x]];
    if (column < 0)
    {
        return !(e.green == 0 && e.red < kBoardColumns && e.blue < kBoardRows);
    }
    return e.green == 0 && e.red == column && e.blue == row;
}

// Pixels of one cell (or, for column -1, of no cell), every step-th of them.
std::vector<QPoint> Pixels(const CBoardImage& image, int column, int row, int step)
{
    std::vector<QPoint> points;
    int n = 0;
    for (int y = 0; y < image.m_matrix.m_pHeader->height; ++y)
    {
        for (int x = 0; x < image.m_matrix.m_pHeader->width; ++x)
        {
            if (IsCell(image, x, y, column, row) && n++ % step == 0)
            {
                points.emplace_back(x, y);
            }
        }
    }
    return points;
}

bool Matches(const QImage& shot, const QPoint& at, const CDibSectionBuffer& tile,
             const std::vector<QPoint>& points)
{
    for (const QPoint& p : points)
    {
        const QPoint s = at + p;
        if (!shot.rect().contains(s) ||
            (shot.pixel(s) & 0xffffff) != (PictureAt(tile, p.x(), p.y()) & 0xffffff))
        {
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    CBoardImage image;
    if (image.Load() != 0)
    {
        std::fprintf(stderr, "the board files do not load here\n");
        return 2;
    }
    const auto arg = [&](int i) { return i < argc ? std::atoi(argv[i]) : 0; };
    if (argc == 4 && std::strcmp(argv[1], "cell") == 0)
    {
        QPoint p;
        if (!CellPixel(image, static_cast<std::uint32_t>(arg(2)),
                       static_cast<std::uint32_t>(arg(3)), p))
        {
            return 1;
        }
        std::printf("%d %d\n", p.x(), p.y());
        return 0;
    }
    if (argc == 7 && std::strcmp(argv[1], "locate") == 0)
    {
        const QImage shot =
            QImage(QString::fromLocal8Bit(argv[2])).convertToFormat(QImage::Format_RGB32);
        const std::vector<QPoint> outside = Pixels(image, -1, -1, 97);
        for (int y = arg(4); y <= arg(6); ++y)
        {
            for (int x = arg(3); x <= arg(5); ++x)
            {
                if (Matches(shot, QPoint(x, y), image.m_tiles[0], outside))
                {
                    std::printf("%d %d\n", x, y);
                    return 0;
                }
            }
        }
        return 1;
    }
    if (argc == 7 && std::strcmp(argv[1], "look") == 0)
    {
        const QImage shot =
            QImage(QString::fromLocal8Bit(argv[2])).convertToFormat(QImage::Format_RGB32);
        const std::vector<QPoint> cell = Pixels(image, arg(5), arg(6), 1);
        const QPoint at(arg(3), arg(4));
        if (Matches(shot, at, image.m_tiles[6], cell))
        {
            std::printf("select\n");
            return 0;
        }
        for (int tile = 0; tile < 6; ++tile)
        {
            if (Matches(shot, at, image.m_tiles[tile], cell))
            {
                std::printf("tile %d\n", tile);
                return 0;
            }
        }
        std::printf("other\n");
        return 0;
    }
    std::fprintf(stderr, "usage: ScreenProbe cell|locate|look ...\n");
    return 2;
}
