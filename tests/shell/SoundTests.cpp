// The view's cues through a real sound server: heard at once, whole, in order, one at a time;
// silent with sounds off; and a server that is missing or stops answering costs nothing.
#include "CAnimator.h"
#include "ShellTest.h"
#include "SoundSupport.h"
#include "WaveFile.h"

#include <QApplication>

namespace
{

using Clock = std::chrono::steady_clock;

// The cue files as tones of their own pitches (kPitchHz in this order), in several formats. The
// removal cue is long, so that the game-over cue comes while it plays.
const char* const kCues[] = {"select.wav", "remove.wav", "empty.wav", "gameover.wav"};
const wav::Format kCueFormats[] = {
    {1, 1, 8000, 8}, {1, 2, 44100, 16}, {1, 1, 96000, 16}, {1, 2, 22050, 8}};
const double kSeconds[] = {0.06, 2.0, 0.06, 0.06};
enum Pitch
{
    Select,
    Remove,
    Empty,
    GameOver
};

// Columns 0 to 14 without a pair, a red pair at the bottom of column 15 with empty cells above.
std::uint32_t FeedBoard(std::uint32_t column, std::uint32_t row)
{
    return column == 15 ? (row >= 9 ? 1 : 0) : 2 + (column + row) % 2;
}

class SoundTest : public testing::Test
{
protected:
    // A view playing the tone cues from a folder of its own, at the game's frame time; the column
    // that enters when the pair is gone has no pair either, so the game ends.
    void Open()
    {
        ASSERT_TRUE(CopySpoilt(data, folder.path(), {}));
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(wav::Write(
                (folder.path() + "/" + kCues[i]).toStdString(),
                wav::Make(kCueFormats[i], wav::Tone(kCueFormats[i], kPitchHz[i], kSeconds[i]))));
        // The cues load after the first paint, from the folder current then.
        ASSERT_TRUE(QDir::setCurrent(folder.path()));
        view = std::make_unique<CChildView>();
        PrepareView(*view);
        view->SetFrameMilliseconds(CAnimator::kFrameMilliseconds);
        view->resize(496, 560);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        QTest::qWait(300); // the player connects
        SetBoard(*view, FeedBoard);
        for (std::uint32_t row = 0; row < kBoardRows; ++row)
            view->Game().nextColumn[row] = Cell{4 + row % 2, 0};
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

// Clicks spaced further apart than their cues, after the server restarted: each cue heard in
// order and whole; the removal cue starts before its refill has ended, and the game-over cue
// cuts it short; none with sounds off; no stream left open.
TEST_F(SoundTest, CuesAreHeardInOrderAndWhole)
{
    SoundServer server(SoundServer::Kind::Real);
    ASSERT_TRUE(server.Ok());
    ASSERT_NO_FATAL_FAILURE(Open());
    server.Stop();
    ASSERT_TRUE(server.Start());
    ASSERT_TRUE(server.StartRecording());
    struct Step
    {
        int column; // -1: sounds off
        int row;
        std::vector<int> heard;
    };
    const Step steps[] = {
        {5, 5, {Select}}, {15, 0, {Empty}}, {15, 10, {Select}}, {15, 10, {Remove, GameOver}},
        {-1, 0, {}},      {5, 5, {}},
    };
    std::vector<int> expected;
    Clock::time_point moved;
    for (const Step& step : steps)
    {
        if (step.column < 0)
            view->OnToggleSounds();
        else
            Click(*view, step.column, step.row);
        if (!step.heard.empty() && step.heard[0] == Remove)
            moved = Clock::now();
        expected.insert(expected.end(), step.heard.begin(), step.heard.end());
        QTest::qWait(300);
    }
    const std::vector<Heard> heard = server.StopRecording();
    std::vector<int> order;
    for (const Heard& h : heard)
        order.push_back(h.pitch);
    ASSERT_EQ(order, expected);
    for (const Heard& h : heard)
    {
        if (h.pitch != Remove)
            EXPECT_NEAR(h.samples, kSeconds[h.pitch] * kRecordRate, 3 * kBlock) << h.pitch;
        else
        {
            EXPECT_TRUE(h.start < moved) << "the removal cue waited for the refill";
            EXPECT_LT(h.samples, kSeconds[Remove] * kRecordRate - 10 * kBlock);
        }
    }
    // Known by its name in the volume mixer; no stream kept open once the cues are over.
    EXPECT_TRUE(server.Pactl({"list", "clients"}).contains("application.name = \"Daviz\""));
    EXPECT_EQ(server.Pactl({"list", "short", "sink-inputs"}), "");
}

// Whatever the server does, moves complete and the view closes: none, one that never answers,
// and the real one frozen mid-game.
TEST_F(SoundTest, HostileServersCostNothing)
{
    for (const auto kind :
         {SoundServer::Kind::None, SoundServer::Kind::Silent, SoundServer::Kind::Real})
    {
        SCOPED_TRACE(int(kind));
        SoundServer server(kind);
        ASSERT_TRUE(server.Ok());
        ASSERT_NO_FATAL_FAILURE(Open());
        Click(*view, 5, 5);
        server.Freeze(true);
        for (int i = 0; i < 3; ++i)
            Click(*view, 15, 10);
        EXPECT_EQ(view->Game().totalScore, 2);
        view.reset();
        server.Freeze(false);
    }
}

} // namespace

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
