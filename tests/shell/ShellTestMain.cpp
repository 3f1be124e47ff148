// The shell tests, run in the data folder. Two helpers for the scripts ride along:
//   break FOLDER FILE KIND [FILE KIND ...]  copies the data there, files spoilt (see CopySpoilt)
//   probe SHOT X Y RATIO COLUMN ROW         finds the board on a screenshot at device column X,
//       within 80 logical pixels below row Y, as the set for that ratio draws it; prints the
//       cell's middle (device pixels) and the tile it shows there (-1: none), or nothing
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
    const std::vector<QPoint>& cell =
        lists[std::atoi(argv[7]) * kBoardColumns + std::atoi(argv[6])];
    int look = -1;
    double lookError = 2 * tolerance + 1;
    for (int tile = 0; tile < kTileCount; ++tile)
        if (const double e = error(at, tile, cell, 1); e < lookError)
            std::tie(lookError, look) = std::tuple(e, tile);
    const QPoint middle = at + device(cell[cell.size() / 2]);
    std::printf("%d %d %d\n", middle.x(), middle.y(), look);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const QByteArray tool = argc > 1 ? argv[1] : "";
    if ((tool == "break" && argc % 2 == 1) || (tool == "probe" && argc == 8))
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication application(argc, argv);
        std::vector<std::pair<QString, QString>> spoilt;
        for (int i = 3; i + 1 < argc; i += 2)
            spoilt.emplace_back(argv[i], argv[i + 1]);
        return tool == "probe"                                    ? Probe(argv)
               : CopySpoilt(QDir::currentPath(), argv[2], spoilt) ? 0
                                                                  : 1;
    }
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
