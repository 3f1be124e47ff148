#include "GameTestSupport.h"

#include <vector>

namespace
{
// Selects the first group found row by row and removes it; returns the board just before.
Picture RemoveFirstGroup(CGameState& game)
{
    RecordingAnimator animator;
    const Picture before = PictureOf(game);
    for (std::uint32_t row = 0; row < kBoardRows; ++row)
    {
        for (std::uint32_t column = 0; column < kBoardColumns; ++column)
        {
            if (game.ProcessClick(column, row, &animator) == ResultSelected)
            {
                EXPECT_EQ(game.ProcessClick(column, row, &animator), ResultRemoved);
                return before;
            }
        }
    }
    ADD_FAILURE() << "no group left" << ::testing::PrintToString(game);
    return before;
}

struct Played
{
    Picture board;
    std::int32_t total;
};

Played Remove(CGameState& game)
{
    const std::int32_t total = game.totalScore;
    return Played{RemoveFirstGroup(game), total};
}

void ExpectRestored(const CGameState& game, const Played& played)
{
    EXPECT_BOARD(game, (played.board));
    EXPECT_EQ(game.totalScore, played.total);
    EXPECT_EQ(game.groupScore, 0);
}
} // namespace

TEST(Undo, NothingToUndoAfterADeal)
{
    CGameState game;
    game.NewGameWithSeed(11);
    RemoveFirstGroup(game);
    game.NewGameWithSeed(12);
    RecordingAnimator animator;
    for (std::uint32_t column = 0; game.selection.empty() && column < kBoardColumns; ++column)
    {
        game.ProcessClick(column, 10, &animator);
    }
    ASSERT_FALSE(game.selection.empty());
    const Picture before = PictureOf(game);
    const std::int32_t groupScore = game.groupScore;
    EXPECT_FALSE(game.CanUndo());
    game.Undo();
    EXPECT_BOARD(game, (before));
    EXPECT_EQ(game.groupScore, groupScore);
}

TEST(Undo, RingKeepsTheLastFourRemovals)
{
    CGameState game;
    game.NewGameWithSeed(21);
    std::vector<Played> played;
    for (int i = 0; i < 5; ++i)
    {
        played.push_back(Remove(game));
    }
    for (int i = 4; i >= 1; --i)
    {
        SCOPED_TRACE(i);
        ASSERT_TRUE(game.CanUndo());
        game.Undo();
        ExpectRestored(game, played[static_cast<std::size_t>(i)]);
    }
    EXPECT_FALSE(game.CanUndo());
    const Picture oldest = PictureOf(game);
    game.Undo();
    EXPECT_BOARD(game, (oldest));
}

TEST(Undo, MoveAfterUndoReusesTheSlot)
{
    CGameState game;
    game.NewGameWithSeed(31);
    const Played first = Remove(game);
    Remove(game);
    Remove(game);
    game.Undo();
    game.Undo();
    const Played fresh = Remove(game);

    game.Undo();
    ExpectRestored(game, fresh);
    game.Undo();
    ExpectRestored(game, first);
    EXPECT_FALSE(game.CanUndo());
    game.Undo();
    ExpectRestored(game, first);
}

TEST(Undo, DropsTheMarksButLeavesTheListForTheNextClick)
{
    CGameState game;
    game.NewGameWithSeed(41);
    const Played played = Remove(game);
    RecordingAnimator animator;
    for (std::uint32_t column = 0; game.selection.empty() && column < kBoardColumns; ++column)
    {
        game.ProcessClick(column, 10, &animator);
    }
    ASSERT_FALSE(game.selection.empty());

    game.Undo();
    ExpectRestored(game, played);
    for (const Cell& cell : game.cells)
    {
        EXPECT_EQ(cell.flags, 0u);
    }
    // The left-over list makes a click off the board report a dropped selection once.
    EXPECT_EQ(game.ProcessClick(16, 0, &animator), ResultDeselected);
    EXPECT_EQ(game.ProcessClick(16, 0, &animator), ResultNothing);
    EXPECT_BOARD(game, (played.board));
}

TEST(Undo, StaysOfferedButDoesNothingAfterTheEnd)
{
    CGameState game = GameWith(Put(Checkerboard(), {{0, 0, 'B'}, {1, 0, 'B'}}));
    RecordingAnimator animator;
    game.ProcessClick(0, 0, &animator);
    ASSERT_EQ(game.ProcessClick(1, 0, &animator), ResultGameOver);
    const Picture end = PictureOf(game);

    EXPECT_TRUE(game.CanUndo());
    game.Undo();
    EXPECT_BOARD(game, (end));
    EXPECT_EQ(game.totalScore, 2);
    EXPECT_TRUE(game.gameOver);

    game.NewGameWithSeed(1);
    EXPECT_FALSE(game.CanUndo());
}
