#include "GameTestSupport.h"

#include <string>
#include <vector>

namespace
{
constexpr std::uint32_t kFar = 0xFFFFFFFFu;

struct Click
{
    std::uint32_t column;
    std::uint32_t row;
    ClickResult result;
};

struct ClickCase
{
    const char* name;
    Picture board;
    std::vector<Click> clicks;
    std::string log;
    std::int32_t totalScore;
    std::int32_t groupScore;
    Picture after; // empty: the board as dealt, unmarked
};

// A blue group of 3 in the top right corner and a spare yellow pair at the bottom left.
const Picture kBlueTriple =
    Put(Checkerboard(), {{14, 0, 'B'}, {15, 0, 'B'}, {15, 1, 'B'}, {0, 10, 'Y'}, {1, 10, 'Y'}});
const Picture kTwoGroups = Put(kBlueTriple, {{9, 10, 'M'}, {9, 9, 'M'}, {0, 0, 'M'}});

const ClickCase kClickCases[] = {
    {"select then remove",
     kBlueTriple,
     {{15, 1, ResultSelected}, {14, 0, ResultRemoved}},
     "select step*27 remove",
     6,
     0,
     Put(kBlueTriple, {{14, 0, '.'}, {15, 0, '.'}, {15, 1, '.'}})},
    {"another group replaces the selection",
     kTwoGroups,
     {{14, 0, ResultSelected}, {9, 9, ResultSelected}},
     "select select",
     0,
     2,
     Put(kTwoGroups, {{9, 10, 'm'}, {9, 9, 'm'}})},
    {"a lone ball drops the selection",
     kTwoGroups,
     {{14, 0, ResultSelected}, {0, 0, ResultDeselected}},
     "select select",
     0,
     0,
     {}},
    {"a lone ball with nothing selected", kTwoGroups, {{0, 0, ResultNothing}}, "select", 0, 0, {}},
    {"an empty cell drops the selection",
     Put(Checkerboard(), {{15, 0, '.'}, {13, 1, 'B'}, {14, 1, 'B'}}),
     {{13, 1, ResultSelected}, {15, 0, ResultDeselected}, {15, 0, ResultNothing}},
     "select empty empty",
     0,
     0,
     {}},
    {"off the board counts as empty",
     kBlueTriple,
     {{16, 0, ResultNothing},
      {0, 11, ResultNothing},
      {15, 1, ResultSelected},
      {kFar, 3, ResultDeselected},
      {15, 1, ResultSelected},
      {2, kFar, ResultDeselected},
      {15, 1, ResultSelected},
      {1000, 1000, ResultDeselected}},
     "empty empty select empty select empty select empty",
     0,
     0,
     {}},
    {"the last removal ends the game",
     Put(Checkerboard(), {{0, 0, 'B'}, {1, 0, 'B'}}),
     {{1, 0, ResultSelected},
      {0, 0, ResultGameOver},
      {2, 5, ResultGameOver},
      {0, 0, ResultGameOver}},
     "select step*27 remove gameover empty empty",
     2,
     0,
     Put(Checkerboard(), {{14, 0, '.'}, {15, 0, '.'}})},
    // The wrap pair selects as a group but does not keep the game going.
    {"a pair only across the edges ends the game",
     Put(Checkerboard(), {{0, 0, 'B'}, {1, 0, 'B'}, {0, 5, 'Y'}, {15, 5, 'Y'}}),
     {{0, 0, ResultSelected}, {1, 0, ResultGameOver}},
     "select step*27 remove gameover",
     2,
     0,
     Put(Checkerboard(), {{14, 0, '.'}, {15, 0, '.'}, {0, 5, 'Y'}, {15, 5, 'Y'}})},
};

void PrintTo(const ClickCase& c, std::ostream* os)
{
    *os << c.name;
}

class ClickSequence : public ::testing::TestWithParam<ClickCase>
{
};
} // namespace

TEST_P(ClickSequence, GivesTheResultsCuesAndScores)
{
    const ClickCase& c = GetParam();
    CGameState game = GameWith(c.board);
    RecordingAnimator animator;
    for (const Click& click : c.clicks)
    {
        EXPECT_EQ(game.ProcessClick(click.column, click.row, &animator), click.result)
            << "click " << click.column << "," << click.row << ::testing::PrintToString(game);
    }
    EXPECT_EQ(animator.Take(), c.log);
    EXPECT_EQ(game.totalScore, c.totalScore);
    EXPECT_EQ(game.groupScore, c.groupScore);
    EXPECT_BOARD(game, (c.after.empty() ? c.board : c.after));
}

INSTANTIATE_TEST_SUITE_P(Cases, ClickSequence, ::testing::ValuesIn(kClickCases),
                         [](const ::testing::TestParamInfo<ClickCase>& info)
                         {
                             std::string name;
                             for (const char* p = info.param.name; *p != '\0'; ++p)
                             {
                                 name += *p == ' ' ? '_' : *p;
                             }
                             return name;
                         });

TEST(Click, WithoutAnAnimatorNothingHappens)
{
    CGameState game = GameWith(kBlueTriple);
    RecordingAnimator animator;
    ASSERT_EQ(game.ProcessClick(15, 1, &animator), ResultSelected);
    const CGameState before = game;
    EXPECT_EQ(game.ProcessClick(15, 1, nullptr), ResultNothing);
    EXPECT_EQ(game.ProcessClick(0, 0, nullptr), ResultNothing);
    EXPECT_EQ(PictureOf(game), PictureOf(before));
    EXPECT_EQ(game.groupScore, 6);
    EXPECT_EQ(game.historyIndex, -1);
}

TEST(Click, RemovalSnapshotsTheUnmarkedBoardFirst)
{
    CGameState game = GameWith(kBlueTriple);
    RecordingAnimator animator;
    game.ProcessClick(15, 1, &animator);
    game.ProcessClick(15, 0, &animator);
    ASSERT_EQ(game.historyIndex, 0);
    CGameState snapshot = GameWith(kBlueTriple);
    for (int i = 0; i < kBoardCells; ++i)
    {
        snapshot.cells[i] = game.history[0].cells[i];
    }
    EXPECT_BOARD(snapshot, (kBlueTriple));
    EXPECT_EQ(game.history[0].totalScore, 0);
    EXPECT_TRUE(game.CanUndo());
}

TEST(GameOver, OnlyPairsWithoutWrapKeepTheGameGoing)
{
    struct
    {
        const char* name;
        Picture board;
        bool over;
    } cases[] = {
        {"no balls", Picture(kBoardRows, "................"), true},
        {"checkerboard", Checkerboard(), true},
        {"pair across the edges", Put(Checkerboard(), {{0, 3, 'B'}, {15, 3, 'B'}}), true},
        {"top and bottom", Put(Checkerboard(), {{6, 0, 'B'}, {6, 10, 'B'}}), true},
        {"horizontal pair at the right", Put(Checkerboard(), {{14, 10, 'B'}, {15, 10, 'B'}}),
         false},
        {"vertical pair at the top", Put(Checkerboard(), {{15, 0, 'Y'}, {15, 1, 'Y'}}), false},
        {"vertical pair at the bottom", Put(Checkerboard(), {{0, 9, 'M'}, {0, 10, 'M'}}), false},
        {"empty cells do not pair", Put(Checkerboard(), {{15, 0, '.'}, {14, 0, '.'}}), true},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(GameWith(c.board).IsGameOver(), c.over) << c.name;
    }
}
