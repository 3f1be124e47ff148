// One frame of the board picture against a plain copy of a buffer of the same size. Uses the
// generated board files when they are there, else a synthetic board of the same size.

#include "BmpFile.h"
#include "CBoardImage.h"
#include "CGameState.h"
#include "IAnimator.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include <time.h>
#include <unistd.h>

namespace
{

class QuietAnimator : public IAnimator
{
public:
    void Step() override {}
    void PlayCue(const char*) override {}
};

// 454 x 440 with 16 x 11 cells of 28 pixels, two pixels of no cell between them.
void WriteSyntheticBoard(const std::filesystem::path& folder)
{
    constexpr std::int32_t width = 454;
    constexpr std::int32_t height = 440;
    constexpr std::int32_t cell = 28;
    constexpr std::int32_t left = 3;
    constexpr std::int32_t top = 66;
    bmp::Picture map = bmp::Make(width, height, 8, 255);
    map.palette.assign(256, bmp::Colour{255, 255, 255});
    for (std::uint32_t i = 0; i < 176; ++i)
    {
        map.palette[i] =
            bmp::Colour{static_cast<std::uint8_t>(i / 16), 0, static_cast<std::uint8_t>(i % 16)};
    }
    for (std::int32_t y = top; y < top + 11 * cell; ++y)
    {
        for (std::int32_t x = left; x < left + 16 * cell; ++x)
        {
            const std::int32_t cx = (x - left) % cell;
            const std::int32_t cy = (y - top) % cell;
            if (cx >= 1 && cx <= cell - 2 && cy >= 1 && cy <= cell - 2)
            {
                map.At(x, y) =
                    static_cast<std::uint32_t>((y - top) / cell * 16 + (x - left) / cell);
            }
        }
    }
    bmp::WritePicture(folder / "matrix.bmp", map);
    for (int slot = 0; slot < kTileCount; ++slot)
    {
        bmp::Picture tile = bmp::Make(width, height, 24);
        for (std::size_t i = 0; i < tile.pixels.size(); ++i)
        {
            tile.pixels[i] =
                static_cast<std::uint32_t>(i * 2654435761u + static_cast<unsigned>(slot)) &
                0xFFFFFFu;
        }
        bmp::WritePicture(folder / g_imageFiles[slot], tile);
    }
}

// Loads the board once for all benchmarks, from the generated data when present.
CBoardImage& Board()
{
    static std::unique_ptr<CBoardImage> image;
    if (image)
    {
        return *image;
    }
    const std::filesystem::path old = std::filesystem::current_path();
    std::filesystem::path folder = DAVIZ_DATA_DIR;
    std::filesystem::path temporary;
    if (!std::filesystem::exists(folder / "matrix.bmp"))
    {
        temporary = std::filesystem::temp_directory_path() /
                    ("daviz-compose-bench-" + std::to_string(getpid()));
        std::filesystem::create_directories(temporary);
        WriteSyntheticBoard(temporary);
        folder = temporary;
    }
    std::filesystem::current_path(folder);
    image = std::make_unique<CBoardImage>();
    const std::uint32_t code = image->Load();
    std::filesystem::current_path(old);
    if (!temporary.empty())
    {
        std::filesystem::remove_all(temporary);
    }
    std::printf("Board pictures: %s, %dx%d, load code %u\n",
                temporary.empty() ? folder.c_str() : "synthetic", image->m_target.m_pHeader->width,
                image->m_target.m_pHeader->height, code);
    return *image;
}

CGameState DealtWithSelection()
{
    CGameState game;
    game.NewGameWithSeed(1);
    QuietAnimator animator;
    for (std::uint32_t row = 10; game.selection.empty() && row < 11; --row)
    {
        for (std::uint32_t column = 0; column < 16 && game.selection.empty(); ++column)
        {
            game.ProcessClick(column, row, &animator);
        }
    }
    return game;
}

// Processor time of this thread, so that other load on the machine does not skew the ratio.
double ThreadNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

void BM_Compose(benchmark::State& state)
{
    CBoardImage& image = Board();
    const CGameState game = DealtWithSelection();
    if (!image.m_bLoaded)
    {
        state.SkipWithError("board pictures not loaded");
        return;
    }
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(image.Compose(game));
        benchmark::ClobberMemory();
    }
    const std::size_t bytes =
        static_cast<std::size_t>(image.m_target.m_nStride) * image.m_target.m_pHeader->height;
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());

    // The reference, timed the same way right here (in processor time): one plain copy of a picture
    // of this size.
    const std::unique_ptr<std::uint8_t[]> from(new std::uint8_t[bytes]());
    const std::unique_ptr<std::uint8_t[]> to(new std::uint8_t[bytes]());
    const std::int64_t rounds = std::max<std::int64_t>(state.iterations(), 200);
    double start = ThreadNanoseconds();
    for (std::int64_t i = 0; i < rounds; ++i)
    {
        image.Compose(game);
        benchmark::ClobberMemory();
    }
    const double composeNs = (ThreadNanoseconds() - start) / static_cast<double>(rounds);
    start = ThreadNanoseconds();
    for (std::int64_t i = 0; i < rounds; ++i)
    {
        std::memcpy(to.get(), from.get(), bytes);
        benchmark::ClobberMemory();
    }
    const double copyNs = (ThreadNanoseconds() - start) / static_cast<double>(rounds);
    state.counters["compose_us"] = composeNs / 1000.0;
    state.counters["memcpy_us"] = copyNs / 1000.0;
    state.counters["compose_per_memcpy"] = composeNs / copyNs;
}
BENCHMARK(BM_Compose)->Unit(benchmark::kMicrosecond);

// The same stretches with every cell empty: all pixels from one tile. The difference to
// BM_Compose is what reading seven tiles instead of one costs in cache.
void BM_ComposeOneTile(benchmark::State& state)
{
    CBoardImage& image = Board();
    CGameState game = DealtWithSelection();
    for (Cell& cell : game.cells)
    {
        cell = Cell{0, 0};
    }
    for (auto _ : state)
    {
        benchmark::DoNotOptimize(image.Compose(game));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComposeOneTile)->Unit(benchmark::kMicrosecond);

void BM_CopySameSize(benchmark::State& state)
{
    const CBoardImage& image = Board();
    const std::size_t bytes =
        static_cast<std::size_t>(image.m_target.m_nStride) * image.m_target.m_pHeader->height;
    const std::unique_ptr<std::uint8_t[]> from(new std::uint8_t[bytes]());
    const std::unique_ptr<std::uint8_t[]> to(new std::uint8_t[bytes]());
    for (auto _ : state)
    {
        std::memcpy(to.get(), from.get(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}
BENCHMARK(BM_CopySameSize)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
