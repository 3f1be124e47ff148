#include "CBoardImage.h"
#include "CChildView.h"
#include "ShellTestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace
{

QString Score(int total, int group)
{
    return QString::asprintf("Total Score %d  --  Group Score %d", total, group);
}

// A shown view over the data folder, with its cues counted.
class ViewTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ErrorBoxLog::Clear();
        view.SetCuePlayer(&player);
        view.resize(496, 560);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        ASSERT_TRUE(view.m_boardImage.m_bLoaded) << "run from the data folder";
    }

    QImage Grab() { return view.grab().toImage().convertToFormat(QImage::Format_RGB32); }

    CChildView view;
    CountingCuePlayer player;
};

TEST_F(ViewTest, StartsWithAFreshGameAndNoErrorBox)
{
    EXPECT_TRUE(ErrorBoxLog::texts.empty());
    EXPECT_EQ(view.m_strScore, Score(0, 0));
    EXPECT_TRUE(view.m_bSounds);
    EXPECT_FALSE(view.m_bGameOverShown);
    EXPECT_FALSE(view.m_game.CanUndo());
    EXPECT_TRUE(view.testAttribute(Qt::WA_OpaquePaintEvent));
    EXPECT_EQ(view.frameShadow(), QFrame::Sunken);
    EXPECT_EQ(view.ClientOrigin(), QPoint(2, 2));
    // Painting has put the picture at (15, 20) of the client area: clicks are measured from there.
    EXPECT_EQ(view.m_boardImage.m_nOriginX, 15);
    EXPECT_EQ(view.m_boardImage.m_nOriginY, 20);
}

struct ClickStep
{
    const char* what;
    int column; // -1: a point of the view outside the board picture
    int row;
    Qt::MouseButton button;
    int total;
    int group;
    std::vector<std::string> cues;
    bool gameOverShown;
};

// Plays a game to its end through the view, one row per press: what the score line says,
// which cues went to the player and whether "GAME OVER" is up afterwards.
class ClickSequence : public ViewTest, public testing::WithParamInterface<bool>
{
};

TEST_P(ClickSequence, ScoreCuesAndGameOverFollowEachPress)
{
    const bool soundsOn = GetParam();
    if (!soundsOn)
    {
        view.OnToggleSounds();
    }
    SetBoard(view.m_game, LastPairBoard);
    view.m_boardImage.Compose(view.m_game);

    const std::vector<ClickStep> steps = {
        {"lone ball", 5, 5, Qt::LeftButton, 0, 0, {"select.wav"}, false},
        {"right button", 0, 0, Qt::RightButton, 0, 0, {}, false},
        {"select the pair", 0, 0, Qt::LeftButton, 0, 2, {"select.wav"}, false},
        {"outside the picture", -1, -1, Qt::LeftButton, 0, 2, {}, false},
        {"middle button", 1, 0, Qt::MiddleButton, 0, 2, {}, false},
        {"remove the last pair", 1, 0, Qt::LeftButton, 2, 0, {"remove.wav", "gameover.wav"}, true},
        {"after the end", 5, 5, Qt::LeftButton, 2, 0, {"empty.wav"}, true},
    };
    for (const ClickStep& step : steps)
    {
        SCOPED_TRACE(step.what);
        player.cues.clear();
        const QPoint point = step.column < 0
                                 ? view.ClientOrigin() + QPoint(3, 3)
                                 : ViewPointOfCell(view, static_cast<std::uint32_t>(step.column),
                                                   static_cast<std::uint32_t>(step.row));
        QTest::mouseClick(&view, step.button, Qt::NoModifier, point);
        EXPECT_EQ(view.m_strScore, Score(step.total, step.group));
        EXPECT_EQ(view.m_bGameOverShown, step.gameOverShown);
        EXPECT_EQ(player.cues, soundsOn ? step.cues : std::vector<std::string>{});
    }

    // The end stays shown, Undo is refused although the history holds the move.
    const std::vector<Cell> before(std::begin(view.m_game.cells), std::end(view.m_game.cells));
    ASSERT_TRUE(view.m_game.CanUndo());
    view.OnUndo();
    EXPECT_TRUE(view.m_bGameOverShown);
    EXPECT_EQ(view.m_strScore, Score(2, 0));
    EXPECT_TRUE(std::memcmp(before.data(), view.m_game.cells, sizeof view.m_game.cells) == 0);

    view.OnNewGame();
    EXPECT_FALSE(view.m_bGameOverShown);
    EXPECT_EQ(view.m_strScore, Score(0, 0));
    EXPECT_FALSE(view.m_game.CanUndo());
}

INSTANTIATE_TEST_SUITE_P(SoundsOnAndOff, ClickSequence, testing::Bool());

TEST_F(ViewTest, AQuickSecondClickIsASecondPress)
{
    SetBoard(view.m_game, LastPairBoard);
    view.m_boardImage.Compose(view.m_game);
    // Through the window, as the system delivers it: press, release, double click, release.
    QTest::mouseDClick(view.windowHandle(), Qt::LeftButton, Qt::NoModifier,
                       ViewPointOfCell(view, 0, 0));
    EXPECT_EQ(view.m_strScore, Score(2, 0));
    EXPECT_TRUE(view.m_bGameOverShown);
}

TEST_F(ViewTest, UndoRestoresTheBoardAndTheTotal)
{
    // Two red pairs: removing one leaves the other, so the game goes on.
    SetBoard(view.m_game, [](std::uint32_t c, std::uint32_t r)
             { return (r == 5 && (c == 5 || c == 6)) ? 1u : LastPairBoard(c, r); });
    view.m_boardImage.Compose(view.m_game);
    const std::vector<Cell> start(std::begin(view.m_game.cells), std::end(view.m_game.cells));

    ClickCell(view, 0, 0);
    ClickCell(view, 0, 0);
    ASSERT_EQ(view.m_strScore, Score(2, 0));
    ASSERT_FALSE(view.m_bGameOverShown);
    ASSERT_TRUE(view.m_game.CanUndo());

    view.OnUndo();
    EXPECT_EQ(view.m_strScore, Score(0, 0));
    EXPECT_TRUE(std::memcmp(start.data(), view.m_game.cells, sizeof view.m_game.cells) == 0);
    EXPECT_FALSE(view.m_game.CanUndo());
    view.OnUndo(); // nothing left: refused without harm
    EXPECT_EQ(view.m_strScore, Score(0, 0));
}

// The picture: black, the composed board unscaled at (15, 20), the score line at the bottom.
TEST_F(ViewTest, PaintsBoardOnBlackWithTheScoreLineBelow)
{
    const QImage shot = Grab();
    const QPoint origin = view.ClientOrigin();
    const CDibSectionBuffer& target = view.m_boardImage.m_target;
    const int width = target.m_pHeader->width;
    const int height = target.m_pHeader->height;
    const int client = view.contentsRect().height();
    ASSERT_LT(20 + height, client - 30) << "the board overlaps the score line";

    int mismatches = 0;
    for (int y = 0; y < height; ++y)
    {
        const std::uint8_t* row = target.GetRowAddress(y);
        for (int x = 0; x < width; ++x)
        {
            const QRgb expected = qRgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]);
            if (shot.pixel(origin + QPoint(15 + x, 20 + y)) != expected)
            {
                ++mismatches;
            }
        }
    }
    EXPECT_EQ(mismatches, 0);

    // Left of and above the board, and beside the text at the bottom: black.
    for (const QPoint p : {QPoint(0, 0), QPoint(14, 100), QPoint(100, 19), QPoint(2, client - 3)})
    {
        EXPECT_EQ(shot.pixel(origin + p), qRgb(0, 0, 0)) << p.x() << "," << p.y();
    }
    // The score line: light grey glyphs in the bottom strip, centred.
    int grey = 0;
    int left = view.contentsRect().width();
    int right = 0;
    for (int y = 20 + height; y < client; ++y)
    {
        for (int x = 0; x < view.contentsRect().width(); ++x)
        {
            if (shot.pixel(origin + QPoint(x, y)) == qRgb(240, 240, 240))
            {
                ++grey;
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    }
    EXPECT_GT(grey, 50);
    EXPECT_LE(std::abs((left + right) / 2 - view.contentsRect().width() / 2), 4);
}

TEST_F(ViewTest, GameOverIsPaintedOverTheBoardUntilNewGame)
{
    const auto countGrey = [](const QImage& image)
    {
        int n = 0;
        const int y0 = image.height() / 2 - 20;
        for (int y = y0; y < y0 + 40; ++y)
        {
            for (int x = 0; x < image.width(); ++x)
            {
                n += image.pixel(x, y) == qRgb(240, 240, 240) ? 1 : 0;
            }
        }
        return n;
    };
    const int before = countGrey(Grab());
    view.m_bGameOverShown = true;
    view.repaint();
    const int during = countGrey(Grab());
    EXPECT_GT(during, before + 200);
    view.OnNewGame();
    EXPECT_EQ(countGrey(Grab()), before);
}

TEST_F(ViewTest, PaintingStraightOntoTheWidgetGivesTheSamePicture)
{
    view.m_bGameOverShown = true;
    const QImage offscreen = Grab();
    CChildView::s_bOffscreen = false;
    const QImage direct = Grab();
    CChildView::s_bOffscreen = true;
    EXPECT_TRUE(offscreen == direct);
}

TEST_F(ViewTest, FontsFallBackToASansFaceAtTheirSizes)
{
    EXPECT_EQ(view.m_fontScore.families().value(0), QString("Tahoma"));
    EXPECT_EQ(view.m_fontScore.pointSize(), 15);
    EXPECT_EQ(view.m_fontGameOver.families().value(0), QString("Arial Black"));
    EXPECT_EQ(view.m_fontGameOver.pointSize(), 36);
    EXPECT_GE(QFontInfo(view.m_fontGameOver).weight(), static_cast<int>(QFont::Bold));
    EXPECT_FALSE(QFontInfo(view.m_fontScore).family().isEmpty());
}

// The "Error" box when the board pictures do not load: named file, searched folder, no wait,
// and a game that takes no moves.
struct BrokenData
{
    const char* file;
    bool truncate; // false: the file is missing
};

class LoadErrorTest : public testing::TestWithParam<BrokenData>
{
protected:
    void SetUp() override
    {
        ErrorBoxLog::Clear();
        dataDir = QDir::currentPath();
        ASSERT_TRUE(folder.isValid());
    }
    void TearDown() override { QDir::setCurrent(dataDir); }

    QString dataDir;
    QTemporaryDir folder;
};

TEST_P(LoadErrorTest, NamesTheFileAndTheFolderAndPlaysOnWithoutAPicture)
{
    const BrokenData broken = GetParam();
    for (const char* name : g_imageFiles)
    {
        const QString from = dataDir + "/" + name;
        const QString to = folder.path() + "/" + name;
        if (std::strcmp(name, broken.file) == 0 && !broken.truncate)
        {
            continue;
        }
        ASSERT_TRUE(QFile::copy(from, to)) << name;
        if (std::strcmp(name, broken.file) == 0)
        {
            QFile file(to);
            ASSERT_TRUE(file.open(QIODevice::ReadWrite));
            ASSERT_TRUE(file.resize(30));
        }
    }
    ASSERT_TRUE(QDir::setCurrent(folder.path()));

    CChildView view;
    CountingCuePlayer player;
    view.SetCuePlayer(&player);
    ASSERT_EQ(ErrorBoxLog::texts.size(), 1u);
    const QString text = ErrorBoxLog::texts.front();
    EXPECT_TRUE(text.contains(QString::fromUtf8(broken.file))) << text.toStdString();
    EXPECT_TRUE(text.contains(QDir::toNativeSeparators(QDir::currentPath()))) << text.toStdString();
    EXPECT_FALSE(view.m_boardImage.m_bLoaded);

    view.resize(496, 560);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    for (const QPoint p : {QPoint(100, 100), QPoint(250, 300), QPoint(30, 40)})
    {
        QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, p);
    }
    EXPECT_EQ(view.m_strScore, Score(0, 0));
    EXPECT_TRUE(player.cues.empty());

    // Only the score line is lit: the board area is black.
    const QImage shot = view.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect top(view.ClientOrigin(),
                    QSize(view.contentsRect().width(), view.contentsRect().height() - 40));
    int lit = 0;
    for (int y = top.top(); y <= top.bottom(); y += 3)
    {
        for (int x = top.left(); x <= top.right(); x += 3)
        {
            lit += shot.pixel(x, y) != qRgb(0, 0, 0) ? 1 : 0;
        }
    }
    EXPECT_EQ(lit, 0);
    view.OnNewGame(); // still works without a picture
    EXPECT_EQ(view.m_strScore, Score(0, 0));
}

INSTANTIATE_TEST_SUITE_P(Files, LoadErrorTest,
                         testing::Values(BrokenData{"matrix.bmp", false},
                                         BrokenData{"red.bmp", false},
                                         BrokenData{"select.bmp", false},
                                         BrokenData{"matrix.bmp", true},
                                         BrokenData{"blue.bmp", true}));

} // namespace
