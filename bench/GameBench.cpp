#include "CGameState.h"
#include "IAnimator.h"

#include <benchmark/benchmark.h>

#include <random>

namespace
{
// Shows nothing and plays nothing: measures the rules alone.
class NullAnimator : public IAnimator
{
public:
    void Step() override { ++steps; }
    void PlayCue(const char*) override {}

    long steps = 0;
};

// Random clicks, half of them on the selected group so that games move on.
void BM_RandomClicks(benchmark::State& state)
{
    std::mt19937 rng(7);
    CGameState game;
    game.NewGameWithSeed(1);
    NullAnimator animator;
    long clicks = 0;
    for (auto _ : state)
    {
        std::uint32_t column = rng() % kBoardColumns;
        std::uint32_t row = rng() % kBoardRows;
        if (!game.selection.empty() && (rng() & 1) != 0)
        {
            const CellPos pos = game.selection[rng() % game.selection.size()];
            column = pos.column;
            row = pos.row;
        }
        benchmark::DoNotOptimize(game.ProcessClick(column, row, &animator));
        ++clicks;
        if (game.gameOver)
        {
            game.NewGameWithSeed(static_cast<unsigned int>(rng()));
        }
    }
    state.SetItemsProcessed(clicks);
    state.counters["steps/click"] =
        benchmark::Counter(static_cast<double>(animator.steps) / static_cast<double>(clicks));
}
BENCHMARK(BM_RandomClicks);

// The largest move: a board of one colour selected and removed, with eight or more feeds.
void BM_WholeBoardRemoval(benchmark::State& state)
{
    CGameState start;
    start.NewGameWithSeed(3);
    for (Cell& cell : start.cells)
    {
        cell = Cell{2, 0};
    }
    CGameState game = start;
    NullAnimator animator;
    for (auto _ : state)
    {
        game = start;
        game.ProcessClick(0, 0, &animator);
        benchmark::DoNotOptimize(game.ProcessClick(0, 0, &animator));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WholeBoardRemoval);
} // namespace

BENCHMARK_MAIN();
