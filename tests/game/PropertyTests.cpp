#include "GameTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <random>

namespace
{
constexpr std::size_t W = kBoardColumns, kNone = std::string::npos;

std::string Unmarked(std::string board)
{
    std::transform(board.begin(), board.end(), board.begin(), ::toupper);
    return board;
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

// The frames a removal shows, rebuilt from the marked board before it and the pending column
// seen while each feed ran: the columns fall one by one, the rows close up one by one, and each
// feed writes its cells from the bottom up, shows the fed column once more and closes up again.
std::vector<std::string> RemovalFrames(std::string b, const std::vector<std::string>& fed)
{
    std::vector<std::string> frames;
    const auto closeUp = [&]
    {
        for (std::size_t row = 0; row < b.size(); row += W)
        {
            std::string kept;
            for (std::size_t i = row; i < row + W; ++i)
            {
                kept += b[i] != '.' ? std::string(1, b[i]) : "";
            }
            b.replace(row, W,
                      kept.empty() ? b.substr(row, W) : kept + std::string(W - kept.size(), '.'));
            frames.push_back(b);
        }
    };
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
    closeUp();
    for (const std::string& pending : fed)
    {
        for (std::size_t k = 0; k < kBoardRows; ++k)
        {
            b[b.size() - 1 - k * W] = pending[k];
            frames.push_back(b);
        }
        frames.push_back(b);
        closeUp();
    }
    return frames;
}

// A pending column holds its balls from entry 0 on and empty cells after them.
bool Packed(const std::string& pending)
{
    std::string balls;
    std::copy_if(pending.begin(), pending.end(), std::back_inserter(balls),
                 [](char c) { return c != '.'; });
    return pending == balls + std::string(pending.size() - balls.size(), '.');
}

// What holds between calls; after Undo the list may still name cells that are no longer marked.
void CheckState(const CGameState& game, bool listMayBeStale)
{
    const std::string b = Letters(game.cells);
    for (std::size_t i = 0; i < b.size(); ++i)
    {
        const bool ball = b[i] != '.';
        ASSERT_TRUE(!ball || i + W >= b.size() || b[i + W] != '.') << "column gap" << Rows(b);
        ASSERT_TRUE(!ball || i % W == 0 || b[i - 1] != '.') << "row gap" << Rows(b);
    }
    std::string listed = Unmarked(b);
    for (const CellPos& pos : game.selection)
    {
        ASSERT_TRUE(pos.column < W && pos.row < kBoardRows);
        listed[pos.row * W + pos.column] =
            static_cast<char>(std::tolower(listed[pos.row * W + pos.column]));
    }
    const auto n = std::count_if(b.begin(), b.end(), ::islower);
    ASSERT_TRUE((listMayBeStale && n == 0) || (b == listed && n == std::ssize(game.selection)))
        << game.selection.size() << " listed" << Rows(b);
    ASSERT_EQ(game.groupScore, n * (n - 1));
}

struct RandomPlay
{
    void Run(long budget)
    {
        animator.watch = &game;
        Deal(true);
        while (clicks < budget && !::testing::Test::HasFatalFailure())
        {
            const std::uint32_t roll = rng() % 1000;
            // Undos come in runs; after the end a few clicks and undos, then a deal, now and then
            // on a new object.
            (game.gameOver && sinceEnd >= 3) ? Deal(roll < 50)
            : (clicks >= newGameAt)          ? Deal(false)
            : (roll < 30 || (stale && roll < 600) || (game.gameOver && roll < 500)) ? Undo()
                                                                                    : Click();
        }
    }

    void Deal(bool fresh)
    {
        const bool midGame = !fresh && !game.gameOver;
        const std::string pending = Letters(game.nextColumn, kBoardRows);
        if (fresh)
        {
            game = CGameState();
        }
        game.NewGameWithSeed(static_cast<unsigned int>(rng()));
        ++games;
        ring.clear();
        total = sinceEnd = 0;
        stale = false;
        // Most games are left early, one in four is played to its end.
        newGameAt = rng() % 4 != 0 ? clicks + 1 + rng() % 60 : 0x7FFFFFFFL;
        std::string b = Letters(game.cells);
        for (std::size_t row = 0; midGame && row < kBoardRows; ++row)
        {
            ASSERT_EQ(b[row * W + W - 1], pending[kBoardRows - 1 - row]) << "column 15" << Rows(b);
            b[row * W + W - 1] = 'R';
        }
        ASSERT_EQ(b.find_first_not_of("RGBYM"), kNone) << "not a full deal" << Rows(b);
        ASSERT_TRUE(!game.gameOver && !game.CanUndo() && game.totalScore == 0);
        grouped = false;
        CheckState(game, false);
        CountPending();
    }

    // Every drawn pending column is packed; its balls are counted, each cell being a ball with
    // chance 5/6.
    void CountPending()
    {
        const std::string pending = Letters(game.nextColumn, kBoardRows);
        ASSERT_TRUE(Packed(pending)) << pending;
        pendingColumns += 1;
        pendingBalls +=
            std::count_if(pending.begin(), pending.end(), [](char c) { return c != '.'; });
    }

    void Undo()
    {
        const bool over = game.gameOver, restores = !over && !ring.empty();
        const std::string before = Letters(game.cells);
        ASSERT_EQ(game.CanUndo(), !ring.empty());
        game.Undo();
        ++undos;
        ASSERT_EQ(Letters(game.cells), restores ? ring.back().first : before);
        if (restores)
        {
            total = ring.back().second;
            ring.pop_back();
            stale = true;
        }
        sinceEnd += over ? 1 : 0;
        ASSERT_TRUE(game.gameOver == over && game.CanUndo() == !ring.empty());
        ASSERT_EQ(game.totalScore, total);
        CheckState(game, stale);
    }

    void Click()
    {
        static const std::uint32_t kOff[] = {16, 11, 17, 255, 1000, 0x7FFFFFFFu, 0xFFFFFFFFu};
        const std::string before = Letters(game.cells);
        // Mostly on the group or on a ball with a partner, so that games run to their end.
        const std::uint32_t mode = rng() % 100;
        const std::size_t pick = rng() % before.size(), pair = FindPair(before, pick, true);
        const CellPos listed =
            game.selection.empty() ? CellPos{W, 0} : game.selection[rng() % game.selection.size()];
        std::size_t index = mode >= 70          ? pick
                            : listed.column < W ? listed.row * W + listed.column
                            : pair != kNone     ? pair
                                                : pick;
        std::uint32_t column = index % W, row = index / W;
        if (mode >= 96)
        {
            (rng() % 2 == 0 ? column : row) = kOff[rng() % 7];
        }
        index = row * W + column;
        const char clicked = column < W && row < kBoardRows ? before[index] : '.';
        const bool wasOver = game.gameOver, hadList = grouped;
        const bool silent = rng() % 100 == 0, removal = !wasOver && std::islower(clicked) != 0;
        const std::int32_t group = game.groupScore;

        animator.steps = 0;
        animator.frames.clear();
        animator.pendings.clear();
        const ClickResult result = game.ProcessClick(column, row, silent ? nullptr : &animator);
        const std::string log = animator.Take(), after = Letters(game.cells);
        ++clicks;
        if (silent || wasOver)
        {
            ASSERT_EQ(after, before);
            ASSERT_EQ(log, silent ? "" : "empty");
            ASSERT_EQ(result, silent ? ResultNothing : ResultGameOver);
            sinceEnd += wasOver ? 1 : 0;
        }
        else if (removal)
        {
            ring.emplace_back(Unmarked(before), total);
            if (ring.size() > kHistoryDepth)
            {
                ring.pop_front();
            }
            total += group;
            const bool over = FindPair(after, 0, false) == kNone;
            const int refill = animator.steps - 27;
            ASSERT_EQ(result, over ? ResultGameOver : ResultRemoved) << Rows(after);
            ASSERT_TRUE(game.gameOver == over && refill >= 0 && refill % 23 == 0) << refill;
            ASSERT_EQ(log, "step*27 remove" +
                               (refill > 0 ? " step*" + std::to_string(refill) : std::string()) +
                               (over ? " gameover" : ""));
            std::vector<std::string> fed;
            for (std::size_t step = 27; step < animator.pendings.size(); step += 23)
            {
                fed.push_back(animator.pendings[step]);
            }
            const std::vector<std::string> frames = RemovalFrames(before, fed);
            for (std::size_t k = 0; k < frames.size(); ++k)
            {
                if (animator.frames.at(k) != frames[k])
                {
                    ASSERT_EQ(Rows(animator.frames[k]), Rows(frames[k])) << "frame " << k + 1;
                }
            }
            if (!fed.empty())
            {
                CountPending();
            }
            grouped = false;
            ++removals;
            endings += over ? 1 : 0;
        }
        else
        {
            const std::string want = clicked == '.' ? Unmarked(before) : Selected(before, index);
            ASSERT_EQ(log, clicked == '.' ? "empty" : "select");
            ASSERT_EQ(after, want) << "click at " << column << "," << row << Rows(before);
            ASSERT_EQ(result, want != Unmarked(before) ? ResultSelected
                              : hadList                ? ResultDeselected
                                                       : ResultNothing);
            grouped = result == ResultSelected;
        }
        stale = stale && silent;
        ASSERT_TRUE(game.totalScore == total && game.CanUndo() == !ring.empty()) << total;
        CheckState(game, stale);
    }

    std::mt19937 rng{20240611u};
    CGameState game;
    RecordingAnimator animator;
    std::deque<std::pair<std::string, std::int32_t>> ring; // removals not undone, four deep
    std::int32_t total = 0;
    bool stale = false;
    bool grouped = false; // a selection was made and not dropped; Undo leaves it listed
    int sinceEnd = 0;
    long newGameAt = 0, clicks = 0, games = 0, removals = 0, endings = 0, undos = 0;
    long pendingColumns = 0, pendingBalls = 0;
};
} // namespace

TEST(Property, RandomPlayKeepsTheBoardPackedAndTheScoreTrue)
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
