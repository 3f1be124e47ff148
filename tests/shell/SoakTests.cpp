#include "ShellTest.h"

#include <cstdlib>
#include <iostream>
#include <random>

namespace
{

// The cells with a neighbour of their colour, not across the side edges.
std::vector<std::size_t> Paired(const Cell* cells)
{
    std::vector<std::size_t> paired;
    for (std::size_t i = 0; i < kBoardCells; ++i)
        for (const std::size_t j : {i - 1, i + 1, i - 16, i + 16})
            if (j < kBoardCells && (j / 16 == i / 16 || j % 16 == i % 16) && cells[i].colour != 0 &&
                cells[j].colour == cells[i].colour && (paired.empty() || paired.back() != i))
                paired.push_back(i);
    return paired;
}

struct PaintCounter : QObject
{
    bool eventFilter(QObject*, QEvent* event) override
    {
        return (paints += event->type() == QEvent::Paint) < 0;
    }
    int paints = 0;
};

// Random presses, undos, sound switches and new games through the shown view, the rules and
// the picture checked after every action. DAVIZ_SOAK_ACTIONS sets how many.
TEST_F(ViewTest, SoakKeepsTheRulesAndThePicture)
{
    const long actions =
        std::getenv("DAVIZ_SOAK_ACTIONS") ? std::atol(std::getenv("DAVIZ_SOAK_ACTIONS")) : 1000;
    std::mt19937 random(20240611u);
    const CellPixelLists cells = CellPixels(view.BoardImage());
    CGameState& game = view.Game();
    PaintCounter counter;
    view.installEventFilter(&counter);
    // Every other deal is near its end: a checkerboard of two colours, a few pairs of a third in
    // the top row and one of a fourth across the side edges, which keeps no game going.
    // Each cell's middle on the view shows the cell's tile.
    const auto checkPicture = [&]
    {
        const QImage shot = Grab();
        for (int i = 0; i < kBoardCells; ++i)
        {
            const int tile = game.cells[i].flags != 0 ? 6 : static_cast<int>(game.cells[i].colour);
            EXPECT_EQ(shot.pixel(ViewPoint(view, cells, i)),
                      TileAt(view.BoardImage(), tile, cells[i][cells[i].size() / 2]))
                << i;
        }
    };
    const auto deal = [&]
    {
        view.OnNewGame();
        checkPicture();
        // Twice: the first deal flushes the clock-drawn column that New Game left pending.
        game.NewGameWithSeed(random());
        game.NewGameWithSeed(random());
        const std::uint32_t b = 1 + random() % kBallColours;
        const bool nearEnd = random() % 2 == 0;
        for (int i = 0; nearEnd && i < kBoardCells; ++i)
            game.cells[i].colour = (i % kBoardColumns + i / kBoardColumns) % 2 ? 1 + b % 5 : b;
        for (std::uint32_t k = nearEnd ? random() % 4 : 0; k > 0; --k)
        {
            const std::uint32_t at = 2 * (random() % (kBoardColumns / 2));
            game.cells[at].colour = game.cells[at + 1].colour = 1 + (b + 1) % kBallColours;
        }
        const std::uint32_t edge = random() % kBoardRows * kBoardColumns;
        if (nearEnd)
            game.cells[edge].colour = game.cells[edge + kBoardColumns - 1].colour = 1 + (b + 2) % 5;
        view.BoardImage().Compose(game);
    };
    deal();
    bool ended = false;
    long games = 1, removals = 0, ends = 0;
    for (long n = 1; n <= actions && !HasFailure(); ++n)
    {
        SCOPED_TRACE("action " + std::to_string(n));
        if (n % 100000 == 0)
            std::cout << n << " actions" << std::endl;
        const int dice = static_cast<int>(random() % 1000);
        const std::vector<Cell> before(std::begin(game.cells), std::end(game.cells));
        const std::int32_t total = game.totalScore;
        if (dice < (ended ? 100 : 10))
        {
            deal();
            ended = false;
            ++games;
        }
        else if (dice >= 940)
        {
            view.OnUndo();
            EXPECT_FALSE(ended &&
                         (total != game.totalScore ||
                          !std::equal(before.begin(), before.end(), game.cells,
                                      [](Cell a, Cell b) { return a.colour == b.colour; })))
                << "Undo after the end";
        }
        else if (dice >= 930)
            view.OnToggleSounds();
        else
        {
            const std::vector<std::size_t> paired = Paired(game.cells);
            std::size_t cell = random() % kBoardCells;
            if (dice < 600 && !game.selection.empty())
                cell = game.selection[cell % game.selection.size()].row * kBoardColumns +
                       game.selection[cell % game.selection.size()].column;
            else if (dice < 800 && !paired.empty())
                cell = paired[cell % paired.size()];
            const QPoint point = dice < 880
                                     ? ViewPoint(view, cells, cell)
                                     : QPoint(random() % view.width(), random() % view.height());
            const std::size_t cues = player.cues.size();
            const int paints = counter.paints;
            QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, point);
            EXPECT_TRUE(view.Sounds() || player.cues.size() == cues);
            if (game.totalScore != total)
            {
                // Every step of the fall and of closing up the rows is shown.
                EXPECT_GT(counter.paints - paints, kBoardColumns + kBoardRows);
                ++removals;
                ends += ended = Paired(game.cells).empty();
            }
        }
        // Columns packed at the bottom, rows at the left; marks where the selection lists them.
        int marks = 0;
        for (int i = 0; i < kBoardCells; ++i)
        {
            const Cell cell = game.cells[i];
            const bool empty = cell.colour == 0;
            EXPECT_TRUE(cell.colour <= kBallColours && cell.flags <= kCellSelected) << i;
            EXPECT_FALSE(empty && i % kBoardColumns < kBoardColumns - 1 && game.cells[i + 1].colour)
                << i;
            EXPECT_FALSE(empty && i >= kBoardColumns && game.cells[i - kBoardColumns].colour) << i;
            marks += static_cast<int>(cell.flags);
        }
        // Undo takes the marks but leaves the list until a press reaches the game.
        int listed = 0;
        for (const CellPos& pos : game.selection)
            listed += static_cast<int>(game.cells[pos.row * kBoardColumns + pos.column].flags);
        EXPECT_TRUE(dice >= 880 ||
                    (marks == listed && listed == static_cast<int>(game.selection.size())));
        EXPECT_EQ(view.ScoreText(), Score(game.totalScore, game.groupScore));
        ASSERT_EQ(view.GameOverShown(), ended);
        if (n % 97 == 0 && !ended)
            checkPicture();
    }
    std::cout << actions << " actions: " << games << " games, " << removals << " removals, " << ends
              << " ends\n";
}

} // namespace
