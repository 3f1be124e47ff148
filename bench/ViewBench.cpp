// Clicks through the real main window on the offscreen platform, each press timed together with
// the repaint it makes before it returns:
//   BM_SelectPress / BM_DeselectPress: one press that selects a group, one that drops it again.
//   BM_Removal/<frame ms>: a press that removes a group and plays its whole settle, one painted
//   frame per step, with no wait between frames (0) and with the frame time the game ships with.
// Runs from the data folder the build writes the board files to.

#include "CAnimator.h"
#include "CBoardImage.h"
#include "CChildView.h"
#include "CMainFrame.h"
#include "IAnimator.h"
#include "ICuePlayer.h"

#include <QApplication>
#include <QEvent>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <unistd.h>

namespace
{

CMainFrame* g_frame = nullptr;

// Counts the paint events a widget receives: one per frame put on the screen.
class PaintCounter : public QObject
{
public:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
        {
            ++paints;
        }
        return QObject::eventFilter(watched, event);
    }
    long paints = 0;
};

// Keeps the timed presses free of audio start-up; the cue is still asked for on every move.
class SilentCuePlayer : public ICuePlayer
{
public:
    void Play(const char*) override { ++cues; }
    long cues = 0;
};

class NullAnimator : public IAnimator
{
public:
    void Step() override {}
    void PlayCue(const char*) override {}
};

void SilenceErrorBox(const QString& text)
{
    std::fprintf(stderr, "%s\n", qUtf8Printable(text));
}

// The pixel of a cell nearest the middle of its pixels in the cell map, or of no cell for
// column -1; in the view's widget coordinates.
QPoint ViewPoint(const CChildView& view, int column, int row)
{
    const CBoardSet& map = view.BoardImage().BaseSet();
    std::vector<QPoint> points;
    QPoint sum;
    for (int y = 0; y < map.Height(); ++y)
    {
        for (int x = 0; x < map.Width(); ++x)
        {
            const RgbQuad& e = *map.EntryAt(x, y);
            const bool isCell = e.green == 0 && e.red < kBoardColumns && e.blue < kBoardRows;
            if (column < 0 ? !isCell : (isCell && e.red == column && e.blue == row))
            {
                points.emplace_back(x, y);
                sum += QPoint(x, y);
            }
        }
    }
    if (points.empty())
    {
        return QPoint(-1, -1);
    }
    const QPoint middle = sum / static_cast<int>(points.size());
    const auto nearest =
        std::min_element(points.begin(), points.end(),
                         [&](const QPoint& a, const QPoint& b) {
                             return (a - middle).manhattanLength() < (b - middle).manhattanLength();
                         });
    return *nearest + QPoint(view.BoardImage().OriginX(), view.BoardImage().OriginY()) +
           view.ClientOrigin();
}

// A ball with a right or lower neighbour of its colour: pressing it selects a group.
bool FindPair(const CGameState& game, int& column, int& row)
{
    for (std::uint32_t r = kBoardRows; r-- > 0;)
    {
        for (std::uint32_t c = 0; c < kBoardColumns; ++c)
        {
            const std::uint32_t colour = game.CellAt(c, r).colour;
            if (colour != 0 &&
                (game.CellAt(c + 1, r).colour == colour || game.CellAt(c, r + 1).colour == colour))
            {
                column = static_cast<int>(c);
                row = static_cast<int>(r);
                return true;
            }
        }
    }
    return false;
}

// One left press on the view, with everything it paints before returning; the release is not
// timed.
double TimedPress(CChildView& view, QPoint point)
{
    const auto start = std::chrono::steady_clock::now();
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, point);
    const auto end = std::chrono::steady_clock::now();
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, point);
    return std::chrono::duration<double>(end - start).count();
}

void ReportPresses(benchmark::State& state, std::vector<double> seconds)
{
    if (seconds.empty())
    {
        return;
    }
    std::sort(seconds.begin(), seconds.end());
    const auto at = [&](double q) {
        return seconds[static_cast<std::size_t>(q * static_cast<double>(seconds.size() - 1))] * 1e3;
    };
    state.counters["median_ms"] = at(0.5);
    state.counters["p90_ms"] = at(0.9);
    state.counters["min_ms"] = seconds.front() * 1e3;
    state.counters["max_ms"] = seconds.back() * 1e3;
}

// Select and deselect alternate on a fixed deal, so every iteration starts from the same board.
void Presses(benchmark::State& state, bool timeSelect)
{
    CChildView& view = g_frame->View();
    SilentCuePlayer cues;
    view.SetCuePlayer(&cues);
    view.SetFrameMilliseconds(0);
    view.Game().NewGameWithSeed(1);
    view.BoardImage().Compose(view.Game());
    view.repaint();
    int column = 0;
    int row = 0;
    if (!FindPair(view.Game(), column, row))
    {
        state.SkipWithError("no group on the board");
        return;
    }
    const QPoint ball = ViewPoint(view, column, row);
    const QPoint gap = ViewPoint(view, -1, -1);
    std::vector<double> timed;
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores)
    {
        const double select = TimedPress(view, ball);
        if (view.Game().selection.empty())
        {
            state.SkipWithError("the press did not select");
            break;
        }
        const double deselect = TimedPress(view, gap);
        if (!view.Game().selection.empty())
        {
            state.SkipWithError("the press did not deselect");
            break;
        }
        const double seconds = timeSelect ? select : deselect;
        timed.push_back(seconds);
        state.SetIterationTime(seconds);
    }
    ReportPresses(state, timed);
    view.SetCuePlayer(nullptr);
}

void BM_SelectPress(benchmark::State& state)
{
    Presses(state, true);
}
BENCHMARK(BM_SelectPress)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_DeselectPress(benchmark::State& state)
{
    Presses(state, false);
}
BENCHMARK(BM_DeselectPress)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(2.0);

// A removal and its settle. Argument: frame time in ms; range(1) 0 removes the largest group of
// a fixed deal, 1 a board of one colour (every ball falls and the most columns enter).
void BM_Removal(benchmark::State& state)
{
    CChildView& view = g_frame->View();
    SilentCuePlayer cues;
    view.SetCuePlayer(&cues);
    const int frameMs = static_cast<int>(state.range(0));
    view.SetFrameMilliseconds(frameMs);

    view.Game().NewGameWithSeed(1);
    int column = 0;
    int row = 0;
    if (state.range(1) == 1)
    {
        for (Cell& cell : view.Game().cells)
        {
            cell = Cell{2, 0};
        }
    }
    else
    {
        // The ball whose group is largest.
        std::size_t best = 0;
        for (std::uint32_t i = 0; i < kBoardCells; ++i)
        {
            CGameState probe = view.Game();
            NullAnimator animator;
            probe.ProcessClick(i % kBoardColumns, i / kBoardColumns, &animator);
            if (probe.selection.size() > best)
            {
                best = probe.selection.size();
                column = static_cast<int>(i % kBoardColumns);
                row = static_cast<int>(i / kBoardColumns);
            }
        }
    }
    const CGameState start = view.Game();
    const QPoint ball = ViewPoint(view, column, row);

    PaintCounter counter;
    view.installEventFilter(&counter);
    std::vector<double> timed;
    long frames = 0;
    std::size_t balls = 0;
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores)
    {
        view.Game() = start;
        view.BoardImage().Compose(view.Game());
        TimedPress(view, ball);
        balls = view.Game().selection.size();
        const long before = counter.paints;
        const double seconds = TimedPress(view, ball);
        // Every settle step and the view's own repaint after the move.
        frames = counter.paints - before;
        if (view.Game().totalScore == 0)
        {
            state.SkipWithError("the press did not remove the group");
            break;
        }
        timed.push_back(seconds);
        state.SetIterationTime(seconds);
    }
    view.removeEventFilter(&counter);
    ReportPresses(state, timed);
    state.counters["balls"] = static_cast<double>(balls);
    state.counters["frames"] = static_cast<double>(frames);
    if (!timed.empty())
    {
        std::sort(timed.begin(), timed.end());
        state.counters["fps"] = static_cast<double>(frames) / timed[timed.size() / 2];
    }
    view.SetFrameMilliseconds(0);
    view.SetCuePlayer(nullptr);
}
BENCHMARK(BM_Removal)
    ->ArgNames({"frame_ms", "whole_board"})
    ->Args({0, 0})
    ->Args({10, 0})
    ->Args({0, 1})
    ->Args({10, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
    {
        return 1;
    }
    if (chdir(DAVIZ_DATA_DIR) != 0)
    {
        std::fprintf(stderr, "cannot enter %s\n", DAVIZ_DATA_DIR);
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication application(qtArgc, argv);

    CMainFrame frame;
    frame.View().SetErrorBox(&SilenceErrorBox);
    frame.show();
    if (!QTest::qWaitForWindowExposed(&frame) || !frame.View().BoardImage().Loaded())
    {
        std::fprintf(stderr, "no window or no board pictures in %s\n", DAVIZ_DATA_DIR);
        return 1;
    }
    QApplication::processEvents();
    g_frame = &frame;
    benchmark::AddCustomContext("qt", qVersion());
    benchmark::AddCustomContext("platform", qUtf8Printable(QGuiApplication::platformName()));
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_frame = nullptr;
    return 0;
}
