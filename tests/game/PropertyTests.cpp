#include "GameTestSupport.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <random>
#include <string>

namespace
{
using Board = std::array<Cell, kBoardCells>;

long ClickBudget()
{
    const char* text = std::getenv("DAVIZ_PROPERTY_CLICKS");
    const long fromEnv = text != nullptr ? std::strtol(text, nullptr, 10) : 0;
    return fromEnv > 0 ? fromEnv : 400000;
}

class CountingAnimator : public IAnimator
{
public:
    void Step() override { ++steps; }
    void PlayCue(const char* fileName) override
    {
        cues += std::string(cues.empty() ? "" : " ") + fileName;
    }
    void Reset()
    {
        steps = 0;
        cues.clear();
    }

    int steps = 0;
    std::string cues;
};

Board CellsOf(const CGameState& game)
{
    Board board;
    for (int i = 0; i < kBoardCells; ++i)
    {
        board[static_cast<std::size_t>(i)] = game.cells[i];
    }
    return board;
}

Board Unmarked(Board board)
{
    for (Cell& cell : board)
    {
        cell.flags = 0;
    }
    return board;
}

bool Same(const Board& a, const Board& b)
{
    for (std::size_t i = 0; i < a.size(); ++i)
    {
        if (a[i].colour != b[i].colour || a[i].flags != b[i].flags)
        {
            return false;
        }
    }
    return true;
}

const Cell& At(const CGameState& game, std::uint32_t column, std::uint32_t row)
{
    return game.cells[row * kBoardColumns + column];
}

// The group as a plain search sees it: same colour, four neighbours, left and right wrapping.
std::array<bool, kBoardCells> ReferenceGroup(const CGameState& game, std::uint32_t column,
                                             std::uint32_t row)
{
    std::array<bool, kBoardCells> in{};
    const std::uint32_t colour = At(game, column, row).colour;
    std::array<CellPos, kBoardCells> open;
    std::size_t count = 0;
    open[count++] = CellPos{column, row};
    in[row * kBoardColumns + column] = true;
    while (count > 0)
    {
        const CellPos p = open[--count];
        const CellPos next[] = {{(p.column + 1) % 16, p.row},
                                {(p.column + 15) % 16, p.row},
                                {p.column, p.row + 1},
                                {p.column, p.row - 1}};
        for (const CellPos& n : next)
        {
            const std::uint32_t index = n.row * kBoardColumns + n.column;
            if (n.row < kBoardRows && !in[index] && At(game, n.column, n.row).colour == colour)
            {
                in[index] = true;
                open[count++] = n;
            }
        }
    }
    return in;
}

// What holds between calls; after Undo the list may still name cells that are no longer marked.
void CheckState(const CGameState& game, bool listMayBeStale)
{
    std::array<bool, kBoardCells> listed{};
    for (const CellPos& pos : game.selection)
    {
        ASSERT_TRUE(pos.column < 16 && pos.row < 11);
        const std::uint32_t index = pos.row * kBoardColumns + pos.column;
        ASSERT_FALSE(listed[index]) << "listed twice";
        listed[index] = true;
    }
    std::size_t marked = 0;
    for (std::uint32_t row = 0; row < kBoardRows; ++row)
    {
        for (std::uint32_t column = 0; column < kBoardColumns; ++column)
        {
            const Cell& cell = At(game, column, row);
            ASSERT_LE(cell.colour, 5u);
            ASSERT_EQ(cell.flags & ~kCellSelected, 0u);
            const bool ball = cell.colour != 0;
            ASSERT_TRUE(row == 10 || !ball || At(game, column, row + 1).colour != 0)
                << "column not packed at the bottom" << ::testing::PrintToString(game);
            ASSERT_TRUE(column == 0 || !ball || At(game, column - 1, row).colour != 0)
                << "row not packed at the left" << ::testing::PrintToString(game);
            if ((cell.flags & kCellSelected) != 0)
            {
                ++marked;
                ASSERT_TRUE(ball);
                ASSERT_TRUE(listed[row * kBoardColumns + column]) << "marked but not listed";
                ASSERT_EQ(cell.colour,
                          At(game, game.selection[0].column, game.selection[0].row).colour);
            }
        }
    }
    bool emptySeen = false;
    for (const Cell& entry : game.nextColumn)
    {
        ASSERT_LE(entry.colour, 5u);
        ASSERT_EQ(entry.flags, 0u);
        ASSERT_FALSE(emptySeen && entry.colour != 0) << "pending column not packed";
        emptySeen = emptySeen || entry.colour == 0;
    }
    if (listMayBeStale && marked == 0)
    {
        ASSERT_EQ(game.groupScore, 0);
        return;
    }
    ASSERT_EQ(marked, game.selection.size());
    ASSERT_NE(marked, 1u);
    const auto n = static_cast<std::int32_t>(marked);
    ASSERT_EQ(game.groupScore, n * (n - 1));
}

void CheckFullDeal(const CGameState& game)
{
    for (const Cell& cell : game.cells)
    {
        ASSERT_TRUE(cell.colour >= 1 && cell.colour <= 5 && cell.flags == 0);
    }
}

struct Snapshot
{
    Board cells;
    std::int32_t total;
};

class RandomPlay
{
public:
    explicit RandomPlay(std::uint32_t seed) : m_rng(seed) {}

    void Run(long clicks)
    {
        Deal(true);
        while (clicks_ < clicks && !::testing::Test::HasFatalFailure())
        {
            const std::uint32_t roll = m_rng() % 1000;
            if (m_game.gameOver && m_clicksSinceEnd >= 2)
            {
                Deal(roll < 20);
            }
            else if (clicks_ >= m_newGameAt)
            {
                Deal(false);
            }
            else if (roll < 40 && !m_game.gameOver)
            {
                Undo();
            }
            else
            {
                Click();
            }
        }
    }

    long clicks_ = 0;
    long games_ = 0;
    long removals_ = 0;
    long endings_ = 0;

private:
    void Deal(bool fresh)
    {
        const bool midGame = !fresh && !m_game.gameOver;
        const std::string pending = PendingColumn(m_game);
        if (fresh)
        {
            m_game = CGameState();
        }
        m_game.NewGameWithSeed(static_cast<unsigned int>(m_rng()));
        ++games_;
        m_ring.clear();
        m_total = 0;
        m_stale = false;
        m_clicksSinceEnd = 0;
        // Most games are left early in mid-game, one in four is played to its end.
        m_newGameAt = m_rng() % 4 != 0 ? clicks_ + 1 + m_rng() % 60 : kNever;
        ASSERT_FALSE(m_game.gameOver);
        ASSERT_FALSE(m_game.CanUndo());
        ASSERT_EQ(m_game.totalScore, 0);
        ASSERT_TRUE(m_game.selection.empty());
        if (midGame)
        {
            ASSERT_EQ(ColumnFromBottom(m_game, 15), pending);
            for (std::uint32_t column = 0; column < 15; ++column)
            {
                ASSERT_EQ(BallCount(m_game, column), kBoardRows);
            }
        }
        else
        {
            CheckFullDeal(m_game);
        }
        CheckState(m_game, false);
    }

    void Undo()
    {
        const bool could = m_game.CanUndo();
        ASSERT_EQ(could, !m_ring.empty());
        const Board before = CellsOf(m_game);
        m_game.Undo();
        if (could)
        {
            ASSERT_TRUE(Same(CellsOf(m_game), m_ring.back().cells))
                << ::testing::PrintToString(m_game);
            m_total = m_ring.back().total;
            m_ring.pop_back();
            m_stale = true;
        }
        else
        {
            ASSERT_TRUE(Same(CellsOf(m_game), before));
        }
        ASSERT_EQ(m_game.totalScore, m_total);
        ASSERT_EQ(m_game.CanUndo(), !m_ring.empty());
        CheckState(m_game, m_stale);
    }

    std::uint32_t Pick(std::uint32_t limit)
    {
        static const std::uint32_t kOff[] = {16, 11, 17, 255, 1000, 0x7FFFFFFFu, 0xFFFFFFFFu};
        return m_rng() % 25 == 0 ? kOff[m_rng() % 7] : m_rng() % limit;
    }

    // From a random cell on, the first ball with a neighbour of its colour, the wrap included.
    void FindPair(std::uint32_t& column, std::uint32_t& row)
    {
        const std::uint32_t start = m_rng() % kBoardCells;
        for (std::uint32_t i = 0; i < kBoardCells; ++i)
        {
            const std::uint32_t index = (start + i) % kBoardCells;
            const std::uint32_t c = index % kBoardColumns;
            const std::uint32_t r = index / kBoardColumns;
            const std::uint32_t colour = At(m_game, c, r).colour;
            if (colour != 0 && (At(m_game, (c + 1) % 16, r).colour == colour ||
                                (r < 10 && At(m_game, c, r + 1).colour == colour)))
            {
                column = c;
                row = r;
                return;
            }
        }
    }

    void Click()
    {
        std::uint32_t column = Pick(kBoardColumns);
        std::uint32_t row = Pick(kBoardRows);
        // Late in a game most cells are empty; look for a ball a few times.
        for (int tries = 0;
             tries < 4 && column < 16 && row < 11 && At(m_game, column, row).colour == 0; ++tries)
        {
            column = m_rng() % kBoardColumns;
            row = m_rng() % kBoardRows;
        }
        // Mostly on the group or on a ball with a partner, so that games run to their end.
        if (!m_game.selection.empty() && m_rng() % 10 < 7)
        {
            const CellPos pos = m_game.selection[m_rng() % m_game.selection.size()];
            column = pos.column;
            row = pos.row;
        }
        else if (m_game.selection.empty() && m_rng() % 10 < 7)
        {
            FindPair(column, row);
        }
        const bool onBoard = column < 16 && row < 11;
        const Cell clicked = onBoard ? At(m_game, column, row) : Cell{0, 0};
        const Board before = CellsOf(m_game);
        const bool wasOver = m_game.gameOver;
        const std::int32_t groupBefore = m_game.groupScore;

        m_animator.Reset();
        const ClickResult result = m_game.ProcessClick(column, row, &m_animator);
        ++clicks_;
        m_stale = false;

        const bool removal = !wasOver && (clicked.flags & kCellSelected) != 0;
        if (wasOver)
        {
            ++m_clicksSinceEnd;
            ASSERT_EQ(result, ResultGameOver);
            ASSERT_EQ(m_animator.cues, "empty.wav");
            ASSERT_TRUE(Same(CellsOf(m_game), before));
        }
        else if (removal)
        {
            ++removals_;
            m_ring.push_back({Unmarked(before), m_total});
            if (m_ring.size() > kHistoryDepth)
            {
                m_ring.pop_front();
            }
            m_total += groupBefore;
            const bool over = result == ResultGameOver;
            ASSERT_TRUE(result == ResultRemoved || over);
            ASSERT_EQ(m_game.gameOver, over);
            endings_ += over ? 1 : 0;
            ASSERT_EQ(m_game.IsGameOver(), over);
            ASSERT_EQ(m_animator.cues, over ? "remove.wav gameover.wav" : "remove.wav");
            ASSERT_TRUE(m_animator.steps >= 27 && (m_animator.steps - 27) % 23 == 0)
                << m_animator.steps;
            ASSERT_TRUE(m_game.selection.empty());
        }
        else if (clicked.colour == 0)
        {
            ASSERT_EQ(m_animator.cues, "empty.wav");
            ASSERT_TRUE(result == ResultNothing || result == ResultDeselected);
            ASSERT_TRUE(m_game.selection.empty());
        }
        else
        {
            ASSERT_EQ(m_animator.cues, "select.wav");
            const auto group = ReferenceGroup(m_game, column, row);
            std::size_t size = 0;
            for (bool in : group)
            {
                size += in ? 1 : 0;
            }
            if (size >= 2)
            {
                ASSERT_EQ(result, ResultSelected);
                for (int i = 0; i < kBoardCells; ++i)
                {
                    ASSERT_EQ((m_game.cells[i].flags & kCellSelected) != 0,
                              group[static_cast<std::size_t>(i)]);
                }
            }
            else
            {
                ASSERT_TRUE(result == ResultNothing || result == ResultDeselected);
                ASSERT_TRUE(m_game.selection.empty());
            }
        }
        if (!removal)
        {
            ASSERT_EQ(m_animator.steps, 0);
            ASSERT_TRUE(Same(Unmarked(CellsOf(m_game)), Unmarked(before)));
        }
        if (result == ResultNothing)
        {
            ASSERT_TRUE(Same(CellsOf(m_game), before));
        }
        if (result == ResultGameOver)
        {
            ASSERT_TRUE(m_game.gameOver);
        }
        ASSERT_EQ(m_game.totalScore, m_total);
        ASSERT_EQ(m_game.CanUndo(), !m_ring.empty());
        CheckState(m_game, false);
    }

    std::mt19937 m_rng;
    CGameState m_game;
    CountingAnimator m_animator;
    std::deque<Snapshot> m_ring;
    std::int32_t m_total = 0;
    bool m_stale = false;
    int m_clicksSinceEnd = 0;
    static constexpr long kNever = 0x7FFFFFFFL;
    long m_newGameAt = kNever;
};
} // namespace

TEST(Property, RandomPlayKeepsTheBoardPackedAndTheScoreTrue)
{
    const long budget = ClickBudget();
    RandomPlay play(20240611u);
    play.Run(budget);
    std::printf("random play: %ld clicks, %ld games (%ld played to the end), %ld removals\n",
                play.clicks_, play.games_, play.endings_, play.removals_);
    EXPECT_GE(play.clicks_, budget);
    EXPECT_GT(play.games_, 100);
}
