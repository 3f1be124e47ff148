#pragma once

#include "BoardSnapshot.h"
#include "Cell.h"
#include "CellPos.h"
#include "ClickResult.h"

#include <cstdint>
#include <vector>

class IAnimator;

inline constexpr int kBallColours = 5;
inline constexpr int kHistoryDepth = 4;

// The whole model of one game. Cells are stored row after row: index = row * 16 + column.
// Row 10 is the bottom, column 0 the left edge; new columns enter at column 15.
class CGameState
{
public:
    CGameState();
    // Copies keep the reserved selection storage, so a move on a copy never allocates either.
    CGameState(const CGameState& other);
    CGameState& operator=(const CGameState&) = default;

    // Deals a new board, seeding the generator with the calendar time in seconds.
    void NewGame();
    // The same with a given seed; NewGame() is NewGameWithSeed(time).
    void NewGameWithSeed(unsigned int seed);
    void FeedColumn(IAnimator* animator);
    const Cell& CellAt(std::uint32_t column, std::uint32_t row) const;

    void FloodSelect(std::uint32_t column, std::uint32_t row, std::uint32_t colour,
                     std::uint32_t flags);
    bool SelectGroup(std::uint32_t column, std::uint32_t row, std::uint32_t colour,
                     std::uint32_t flags);
    std::int32_t ClearSelection();

    bool RemoveSelected(std::uint32_t column, std::uint32_t row, IAnimator* animator);
    void DropCells(IAnimator* animator);
    void CloseUpRows(IAnimator* animator);
    void RefillEmptyColumns(IAnimator* animator);

    ClickResult ProcessClick(std::uint32_t column, std::uint32_t row, IAnimator* animator);
    bool IsGameOver() const;

    void PushUndo();
    bool CanUndo() const;
    void Undo();

    bool gameOver;
    Cell cells[kBoardCells];
    std::vector<CellPos> selection;
    std::int32_t groupScore;
    std::int32_t totalScore;
    std::int32_t historyIndex;
    BoardSnapshot history[kHistoryDepth];
    Cell nextColumn[kBoardRows];
};
