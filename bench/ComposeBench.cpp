// One frame of the board picture against a plain copy of a buffer of the same size. Uses the
// generated board files when they are there, else a synthetic board of the same size.

#include "BmpFile.h"
#include "CBoardImage.h"
#include "CGameState.h"
#include "IAnimator.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

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

std::size_t PictureBytes(const CBoardImage& image)
{
    return static_cast<std::size_t>(image.m_target.m_nStride) * image.m_target.m_pHeader->height;
}

int TileOf(const Cell& cell)
{
    if ((cell.flags & kCellSelected) != 0)
    {
        return 6;
    }
    return cell.colour <= static_cast<std::uint32_t>(kBallColours) ? static_cast<int>(cell.colour)
                                                                   : 0;
}

// The source memory a frame of this board has to read, in whole 64-byte lines: every byte of the
// picture comes from one tile, and a line that holds bytes of two tiles is read from both.
std::size_t SourceBytesRead(const CBoardImage& image, const CGameState& game)
{
    const CDibSectionBuffer& map = image.m_matrix;
    const std::int32_t width = map.m_pHeader->width;
    const std::int32_t height = map.m_pHeader->height;
    std::vector<std::vector<bool>> seen(kTileCount,
                                        std::vector<bool>(PictureBytes(image) / 64 + 2, false));
    std::size_t lines = 0;
    for (std::int32_t y = 0; y < height; ++y)
    {
        const std::uint8_t* indexes = map.GetRowAddress(y);
        const std::size_t row =
            static_cast<std::size_t>(image.m_target.GetRowAddress(y) - image.m_target.m_pBits);
        for (std::int32_t x = 0; x < width; ++x)
        {
            const RgbQuad& e = map.m_pColours[indexes[x]];
            const bool isCell = e.green == 0 && e.red < kBoardColumns && e.blue < kBoardRows;
            const int tile = isCell ? TileOf(game.cells[e.blue * kBoardColumns + e.red]) : 0;
            const std::uint8_t* base = image.m_tiles[tile].m_pBits;
            const auto first = reinterpret_cast<std::uintptr_t>(base) / 64;
            const std::size_t offset = row + 3 * static_cast<std::size_t>(x);
            for (std::size_t b = offset; b < offset + 3; ++b)
            {
                const std::size_t line = (reinterpret_cast<std::uintptr_t>(base) + b) / 64 - first;
                if (!seen[tile][line])
                {
                    seen[tile][line] = true;
                    ++lines;
                }
            }
        }
    }
    return lines * 64;
}

// Writes a buffer far larger than the last-level cache, so the next step starts cold.
void EvictCaches()
{
    static std::vector<std::uint8_t> junk(64u << 20);
    for (std::size_t i = 0; i < junk.size(); i += 64)
    {
        ++junk[i];
    }
    benchmark::ClobberMemory();
}

double MedianOf(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

// Both with warm caches, in processor time: the frame against one plain copy of a picture of
// this size, and against a copy as large as the source lines the frame reads.
void BM_Compose(benchmark::State& state)
{
    CBoardImage& image = Board();
    const CGameState game = DealtWithSelection();
    if (!image.m_bLoaded)
    {
        state.SkipWithError("board pictures not loaded");
        return;
    }
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores)
    {
        benchmark::DoNotOptimize(image.Compose(game));
        benchmark::ClobberMemory();
    }
    const std::size_t bytes = PictureBytes(image);
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());

    const std::size_t read = SourceBytesRead(image, game);
    const std::unique_ptr<std::uint8_t[]> from(new std::uint8_t[read]());
    const std::unique_ptr<std::uint8_t[]> to(new std::uint8_t[read]());
    const std::int64_t rounds = std::max<std::int64_t>(state.iterations(), 200);
    const auto timed = [&](auto&& step)
    {
        step();
        const double start = ThreadNanoseconds();
        for (std::int64_t i = 0; i < rounds; ++i)
        {
            step();
            benchmark::ClobberMemory();
        }
        return (ThreadNanoseconds() - start) / static_cast<double>(rounds);
    };
    const double composeNs = timed([&] { image.Compose(game); });
    const double copyNs = timed([&] { std::memcpy(to.get(), from.get(), bytes); });
    const double copyReadNs = timed([&] { std::memcpy(to.get(), from.get(), read); });
    state.counters["compose_us"] = composeNs / 1000.0;
    state.counters["memcpy_us"] = copyNs / 1000.0;
    state.counters["compose_per_memcpy"] = composeNs / copyNs;
    state.counters["source_kb"] = static_cast<double>(read) / 1024.0;
    state.counters["memcpy_read_us"] = copyReadNs / 1000.0;
    state.counters["compose_per_memcpy_read"] = composeNs / copyReadNs;
}
BENCHMARK(BM_Compose)->Unit(benchmark::kMicrosecond);

// Both from cold caches: every step starts after the caches were flushed, the way a frame may
// find them after painting. Median of single steps.
void BM_ComposeCold(benchmark::State& state)
{
    CBoardImage& image = Board();
    const CGameState game = DealtWithSelection();
    if (!image.m_bLoaded)
    {
        state.SkipWithError("board pictures not loaded");
        return;
    }
    const std::size_t bytes = PictureBytes(image);
    const std::unique_ptr<std::uint8_t[]> from(new std::uint8_t[bytes]());
    const std::unique_ptr<std::uint8_t[]> to(new std::uint8_t[bytes]());
    const auto once = [](auto&& step)
    {
        EvictCaches();
        const auto start = std::chrono::steady_clock::now();
        step();
        benchmark::ClobberMemory();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    };
    std::vector<double> compose;
    std::vector<double> copy;
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores)
    {
        const double seconds = once([&] { image.Compose(game); });
        compose.push_back(seconds);
        copy.push_back(once([&] { std::memcpy(to.get(), from.get(), bytes); }));
        state.SetIterationTime(seconds);
    }
    state.counters["compose_us"] = MedianOf(compose) * 1e6;
    state.counters["memcpy_us"] = MedianOf(copy) * 1e6;
    state.counters["compose_per_memcpy"] = MedianOf(compose) / MedianOf(copy);
}
BENCHMARK(BM_ComposeCold)->UseManualTime()->Unit(benchmark::kMicrosecond)->Iterations(300);

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
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores)
    {
        benchmark::DoNotOptimize(image.Compose(game));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_ComposeOneTile)->Unit(benchmark::kMicrosecond);

void BM_CopySameSize(benchmark::State& state)
{
    const std::size_t bytes = PictureBytes(Board());
    const std::unique_ptr<std::uint8_t[]> from(new std::uint8_t[bytes]());
    const std::unique_ptr<std::uint8_t[]> to(new std::uint8_t[bytes]());
    for (auto _ : state) // NOLINT(clang-analyzer-deadcode.DeadStores)
    {
        std::memcpy(to.get(), from.get(), bytes);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes) * state.iterations());
}
BENCHMARK(BM_CopySameSize)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
