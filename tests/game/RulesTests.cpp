#include "CGameState.h"
#include "IAnimator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
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

std::string Letters(const Cell* cells, std::size_t count = kBoardCells)
{
    std::string letters;
    for (const Cell* cell = cells; cell != cells + count; ++cell)
    {
        const char letter = cell->colour < 6 ? kLetters[cell->colour] : '?';
        letters += cell->flags == 0               ? letter
                   : cell->flags == kCellSelected ? static_cast<char>(std::tolower(letter))
                                                  : '!';
    }
    return letters;
}

// The board as rows, for failure messages.
std::string Rows(const std::string& board)
{
    std::string text;
    for (std::size_t i = 0; i < board.size(); i += W)
    {
        text += "\n  " + board.substr(i, W);
    }
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
        {
            return i;
        }
    }
    return kNone;
}

// The board after a click on the ball at start, as a plain search sees it: four neighbours,
// left and right wrapping, and a lone ball not kept.
std::string Selected(const std::string& board, std::size_t start)
{
    std::string out = Unmarked(board);
    const char colour = out[start], mark = static_cast<char>(std::tolower(colour));
    std::vector<std::size_t> open{start};
    out[start] = mark;
    while (!open.empty())
    {
        const std::size_t i = open.back(), row = i - i % W;
        open.pop_back();
        for (std::size_t n : {row + (i + 1) % W, row + (i + W - 1) % W, i + W, i - W})
        {
            if (n < out.size() && out[n] == colour)
            {
                out[n] = mark;
                open.push_back(n);
            }
        }
    }
    return std::count(out.begin(), out.end(), mark) >= 2 ? out : Unmarked(board);
}

// R and G in a checkerboard: no pair anywhere, the wrap included.
std::string Checkerboard()
{
    std::string board;
    for (std::size_t row = 0; row < kBoardRows; ++row)
    {
        board += row % 2 == 0 ? "RGRGRGRGRGRGRGRG" : "GRGRGRGRGRGRGRGR";
    }
    return board;
}

// A dealt game whose cells and pending column are then replaced.
CGameState GameWith(const std::string& board, const std::string& pending)
{
    CGameState game;
    game.NewGameWithSeed(1);
    const std::string letters = board + pending + std::string(kBoardRows - pending.size(), '.');
    for (std::size_t i = 0; i < letters.size(); ++i)
    {
        const Cell cell{static_cast<std::uint32_t>(std::string(kLetters).find(letters[i])), 0};
        (i < kBoardCells ? game.cells[i] : game.nextColumn[i - kBoardCells]) = cell;
    }
    return game;
}

// Cues as "name@steps so far"; every step keeps the board and the pending column as they stand.
struct Recorder : IAnimator
{
    explicit Recorder(const CGameState& watched) : game(&watched) {}
    void Step() override
    {
        frames.push_back(Letters(game->cells));
        pendings.push_back(Letters(game->nextColumn, kBoardRows));
    }
    void PlayCue(const char* fileName) override
    {
        log +=
            (log.empty() ? "" : " ") + std::string(fileName) + "@" + std::to_string(frames.size());
    }

    const CGameState* game;
    std::vector<std::string> frames, pendings;
    std::string log;
};

std::string Deal(const CGameState& game)
{
    return Letters(game.cells) + " pending " + Letters(game.nextColumn, kBoardRows);
}
} // namespace

// A pair that touches only across the left and right edges is a group but does not keep the game
// going; after the end Undo stays available and does nothing.
TEST(Click, AnEdgeOnlyPairEndsTheGame)
{
    std::string board = Checkerboard();
    board[0] = board[1] = 'B';
    board[5 * W] = board[5 * W + 15] = 'Y';
    CGameState game = GameWith(board, "");
    Recorder recorder(game);
    EXPECT_EQ(game.ProcessClick(15, 5, &recorder), ResultSelected);
    EXPECT_EQ(game.ProcessClick(1, 0, &recorder), ResultSelected);
    EXPECT_EQ(game.ProcessClick(0, 0, &recorder), ResultGameOver);
    EXPECT_EQ(game.ProcessClick(0, 5, &recorder), ResultGameOver);
    EXPECT_EQ(recorder.log, "select.wav@0 select.wav@0 remove.wav@27 gameover.wav@27 empty.wav@27");
    EXPECT_TRUE(game.CanUndo());
    game.Undo();
    EXPECT_EQ(Rows(Letters(game.cells)), Rows(board.substr(2, 14) + ".." + board.substr(W)));
    EXPECT_EQ(game.totalScore, 2);
}

// The refill's scan moves left once per feed and stops where the slid-in balls meet it, so two
// empty columns at the right get one feed and the right one stays empty.
TEST(Click, TheRefillCanLeaveAnEmptyColumnAtTheRight)
{
    const std::string pending = "BYMBYMBYMYY";
    std::string board = Checkerboard();
    for (std::size_t row = 0; row < kBoardRows; ++row)
    {
        board.replace(row * W + 14, 2, "YY");
    }
    CGameState game = GameWith(board, pending);
    Recorder recorder(game);
    game.ProcessClick(15, 0, &recorder);
    EXPECT_EQ(game.ProcessClick(15, 0, &recorder), ResultRemoved);
    EXPECT_EQ(recorder.log, "select.wav@0 remove.wav@27");
    EXPECT_EQ(recorder.frames.size(), 27u + 23u);
    for (std::size_t row = 0; row < kBoardRows; ++row)
    {
        board.replace(row * W + 14, 2, std::string{pending[10 - row], '.'});
    }
    EXPECT_EQ(Rows(Letters(game.cells)), Rows(board));
    EXPECT_EQ(game.totalScore, 22 * 21);
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
    EXPECT_EQ(Deal(byTime), Deal(bySeed));
    EXPECT_NE(Deal(byTime), Deal(other));
}

namespace
{
// Random play against a model of the game kept as letters: the board with its marks, the pending
// column, the total, the undo ring and whether a selection is listed.
struct RandomPlay
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
        {
            game = CGameState();
        }
        game.NewGameWithSeed(static_cast<unsigned int>(rng()));
        // A full board, but in mid-game column 15 holds the old pending column from row 10 up.
        board = Letters(game.cells);
        std::string balls = board;
        for (std::size_t row = 0; midGame && row < kBoardRows; ++row)
        {
            ASSERT_EQ(board[row * W + W - 1], pending[kBoardRows - 1 - row]) << Rows(board);
            balls[row * W + W - 1] = 'R';
        }
        ASSERT_EQ(balls.find_first_not_of("RGBYM"), kNone) << "not a full deal" << Rows(board);
        Drawn(Letters(game.nextColumn, kBoardRows));
        ring.clear();
        total = sinceEnd = 0;
        over = listed = undoing = false;
        // Most games are left early, one in four is played to its end.
        newGameAt = rng() % 4 != 0 ? clicks + 1 + rng() % 60 : 0x7FFFFFFFL;
        ++games;
        Check();
    }

    // A drawn pending column holds its balls from entry 0 on, each cell a ball with chance 5/6.
    void Drawn(const std::string& column)
    {
        pending = column;
        const auto n = static_cast<std::size_t>(
            std::count_if(column.begin(), column.end(), [](char c) { return c != '.'; }));
        ASSERT_EQ(column, column.substr(0, n) + std::string(kBoardRows - n, '.')) << "not packed";
        pendingColumns += 1;
        pendingBalls += static_cast<long>(n);
    }

    void Undo()
    {
        game.Undo();
        ++undos;
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
        std::size_t index = rng() % board.size();
        const std::size_t pair = FindPair(board, index, true);
        if (mode < 70 && !game.selection.empty())
        {
            const CellPos pos = game.selection[rng() % game.selection.size()];
            index = pos.row * W + pos.column;
        }
        else if (mode < 70 && pair != kNone)
        {
            index = pair;
        }
        std::uint32_t column = index % W, row = index / W;
        if (mode >= 96)
        {
            (rng() % 2 == 0 ? column : row) = kOff[rng() % 7];
        }
        const char clicked = column < W && row < kBoardRows ? board[row * W + column] : '.';
        const bool silent = rng() % 100 == 0;
        recorder.frames.clear();
        recorder.pendings.clear();
        recorder.log.clear();
        const ClickResult result = game.ProcessClick(column, row, silent ? nullptr : &recorder);
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
            log = "remove.wav@27" +
                  (over ? " gameover.wav@" + std::to_string(recorder.frames.size()) : "");
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
        ASSERT_EQ(recorder.log, log) << "click at " << column << "," << row;
        ASSERT_EQ(result, want) << "click at " << column << "," << row << Rows(board);
        Check();
    }

    // The columns fall one by one and the rows close up one by one. Then, while the scanned
    // column (15 down, one per feed) is empty, the pending column comes in at column 15 from the
    // bottom up, a frame after each cell and one more, and the rows close up again.
    void Remove()
    {
        ring.emplace_back(Unmarked(board), total);
        if (ring.size() > kHistoryDepth)
        {
            ring.pop_front();
        }
        const auto n = std::count_if(board.begin(), board.end(), ::islower);
        total += static_cast<std::int32_t>(n * (n - 1));
        std::string& b = board;
        std::vector<std::string> frames;
        for (std::size_t column = 0; column < W; ++column)
        {
            std::string kept; // bottom up
            for (std::size_t i = b.size() - W + column; i < b.size(); i -= W)
            {
                kept += std::islower(b[i]) != 0 ? "" : std::string(1, b[i]);
            }
            kept.resize(kBoardRows, '.');
            for (std::size_t k = 0; k < kBoardRows; ++k)
            {
                b[b.size() - W + column - k * W] = kept[k];
            }
            frames.push_back(b);
        }
        const auto closeUp = [&]
        {
            for (std::size_t row = 0; row < b.size(); row += W)
            {
                std::string kept = b.substr(row, W);
                kept.erase(std::remove(kept.begin(), kept.end(), '.'), kept.end());
                b.replace(row, W,
                          kept.empty() ? b.substr(row, W) : kept.append(W - kept.size(), '.'));
                frames.push_back(b);
            }
        };
        closeUp();
        for (std::size_t column = W; column-- > 0 && b[b.size() - W + column] == '.';)
        {
            for (std::size_t k = 0; k < kBoardRows; ++k)
            {
                b[b.size() - 1 - k * W] = pending[k];
                frames.push_back(b);
            }
            frames.push_back(b);
            const std::vector<std::string>& seen = recorder.pendings;
            Drawn(frames.size() <= seen.size() ? seen[frames.size() - 1]
                                               : std::string(kBoardRows, '?'));
            closeUp();
        }
        over = FindPair(b, 0, false) == kNone;
        listed = false;
        ++removals;
        endings += over ? 1 : 0;
        const std::vector<std::string>& shown = recorder.frames;
        for (std::size_t k = 0; k < frames.size() && k < shown.size(); ++k)
        {
            ASSERT_EQ(shown[k], frames[k])
                << "frame " << k + 1 << Rows(shown[k]) << Rows(frames[k]);
        }
        ASSERT_EQ(shown.size(), frames.size());
    }

    // The game against the model, after every call.
    void Check()
    {
        const std::string b = Letters(game.cells);
        ASSERT_EQ(Rows(b), Rows(board));
        ASSERT_EQ(Letters(game.nextColumn, kBoardRows), pending);
        ASSERT_TRUE(game.totalScore == total && game.gameOver == over) << total;
        ASSERT_EQ(game.CanUndo(), !ring.empty());
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

    std::mt19937 rng{20240611u};
    CGameState game;
    Recorder recorder{game};
    std::string board, pending;
    std::deque<std::pair<std::string, std::int32_t>> ring; // removals not undone, four deep
    std::int32_t total = 0;
    bool over = false, listed = false, undoing = false;
    int sinceEnd = 0;
    long newGameAt = 0, clicks = 0, games = 0, removals = 0, endings = 0, undos = 0;
    long pendingColumns = 0, pendingBalls = 0;
};
} // namespace

TEST(Property, RandomPlayFollowsTheModel)
{
    const char* text = std::getenv("DAVIZ_PROPERTY_CLICKS");
    const long budget = text != nullptr && std::atol(text) > 0 ? std::atol(text) : 250000;
    RandomPlay play;
    play.Run(budget);
    std::printf("random play: %ld clicks, %ld undos, %ld games (%ld to the end), %ld removals\n",
                play.clicks, play.undos, play.games, play.endings, play.removals);
    EXPECT_GE(play.clicks, budget);
    EXPECT_GE(play.endings, budget / 2000);
    // 11 x 5/6 balls on average, with a standard error far below the margin.
    ASSERT_GE(play.pendingColumns, 1000);
    EXPECT_NEAR(static_cast<double>(play.pendingBalls) / static_cast<double>(play.pendingColumns),
                11.0 * 5.0 / 6.0, 0.15);
}
