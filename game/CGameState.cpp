#include "CGameState.h"

#include "IAnimator.h"

#include <cstdlib>
#include <ctime>

namespace
{
constexpr std::uint32_t kLastColumn = kBoardColumns - 1;
constexpr std::uint32_t kLastRow = kBoardRows - 1;
constexpr int kFeedRows = kBoardRows;

const Cell kOffBoardCell{0, 0};

constexpr std::uint32_t IndexOf(std::uint32_t column, std::uint32_t row)
{
    return row * kBoardColumns + column;
}

void StepIf(IAnimator* animator)
{
    if (animator != nullptr)
    {
        animator->Step();
    }
}

std::uint32_t DrawColour()
{
    return static_cast<std::uint32_t>(std::rand() % 6);
}
} // namespace

CGameState::CGameState()
    : gameOver(true), cells{}, groupScore(0), totalScore(0),
      historyIndex(0), history{}, nextColumn{}
{
    selection.reserve(kBoardCells);
}

CGameState::CGameState(const CGameState& other) : CGameState()
{
    *this = other;
}

void CGameState::NewGame()
{
    NewGameWithSeed(static_cast<unsigned int>(std::time(nullptr)));
}

void CGameState::NewGameWithSeed(unsigned int seed)
{
    std::srand(seed);
    for (Cell& cell : cells)
    {
        std::uint32_t colour = 0;
        while (colour == 0)
        {
            colour = DrawColour();
        }
        cell = Cell{colour, 0};
    }
    selection.clear();
    for (BoardSnapshot& snapshot : history)
    {
        snapshot = BoardSnapshot{};
    }
    historyIndex = -1;
    // Still in the old game's state here: mid-game, the old pending column lands in column 15.
    FeedColumn(nullptr);
    groupScore = 0;
    totalScore = 0;
    gameOver = false;
}

void CGameState::FeedColumn(IAnimator* animator)
{
    if (!gameOver)
    {
        for (int k = 0; k < kFeedRows; ++k)
        {
            cells[IndexOf(kLastColumn, kLastRow - k)] = nextColumn[k];
            StepIf(animator);
        }
    }
    Cell drawn[kFeedRows];
    for (Cell& cell : drawn)
    {
        cell = Cell{DrawColour(), 0};
    }
    int count = 0;
    for (Cell& entry : nextColumn)
    {
        entry = Cell{0, 0};
    }
    for (const Cell& cell : drawn)
    {
        if (cell.colour != 0)
        {
            nextColumn[count++] = cell;
        }
    }
}

const Cell& CGameState::CellAt(std::uint32_t column, std::uint32_t row) const
{
    if (column > kLastColumn || row > kLastRow)
    {
        return kOffBoardCell;
    }
    return cells[IndexOf(column, row)];
}

void CGameState::FloodSelect(std::uint32_t column, std::uint32_t row, std::uint32_t colour,
                             std::uint32_t flags)
{
    if ((flags & kCellSelected) != 0)
    {
        return;
    }
    // Never fill from an empty cell or a cell of another colour, nor from off the board.
    if (colour == 0 || column > kLastColumn || row > kLastRow ||
        cells[IndexOf(column, row)].colour != colour)
    {
        return;
    }
    const std::uint32_t right = (column + 1) % kBoardColumns;
    const std::uint32_t left = (column + kLastColumn) % kBoardColumns;
    auto visit = [this, colour](std::uint32_t c, std::uint32_t r)
    {
        const Cell& neighbour = cells[IndexOf(c, r)];
        if (neighbour.colour == colour)
        {
            FloodSelect(c, r, colour, neighbour.flags);
        }
    };
    // Upwards is walked in this call; the other directions recurse.
    for (;;)
    {
        selection.push_back(CellPos{column, row});
        cells[IndexOf(column, row)].flags |= kCellSelected;
        visit(right, row);
        visit(left, row);
        if (row + 1 <= kLastRow)
        {
            visit(column, row + 1);
        }
        if (row == 0)
        {
            return;
        }
        --row;
        const Cell& above = cells[IndexOf(column, row)];
        if (above.colour != colour || (above.flags & kCellSelected) != 0)
        {
            return;
        }
    }
}

bool CGameState::SelectGroup(std::uint32_t column, std::uint32_t row, std::uint32_t colour,
                             std::uint32_t flags)
{
    FloodSelect(column, row, colour, flags);
    if (selection.size() < 2)
    {
        ClearSelection();
    }
    return !selection.empty();
}

std::int32_t CGameState::ClearSelection()
{
    if (selection.empty())
    {
        return ResultNothing;
    }
    for (const CellPos& pos : selection)
    {
        cells[IndexOf(pos.column, pos.row)].flags &= ~kCellSelected;
    }
    selection.clear();
    groupScore = 0;
    return ResultDeselected;
}

bool CGameState::RemoveSelected(std::uint32_t column, std::uint32_t row, IAnimator* animator)
{
    if (selection.size() < 2)
    {
        return false;
    }
    for (const CellPos& pos : selection)
    {
        if (pos == CellPos{column, row})
        {
            DropCells(animator);
            CloseUpRows(animator);
            return true;
        }
    }
    return false;
}

void CGameState::DropCells(IAnimator* animator)
{
    for (std::uint32_t column = 0; column <= kLastColumn; ++column)
    {
        Cell kept[kBoardRows] = {};
        int count = 0;
        for (int row = kLastRow; row >= 0; --row)
        {
            const Cell& cell = cells[IndexOf(column, row)];
            if ((cell.flags & kCellSelected) == 0)
            {
                kept[count++] = cell;
            }
        }
        for (int k = 0; k < kBoardRows; ++k)
        {
            cells[IndexOf(column, kLastRow - k)] = kept[k];
        }
        StepIf(animator);
    }
}

void CGameState::CloseUpRows(IAnimator* animator)
{
    for (std::uint32_t row = 0; row <= kLastRow; ++row)
    {
        Cell kept[kBoardColumns] = {};
        int count = 0;
        for (std::uint32_t column = 0; column <= kLastColumn; ++column)
        {
            const Cell& cell = cells[IndexOf(column, row)];
            if (cell.colour != 0)
            {
                kept[count++] = cell;
            }
        }
        if (count >= 1 && count < kBoardColumns)
        {
            for (std::uint32_t column = 0; column <= kLastColumn; ++column)
            {
                cells[IndexOf(column, row)] = kept[column];
            }
        }
        StepIf(animator);
    }
}

void CGameState::RefillEmptyColumns(IAnimator* animator)
{
    // The scan moves left once per feed, so it stops where the slid-in balls meet it.
    for (int column = kLastColumn; column >= 0; --column)
    {
        for (std::uint32_t row = 0; row <= kLastRow; ++row)
        {
            if (cells[IndexOf(column, row)].colour != 0)
            {
                return;
            }
        }
        FeedColumn(animator);
        StepIf(animator);
        CloseUpRows(animator);
    }
}

ClickResult CGameState::ProcessClick(std::uint32_t column, std::uint32_t row, IAnimator* animator)
{
    const Cell clicked = CellAt(column, row);
    if (animator == nullptr)
    {
        return ResultNothing;
    }
    if (gameOver)
    {
        animator->PlayCue("empty.wav");
        return ResultGameOver;
    }
    if (clicked.colour == 0)
    {
        animator->PlayCue("empty.wav");
        return static_cast<ClickResult>(ClearSelection());
    }
    if ((clicked.flags & kCellSelected) != 0)
    {
        PushUndo();
        if (!RemoveSelected(column, row, animator))
        {
            return ResultNothing;
        }
        animator->PlayCue("remove.wav");
        totalScore += groupScore;
        ClearSelection();
        RefillEmptyColumns(animator);
        if (IsGameOver())
        {
            gameOver = true;
            animator->PlayCue("gameover.wav");
            return ResultGameOver;
        }
        return ResultRemoved;
    }
    animator->PlayCue("select.wav");
    const std::int32_t dropped = ClearSelection();
    if (SelectGroup(column, row, clicked.colour, clicked.flags))
    {
        const auto n = static_cast<std::int32_t>(selection.size());
        groupScore = n * (n - 1);
        return ResultSelected;
    }
    return static_cast<ClickResult>(dropped);
}

bool CGameState::IsGameOver() const
{
    // Without wrap: column 15 and column 0 of a row are no pair here.
    for (std::uint32_t row = 0; row <= kLastRow; ++row)
    {
        for (std::uint32_t column = 0; column <= kLastColumn; ++column)
        {
            const std::uint32_t colour = cells[IndexOf(column, row)].colour;
            if (colour == 0)
            {
                continue;
            }
            if (column < kLastColumn && cells[IndexOf(column + 1, row)].colour == colour)
            {
                return false;
            }
            if (row < kLastRow && cells[IndexOf(column, row + 1)].colour == colour)
            {
                return false;
            }
        }
    }
    return true;
}

void CGameState::PushUndo()
{
    // -1 (nothing taken yet) steps to slot 0 like 3 does.
    historyIndex = (historyIndex % kHistoryDepth + kHistoryDepth + 1) % kHistoryDepth;
    BoardSnapshot& slot = history[historyIndex];
    for (int i = 0; i < kBoardCells; ++i)
    {
        slot.cells[i] = Cell{cells[i].colour, cells[i].flags & ~kCellSelected};
    }
    slot.totalScore = totalScore;
    slot.valid = true;
}

bool CGameState::CanUndo() const
{
    return historyIndex >= 0 && historyIndex < kHistoryDepth && history[historyIndex].valid;
}

void CGameState::Undo()
{
    // An ended game stays as it ended; only New Game leaves it.
    if (gameOver || !CanUndo())
    {
        return;
    }
    BoardSnapshot& slot = history[historyIndex];
    for (int i = 0; i < kBoardCells; ++i)
    {
        cells[i] = slot.cells[i];
    }
    groupScore = 0;
    totalScore = slot.totalScore;
    slot.valid = false;
    historyIndex = (historyIndex + kHistoryDepth - 1) % kHistoryDepth;
}
