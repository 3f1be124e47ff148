#include "GameTestSupport.h"

#include <cstdlib>
#include <ctime>

namespace
{
void ExpectFreshFullBoard(const CGameState& game)
{
    for (const Cell& cell : game.cells)
    {
        ASSERT_GE(cell.colour, 1u);
        ASSERT_LE(cell.colour, 5u);
        ASSERT_EQ(cell.flags, 0u);
    }
    EXPECT_FALSE(game.gameOver);
    EXPECT_TRUE(game.selection.empty());
    EXPECT_EQ(game.groupScore, 0);
    EXPECT_EQ(game.totalScore, 0);
    EXPECT_EQ(game.historyIndex, -1);
    EXPECT_FALSE(game.CanUndo());
    for (const BoardSnapshot& snapshot : game.history)
    {
        EXPECT_FALSE(snapshot.valid);
    }
}

bool SameDeal(const CGameState& a, const CGameState& b)
{
    return PictureOf(a) == PictureOf(b) && PendingColumn(a) == PendingColumn(b);
}
} // namespace

TEST(Deal, ConstructedStateHasNoGameAndNoUndo)
{
    const CGameState game;
    EXPECT_TRUE(game.gameOver);
    EXPECT_TRUE(game.selection.empty());
    EXPECT_GE(game.selection.capacity(), static_cast<std::size_t>(kBoardCells));
    EXPECT_EQ(game.historyIndex, 0);
    EXPECT_FALSE(game.CanUndo());
    EXPECT_GE(CGameState(game).selection.capacity(), static_cast<std::size_t>(kBoardCells));
}

TEST(Deal, FirstDealFillsEveryCellAndPacksThePendingColumn)
{
    for (unsigned int seed : {0u, 1u, 7u, 12345u, 0xFFFFFFFFu})
    {
        SCOPED_TRACE(seed);
        CGameState game;
        game.NewGameWithSeed(seed);
        ExpectFreshFullBoard(game);
        const std::string pending = PendingColumn(game);
        EXPECT_EQ(pending.find_first_of("RGBYM", pending.find('.')), std::string::npos) << pending;
    }
}

TEST(Deal, SameSeedDealsAlikeWhateverRanBefore)
{
    CGameState a;
    a.NewGameWithSeed(42);
    std::srand(99);
    for (int i = 0; i < 17; ++i)
    {
        (void)std::rand();
    }
    CGameState b;
    b.NewGameWithSeed(42);
    EXPECT_TRUE(SameDeal(a, b)) << ::testing::PrintToString(a) << ::testing::PrintToString(b);

    CGameState c;
    c.NewGameWithSeed(43);
    EXPECT_FALSE(SameDeal(a, c));
}

TEST(Deal, NewGameInTheSameSecondDealsAlike)
{
    // Retried so that a tick of the clock between the deals cannot fail the test.
    for (int attempt = 0; attempt < 3; ++attempt)
    {
        const std::time_t before = std::time(nullptr);
        CGameState a;
        a.NewGame();
        CGameState b;
        b.NewGame();
        CGameState bySeed;
        bySeed.NewGameWithSeed(static_cast<unsigned int>(before));
        if (std::time(nullptr) == before)
        {
            EXPECT_TRUE(SameDeal(a, b));
            EXPECT_TRUE(SameDeal(a, bySeed));
            return;
        }
    }
    ADD_FAILURE() << "the clock ticked during every attempt";
}

TEST(Deal, MidGameDealPutsTheOldPendingColumnIntoColumn15)
{
    for (const char* pending : {"RGBYMRGBYMR", "MMY", "", "BBBBBBBBB"})
    {
        SCOPED_TRACE(pending);
        CGameState game;
        game.NewGameWithSeed(5);
        SetPending(game, pending);
        const std::string expected = PendingColumn(game);

        game.NewGameWithSeed(6);

        CGameState reference;
        reference.NewGameWithSeed(6);
        EXPECT_EQ(ColumnFromBottom(game, 15), expected);
        EXPECT_EQ(PendingColumn(game), PendingColumn(reference));
        for (std::uint32_t column = 0; column < 15; ++column)
        {
            EXPECT_EQ(ColumnFromBottom(game, column), ColumnFromBottom(reference, column));
        }
        EXPECT_FALSE(game.gameOver);
        EXPECT_EQ(game.historyIndex, -1);
    }
}

TEST(Deal, DealAfterTheEndIsFull)
{
    CGameState game = GameWith(Put(Checkerboard(), {{0, 0, 'B'}, {1, 0, 'B'}}));
    RecordingAnimator animator;
    ASSERT_EQ(game.ProcessClick(0, 0, &animator), ResultSelected);
    ASSERT_EQ(game.ProcessClick(1, 0, &animator), ResultGameOver);
    SetPending(game, "R");

    game.NewGameWithSeed(3);
    ExpectFreshFullBoard(game);
}

TEST(Deal, FeedWritesThePendingColumnBottomUpAndDrawsANewOne)
{
    CGameState game = GameWith(Picture(11, "RGBYMRGBYMRGBYM."));
    SetPending(game, "YMB");
    RecordingAnimator animator;
    game.FeedColumn(&animator);
    EXPECT_EQ(ColumnFromBottom(game, 15), "YMB........");
    EXPECT_EQ(animator.Take(), "step*11");

    // Whatever stood in column 15 is overwritten, and an empty pending column empties it.
    SetPending(game, "");
    game.FeedColumn(nullptr);
    EXPECT_EQ(ColumnFromBottom(game, 15), "...........");

    // After the end a feed only draws.
    game.gameOver = true;
    SetPending(game, "RRRRRRRRRRR");
    game.FeedColumn(&animator);
    EXPECT_EQ(ColumnFromBottom(game, 15), "...........");
    EXPECT_EQ(animator.Take(), "");
}
