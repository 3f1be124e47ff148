#include "GameTestSupport.h"

#include <string>

namespace
{
const std::string kFullPending = "RGBYMRGBYMR";

Picture EmptyBelow(std::initializer_list<const char*> bottomRows)
{
    Picture picture(kBoardRows - bottomRows.size(), "................");
    picture.insert(picture.end(), bottomRows.begin(), bottomRows.end());
    return picture;
}

std::string Steps(int count)
{
    return count == 0 ? "" : "step*" + std::to_string(count);
}
} // namespace

TEST(Remove, DropsEachColumnThenClosesUpEachRow)
{
    CGameState game = GameWith(EmptyBelow({
        "RGbBY...........",
        "MbbRGbMR........",
        "GYbMBbGRYMRG....",
    }));
    RecordingAnimator animator;
    ASSERT_TRUE(game.RemoveSelected(5, 9, &animator));
    EXPECT_BOARD(game, (EmptyBelow({
                           "RBY.............",
                           "MGRGMR..........",
                           "GYMBGRYMRG......",
                       })));
    EXPECT_EQ(animator.Take(), "step*27");
}

TEST(Remove, RefusesAPositionOutsideTheSelectionOrATooShortList)
{
    const Picture board = EmptyBelow({"RRG.............", "GBRB............"});
    struct
    {
        const char* name;
        Picture marked;
        std::uint32_t column;
        std::uint32_t row;
    } cases[] = {
        {"not listed", EmptyBelow({"rrG.............", "GBRB............"}), 2, 9},
        {"listed column, other row", EmptyBelow({"rrG.............", "GBRB............"}), 0, 10},
        {"one entry", EmptyBelow({"rRG.............", "GBRB............"}), 0, 9},
        {"nothing listed", board, 0, 9},
        {"off the board", EmptyBelow({"rrG.............", "GBRB............"}), 16, 9},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CGameState game = GameWith(c.marked);
        RecordingAnimator animator;
        EXPECT_FALSE(game.RemoveSelected(c.column, c.row, &animator));
        EXPECT_BOARD(game, (c.marked));
        EXPECT_EQ(animator.steps, 0);
    }
}

// Columns 0 to 15 - k full, k empty columns at the right; every feed brings the same column.
struct RefillCase
{
    int emptyColumns;
    std::string pending;
    int feeds;
};

void PrintTo(const RefillCase& c, std::ostream* os)
{
    *os << c.emptyColumns << " empty, pending \"" << c.pending << "\"";
}

class Refill : public ::testing::TestWithParam<RefillCase>
{
};

TEST_P(Refill, FeedsUntilTheSlidInBallsMeetTheScan)
{
    const RefillCase& c = GetParam();
    const int full = kBoardColumns - c.emptyColumns;
    Picture board;
    for (int row = 0; row < kBoardRows; ++row)
    {
        std::string line;
        for (int column = 0; column < kBoardColumns; ++column)
        {
            line += column < full ? "RGBYM"[(row + 2 * column) % 5] : '.';
        }
        board.push_back(line);
    }
    CGameState game = GameWith(board);
    SetPending(game, c.pending);
    RecordingAnimator animator(&game, c.pending);

    game.RefillEmptyColumns(&animator);

    EXPECT_EQ(animator.Take(), Steps(23 * c.feeds));
    const std::string fed = c.pending + std::string(kBoardRows - c.pending.size(), '.');
    for (int column = 0; column < kBoardColumns; ++column)
    {
        SCOPED_TRACE(column);
        const auto at = static_cast<std::uint32_t>(column);
        if (column < full)
        {
            EXPECT_EQ(BallCount(game, at), kBoardRows);
        }
        else if (column < full + c.feeds)
        {
            EXPECT_EQ(ColumnFromBottom(game, at), fed);
        }
        else
        {
            EXPECT_EQ(BallCount(game, at), 0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    EmptyColumnsAtTheRight, Refill,
    ::testing::Values(RefillCase{0, kFullPending, 0}, RefillCase{1, kFullPending, 1},
                      RefillCase{2, kFullPending, 1}, RefillCase{3, kFullPending, 2},
                      RefillCase{4, kFullPending, 2}, RefillCase{1, "RGBYMRGBY", 1},
                      RefillCase{2, "RGBYMRGBY", 1}, RefillCase{3, "RGBYMRGBY", 2},
                      RefillCase{4, "RGBYMRGBY", 2}, RefillCase{4, "M", 2}, RefillCase{2, "", 2},
                      RefillCase{3, "", 3}));

TEST(Refill, AllRemovedFillsTheLeftHalf)
{
    CGameState game = GameWith(Picture(kBoardRows, "GGGGGGGGGGGGGGGG"));
    SetPending(game, kFullPending);
    RecordingAnimator animator(&game, kFullPending);
    ASSERT_EQ(game.ProcessClick(3, 4, &animator), ResultSelected);
    EXPECT_EQ(game.ProcessClick(15, 0, &animator), ResultRemoved);

    EXPECT_EQ(animator.Take(), "select step*27 remove " + Steps(8 * 23));
    Picture expected;
    for (int row = 0; row < kBoardRows; ++row)
    {
        expected.push_back(std::string(8, kFullPending[10 - row]) + std::string(8, '.'));
    }
    EXPECT_BOARD(game, (expected));
    EXPECT_EQ(game.totalScore, 30800);
}

TEST(Refill, AllRemovedWithNothingPendingEndsOnAnEmptyBoard)
{
    CGameState game = GameWith(Picture(kBoardRows, "MMMMMMMMMMMMMMMM"));
    SetPending(game, "");
    RecordingAnimator animator(&game, "");
    ASSERT_EQ(game.ProcessClick(0, 0, &animator), ResultSelected);
    EXPECT_EQ(game.ProcessClick(0, 0, &animator), ResultGameOver);
    EXPECT_EQ(animator.Take(), "select step*27 remove " + Steps(16 * 23) + " gameover");
    EXPECT_BOARD(game, (Picture(kBoardRows, "................")));
    EXPECT_TRUE(game.gameOver);
}
