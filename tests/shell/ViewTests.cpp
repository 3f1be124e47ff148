#include "ErrorCodes.h"
#include "ErrorText.h"
#include "ShellTest.h"

#include <QTemporaryDir>

#include <algorithm>

namespace
{

// A press at the lowest pixels of a ball hits that ball, not the one two pixels further on (the
// sunken edge is no part of the board's coordinates); a double click selects and removes.
TEST_F(ShownFrame, EdgePressAndDoubleClick)
{
    SetBoard(view, LastPairBoard);
    const CellPixelLists cells = CellPixels(view.BoardImage());
    const std::vector<QPoint>& below = cells[kBoardColumns]; // (0, 1), a lone ball
    QPoint edge(-1, -1);
    for (const QPoint p : cells[0])
        if (std::find(below.begin(), below.end(), p + QPoint(2, 2)) != below.end())
            edge = p;
    ASSERT_GE(edge.x(), 0);
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier,
                      edge + QPoint(15, 20) + view.ClientOrigin());
    EXPECT_EQ(view.ScoreText(), Score(0, 2));
    SetBoard(view, LastPairBoard);
    // The window system sends a quick second press as a double click.
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, ViewPoint(view, cells, 0));
    QTest::mouseDClick(&view, Qt::LeftButton, Qt::NoModifier, ViewPoint(view, cells, 0));
    EXPECT_EQ(view.ScoreText(), Score(2, 0));
}

// Black, the board unscaled at (15, 20) (pixel for pixel where the screen's ratio is the set's),
// the score line below it, "GAME OVER" over it until New Game; painting straight onto the widget
// gives the same picture.
TEST_F(ShownFrame, Picture)
{
    QImage shot = Grab();
    // Run at several scale factors: the grab holds device pixels.
    const qreal ratio = view.grab().devicePixelRatio();
    const auto at = [&](QPoint logical) { return (QPointF(logical) * ratio).toPoint(); };
    const QPoint origin = view.ClientOrigin();
    const CBoardSet& board = view.BoardImage().Shown();
    const int scale = view.BoardImage().ShownScale();
    const int height = view.contentsRect().height();
    const int boardBottom = 20 + board.Height() / scale;
    const QImage composed(reinterpret_cast<const uchar*>(board.Pixels()), board.Width(),
                          board.Height(), QImage::Format_RGB32);
    EXPECT_TRUE(ratio != scale ||
                shot.copy({at(origin + QPoint(15, 20)), composed.size()}) == composed);
    for (const QPoint p : {QPoint(0, 0), QPoint(14, 100), QPoint(100, 19), QPoint(2, height - 3)})
        EXPECT_EQ(shot.pixel(at(origin + p)), qRgb(0, 0, 0)) << p.x() << "," << p.y();
    const auto text = [&](const QImage& image, int top, int bottom) // light grey pixels
    {
        int n = 0;
        for (int y = at({0, top}).y(); y < at({0, bottom}).y(); ++y)
            for (int x = 0; x < at({view.contentsRect().width(), 0}).x(); ++x)
                n += image.pixel(at(origin) + QPoint(x, y)) == qRgb(240, 240, 240);
        return n;
    };
    ASSERT_LT(boardBottom, height - 30) << "the board reaches the score line";
    EXPECT_GT(text(shot, boardBottom, height), 50);
    const int before = text(shot, height / 2 - 20, height / 2 + 20);
    SetBoard(view, LastPairBoard);
    Click(view, 0, 0);
    Click(view, 0, 0);
    ASSERT_TRUE(view.GameOverShown());
    shot = Grab();
    EXPECT_GT(text(shot, height / 2 - 20, height / 2 + 20), before + 200);
    view.SetOffscreen(false);
    // The client area only: the sunken edge is the frame's to paint.
    const QImage direct = Grab();
    const QRect client(at(view.contentsRect().topLeft()), at(view.contentsRect().bottomRight()));
    EXPECT_TRUE(direct.copy(client) == shot.copy(client));
    view.SetOffscreen(true);
    view.OnNewGame();
    EXPECT_EQ(text(Grab(), height / 2 - 20, height / 2 + 20), before);
}

// A missing board picture (the readers' and the loader's refusals are tested with them): one
// "Error" box naming the file, the folder and what is wrong, nothing waits, and the game goes on
// without a picture, taking no moves and playing no cue.
TEST(LoadError, NamesTheFileAndFolderAndPlaysOnWithoutAPicture)
{
    const QString data = QDir::currentPath();
    QTemporaryDir folder;
    ASSERT_TRUE(CopyData(data, folder.path(), "matrix.bmp"));
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    ErrorBoxLog::texts.clear();
    {
        CChildView view;
        PrepareView(view);
        CountingCuePlayer player;
        view.SetCuePlayer(&player);
        ASSERT_EQ(ErrorBoxLog::texts.size(), 1u);
        const QString& text = ErrorBoxLog::texts[0];
        EXPECT_TRUE(text.contains("matrix.bmp") &&
                    text.contains(QDir::toNativeSeparators(folder.path())) &&
                    text.contains(QString::fromStdString(ErrorText(kErrorFileNotFound))))
            << text;
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        for (const QPoint p : {QPoint(100, 100), QPoint(250, 300), QPoint(30, 40)})
            QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, p);
        EXPECT_EQ(view.ScoreText(), Score(0, 0));
        EXPECT_TRUE(player.cues.empty());
    }
    QDir::setCurrent(data);
}

} // namespace
