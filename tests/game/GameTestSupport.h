#pragma once

#include "CGameState.h"
#include "IAnimator.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

// A board as 11 rows of 16 letters, row 0 first: R G B Y M for the balls, '.' for empty.
// Marked balls are lower case; setting a board lists them as the selection, row by row.
using Picture = std::vector<std::string>;

// R and G in a checkerboard: no pair anywhere, the wrap included.
Picture Checkerboard();
// The picture with some cells replaced, given as (column, row, letter).
Picture Put(Picture picture, std::initializer_list<std::tuple<int, int, char>> balls);

// Deals a game with a fixed seed, then replaces its cells by the picture.
CGameState GameWith(const Picture& picture);
void SetBoard(CGameState& game, const Picture& picture);
Picture PictureOf(const CGameState& game);
// A column as a string of letters from row 10 upwards, so a pending column and the column it
// fed can be compared directly.
std::string ColumnFromBottom(const CGameState& game, std::uint32_t column);
std::string PendingColumn(const CGameState& game);
int BallCount(const CGameState& game, std::uint32_t column);

::testing::AssertionResult BoardIs(const char* gameText, const char* pictureText,
                                   const CGameState& game, const Picture& picture);
#define EXPECT_BOARD(game, ...) EXPECT_PRED_FORMAT2(BoardIs, game, (Picture __VA_ARGS__))

void PrintTo(const CGameState& game, std::ostream* os);

// Logs a move as text: cues by their bare names, runs of steps as "step*N".
// Optionally refills the pending column at every step, so feeds get columns the test chose.
class RecordingAnimator : public IAnimator
{
public:
    explicit RecordingAnimator(CGameState* forcedGame = nullptr, std::string forcedColumn = "");

    void Step() override;
    void PlayCue(const char* fileName) override;

    // The log so far, then emptied.
    std::string Take();

    int steps = 0;
    std::vector<std::string> cues;

private:
    void FlushSteps();

    CGameState* m_pForcedGame;
    std::string m_strForcedColumn;
    std::string m_strLog;
    int m_nRun = 0;
};

// Sets the pending column from letters, entry 0 first.
void SetPending(CGameState& game, const std::string& letters);
