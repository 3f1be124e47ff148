#include "CGameState.h"
#include "IAnimator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace
{
// A board is 176 letters, row 0 first, 16 to a row: R G B Y M for the balls, '.' for empty, lower
// case for a marked ball. A pending column is 11 letters from entry 0 on.
constexpr std::size_t W = kBoardColumns, H = kBoardRows, N = kBoardCells, kNone = std::string::npos;

// The board, then the pending column; '?' for a colour no cell may hold.
std::string Letters(const CGameState& game)
{
    std::string letters(N + H, ' ');
    for (std::size_t i = 0; i < N + H; ++i)
    {
        const Cell& cell = i < N ? game.cells[i] : game.nextColumn[i - N];
        letters[i] = ".RGBYM?.rgbym?"[std::min(cell.colour, 6u) + (cell.flags == 0 ? 0 : 7)];
    }
    return letters;
}

// From start on, the first ball with a partner of its colour to its right (not across the edge)
// or below.
std::size_t FindPair(const std::string& b, std::size_t start)
{
    for (std::size_t i = start; i < N; ++i)
        if (b[i] != '.' && ((i % W < W - 1 && b[i + 1] == b[i]) || (i + W < N && b[i + W] == b[i])))
            return i;
    return kNone;
}

// The board (without marks) after a click on the ball at start, as a plain search sees it: four
// neighbours, left and right wrapping, and a lone ball not kept.
std::string Selected(const std::string& board, std::size_t start)
{
    std::string out = board;
    const char colour = out[start], mark = static_cast<char>(std::tolower(colour));
    const auto fill = [&](const auto& self, std::size_t i) -> void
    {
        const std::size_t row = i - i % W;
        out[i] = mark;
        for (std::size_t n : {row + (i + 1) % W, row + (i + W - 1) % W, i + W, i - W})
            if (n < N && out[n] == colour)
                self(self, n);
    };
    fill(fill, start);
    return std::ranges::count(out, mark) >= 2 ? out : board;
}

// Random play against a model of the game kept as letters: the board with its marks, the pending
// column, the total, the undo ring and whether a selection is listed. It is the game's animator
// too: every step keeps the letters as they stand, and every cue its name.
struct RandomPlay : IAnimator
{
    void Deal()
    {
        game.NewGameWithSeed(static_cast<unsigned int>(rng()));
        // A full board, but in mid-game column 15 holds the old pending column from row 10 up.
        board = Letters(game).substr(0, N);
        const auto gaps = over ? 0 : std::ranges::count(pending, '.');
        ASSERT_EQ(std::ranges::count_if(board, ::isupper) + gaps, N) << board;
        for (std::size_t row = 0; !over && row < H; ++row)
            board[row * W + W - 1] = pending[H - 1 - row];
        Drawn(Letters(game).substr(N));
        ring.clear();
        total = 0;
        over = listed = false;
    }

    // A drawn pending column holds its balls from entry 0 on, each cell a ball with chance 5/6.
    void Drawn(const std::string& column)
    {
        const std::size_t balls = std::min(column.find_first_not_of("RGBYM"), H);
        ASSERT_EQ(column.find_first_not_of('.', balls), kNone) << "not packed: " << column;
        pending = column;
        ++pendingColumns;
        pendingBalls += static_cast<long>(balls);
    }

    // Undos come in runs of one to six; after the end they change nothing.
    void Undo()
    {
        const std::size_t k = 1 + rng() % 6, undone = over ? 0 : std::min(k, ring.size());
        for (std::size_t i = 0; i < k; ++i)
            game.Undo();
        if (undone > 0)
            std::tie(board, total) = ring[ring.size() - undone];
        ring.resize(ring.size() - undone);
    }

    // The steps and cues of the click are checked against the model's, in one sequence.
    void Click()
    {
        static const std::uint32_t kOff[] = {16, 11, 17, 255, 1000, 0x7FFFFFFFu, 0xFFFFFFFFu};
        // Mostly on a marked ball or on a ball with a partner, so that games run to their end.
        const std::uint32_t mode = rng() % 100;
        const std::size_t pick = rng() % N, marked = board.find_first_of("rgbym");
        const std::size_t pair = marked != kNone ? marked : FindPair(board, pick);
        const std::size_t index = mode >= 70 || pair == kNone ? pick : pair;
        std::uint32_t column = index % W, row = index / W;
        if (mode >= 96)
            (rng() % 2 == 0 ? column : row) = kOff[rng() % 7];
        if (mode == 1) // now and then no ball at all pending
            std::ranges::fill(game.nextColumn, Cell{});
        pending = Letters(game).substr(N); // as checked, but for that
        const bool silent = rng() % 100 == 0;
        const char clicked = column < W && row < H ? board[row * W + column] : '.';
        const ClickResult result = game.ProcessClick(column, row, silent ? nullptr : this);
        ++clicks;
        ClickResult want = silent ? ResultNothing : ResultGameOver;
        if (!silent && over)
            frames.emplace_back("empty.wav");
        else if (!silent && std::islower(clicked) != 0)
            want = Remove();
        else if (!silent)
        {
            frames.emplace_back(clicked == '.' ? "empty.wav" : "select.wav");
            unmarked = board;
            std::ranges::transform(unmarked, unmarked.begin(), ::toupper);
            board = clicked == '.' ? unmarked : Selected(unmarked, row * W + column);
            want = board != unmarked ? ResultSelected : listed ? ResultDeselected : ResultNothing;
            listed = want == ResultSelected;
        }
        ASSERT_EQ(result, want) << "click at " << column << "," << row;
        ASSERT_EQ(std::exchange(shown, {}), std::exchange(frames, {})); // empty for the next click
    }

    // The columns fall one by one and the rows close up one by one. Then, while the scanned
    // column (15 down, one per feed) is empty, the pending column comes in at column 15 from the
    // bottom up, a step after each cell, one more step with a new pending column drawn, and
    // the rows close up again.
    ClickResult Remove()
    {
        ring.emplace_back(unmarked, total);
        if (ring.size() > kHistoryDepth)
            ring.erase(ring.begin());
        const auto n = std::ranges::count_if(board, ::islower);
        total += n * (n - 1);
        Pack(true);
        Pack(false);
        frames.emplace_back("remove.wav");
        for (std::size_t column = W; column-- > 0 && board[N - W + column] == '.';)
        {
            for (std::size_t k = 0; k < H; ++k)
            {
                board[N - 1 - k * W] = pending[k];
                frames.push_back(board + pending);
            }
            // Throws when the game showed too few steps.
            Drawn(shown.at(frames.size()).substr(N));
            frames.push_back(board + pending);
            Pack(false);
        }
        over = FindPair(board, 0) == kNone;
        listed = false;
        if (over)
            frames.emplace_back("gameover.wav");
        return over ? ResultGameOver : ResultRemoved;
    }

    // One pass over the columns (or the rows): each in turn keeps its balls that are not marked,
    // moved to its end at row 10 (or its start at column 0), and a step follows.
    void Pack(bool columns)
    {
        const std::size_t count = columns ? H : W, step = columns ? W : 1;
        for (std::size_t first = 0; first < (columns ? W : N); first += columns ? 1 : W)
        {
            std::string kept;
            for (std::size_t k = first; k < first + count * step; k += step)
                kept.append(std::isupper(board[k]) != 0 ? 1 : 0, board[k]);
            kept.insert(columns ? 0 : kept.size(), count - kept.size(), '.');
            for (std::size_t k = 0; k < count; ++k)
                board[first + k * step] = kept[k];
            frames.push_back(board + pending);
        }
    }

    // The game against the model, after every call.
    void Check()
    {
        // The group score, from the length of the list, counts the marked balls.
        const auto n = std::ranges::count_if(board, ::islower);
        ASSERT_EQ(std::tuple(Letters(game), game.totalScore, game.gameOver, game.CanUndo(),
                             game.selection.empty(), game.groupScore),
                  std::tuple(board + pending, total, over, !ring.empty(), !listed, n * (n - 1)));
    }

    void Step() override { shown.push_back(Letters(game)); }
    void PlayCue(const char* fileName) override { shown.emplace_back(fileName); }

    std::mt19937 rng{20240611u};
    CGameState game;
    // What the game showed and played, and what the model expects, one entry a step or cue.
    std::vector<std::string> shown, frames;
    // A new object's; and the board without the marks, as the click that marked it left it.
    std::string board = std::string(N, '.'), pending = std::string(H, '.'), unmarked;
    std::vector<std::pair<std::string, long>> ring; // removals not undone, four deep
    bool over = true, listed = false;
    long total = 0, clicks = 0, pendingColumns = 0, pendingBalls = 0;
};
} // namespace

TEST(Property, RandomPlayFollowsTheModel)
{
    const char* text = std::getenv("DAVIZ_PROPERTY_CLICKS");
    const long budget = text != nullptr && std::atol(text) > 0 ? std::atol(text) : 100000;
    RandomPlay play;
    while (play.clicks < budget && !HasFatalFailure())
    {
        // Now and then a deal in mid-game; after the end a few clicks and undos, then a deal.
        const std::uint32_t roll = play.rng() % 1000;
        roll == 0 || (play.over && roll < 300) ? play.Deal()
        : roll < (play.over ? 500 : 34)        ? play.Undo()
                                               : play.Click();
        play.Check();
    }
    // 11 x 5/6 balls on average, with a standard error far below the margin.
    EXPECT_NEAR(static_cast<double>(play.pendingBalls) / play.pendingColumns, 11.0 * 5 / 6, 0.15);
}

// Two deals in the same second of the clock are alike; another seed deals another game.
TEST(Deal, NewGameSeedsWithTheTimeInSeconds)
{
    CGameState byTime, bySeed, other;
    // Deals again until the clock stays in one second over a deal.
    std::time_t now = -1;
    for (; now != std::time(nullptr); byTime.NewGame())
        now = std::time(nullptr);
    bySeed.NewGameWithSeed(static_cast<unsigned int>(now));
    other.NewGameWithSeed(static_cast<unsigned int>(now) + 1);
    EXPECT_EQ(Letters(byTime), Letters(bySeed));
    EXPECT_NE(Letters(byTime), Letters(other));
}
