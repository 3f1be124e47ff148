#include "GameTestSupport.h"

#include <cstdlib>
#include <ctime>
#include <vector>

namespace
{
// A blue group of 3 in the top right corner and a spare yellow pair at the bottom left.
const Picture kBlueTriple =
    Put(Checkerboard(), {{14, 0, 'B'}, {15, 0, 'B'}, {15, 1, 'B'}, {0, 10, 'Y'}, {1, 10, 'Y'}});
const Picture kTwoGroups = Put(kBlueTriple, {{9, 10, 'M'}, {9, 9, 'M'}, {0, 0, 'M'}});
const Picture kWrapPair = Put(Checkerboard(), {{0, 5, 'Y'}, {15, 5, 'Y'}});
const Picture kEmptyRows(7 * kBoardColumns, '.');

std::string Deal(const CGameState& game)
{
    return Letters(game.cells) + " pending " + Letters(game.nextColumn, kBoardRows);
}
} // namespace

// Each click's log is its cues and steps, then '=' and its result code.
TEST(Click, GivesTheResultsCuesScoresAndBoards)
{
    const struct
    {
        const char* name;
        Picture board;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> clicks;
        const char* log;
        std::int32_t total;
        Picture after; // empty: the board as it was, unmarked
    } cases[] = {
        // clang-format off
        {"lone balls and other groups", kTwoGroups, {{0, 0}, {14, 0}, {0, 0}, {14, 0}, {9, 9}},
         "select=0 select=1 select=3 select=1 select=1", 0,
         Put(kTwoGroups, {{9, 10, 'm'}, {9, 9, 'm'}})},
        {"empty cells and off the board", Put(kBlueTriple, {{15, 0, '.'}, {15, 1, 'R'}}),
         {{15, 0}, {16, 0}, {0, 11}, {0, 10}, {15, 0}, {1, 10}, {~0u, 3}, {0, 10}, {2, ~0u},
          {0, 10}, {1000, 1000}},
         "empty=0 empty=0 empty=0 select=1 empty=3 select=1 empty=3 select=1 empty=3 select=1 "
         "empty=3", 0, {}},
        {"a group wraps from column 15 to column 0", kWrapPair, {{15, 5}}, "select=1", 0,
         Put(kWrapPair, {{0, 5, 'y'}, {15, 5, 'y'}})},
        // The pair across the edges does not keep the game going; later clicks are refused.
        {"the last removal ends the game", Put(kWrapPair, {{0, 0, 'B'}, {1, 0, 'B'}}),
         {{1, 0}, {0, 0}, {0, 5}, {0, 0}}, "select=1 step*27 remove gameover=4 empty=4 empty=4", 2,
         Put(kWrapPair, {{14, 0, '.'}, {15, 0, '.'}})},
        // Columns fall one by one, then each row closes up to the left on its own.
        {"the rest falls and closes up", kEmptyRows + "RGbBY..........."
                                                      "MbbRGbMR........"
                                                      "GYbMBbGRYMRG...."
                                                      "RGRGRGRGRGRGRGRG",
         {{5, 8}}, "step*27 remove=2", 30,      kEmptyRows + "RBY............."
                                                             "MGRGMR.........."
                                                             "GYMBGRYMRG......"
                                                             "RGRGRGRGRGRGRGRG"},
        // clang-format on
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CGameState game = GameWith(c.board);
        RecordingAnimator animator;
        std::string log;
        for (const auto& [column, row] : c.clicks)
        {
            const ClickResult result = game.ProcessClick(column, row, &animator);
            log += (log.empty() ? "" : " ") + animator.Take() + "=" + std::to_string(result);
        }
        EXPECT_EQ(log, c.log);
        EXPECT_EQ(game.totalScore, c.total);
        EXPECT_BOARD(game, c.after.empty() ? c.board : c.after);
    }
}

// Full checkerboard columns at the left and a removed block of k columns at the right; every feed
// brings the same column. The scan moves left once per feed and stops where the slid-in balls meet
// it, so ceil(k/2) feeds come and floor(k/2) columns stay empty.
TEST(Click, RefillFeedsUntilTheSlidInBallsMeetTheScan)
{
    const std::string kFull = "BYMBYMBYMYY";
    const struct
    {
        std::size_t removed;
        std::string pending;
        std::size_t feeds; // an empty column leaves the checkerboard, which ends the game
    } cases[] = {{1, kFull, 1},    {2, kFull, 1}, {3, kFull, 2},  {4, kFull, 2},
                 {2, "BYMBYY", 1}, {3, "", 3},    {16, kFull, 8}, {16, "", 16}};
    for (const auto& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.removed) + " removed, pending " + c.pending);
        Picture board = Checkerboard(), after = board;
        for (std::size_t i = 0; i < board.size(); ++i)
        {
            const std::size_t column = i % 16, fromBottom = 10 - i / 16, kept = 16 - c.removed;
            board[i] = column < kept ? board[i] : 'y';
            after[i] = column < kept ? after[i]
                       : column < kept + c.feeds && fromBottom < c.pending.size()
                           ? c.pending[fromBottom]
                           : '.';
        }
        CGameState game = GameWith(board);
        SetPending(game, c.pending);
        RecordingAnimator animator;
        animator.game = &game;
        animator.column = c.pending;
        const bool over = c.pending.empty();
        EXPECT_EQ(game.ProcessClick(15, 0, &animator), over ? ResultGameOver : ResultRemoved);
        EXPECT_EQ(animator.Take(), "step*27 remove step*" + std::to_string(23 * c.feeds) +
                                       (over ? " gameover" : ""));
        EXPECT_BOARD(game, after);
        EXPECT_EQ(game.totalScore,
                  static_cast<std::int32_t>(11 * c.removed * (11 * c.removed - 1)));
    }
}

// R removes a group, U undoes and must bring back the board and total from before the removal
// of that number, or change nothing ('-').
TEST(Undo, RingRestoresTheLastFourRemovals)
{
    for (const std::string script : {"RRRRRUUUUU 5432-", "RRRUURUUU 3241-"})
    {
        CGameState game;
        game.NewGameWithSeed(21);
        RecordingAnimator animator;
        std::vector<std::pair<std::string, std::int32_t>> before;
        for (std::size_t op = 0, undo = script.find(' ') + 1; script[op] != ' '; ++op)
        {
            const auto now = std::make_pair(Letters(game.cells), game.totalScore);
            const std::size_t i = FindPair(now.first, 0, true);
            if (script[op] == 'R')
            {
                before.push_back(now);
                game.ProcessClick(i % 16, i / 16, &animator);
                ASSERT_EQ(game.ProcessClick(i % 16, i / 16, &animator), ResultRemoved);
                continue;
            }
            const char number = script[undo++];
            EXPECT_EQ(game.CanUndo(), number != '-') << script << " at " << op;
            game.Undo();
            EXPECT_EQ(std::make_pair(Letters(game.cells), game.totalScore),
                      number == '-' ? now : before.at(static_cast<std::size_t>(number - '1')))
                << script << " at " << op;
        }
    }
}

TEST(Deal, SameSeedOrSameSecondDealsAlikeAndMidGameKeepsThePendingColumn)
{
    CGameState a, b, c;
    a.NewGameWithSeed(42);
    std::srand(99);
    b.NewGameWithSeed(42);
    c.NewGameWithSeed(43);
    EXPECT_EQ(Deal(a), Deal(b));
    EXPECT_NE(Deal(a), Deal(c));

    // New Game in mid-game: the old pending column lands in column 15 of the new deal.
    SetPending(a, "MMY");
    a.NewGameWithSeed(43);
    std::string expected = Deal(c);
    for (std::size_t row = 0; row < kBoardRows; ++row)
    {
        expected[row * kBoardColumns + 15] = "........YMM"[row];
    }
    EXPECT_EQ(Deal(a), expected);

    // NewGame seeds with the time in seconds; dealt again while the clock ticks during a deal.
    CGameState byTime, bySeed;
    std::time_t now = 0;
    for (int attempt = 0; attempt < 3 && (attempt == 0 || std::time(nullptr) != now); ++attempt)
    {
        now = std::time(nullptr);
        byTime.NewGame();
    }
    bySeed.NewGameWithSeed(static_cast<unsigned int>(now));
    EXPECT_EQ(Deal(byTime), Deal(bySeed));
}
