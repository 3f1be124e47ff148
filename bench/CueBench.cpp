// Sound cues through a private PulseAudio server whose null output is recorded (the tests' sound
// support), the cues being pure tones:
//   BM_CueDuringSettle/<cue ms>: the removal cue of a move whose refill feeds a column, at the
//   shipped frame time, so the user-interface thread is busy painting the settle when the cue is
//   handed over. Reports the onset (from PlayCue to the first millisecond heard: median, p95),
//   how much of the cue was heard, and the gaps in it over all runs.
//   BM_PlayCue/<server>: what one PlayCue costs the calling thread, with a real server (0), none
//   (1), one that never answers (2), and a real one frozen mid-game (3).
// Runs from a temporary folder holding the board files of the build's data folder.

#include "CAnimator.h"
#include "CChildView.h"
#include "CCuePlayer.h"
#include "SoundSupport.h"
#include "WaveFile.h"

#include <QApplication>
#include <QFileInfo>
#include <QTest>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

#include <unistd.h>

namespace
{

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const char* const kCues[] = {"select.wav", "remove.wav", "empty.wav", "gameover.wav"};
const wav::Format kFormat{1, 1, 44100, 16};
const std::chrono::nanoseconds kSample(1000000000 / kRecordRate); // of the recording; 1/3 ns short

void WriteCues(double seconds)
{
    for (int i = 0; i < 4; ++i)
        wav::Write(kCues[i], wav::Make(kFormat, wav::Tone(kFormat, kPitchHz[i], seconds)));
}

// Hands cues on to the view's player, noting when the removal cue was handed over.
class Stopwatch : public ICuePlayer
{
public:
    explicit Stopwatch(ICuePlayer* player) : m_pPlayer(player) {}
    void Play(const char* fileName) override
    {
        if (std::string(fileName) == "remove.wav")
            removal = Clock::now();
        m_pPlayer->Play(fileName);
    }
    Clock::time_point removal;

private:
    ICuePlayer* m_pPlayer;
};

// The latest time the recording's sample 0 can have been played: the samples written by a moment
// were played by then, so sample 0 as long before as they last. Watched for 50 ms, the least lag
// wins.
Clock::time_point FirstSample(const QString& recording)
{
    Clock::time_point first = Clock::time_point::max();
    for (int i = 0; i < 50; ++i)
    {
        first = std::min<Clock::time_point>(first, Clock::now() -
                                                       QFileInfo(recording).size() / 2 * kSample);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return first;
}

double Percentile(std::vector<double> v, double q)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    return v[static_cast<std::size_t>(q * double(v.size() - 1))];
}

QPoint CellPoint(const CChildView& view, std::uint32_t column, std::uint32_t row)
{
    const CBoardSet& map = view.BoardImage().BaseSet();
    std::vector<QPoint> cell;
    for (int y = 0; y < map.Height(); ++y)
        for (int x = 0; x < map.Width(); ++x)
        {
            const RgbQuad& e = *map.EntryAt(x, y);
            if (e.green == 0 && e.red == column && e.blue == row)
                cell.emplace_back(x, y);
        }
    return cell.empty() ? QPoint() : cell[cell.size() / 2] + QPoint(15, 20) + view.ClientOrigin();
}

void BM_CueDuringSettle(benchmark::State& state)
{
    const double seconds = double(state.range(0)) / 1000;
    WriteCues(seconds);
    SoundServer server;
    const bool started = server.Start();
    CChildView view;
    view.resize(496, 560);
    view.show();
    if (!started || !QTest::qWaitForWindowExposed(&view))
    {
        state.SkipWithError("no sound server or no window");
        return;
    }
    QTest::qWait(300);
    Stopwatch stopwatch(view.CuePlayer());
    view.SetCuePlayer(&stopwatch);
    view.SetFrameMilliseconds(10);
    const QPoint ball = CellPoint(view, 15, 10);
    std::vector<double> onsets;
    std::vector<double> heardMs;
    int pieces = 0;
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores)
    {
        // Columns 0 to 14 without a pair, a red pair at the foot of column 15; a column of
        // yellow enters when it is gone.
        for (std::uint32_t i = 0; i < kBoardCells; ++i)
        {
            const std::uint32_t c = i % kBoardColumns;
            const std::uint32_t r = i / kBoardColumns;
            view.Game().cells[i] = Cell{c == 15 ? (r >= 9 ? 1u : 0u) : 2 + (c + r) % 2, 0};
        }
        for (Cell& cell : view.Game().nextColumn)
            cell = Cell{4, 0};
        view.Game().gameOver = false;
        view.Game().selection.clear();
        QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, ball);
        QTest::qWait(100);
        server.StartRecording();
        const Clock::time_point firstSample = FirstSample(server.m_strRecording);
        QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, ball);
        QTest::qWait(static_cast<int>(seconds * 1000) + 150);
        const std::vector<Heard> heard = server.StopRecording();
        const auto removal =
            std::find_if(heard.begin(), heard.end(), [](const Heard& h) { return h.pitch == 1; });
        if (removal == heard.end())
        {
            state.SkipWithError("the removal cue was not heard");
            break;
        }
        const Clock::time_point heardAt = firstSample + removal->start * kSample;
        const double onset =
            std::chrono::duration<double, std::milli>(heardAt - stopwatch.removal).count();
        onsets.push_back(onset);
        // All of it, should it have been heard in pieces.
        int samples = 0;
        for (const Heard& h : heard)
        {
            samples += h.pitch == 1 ? h.samples : 0;
            pieces += h.pitch == 1 && &h != &*removal ? 1 : 0;
        }
        heardMs.push_back(1000.0 * samples / kRecordRate);
        state.SetIterationTime(onset / 1000);
    }
    view.SetCuePlayer(nullptr);
    state.counters["onset_median_ms"] = Percentile(onsets, 0.5);
    state.counters["onset_p95_ms"] = Percentile(onsets, 0.95);
    state.counters["heard_min_ms"] = Percentile(heardMs, 0);
    state.counters["heard_median_ms"] = Percentile(heardMs, 0.5);
    state.counters["gaps"] = pieces;
}
BENCHMARK(BM_CueDuringSettle)
    ->ArgName("cue_ms")
    ->Arg(60)
    ->Arg(1000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20);

void BM_PlayCue(benchmark::State& state)
{
    WriteCues(0.06);
    const int kind = static_cast<int>(state.range(0));
    // 0: the real server; 1: none; 2: the real one frozen before the player connects, so that it
    // takes the connection and never answers; 3: frozen after.
    SoundServer server;
    if (kind != 1)
        server.Start();
    server.Freeze(kind == 2);
    CCuePlayer player("Daviz");
    for (const char* cue : kCues)
        player.Preload(cue);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    server.Freeze(kind >= 2);
    std::vector<double> micros;
    int i = 0;
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores)
    {
        const auto start = Clock::now();
        player.Play(kCues[i++ % 4]);
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        micros.push_back(seconds * 1e6);
        state.SetIterationTime(seconds);
        // Room for the sound thread to act on it, as between the cues of a move.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    state.counters["median_us"] = Percentile(micros, 0.5);
    state.counters["p95_us"] = Percentile(micros, 0.95);
    state.counters["max_us"] = Percentile(micros, 1);
    server.Freeze(false);
}
BENCHMARK(BM_PlayCue)
    ->ArgName("server")
    ->DenseRange(0, 3)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Iterations(400);

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    char pattern[] = "/tmp/daviz-cue-bench-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        return 1;
    const fs::path folder = pattern;
    for (const fs::directory_entry& entry : fs::directory_iterator(DAVIZ_DATA_DIR))
        if (entry.path().extension() == ".bmp")
            fs::copy_file(entry.path(), folder / entry.path().filename());
    if (chdir(folder.c_str()) != 0)
        return 1;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    benchmark::AddCustomContext("qt", qVersion());
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    fs::remove_all(folder);
    return 0;
}
