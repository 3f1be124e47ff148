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

// One game on a board whose only pair is at the foot of column 15 with empty cells above; when
// it is gone the pending column, empty, enters and the game ends. The server is none
// (-1), the real one frozen before the view connects (it takes connections and never answers,
// 0) or after the first click (1), or the real one restarted once the view has connected and
// recorded (2): then each cue is heard in order and whole, the removal cue from before its
// refill has ended until the game-over cue cuts it short, none with sounds off, and no stream is
// left open. Whatever the server does, the moves complete and the view closes.
TEST(Sound, CuesAreHeardWholeAndHostileServersCostNothing)
{
    QTemporaryDir folder;
    ASSERT_TRUE(CopyData(QDir::currentPath(), folder.path()));
    // The cues load after the first paint, from the folder current then.
    ASSERT_TRUE(QDir::setCurrent(folder.path()));
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(wav::Write(
            kCues[i], wav::Make(kFormats[i], wav::Tone(kFormats[i], kPitchHz[i], kSeconds[i]))));
    for (const int kind : {-1, 0, 1, 2})
    {
        SCOPED_TRACE(kind);
        SoundServer server;
        ASSERT_TRUE(kind < 0 || server.Start());
        server.Freeze(kind == 0);
        CChildView view;
        PrepareView(view);
        view.SetFrameMilliseconds(CAnimator::kFrameMilliseconds);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        QTest::qWait(300); // the player connects
        SetBoard(view, [](std::uint32_t column, std::uint32_t row)
                 { return column == 15 ? (row >= 9 ? 1 : 0) : 2 + (column + row) % 2; });
        std::ranges::fill(view.Game().nextColumn, Cell{});
        if (kind == 2)
            server.Stop();
        ASSERT_TRUE(kind < 2 || (server.Start() && server.StartRecording()));
        // Column and row clicked (column -1: sounds off), spaced further apart than their cues.
        const std::pair<int, int> steps[] = {{5, 5}, {15, 0}, {15, 10}, {15, 10}, {-1, 0}, {5, 5}};
        for (const auto& [column, row] : steps)
        {
            column < 0 ? view.OnToggleSounds() : Click(view, column, row);
            server.Freeze(kind == 0 || kind == 1);
            QTest::qWait(300);
        }
        EXPECT_EQ(view.Game().totalScore, 2);
        if (kind < 2)
            continue;
        std::vector<int> pitches;
        for (const Heard& h : server.StopRecording())
        {
            pitches.push_back(h.pitch);
            // In ms: whole, but the 2 s removal cue, heard from before its refill ended (which
            // takes over 0.1 s) until the game-over cue cut it short.
            EXPECT_NEAR(h.samples / kBlock, h.pitch == 1 ? 1000 : 60, h.pitch == 1 ? 950 : 3);
        }
        EXPECT_EQ(pitches, (std::vector<int>{0, 2, 0, 1, 3})); // select empty select remove over
        // Known by its name in the volume mixer; no stream kept open once the cues are over.
        EXPECT_TRUE(server.Pactl({"list", "clients"}).contains("application.name = \"Daviz\""));
        EXPECT_EQ(server.Pactl({"list", "short", "sink-inputs"}), "");
    }
}

} // namespace
