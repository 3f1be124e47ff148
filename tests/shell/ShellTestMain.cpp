// The shell tests, run in the data folder. Two helpers for the scripts ride along:
//   break FOLDER FILE KIND [FILE KIND ...]  copies the data there, files spoilt (see CopySpoilt)
//   probe SHOT X0 Y0 COLUMN ROW [RATIO]     finds the board's top-left on a screenshot within
//       40 by 120 logical pixels of (X0, Y0); prints it, the cell's middle (device pixels) and
//       its look there: select, tile (a ball or empty) or other
#include "CAnimator.h"
#include "ShellTest.h"

#include <QApplication>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace
{

// Mean of the largest channel difference between the shot and a tile of the shown set, over
// logical points of the board placed with its top-left at device pixel at; stops above limit.
double Difference(const QImage& shot, const CBoardImage& image, double ratio, QPoint at, int tile,
                  const std::vector<QPoint>& points, double limit)
{
    const CBoardSet& set = image.Shown();
    const int scale = image.ShownScale();
    double sum = 0;
    const double stop = limit * double(points.size());
    for (const QPoint p : points)
    {
        const QPoint offset(qRound((p.x() + 0.5) * ratio - 0.5),
                            qRound((p.y() + 0.5) * ratio - 0.5));
        const QPoint d = at + offset;
        if (!shot.rect().contains(d))
            return 255;
        const QRgb want = set.TilePixel(tile, int((offset.x() + 0.5) * scale / ratio),
                                        int((offset.y() + 0.5) * scale / ratio));
        const QRgb got = shot.pixel(d);
        sum += std::max({std::abs(qRed(want) - qRed(got)), std::abs(qGreen(want) - qGreen(got)),
                         std::abs(qBlue(want) - qBlue(got))});
        if (sum > stop)
            return 255;
    }
    return sum / double(points.size());
}

int Probe(int argc, char** argv)
{
    CBoardImage image;
    const QImage shot = QImage(argv[2]).convertToFormat(QImage::Format_RGB32);
    if (image.Load() != 0 || shot.isNull())
        return 2;
    // The screen's device pixel ratio: the game shows the set it would choose for it.
    const double ratio = argc > 7 ? std::atof(argv[7]) : 1.0;
    image.SetDeviceRatio(ratio);
    // Exact where pixels are shown one for one, else what smooth scaling leaves.
    const double tolerance = ratio == image.ShownScale() ? 0.5 : 16;
    const CellPixelLists lists = CellPixels(image);
    const std::vector<QPoint>& cell =
        lists[std::atoi(argv[6]) * kBoardColumns + std::atoi(argv[5])];
    std::vector<QPoint> outside; // every 97th pixel between the cells
    for (std::size_t i = 0; i < lists[kBoardCells].size(); i += 97)
        outside.push_back(lists[kBoardCells][i]);
    QPoint best;
    double bestError = tolerance;
    const int x0 = std::atoi(argv[3]);
    const int y0 = std::atoi(argv[4]);
    for (int y = y0; y <= y0 + int(120 * ratio); ++y)
        for (int x = x0; x <= x0 + int(40 * ratio); ++x)
        {
            const double error = Difference(shot, image, ratio, {x, y}, 0, outside, bestError);
            if (error < bestError)
            {
                bestError = error;
                best = QPoint(x, y);
            }
        }
    if (bestError >= tolerance)
        return 1;
    int look = -1;
    double lookError = 2 * tolerance + 1;
    for (int tile = 0; tile < kTileCount; ++tile)
    {
        const double error = Difference(shot, image, ratio, best, tile, cell, lookError);
        if (error < lookError)
        {
            lookError = error;
            look = tile;
        }
    }
    const QPoint m = cell[cell.size() / 2];
    const QPoint middle =
        best + QPoint(qRound((m.x() + 0.5) * ratio - 0.5), qRound((m.y() + 0.5) * ratio - 0.5));
    std::printf("%d %d %d %d %s\n", best.x(), best.y(), middle.x(), middle.y(),
                look == 6   ? "select"
                : look >= 0 ? "tile"
                            : "other");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const QByteArray tool = argc > 1 ? argv[1] : "";
    if ((tool == "break" && argc % 2 == 1) || (tool == "probe" && (argc == 7 || argc == 8)))
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QGuiApplication application(argc, argv);
        std::vector<std::pair<QString, QString>> spoilt;
        for (int i = 3; i + 1 < argc; i += 2)
            spoilt.emplace_back(argv[i], argv[i + 1]);
        return tool == "probe"                                    ? Probe(argc, argv)
               : CopySpoilt(QDir::currentPath(), argv[2], spoilt) ? 0
                                                                  : 1;
    }
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
