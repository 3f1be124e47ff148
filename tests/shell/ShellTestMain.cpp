// The shell tests, run in the data folder. Two helpers for the scripts ride along:
//   break FOLDER FILE KIND [FILE KIND ...]  copies the data there, files spoilt (see CopySpoilt)
//   probe SHOT X0 Y0 COLUMN ROW             finds the board's top-left on a screenshot within
//       40 by 120 pixels of (X0, Y0); prints it, the cell's middle and its look there: select,
//       tile (a ball or empty) or other
#include "CAnimator.h"
#include "ShellTest.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace
{

int Probe(char** argv)
{
    CBoardImage image;
    const QImage shot = QImage(argv[2]).convertToFormat(QImage::Format_RGB32);
    if (image.Load() != 0 || shot.isNull())
        return 2;
    const CellPixelLists lists = CellPixels(image);
    const std::vector<QPoint>& cell =
        lists[std::atoi(argv[6]) * kBoardColumns + std::atoi(argv[5])];
    std::vector<QPoint> outside; // every 97th pixel between the cells
    for (std::size_t i = 0; i < lists[kBoardCells].size(); i += 97)
        outside.push_back(lists[kBoardCells][i]);
    const auto shows = [&](QPoint at, int tile, const std::vector<QPoint>& points)
    {
        return std::all_of(points.begin(), points.end(),
                           [&](QPoint p)
                           {
                               return shot.rect().contains(at + p) &&
                                      (shot.pixel(at + p) & 0xffffff) ==
                                          (TileAt(image, tile, p) & 0xffffff);
                           });
    };
    for (int y = std::atoi(argv[4]), x0 = std::atoi(argv[3]); y <= std::atoi(argv[4]) + 120; ++y)
    {
        for (int x = x0; x <= x0 + 40; ++x)
        {
            if (!shows(QPoint(x, y), 0, outside))
                continue;
            const char* look = shows(QPoint(x, y), 6, cell) ? "select" : "other";
            for (int tile = 0; tile < 6; ++tile)
                look = shows(QPoint(x, y), tile, cell) ? "tile" : look;
            const QPoint middle = QPoint(x, y) + cell[cell.size() / 2];
            std::printf("%d %d %d %d %s\n", x, y, middle.x(), middle.y(), look);
            return 0;
        }
    }
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    const QByteArray tool = argc > 1 ? argv[1] : "";
    if ((tool == "break" && argc % 2 == 1) || (tool == "probe" && argc == 7))
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
    // Moves run without waiting between frames, and no box may wait for a click.
    CAnimator::s_nFrameMilliseconds = 0;
    CChildView::s_pfnShowError = &ErrorBoxLog::Record;
    return RUN_ALL_TESTS();
}
