// The board's frames against plain copies and against the path they replaced (LegacyBoard), in
// one run so the ratios hold on a busy machine. Reads the generated board files.

#include "CBoardImage.h"
#include "CGameState.h"
#include "IAnimator.h"
#include "LegacyBoard.h"

#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <random>
#include <vector>

namespace
{

using Cells = std::array<Cell, kBoardCells>;

// Every board a player sees over some random games: each settle step and each click.
class Recorder : public IAnimator
{
public:
    explicit Recorder(const CGameState& game) : m_game(game) {}
    void Step() override { Record(); }
    void PlayCue(const char*) override {}
    void Record()
    {
        Cells cells{};
        std::copy(std::begin(m_game.cells), std::end(m_game.cells), cells.begin());
        frames.push_back(cells);
    }
    std::vector<Cells> frames;

private:
    const CGameState& m_game;
};

const std::vector<Cells>& PlayFrames()
{
    static const std::vector<Cells> frames = []
    {
        CGameState game;
        Recorder recorder(game);
        std::mt19937 random(7);
        for (int deal = 0; deal < 3; ++deal)
        {
            game.NewGameWithSeed(static_cast<std::uint32_t>(deal + 1));
            recorder.Record();
            while (!game.gameOver && recorder.frames.size() < 4000)
            {
                if (game.ProcessClick(random() % kBoardColumns, random() % kBoardRows, &recorder) !=
                    ResultNothing)
                {
                    recorder.Record();
                }
            }
        }
        return recorder.frames;
    }();
    return frames;
}

// Processor time of this thread, so that other load on the machine does not skew the ratio.
double ThreadNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

double WallNanoseconds()
{
    return std::chrono::duration<double, std::nano>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Thread time for work on this thread alone; wall time where Qt may hand work to its pool.
template <typename Step>
double PerCall(std::int64_t rounds, Step&& step, double (*now)() = ThreadNanoseconds)
{
    step();
    const double start = now();
    for (std::int64_t i = 0; i < rounds; ++i)
    {
        step();
        benchmark::ClobberMemory();
    }
    return (now() - start) / static_cast<double>(rounds);
}

// Runs f in the data folder.
template <typename F> auto InData(F&& f)
{
    const std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::current_path(DAVIZ_DATA_DIR);
    auto result = f();
    std::filesystem::current_path(old);
    return result;
}

// Full compose and the average compose over random play, both against a memcpy of the composed
// picture as it is held. Argument: 1 for the required set, 2 for the one at twice the pixels.
void BM_Compose(benchmark::State& state)
{
    auto set = std::make_unique<CBoardSet>();
    const char* failed = nullptr;
    const std::uint32_t code = InData(
        [&] { return set->Load(state.range(0) == 2 ? kImageFiles2x : kImageFiles, failed); });
    if (code != 0)
    {
        state.SkipWithError("board pictures not loaded");
        return;
    }
    const std::vector<Cells>& frames = PlayFrames();
    const std::size_t bytes = std::size_t(set->Width()) * std::size_t(set->Height()) * 4;
    std::vector<std::uint8_t> to(bytes);
    std::size_t frame = 0;
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores)
    {
        set->Invalidate();
        benchmark::DoNotOptimize(set->Compose(frames[frame++ % frames.size()].data()));
        benchmark::ClobberMemory();
    }
    const std::int64_t rounds = std::max<std::int64_t>(state.iterations(), 300);
    const double copyNs = PerCall(rounds, [&] { std::memcpy(to.data(), set->Pixels(), bytes); });
    frame = 0;
    const double fullNs = PerCall(rounds,
                                  [&]
                                  {
                                      set->Invalidate();
                                      set->Compose(frames[frame++ % frames.size()].data());
                                  });
    frame = 0;
    const double playNs = PerCall(std::int64_t(frames.size()),
                                  [&] { set->Compose(frames[frame++ % frames.size()].data()); });
    state.counters["memcpy_us"] = copyNs / 1000.0;
    state.counters["full_us"] = fullNs / 1000.0;
    state.counters["play_us"] = playNs / 1000.0;
    state.counters["full_per_memcpy"] = fullNs / copyNs;
    state.counters["play_per_memcpy"] = playNs / copyNs;
}
BENCHMARK(BM_Compose)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// What a paint does: black, the board at (15, 20), the score line, into an off-screen image
// at the device's ratio.
template <typename DrawBoard>
void PaintFrame(QImage& offscreen, const QFont& font, DrawBoard&& draw)
{
    QPainter dc(&offscreen);
    const QRect client(QPoint(0, 0), QSize(484, 500));
    dc.fillRect(client, Qt::black);
    draw(dc);
    dc.setPen(QColor(240, 240, 240));
    dc.setFont(font);
    dc.drawText(client, Qt::AlignBottom | Qt::AlignHCenter | Qt::TextSingleLine,
                QStringLiteral("Total Score 1234  --  Group Score 56"));
}

QImage Offscreen(double ratio)
{
    QImage image((QSizeF(484, 500) * ratio).toSize(), QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    return image;
}

// A whole frame (compose of the next board of random play and its paint) against the same with
// the path it replaced. Argument: the device pixel ratio in hundredths.
void BM_Frame(benchmark::State& state)
{
    const double ratio = double(state.range(0)) / 100.0;
    auto image = std::make_unique<CBoardImage>();
    auto legacy = std::make_unique<LegacyBoard>();
    if (InData([&] { return image->Load() | legacy->Load(kImageFiles); }) != 0)
    {
        state.SkipWithError("board pictures not loaded");
        return;
    }
    InData(
        [&]
        {
            image->SetDeviceRatio(ratio);
            return 0;
        });
    QFont font;
    font.setPointSize(15);
    const std::vector<Cells>& frames = PlayFrames();
    CGameState game;
    QImage offscreen = Offscreen(ratio);
    std::size_t frame = 0;
    const auto next = [&]
    {
        const Cells& cells = frames[frame++ % frames.size()];
        std::copy(cells.begin(), cells.end(), std::begin(game.cells));
    };
    const auto newFrame = [&]
    {
        next();
        image->Compose(game);
        PaintFrame(offscreen, font, [&](QPainter& dc) { image->Draw(15, 20, dc); });
    };
    // Before, the off-screen image was always at 1x and the screen scaled it.
    QImage legacyOffscreen = Offscreen(1.0);
    QImage screen = Offscreen(ratio);
    const auto legacyFrame = [&]
    {
        next();
        legacy->Compose(game);
        PaintFrame(legacyOffscreen, font, [&](QPainter& dc) { legacy->Draw(15, 20, dc); });
        if (ratio != 1.0)
        {
            QPainter dc(&screen);
            dc.drawImage(0, 0, legacyOffscreen);
        }
    };
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores)
    {
        newFrame();
    }
    const std::int64_t rounds = std::max<std::int64_t>(state.iterations(), 200);
    const double newNs = PerCall(rounds, newFrame, WallNanoseconds);
    const double oldNs = PerCall(rounds, legacyFrame, WallNanoseconds);
    state.counters["frame_us"] = newNs / 1000.0;
    state.counters["legacy_frame_us"] = oldNs / 1000.0;
    state.counters["frame_per_legacy"] = newNs / oldNs;
    state.counters["scale2x_set"] = image->ShownScale() == 2 ? 1 : 0;
}
BENCHMARK(BM_Frame)->Arg(100)->Arg(125)->Arg(150)->Arg(200)->Unit(benchmark::kMicrosecond);

// Start-up's share: reading the plain set, against reading it the way it was read before.
void BM_Load(benchmark::State& state)
{
    const auto load = [] { return CBoardImage().Load(); };
    const auto legacyLoad = [] { return LegacyBoard().Load(kImageFiles); };
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores)
    {
        benchmark::DoNotOptimize(InData(load));
    }
    const std::int64_t rounds = std::max<std::int64_t>(state.iterations(), 30);
    const double newNs = PerCall(
        rounds, [&] { InData(load); }, WallNanoseconds);
    const double oldNs = PerCall(
        rounds, [&] { InData(legacyLoad); }, WallNanoseconds);
    state.counters["load_us"] = newNs / 1000.0;
    state.counters["legacy_load_us"] = oldNs / 1000.0;
    state.counters["load_per_legacy"] = newNs / oldNs;
}
BENCHMARK(BM_Load)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    // Status lines go to stderr: stdout may be the benchmark's own JSON.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
