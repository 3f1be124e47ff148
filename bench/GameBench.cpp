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

// From a random cell on, the first ball with a right or lower neighbour of its colour.
void FindPair(const CGameState& game, std::uint32_t start, std::uint32_t& column,
              std::uint32_t& row)
{
    for (std::uint32_t i = 0; i < kBoardCells; ++i)
    {
        const std::uint32_t index = (start + i) % kBoardCells;
        const std::uint32_t c = index % kBoardColumns;
        const std::uint32_t r = index / kBoardColumns;
        const std::uint32_t colour = game.CellAt(c, r).colour;
        if (colour != 0 &&
            (game.CellAt(c + 1, r).colour == colour || game.CellAt(c, r + 1).colour == colour))
        {
            column = c;
            row = r;
            return;
        }
    }
}

// Random clicks, most of them on the selected group or on a ball with a partner, as a player
// would make them.
void BM_RandomClicks(benchmark::State& state)
{
    std::mt19937 rng(7);
    CGameState game;
    game.NewGameWithSeed(1);
    NullAnimator animator;
    long clicks = 0;
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores)
    {
        std::uint32_t column = rng() % kBoardColumns;
        std::uint32_t row = rng() % kBoardRows;
        if (!game.selection.empty() && rng() % 10 < 7)
        {
            const CellPos pos = game.selection[rng() % game.selection.size()];
            column = pos.column;
            row = pos.row;
        }
        else if (game.selection.empty() && rng() % 10 < 7)
        {
            FindPair(game, rng() % kBoardCells, column, row);
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
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores)
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
