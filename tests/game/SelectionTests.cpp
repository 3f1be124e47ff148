#include "GameTestSupport.h"

#include <algorithm>
#include <set>
#include <utility>

namespace
{
struct SelectCase
{
    const char* name;
    Picture board;
    std::uint32_t column;
    std::uint32_t row;
    Picture marked; // empty: nothing is selected and the board is unchanged
};

const Picture kEmpty(11, "................");

Picture With(Picture picture, std::initializer_list<std::pair<int, const char*>> rows)
{
    for (const auto& [row, line] : rows)
    {
        picture[static_cast<std::size_t>(row)] = line;
    }
    return picture;
}

// Every listed position is marked and every marked cell is listed, each once.
void ExpectListMatchesMarks(const CGameState& game)
{
    std::set<std::pair<std::uint32_t, std::uint32_t>> listed;
    for (const CellPos& pos : game.selection)
    {
        EXPECT_TRUE(listed.insert({pos.column, pos.row}).second)
            << "listed twice: " << pos.column << "," << pos.row;
        EXPECT_NE(game.CellAt(pos.column, pos.row).flags & kCellSelected, 0u);
    }
    std::size_t marked = 0;
    for (const Cell& cell : game.cells)
    {
        marked += (cell.flags & kCellSelected) != 0 ? 1 : 0;
    }
    EXPECT_EQ(marked, game.selection.size());
}

const SelectCase kSelectCases[] = {
    {"wrap pair", With(kEmpty, {{10, "RGBGBGBGBGBGBGBR"}}), 15, 10,
     With(kEmpty, {{10, "rGBGBGBGBGBGBGBr"}})},
    {"wrap group over several rows",
     With(kEmpty, {{8, "Y..............."}, {9, "YG.............Y"}, {10, "BGBGBGBGBGBGBGBY"}}), 0,
     8, With(kEmpty, {{8, "y..............."}, {9, "yG.............y"}, {10, "BGBGBGBGBGBGBGBy"}})},
    {"top and bottom do not touch",
     With(kEmpty, {{0, "M..............."},
                   {1, "G..............."},
                   {2, "B..............."},
                   {3, "G..............."},
                   {4, "B..............."},
                   {5, "G..............."},
                   {6, "B..............."},
                   {7, "G..............."},
                   {8, "B..............."},
                   {9, "G..............."},
                   {10, "MBGBGBGBGBGBGBGB"}}),
     0,
     10,
     {}},
    {"lone ball", With(kEmpty, {{9, "RG.............."}, {10, "GRGRGRGRGRGRGRGB"}}), 1, 10, {}},
    {"snake up, over and down",
     With(kEmpty, {{6, "BBBG............"},
                   {7, "BGBG............"},
                   {8, "BGBG............"},
                   {9, "BGBR............"},
                   {10, "BGBBR..........."}}),
     2, 10,
     With(kEmpty, {{6, "bbbG............"},
                   {7, "bGbG............"},
                   {8, "bGbG............"},
                   {9, "bGbR............"},
                   {10, "bGbbR..........."}})},
    {"whole board of one colour", Picture(11, "GGGGGGGGGGGGGGGG"), 7, 3,
     Picture(11, "gggggggggggggggg")},
};

void PrintTo(const SelectCase& c, std::ostream* os)
{
    *os << c.name;
}

class Select : public ::testing::TestWithParam<SelectCase>
{
};
} // namespace

TEST_P(Select, MarksAndListsExactlyTheConnectedBalls)
{
    const SelectCase& c = GetParam();
    CGameState game = GameWith(c.board);
    const Cell start = game.CellAt(c.column, c.row);
    const bool selected = game.SelectGroup(c.column, c.row, start.colour, start.flags);

    EXPECT_BOARD(game, (c.marked.empty() ? c.board : c.marked));
    ExpectListMatchesMarks(game);
    EXPECT_EQ(selected, !game.selection.empty());
    EXPECT_NE(game.selection.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Groups, Select, ::testing::ValuesIn(kSelectCases),
                         [](const ::testing::TestParamInfo<SelectCase>& info)
                         {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), ' ', '_');
                             std::replace(name.begin(), name.end(), ',', '_');
                             return name;
                         });

TEST(SelectScore, GroupScoreIsNTimesNMinusOne)
{
    struct
    {
        Picture board;
        std::int32_t score;
    } cases[] = {
        {With(kEmpty, {{10, "RBGBGBGBGBGBGBGR"}}), 2},
        {With(kEmpty, {{10, "RRRBGBGBGBGBGBGB"}}), 6},
        {With(kEmpty, {{9, "RRRRR..........."}, {10, "RRRRRBGBGBGBGBGB"}}), 90},
        {Picture(11, "RRRRRRRRRRRRRRRR"), 30800},
    };
    for (const auto& c : cases)
    {
        CGameState game = GameWith(c.board);
        RecordingAnimator animator;
        ASSERT_EQ(game.ProcessClick(0, 10, &animator), ResultSelected);
        EXPECT_EQ(game.groupScore, c.score);
        EXPECT_EQ(game.totalScore, 0);
    }
}

TEST(ClearSelection, UnmarksOnceThenReportsNothing)
{
    CGameState game = GameWith(With(kEmpty, {{10, "RRRBGBGBGBGBGBGB"}}));
    EXPECT_EQ(game.ClearSelection(), 0);
    ASSERT_TRUE(game.SelectGroup(1, 10, 1, 0));
    game.groupScore = 6;
    EXPECT_EQ(game.ClearSelection(), 3);
    EXPECT_EQ(game.groupScore, 0);
    EXPECT_TRUE(game.selection.empty());
    EXPECT_BOARD(game, (With(kEmpty, {{10, "RRRBGBGBGBGBGBGB"}})));
    EXPECT_EQ(game.ClearSelection(), 0);
}

TEST(FloodSelect, RefusesEmptyCellsOffBoardAndMarkedStarts)
{
    CGameState game = GameWith(With(kEmpty, {{10, "RRRBGBGBGBGBGBGB"}}));
    game.FloodSelect(5, 5, 0, 0);
    game.FloodSelect(16, 10, 1, 0);
    game.FloodSelect(0, 11, 1, 0);
    game.FloodSelect(0, 10, 1, kCellSelected);
    game.FloodSelect(3, 10, 1, 0);
    EXPECT_TRUE(game.selection.empty());
    EXPECT_BOARD(game, (With(kEmpty, {{10, "RRRBGBGBGBGBGBGB"}})));
}
