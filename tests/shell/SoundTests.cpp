// The view's cues through a real sound server: heard whole, in order, one at a time, the removal
// cue while its refill runs; silent with sounds off; and a server that is missing or stops
// answering costs nothing.
#include "CAnimator.h"
#include "ShellTest.h"
#include "SoundSupport.h"
#include "WaveFile.h"

namespace
{

// The cue files as tones of their own pitches (kPitchHz in this order), in several formats. The
// removal cue is long, so that the game-over cue comes while it plays.
const char* const kCues[] = {"select.wav", "remove.wav", "empty.wav", "gameover.wav"};
const wav::Format kFormats[] = {
    {1, 1, 8000, 8}, {1, 2, 44100, 16}, {1, 1, 96000, 16}, {1, 2, 22050, 8}};
const double kSeconds[] = {0.06, 2.0, 0.06, 0.06};
const QString kData = QDir::currentPath(); // the data folder the tests start in

class SoundTest : public testing::Test
{
protected:
    // A view playing the tone cues from a folder of its own, at the game's frame time, on a board
    // whose only pair is at the foot of column 15 with empty cells above; the column that enters
    // when it is gone has no pair either, so the game ends.
    void Open()
    {
        ASSERT_TRUE(CopyData(kData, folder.path()));
        for (int i = 0; i < 4; ++i)
            ASSERT_TRUE(wav::Write(
                (folder.path() + "/" + kCues[i]).toStdString(),
                wav::Make(kFormats[i], wav::Tone(kFormats[i], kPitchHz[i], kSeconds[i]))));
        // The cues load after the first paint, from the folder current then.
        ASSERT_TRUE(QDir::setCurrent(folder.path()));
        view = std::make_unique<CChildView>();
        PrepareView(*view);
        view->SetFrameMilliseconds(CAnimator::kFrameMilliseconds);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        QTest::qWait(300); // the player connects
        SetBoard(*view, [](std::uint32_t column, std::uint32_t row)
                 { return column == 15 ? (row >= 9 ? 1 : 0) : 2 + (column + row) % 2; });
        for (std::uint32_t row = 0; row < kBoardRows; ++row)
            view->Game().nextColumn[row] = Cell{4 + row % 2, 0};
    }
    QTemporaryDir folder;
    std::unique_ptr<CChildView> view;
};

// Clicks spaced further apart than their cues, after the server restarted: each cue heard in
// order and whole; the removal cue starts before its refill has ended, and the game-over cue
// cuts it short; none with sounds off; no stream left open.
TEST_F(SoundTest, CuesAreHeardInOrderAndWhole)
{
    SoundServer server;
    ASSERT_TRUE(server.Start());
    ASSERT_NO_FATAL_FAILURE(Open());
    server.Stop();
    ASSERT_TRUE(server.Start());
    ASSERT_TRUE(server.StartRecording());
    // Column and row clicked (column -1: sounds off); after the game, an empty cue but for that.
    const std::pair<int, int> steps[] = {{5, 5}, {15, 0}, {15, 10}, {15, 10}, {-1, 0}, {5, 5}};
    for (const auto& [column, row] : steps)
    {
        column < 0 ? view->OnToggleSounds() : Click(*view, column, row);
        QTest::qWait(300);
    }
    const std::vector<Heard> heard = server.StopRecording();
    std::vector<std::string> order;
    for (const Heard& h : heard)
        order.emplace_back(kCues[h.pitch]);
    ASSERT_EQ(order, (std::vector<std::string>{"select.wav", "empty.wav", "select.wav",
                                               "remove.wav", "gameover.wav"}));
    // In ms: whole, but the 2 s removal cue, heard from before its refill ended (the refill takes
    // over 0.1 s) until the game-over cue cut it short.
    for (const Heard& h : heard)
        EXPECT_NEAR(h.samples / kBlock, h.pitch == 1 ? 1000 : 60, h.pitch == 1 ? 950 : 3)
            << kCues[h.pitch];
    // Known by its name in the volume mixer; no stream kept open once the cues are over.
    EXPECT_TRUE(server.Pactl({"list", "clients"}).contains("application.name = \"Daviz\""));
    EXPECT_EQ(server.Pactl({"list", "short", "sink-inputs"}), "");
}

// Whatever the server does, moves complete and the view closes: none, and the real one frozen
// before the view connects (it takes connections and never answers) or in mid-game.
TEST_F(SoundTest, HostileServersCostNothing)
{
    for (const int frozen : {-1, 0, 1})
    {
        SCOPED_TRACE(frozen);
        SoundServer server;
        ASSERT_TRUE(frozen < 0 || server.Start());
        server.Freeze(frozen == 0);
        ASSERT_NO_FATAL_FAILURE(Open());
        Click(*view, 5, 5);
        server.Freeze(frozen >= 0);
        for (int i = 0; i < 3; ++i)
            Click(*view, 15, 10);
        EXPECT_EQ(view->Game().totalScore, 2);
        view.reset();
    }
}

} // namespace
