// The view's cues through a real sound server: heard at once, whole, in order, one at a time;
// silent with sounds off; and a server that is missing, refuses or stops answering costs nothing.
#include "CAnimator.h"
#include "ShellTest.h"
#include "SoundSupport.h"
#include "WaveFile.h"

#include <QApplication>
#include <QTemporaryDir>

#include <csignal>

namespace
{

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The cue files as tones of their own pitches (kPitchHz in this order), in several formats.
const char* const kCues[] = {"select.wav", "remove.wav", "empty.wav", "gameover.wav"};
const wav::Format kCueFormats[] = {
    {1, 1, 8000, 8}, {1, 2, 44100, 16}, {1, 1, 96000, 16}, {1, 2, 22050, 8}};
enum Pitch
{
    Select,
    Remove,
    Empty,
    GameOver,
    Nothing = -1
};

// Columns 0 to 14 without a pair, a red pair at the bottom of column 15 with empty cells above.
std::uint32_t FeedBoard(std::uint32_t column, std::uint32_t row)
{
    return column == 15 ? (row >= 9 ? 1 : 0) : 2 + (column + row) % 2;
}

// A view playing tone cues from a folder of its own, through the server given.
class SoundTest : public testing::Test
{
protected:
    void Open(const std::vector<double>& seconds)
    {
        ASSERT_TRUE(CopySpoilt(data, folder.path(), {}));
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(wav::Write(
                (folder.path() + "/" + kCues[i]).toStdString(),
                wav::Make(kCueFormats[i], wav::Tone(kCueFormats[i], kPitchHz[i], seconds[i]))));
        // The cues load after the first paint, from the folder current then.
        ASSERT_TRUE(QDir::setCurrent(folder.path()));
        view = std::make_unique<CChildView>();
        PrepareView(*view);
        view->resize(496, 560);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        QTest::qWait(300); // the player connects
        SetBoard(*view, FeedBoard);
    }
    // Sets the column that enters next: all yellow (pairs, play goes on) or a stripe of
    // yellow and magenta (no pair: the game ends).
    void NextColumn(bool ending)
    {
        for (std::uint32_t row = 0; row < kBoardRows; ++row)
            view->Game().nextColumn[row] = Cell{ending ? 4 + row % 2 : 4u, 0};
    }
    void TearDown() override
    {
        view.reset();
        QDir::setCurrent(data);
    }

    const QString data = QDir::currentPath();
    QTemporaryDir folder;
    std::unique_ptr<CChildView> view;
};

int Samples(double seconds)
{
    return static_cast<int>(seconds * kRecordRate);
}

struct Step
{
    const char* what;
    QPoint cell; // (-1, 0): toggle sounds; (-2, 0): restart the server
    Pitch heard;
};

// Clicks spaced further apart than their cues: every cue heard in order and to its end; none
// with sounds off; again after the server restarted; no stream left open.
TEST_F(SoundTest, ClicksAreHeardInOrderAndWhole)
{
    SoundServer server(SoundServer::Kind::Real);
    ASSERT_TRUE(server.Ok());
    const double length = 0.06;
    Open({length, length, length, length});
    NextColumn(false);
    const std::vector<Step> steps = {
        {"lone ball", {5, 5}, Select},
        {"empty cell", {15, 0}, Empty},
        {"select the pair", {15, 10}, Select},
        {"remove it", {15, 10}, Remove},
        {"restart the server", {-2, 0}, Nothing},
        {"lone ball again", {6, 6}, Select},
        {"sounds off", {-1, 0}, Nothing},
        {"lone ball, silent", {5, 5}, Nothing},
    };
    std::vector<Pitch> expected;
    std::vector<Heard> heard;
    ASSERT_TRUE(server.StartRecording());
    for (const Step& step : steps)
    {
        if (step.cell.x() == -1)
            view->OnToggleSounds();
        else if (step.cell.x() == -2)
        {
            for (const Heard& h : server.StopRecording())
                heard.push_back(h);
            server.Stop();
            ASSERT_TRUE(server.Start());
            ASSERT_TRUE(server.StartRecording());
        }
        else
            Click(*view, step.cell.x(), step.cell.y());
        if (step.heard != Nothing)
            expected.push_back(step.heard);
        QTest::qWait(200);
    }
    for (const Heard& h : server.StopRecording())
        heard.push_back(h);
    SCOPED_TRACE(Describe(heard));
    std::vector<Pitch> order;
    for (const Heard& h : heard)
    {
        order.push_back(static_cast<Pitch>(h.pitch));
        EXPECT_NEAR(h.samples, Samples(length), 3 * kBlock) << "pitch " << h.pitch;
    }
    EXPECT_EQ(order, expected);
    // Known by its name in the volume mixer; no stream kept open once the cues are over.
    EXPECT_NE(server.Pactl("list clients").find("application.name = \"Daviz\""), std::string::npos);
    EXPECT_EQ(server.Pactl("list short sink-inputs"), "");
}

// A removal whose refill feeds a column, with the frame time the game ships with: the removal
// cue starts before the refill has ended; when the move ends the game the game-over cue takes
// its place and is heard whole.
class Refill : public SoundTest, public testing::WithParamInterface<bool>
{
};

TEST_P(Refill, RemovalCueStartsBeforeTheRefillEnds)
{
    const bool ending = GetParam();
    SoundServer server(SoundServer::Kind::Real);
    ASSERT_TRUE(server.Ok());
    Open({0.06, 2.0, 0.06, 0.3});
    NextColumn(ending);
    view->SetFrameMilliseconds(10);
    Click(*view, 15, 10);
    QTest::qWait(100);
    ASSERT_TRUE(server.StartRecording());
    QTest::mousePress(view.get(), Qt::LeftButton, Qt::NoModifier,
                      ViewPoint(*view, CellPixels(view->BoardImage()), 10 * 16 + 15));
    const Clock::time_point moved = Clock::now();
    QTest::mouseRelease(view.get(), Qt::LeftButton, Qt::NoModifier,
                        ViewPoint(*view, CellPixels(view->BoardImage()), 10 * 16 + 15));
    ASSERT_EQ(view->Game().totalScore, 2);
    ASSERT_EQ(view->GameOverShown(), ending);
    QTest::qWait(500);
    const std::vector<Heard> heard = server.StopRecording();
    SCOPED_TRACE(Describe(heard));
    ASSERT_FALSE(heard.empty());
    EXPECT_EQ(heard[0].pitch, Remove);
    EXPECT_LT(heard[0].start, moved) << "the removal cue waited for the refill";
    if (ending)
    {
        ASSERT_EQ(heard.size(), 2u);
        EXPECT_EQ(heard[1].pitch, GameOver);
        EXPECT_NEAR(heard[1].samples, Samples(0.3), 3 * kBlock);
    }
    else
        EXPECT_EQ(heard.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(FeedAndEnd, Refill, testing::Bool());

// Whatever the server does, moves complete and the view closes; the real server frozen in
// mid-game stands for one that stops answering.
class Hostile : public SoundTest, public testing::WithParamInterface<int>
{
};

TEST_P(Hostile, MovesCompleteAndTheViewCloses)
{
    const auto kind = static_cast<SoundServer::Kind>(GetParam());
    SoundServer server(kind);
    ASSERT_TRUE(server.Ok());
    Open({0.06, 0.06, 0.06, 0.06});
    NextColumn(false);
    Click(*view, 5, 5);
    server.Freeze(true);
    for (int i = 0; i < 3; ++i)
        Click(*view, 15, 10);
    EXPECT_EQ(view->Game().totalScore, 2);
    view->OnToggleSounds();
    view.reset();
    server.Freeze(false);
}

std::string ServerName(const testing::TestParamInfo<int>& info)
{
    const char* const names[] = {"FrozenMidGame", "None", "Refusing", "Silent"};
    return names[info.param];
}

INSTANTIATE_TEST_SUITE_P(Servers, Hostile,
                         testing::Values(int(SoundServer::Kind::Real), int(SoundServer::Kind::None),
                                         int(SoundServer::Kind::Refusing),
                                         int(SoundServer::Kind::Silent)),
                         ServerName);

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    // A test that fails to stop its server must not leave it behind with the test's pipe.
    std::signal(SIGPIPE, SIG_IGN);
    return RUN_ALL_TESTS();
}
