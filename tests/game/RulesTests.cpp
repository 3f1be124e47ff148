#include "CGameState.h"
#include "IAnimator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <random>
#include <string>
#include <tuple>
#include <vector>

namespace
{
// A board is 176 letters, row 0 first, 16 to a row: R G B Y M for the balls, '.' for empty, lower
// case for a marked ball. A pending column is 11 letters from entry 0 on.
constexpr std::size_t W = kBoardColumns, kNone = std::string::npos;
constexpr char kLetters[] = ".RGBYM";

// The board, then the pending column.
std::string Letters(const CGameState& game)
{
    std::string letters(kBoardCells + kBoardRows, ' ');
    for (std::size_t i = 0; i < letters.size(); ++i)
    {
        const Cell& cell = i < kBoardCells ? game.cells[i] : game.nextColumn[i - kBoardCells];
        const char letter = cell.colour < 6 ? kLetters[cell.colour] : '?';
        letters[i] = cell.flags == 0               ? letter
                     : cell.flags == kCellSelected ? static_cast<char>(std::tolower(letter))
                                                   : '!';
    }
    return letters;
}

// The board as rows, for failure messages.
std::string Rows(const std::string& board)
{
    std::string text;
    for (std::size_t i = 0; i < board.size(); i += W)
        text += "\n  " + board.substr(i, W);
    return text;
}

std::string Unmarked(std::string board)
{
    std::transform(board.begin(), board.end(), board.begin(), ::toupper);
    return board;
}

// From start on, the first ball with a partner of its colour to its right or below.
std::size_t FindPair(const std::string& b, std::size_t start, bool wrap)
{
    for (std::size_t k = 0; k < b.size(); ++k)
    {
        const std::size_t i = (start + k) % b.size(), right = i - i % W + (i + 1) % W;
        if (b[i] != '.' &&
            (((wrap || right > i) && b[right] == b[i]) || (i + W < b.size() && b[i + W] == b[i])))
            return i;
    }
    return kNone;
}

// The board after a click on the ball at start, as a plain search sees it: four neighbours,
// left and right wrapping, and a lone ball not kept.
std::string Selected(const std::string& board, std::size_t start)
{
    std::string out = Unmarked(board);
    const char colour = out[start], mark = static_cast<char>(std::tolower(colour));
    const auto fill = [&](const auto& self, std::size_t i) -> void
    {
        const std::size_t row = i - i % W;
        out[i] = mark;
        for (std::size_t n : {row + (i + 1) % W, row + (i + W - 1) % W, i + W, i - W})
            if (n < out.size() && out[n] == colour)
                self(self, n);
    };
    fill(fill, start);
    return std::count(out.begin(), out.end(), mark) >= 2 ? out : Unmarked(board);
}

// Random play against a model of the game kept as letters: the board with its marks, the pending
// column, the total, the undo ring and whether a selection is listed. It is the game's animator
// too: every step keeps the letters as they stand, and cues are logged as "name@steps so far".
struct RandomPlay : IAnimator
{
    void Run(long budget)
    {
        Deal(true);
        while (clicks < budget && !::testing::Test::HasFatalFailure())
        {
            const std::uint32_t roll = rng() % 1000;
            // Undos come in runs; after the end a few clicks and undos, then a deal, now and then
            // on a new object.
            (over && sinceEnd >= 3)                                          ? Deal(roll < 50)
            : (clicks >= newGameAt)                                          ? Deal(false)
            : (roll < 30 || (undoing && roll < 600) || (over && roll < 500)) ? Undo()
                                                                             : Click();
        }
    }

    void Deal(bool fresh)
    {
        const bool midGame = !fresh && !over;
        if (fresh)
            game = CGameState();
        game.NewGameWithSeed(static_cast<unsigned int>(rng()));
        // A full board, but in mid-game column 15 holds the old pending column from row 10 up.
        const std::string dealt = Letters(game);
        std::string balls = dealt.substr(0, kBoardCells);
        for (std::size_t row = 0; midGame && row < kBoardRows; ++row)
        {
            ASSERT_EQ(balls[row * W + W - 1], pending[kBoardRows - 1 - row]) << Rows(dealt);
            balls[row * W + W - 1] = 'R';
        }
        ASSERT_EQ(balls.find_first_not_of("RGBYM"), kNone) << "not a full deal" << Rows(dealt);
        board = dealt.substr(0, kBoardCells);
        Drawn(dealt.substr(kBoardCells));
        ring.clear();
        total = sinceEnd = 0;
        over = listed = undoing = false;
        // Most games are left early, one in four is played to its end.
        newGameAt = rng() % 4 != 0 ? clicks + 1 + rng() % 60 : 0x7FFFFFFFL;
        Check();
    }

    // A drawn pending column holds its balls from entry 0 on, each cell a ball with chance 5/6.
    void Drawn(const std::string& column)
    {
        pending = column;
        const std::size_t n = kBoardRows - std::count(column.begin(), column.end(), '.');
        ASSERT_EQ(column, column.substr(0, n) + std::string(kBoardRows - n, '.')) << "not packed";
        pendingColumns += 1;
        pendingBalls += static_cast<long>(n);
    }

    void Undo()
    {
        game.Undo();
        undoing = !over && !ring.empty();
        if (undoing)
        {
            std::tie(board, total) = ring.back();
            ring.pop_back();
        }
        sinceEnd += over ? 1 : 0;
        Check();
    }

    void Click()
    {
        static const std::uint32_t kOff[] = {16, 11, 17, 255, 1000, 0x7FFFFFFFu, 0xFFFFFFFFu};
        // Mostly on a listed cell or on a ball with a partner, so that games run to their end.
        const std::uint32_t mode = rng() % 100;
        const std::size_t pick = rng() % kBoardCells, pair = FindPair(board, pick, true);
        const std::vector<CellPos>& list = game.selection;
        const CellPos chosen = list.empty() ? CellPos{W, 0} : list[rng() % list.size()];
        const std::size_t index = mode >= 70          ? pick
                                  : chosen.column < W ? chosen.row * W + chosen.column
                                  : pair != kNone     ? pair
                                                      : pick;
        std::uint32_t column = index % W, row = index / W;
        if (mode >= 96)
            (rng() % 2 == 0 ? column : row) = kOff[rng() % 7];
        const bool silent = rng() % 100 == 0;
        const char clicked = column < W && row < kBoardRows ? board[row * W + column] : '.';
        shown.clear();
        cues.clear();
        const ClickResult result = game.ProcessClick(column, row, silent ? nullptr : this);
        ++clicks;
        std::string log = "empty.wav@0";
        ClickResult want = listed ? ResultDeselected : ResultNothing;
        if (silent || over)
        {
            log = silent ? "" : log;
            want = silent ? ResultNothing : ResultGameOver;
            sinceEnd += over ? 1 : 0;
        }
        else if (std::islower(clicked) != 0)
        {
            Remove();
            want = over ? ResultGameOver : ResultRemoved;
            log = "remove.wav@27" + (over ? " gameover.wav@" + std::to_string(shown.size()) : "");
        }
        else
        {
            const std::string selected =
                clicked == '.' ? Unmarked(board) : Selected(board, row * W + column);
            log = clicked == '.' ? log : "select.wav@0";
            want = selected != Unmarked(board) ? ResultSelected : want;
            listed = want == ResultSelected;
            board = selected;
        }
        undoing = undoing && silent;
        ASSERT_EQ(cues, log) << "click at " << column << "," << row;
        ASSERT_EQ(result, want) << "click at " << column << "," << row << Rows(board);
        Check();
    }

    // The columns fall one by one and the rows close up one by one. Then, while the scanned
    // column (15 down, one per feed) is empty, the pending column comes in at column 15 from the
    // bottom up, a frame after each cell, one more frame with a new pending column drawn, and
    // the rows close up again.
    void Remove()
    {
        ring.emplace_back(Unmarked(board), total);
        if (ring.size() > kHistoryDepth)
            ring.pop_front();
        const auto n = std::count_if(board.begin(), board.end(), ::islower);
        total += static_cast<std::int32_t>(n * (n - 1));
        frames.clear();
        Pack(true);
        Pack(false);
        for (std::size_t column = W; column-- > 0 && board[kBoardCells - W + column] == '.';)
        {
            for (std::size_t k = 0; k < kBoardRows; ++k)
            {
                board[kBoardCells - 1 - k * W] = pending[k];
                frames.push_back(board + pending);
            }
            const std::size_t next = frames.size();
            Drawn(next < shown.size() ? shown[next].substr(kBoardCells) : "???????????");
            frames.push_back(board + pending);
            Pack(false);
        }
        over = FindPair(board, 0, false) == kNone;
        listed = false;
        endings += over ? 1 : 0;
        for (std::size_t k = 0; k < frames.size() && k < shown.size(); ++k)
        {
            ASSERT_EQ(shown[k], frames[k])
                << "frame " << k + 1 << Rows(shown[k]) << "\nwanted" << Rows(frames[k]);
        }
        ASSERT_EQ(shown.size(), frames.size());
    }

    // One pass over the columns (or the rows): each in turn keeps its balls that are not marked,
    // moved to its end at row 10 (or its start at column 0), and a frame follows.
    void Pack(bool columns)
    {
        const std::size_t count = columns ? kBoardRows : W, step = columns ? W : 1;
        for (std::size_t line = 0; line < kBoardCells / count; ++line)
        {
            const std::size_t first = columns ? line : line * W;
            std::string kept;
            for (std::size_t k = 0; k < count; ++k)
            {
                const char cell = board[first + k * step];
                kept.append(cell == '.' || std::islower(cell) != 0 ? 0 : 1, cell);
            }
            kept.insert(columns ? 0 : kept.size(), count - kept.size(), '.');
            for (std::size_t k = 0; k < count; ++k)
                board[first + k * step] = kept[k];
            frames.push_back(board + pending);
        }
    }

    // The game against the model, after every call.
    void Check()
    {
        const std::string now = Letters(game), b = now.substr(0, kBoardCells);
        ASSERT_EQ(now, board + pending) << Rows(now) << "\nwanted" << Rows(board + pending);
        ASSERT_TRUE(game.totalScore == total && game.gameOver == over &&
                    game.CanUndo() == !ring.empty())
            << total;
        // The list names each marked ball once; after an Undo it may name a group no longer marked.
        const auto n = std::count_if(b.begin(), b.end(), ::islower);
        std::string marks = Unmarked(b);
        for (const CellPos& pos : game.selection)
        {
            ASSERT_TRUE(pos.column < W && pos.row < kBoardRows);
            char& mark = marks[pos.row * W + pos.column];
            mark = static_cast<char>(std::tolower(mark));
        }
        ASSERT_EQ(!game.selection.empty(), listed);
        ASSERT_TRUE(n == 0 || (marks == b && n == std::ssize(game.selection)));
        ASSERT_EQ(game.groupScore, n * (n - 1));
    }

    void Step() override { shown.push_back(Letters(game)); }
    void PlayCue(const char* fileName) override
    {
        cues +=
            (cues.empty() ? "" : " ") + std::string(fileName) + "@" + std::to_string(shown.size());
    }

    std::mt19937 rng{20240611u};
    CGameState game;
    std::vector<std::string> shown, frames;
    std::string board, pending, cues;
    std::deque<std::pair<std::string, std::int32_t>> ring; // removals not undone, four deep
    std::int32_t total = 0;
    bool over = false, listed = false, undoing = false;
    int sinceEnd = 0;
    long newGameAt = 0, clicks = 0, endings = 0, pendingColumns = 0, pendingBalls = 0;
};
} // namespace

TEST(Property, RandomPlayFollowsTheModel)
{
    const char* text = std::getenv("DAVIZ_PROPERTY_CLICKS");
    const long budget = text != nullptr && std::atol(text) > 0 ? std::atol(text) : 100000;
    RandomPlay play;
    play.Run(budget);
    EXPECT_GE(play.clicks, budget);
    EXPECT_GE(play.endings, budget / 2000);
    // 11 x 5/6 balls on average, with a standard error far below the margin.
    ASSERT_GE(play.pendingColumns, 1000);
    EXPECT_NEAR(static_cast<double>(play.pendingBalls) / static_cast<double>(play.pendingColumns),
                11.0 * 5.0 / 6.0, 0.15);
}

// Two deals in the same second of the clock are alike; another seed deals another game.
TEST(Deal, NewGameSeedsWithTheTimeInSeconds)
{
    CGameState byTime, bySeed, other;
    std::time_t now = 0;
    do
    {
        now = std::time(nullptr);
        byTime.NewGame();
    } while (std::time(nullptr) != now);
    bySeed.NewGameWithSeed(static_cast<unsigned int>(now));
    other.NewGameWithSeed(static_cast<unsigned int>(now) + 1);
    EXPECT_EQ(Letters(byTime), Letters(bySeed));
    EXPECT_NE(Letters(byTime), Letters(other));
}
