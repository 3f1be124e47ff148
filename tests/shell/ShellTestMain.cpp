// The shell tests, run in the data folder. A helper for the X scripts rides along:
//   probe SHOT X Y RATIO COLUMN ROW  finds the board on a screenshot at device column X, within
//       80 logical pixels below row Y, as the set for that ratio draws it; prints the cell's
//       middle (device pixels) and whether it shows the select look (1 or 0), or nothing
#include "ShellTest.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <tuple>

namespace
{

int Probe(char** argv)
{
    CBoardImage image;
    const QImage shot = QImage(argv[2]).convertToFormat(QImage::Format_RGB32);
    const double ratio = std::atof(argv[5]);
    if (image.Load() != 0 || shot.isNull())
        return 2;
    image.SetDeviceRatio(ratio);
    const double scale = image.ShownScale() / ratio;
    const CellPixelLists lists = CellPixels(image);
    const auto device = [ratio](QPoint p)
    { return QPoint(qRound((p.x() + 0.5) * ratio - 0.5), qRound((p.y() + 0.5) * ratio - 0.5)); };
    // Mean over every step-th point of the largest channel difference from a tile of the shown
    // set, with the board's top-left at device pixel at.
    const auto error = [&](QPoint at, int tile, const std::vector<QPoint>& points, std::size_t step)
    {
        double sum = 0;
        for (std::size_t i = 0; i < points.size(); i += step)
        {
            const QPoint d = device(points[i]);
            const QRgb want = image.Shown().TilePixel(tile, int((d.x() + 0.5) * scale),
                                                      int((d.y() + 0.5) * scale));
            const QRgb got = shot.valid(at + d) ? shot.pixel(at + d) : want ^ 0x808080u;
            sum += std::max({std::abs(qRed(want) - qRed(got)), std::abs(qGreen(want) - qGreen(got)),
                             std::abs(qBlue(want) - qBlue(got))});
        }
        return sum * double(step) / double(points.size());
    };
    // Exact where pixels are shown one for one, else what smooth scaling leaves.
    const double tolerance = scale == 1 ? 0.5 : 16;
    double best = tolerance;
    QPoint at(std::atoi(argv[3]), -1);
    for (int y = std::atoi(argv[4]), end = y + int(80 * ratio); y <= end; ++y)
        if (const double e = error({at.x(), y}, 0, lists[kBoardCells], 97); e < best)
            std::tie(best, at.ry()) = std::tuple(e, y);
    if (at.y() < 0)
        return 1;
    const auto& cell = lists[std::atoi(argv[7]) * kBoardColumns + std::atoi(argv[6])];
    const QPoint middle = at + device(cell[cell.size() / 2]);
    // Slot 6 holds the select look.
    std::printf("%d %d %d\n", middle.x(), middle.y(), error(at, 6, cell, 1) < 2 * tolerance + 1);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 8 && qstrcmp(argv[1], "probe") == 0)
        return Probe(argv);
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
