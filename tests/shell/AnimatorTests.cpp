#include "CAnimator.h"
#include "CBoardImage.h"
#include "CCuePlayer.h"
#include "CGameState.h"
#include "ShellTestSupport.h"

#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

class PaintCounter : public QWidget
{
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

QRgb PictureAt(const CDibSectionBuffer& picture, const QPoint& p)
{
    const std::uint8_t* row = picture.GetRowAddress(p.y());
    return qRgb(row[p.x() * 3 + 2], row[p.x() * 3 + 1], row[p.x() * 3]);
}

class AnimatorTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(image.Load(), 0u) << "run from the data folder";
        game.NewGameWithSeed(7);
        image.Compose(game);
        widget.resize(100, 100);
        widget.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
    }

    CBoardImage image;
    CGameState game;
    PaintCounter widget;
    CountingCuePlayer player;
};

// Cues reach the player in order and without waiting, and not at all while sounds are off.
TEST_F(AnimatorTest, CuesGoToThePlayerOnlyWhileSoundsAreOn)
{
    const std::vector<std::string> cues = {"remove.wav", "gameover.wav", "select.wav"};
    for (const bool soundsOn : {true, false})
    {
        player.cues.clear();
        CAnimator animator(&widget, soundsOn, game, image, &player);
        for (const std::string& cue : cues)
        {
            animator.PlayCue(cue.c_str());
        }
        EXPECT_EQ(player.cues, soundsOn ? cues : std::vector<std::string>{}) << soundsOn;
    }
    CAnimator withoutPlayer(&widget, true, game, image, nullptr);
    withoutPlayer.PlayCue("select.wav");
}

// Each step composes the current cells and is on the widget before it returns.
TEST_F(AnimatorTest, StepRecomposesAndRepaintsAtOnce)
{
    QPoint pixel;
    ASSERT_TRUE(CellPixel(image, 3, 10, pixel));
    for (const bool soundsOn : {true, false})
    {
        CAnimator animator(&widget, soundsOn, game, image, &player);
        game.cells[10 * kBoardColumns + 3].flags ^= kCellSelected;
        const bool selected = (game.cells[10 * kBoardColumns + 3].flags & kCellSelected) != 0;
        const int paints = widget.paints;
        animator.Step();
        EXPECT_EQ(widget.paints, paints + 1);
        const CDibSectionBuffer& tile =
            image.m_tiles[selected ? 6 : game.cells[10 * kBoardColumns + 3].colour];
        EXPECT_EQ(PictureAt(image.m_target, pixel), PictureAt(tile, pixel)) << soundsOn;
    }
    EXPECT_TRUE(player.cues.empty());
}

// The picture is copied unscaled with its top-left at the given point, which becomes the
// origin of hit testing.
TEST_F(AnimatorTest, DrawCopiesThePictureUnscaledAndRemembersWhere)
{
    const int width = image.m_target.m_pHeader->width;
    const int height = image.m_target.m_pHeader->height;
    for (const QPoint at : {QPoint(0, 0), QPoint(15, 20), QPoint(-5, 7)})
    {
        QImage canvas(width + 40, height + 40, QImage::Format_RGB32);
        canvas.fill(qRgb(1, 2, 3));
        {
            QPainter painter(&canvas);
            image.Draw(at.x(), at.y(), painter);
        }
        EXPECT_EQ(image.m_nOriginX, at.x());
        EXPECT_EQ(image.m_nOriginY, at.y());
        int mismatches = 0;
        for (int y = 0; y < canvas.height(); ++y)
        {
            for (int x = 0; x < canvas.width(); ++x)
            {
                const QPoint p(x - at.x(), y - at.y());
                const bool inside = p.x() >= 0 && p.y() >= 0 && p.x() < width && p.y() < height;
                const QRgb expected = inside ? PictureAt(image.m_target, p) : qRgb(1, 2, 3);
                mismatches += canvas.pixel(x, y) != expected ? 1 : 0;
            }
        }
        EXPECT_EQ(mismatches, 0) << at.x() << "," << at.y();
    }
}

TEST(BoardDraw, NotLoadedDrawsNothingAndKeepsTheOrigin)
{
    CBoardImage image;
    QImage canvas(50, 50, QImage::Format_RGB32);
    canvas.fill(qRgb(9, 9, 9));
    QPainter painter(&canvas);
    image.Draw(15, 20, painter);
    painter.end();
    EXPECT_EQ(image.m_nOriginX, 0);
    EXPECT_EQ(image.m_nOriginY, 0);
    EXPECT_EQ(canvas.pixel(20, 25), qRgb(9, 9, 9));
}

// Missing, empty or odd names are silent, and the call comes back at once.
TEST(CuePlayer, SilentForWhatItCannotPlay)
{
    CCuePlayer player;
    for (const char* name : {"no-such-cue.wav", "", "matrix.bmp", "select.wav", "../x.wav"})
    {
        player.Play(name);
        player.Preload(name);
    }
    player.Play(nullptr);
    QTest::qWait(20);
}

} // namespace
