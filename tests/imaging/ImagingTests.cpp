// The bitmap and wave readers, and the board picture: loading its files, composing frames, the
// finer set, the hit test.
#include "BitmapFile.h"
#include "CBoardImage.h"
#include "CDibSectionBuffer.h"
#include "CGameState.h"
#include "CWaveBuffer.h"
#include "ErrorCodes.h"
#include "IAnimator.h"
#include "WaveFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Each test runs in a fresh temporary folder, removed afterwards.
class Imaging : public testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(m_dir);
        fs::current_path(m_dir);
    }
    void TearDown() override
    {
        fs::current_path(m_old);
        fs::remove_all(m_dir);
    }
    const fs::path m_old = fs::current_path();
    const fs::path m_dir =
        fs::temp_directory_path() / ("daviz-imaging-" + std::to_string(getpid()));
};

void ExpectEmpty(const CDibSectionBuffer& buffer)
{
    CDibSectionBuffer::Info zero{};
    zero.header.size = 40;
    EXPECT_EQ(std::memcmp(&buffer.InfoBlock(), &zero, sizeof zero), 0);
    EXPECT_TRUE(buffer.Bits() == nullptr && buffer.Stride() == 0);
}

// Every pixel differs from its neighbours, so swapped or shifted rows and columns show.
bmp::Picture Patterned(std::int32_t width, std::int32_t height, std::uint16_t bits)
{
    bmp::Picture picture = bmp::Make(width, height, bits);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = static_cast<std::uint32_t>(i * 2654435761u + 7u) >> (32 - bits);
    for (std::size_t i = 0; i < picture.palette.size(); ++i)
        picture.palette[i] = {std::uint8_t(i), std::uint8_t(i * 3), std::uint8_t(255 - i), 0};
    return picture;
}

TEST_F(Imaging, BitmapsOfEveryDepthReadBackBottomUpOrTopDown)
{
    // Stride of a row 10 pixels wide; the core header (12) has no top-down form.
    const struct
    {
        std::uint16_t bits;
        std::uint32_t headerSize;
        int stride;
    } cases[] = {{1, 40, 0},   {4, 40, 0},   {8, 40, 12}, {16, 40, 20},
                 {24, 40, 32}, {32, 40, 40}, {8, 12, 12}, {24, 124, 32}};
    for (const auto [bits, headerSize, stride] : cases)
        for (bool topDown : {false, headerSize != 12})
        {
            SCOPED_TRACE(testing::Message() << bits << " bits, header " << headerSize << " "
                                            << (topDown ? "top-down" : "bottom-up"));
            const bmp::Picture picture = Patterned(10, 5, bits);
            bmp::WritePicture("p.bmp", picture, {headerSize, topDown});
            CDibSectionBuffer buffer;
            ASSERT_EQ(buffer.LoadFromFile("p.bmp"), 0u);
            const BitmapInfoHeader& h = *buffer.Header();
            EXPECT_TRUE(h.width == 10 && h.height == 5 && h.bitCount == bits);
            EXPECT_EQ(buffer.Stride(), stride);
            // Rows are held bottom-up, as a bottom-up file stores them.
            const Bytes file = bmp::Encode(picture, {headerSize});
            const auto size = static_cast<std::ptrdiff_t>(bmp::RowBytes(10, bits) * 5);
            EXPECT_EQ(Bytes(buffer.Bits(), buffer.Bits() + size),
                      Bytes(file.end() - size, file.end()));
            RgbQuad palette[256] = {};
            std::copy(picture.palette.begin(), picture.palette.end(), palette);
            EXPECT_EQ(std::memcmp(palette, buffer.Colours(), sizeof palette), 0);
        }
}

Bytes Patched(Bytes bytes, std::size_t at, std::uint64_t value, int width = 4)
{
    for (int i = 0; i < width; ++i)
        bytes[at + std::size_t(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
}

Bytes Cut(const Bytes& bytes, std::ptrdiff_t keep)
{
    return Bytes(bytes.begin(), bytes.begin() + (keep >= 0 ? keep : std::ssize(bytes) + keep));
}

Bytes WithFormat(wav::Format f)
{
    return wav::Make(f, Bytes(std::size_t(f.channels) * f.bits / 8 * 10, 0x80));
}

// Every way a picture or a cue can be wrong is refused with its code and leaves the buffer empty;
// each reader refuses the other's files as invalid data; well-formed cues keep their whole frames.
// Both readers open what a name leads to without blocking, and tell what is wrong with it.
TEST_F(Imaging, FilesAreReadWholeOrRefusedWithTheirCode)
{
    const Bytes bmp24 = bmp::Encode(Patterned(5, 3, 24)); // 102 bytes
    const Bytes bmp8 = bmp::Encode(Patterned(5, 3, 8));   // 1102 bytes
    const wav::Format mono16{1, 1, 22050, 16};
    const Bytes good = wav::Make(mono16, Bytes(440, 1));
    const Bytes list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 1, 2, 3, 0}; // its pad byte is skipped
    Bytes oddChunk = good;
    oddChunk.insert(oddChunk.begin() + 36, list.begin(), list.end());
    oddChunk = Patched(oddChunk, 4, oddChunk.size() - 8);
    const auto atLimit = [&](std::size_t extra)
    { return wav::Make(mono16, Bytes(CWaveBuffer::s_nMaxFileBytes - 44 + extra, 0)); };
    const Bytes dataFirst = Patched(Patched(good, 12, 0x61746164), 36, 0x20746d66);
    const std::uint32_t bad = kErrorInvalidData, form = kErrorInvalidParameter,
                        big = kErrorNotEnoughMemory;
    bmp::WritePicture("plain.bmp", bmp::Make(2, 2, 24));
    fs::create_directory("folder");
    ASSERT_EQ(mkfifo("pipe", 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", "device"), 0);
    // The reader the code is for: b(itmap), w(ave), or both for a name as it stands (f).
    const struct
    {
        const char* name;
        char reader;
        Bytes bytes;
        std::uint32_t code;
        std::size_t frames = 0;
    } cases[] = {
        {"missing", 'f', {}, kErrorFileNotFound},
        {"nowhere/missing", 'f', {}, kErrorPathNotFound},
        {"plain.bmp/in", 'f', {}, kErrorPathNotFound},
        {"folder", 'f', {}, bad},
        {"pipe", 'f', {}, bad},
        {"device", 'f', {}, bad},
        {"file header only", 'b', Cut(bmp24, 14), bad},
        {"bad signature", 'b', Patched(bmp24, 1, 'X', 1), bad},
        {"unknown header size", 'b', Patched(bmp24, bmp::kOffHeaderSize, 41), bad},
        {"last pixel byte missing", 'b', Cut(bmp24, -1), bad},
        {"pixels one byte too far", 'b', Patched(bmp24, bmp::kOffPixels, 55), bad},
        {"pixels far past the end", 'b', Patched(bmp24, bmp::kOffPixels, 0xFFFFFFFFu), bad},
        {"palette past the end", 'b', Cut(bmp8, 154), bad},
        {"palette longer than 256", 'b', Patched(bmp8, bmp::kOffClrUsed, 257), bad},
        {"run-length", 'b', Patched(bmp8, bmp::kOffCompression, 1), form},
        {"bit count 2", 'b', Patched(bmp24, bmp::kOffBitCount, 2, 2), bad},
        {"two planes", 'b', Patched(bmp24, bmp::kOffPlanes, 2, 2), bad},
        {"negative width", 'b', Patched(bmp24, bmp::kOffWidth, 0xFFFFFFFBu), bad},
        {"zero height", 'b', Patched(bmp24, bmp::kOffHeight, 0), bad},
        {"width past the limit", 'b', Patched(bmp24, bmp::kOffWidth, 16385), big},
        {"top-down height past it", 'b', Patched(bmp24, bmp::kOffHeight, 0xFFFFBFFFu), big},
        {"most negative height", 'b', Patched(bmp24, bmp::kOffHeight, 0x80000000u), big},
        // 16384 x 2000: both sides within the limits, but too many bytes.
        {"too many bytes", 'b', Patched(bmp24, bmp::kOffWidth, 2000ull << 32 | 16384, 8), big},
        {"mono 16", 'w', good, kErrorSuccess, 220},
        {"stereo 8 at 96 kHz", 'w', WithFormat({1, 2, 96000, 8}), kErrorSuccess, 10},
        {"mono 8 at 8 kHz", 'w', WithFormat({1, 1, 8000, 8}), kErrorSuccess, 10},
        {"odd chunk", 'w', oddChunk, kErrorSuccess, 220},
        {"half a frame dropped", 'w', wav::Make({1, 2, 8000, 16}, Bytes(9, 0)), kErrorSuccess, 2},
        {"at the size limit", 'w', atLimit(0), kErrorSuccess, (atLimit(0).size() - 44) / 2},
        {"over it", 'w', atLimit(2), big},
        {"empty", 'w', {}, bad},
        {"truncated", 'w', Cut(good, -3), bad},
        {"not RIFF", 'w', Patched(good, 0, 0x46464952 + 1), bad},
        {"ADPCM", 'w', WithFormat({2, 1, 22050, 16}), form},
        {"24 bits", 'w', WithFormat({1, 1, 22050, 24}), form},
        {"3 channels", 'w', WithFormat({1, 3, 22050, 16}), form},
        {"no channels", 'w', Patched(good, 22, 0, 2), form},
        {"rate too low", 'w', WithFormat({1, 1, 7999, 16}), form},
        {"rate too high", 'w', WithFormat({1, 1, 96001, 16}), form},
        {"byte rate wrong", 'w', Patched(good, 28, 1), bad},
        {"block align wrong", 'w', Patched(good, 32, 4, 2), bad},
        {"RIFF size absurd", 'w', Patched(good, 4, 0xfffffff0), bad},
        {"format size absurd", 'w', Patched(good, 16, 0xfffffff0), bad},
        {"format too short", 'w', Patched(good, 16, 14), bad},
        {"data size absurd", 'w', Patched(good, 40, 0xfffffff0), bad},
        {"no samples", 'w', wav::Make(mono16, {}), bad},
        {"data before format", 'w', dataFirst, bad},
        {"no data", 'w', Patched(good, 36, 0x4b4e554a), bad},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        const char* path = c.reader == 'f' ? c.name : "file";
        if (c.reader != 'f')
            bmp::WriteFile(path, c.bytes);
        const std::uint32_t bitmapCode = c.reader == 'w' ? bad : c.code;
        CDibSectionBuffer fromFile, fromMemory;
        EXPECT_EQ(fromFile.LoadFromFile(path), bitmapCode);
        EXPECT_TRUE(c.reader == 'f' ||
                    LoadBitmapFromBytes(fromMemory, c.bytes.data(), c.bytes.size()) == bitmapCode);
        ExpectEmpty(fromFile);
        ExpectEmpty(fromMemory);
        CWaveBuffer wave;
        EXPECT_EQ(wave.LoadFromFile(path), c.reader == 'b' ? bad : c.code);
        EXPECT_EQ(wave.Frames(), c.frames);
    }
    // A sparse gigabyte is refused by its size, before anything is read.
    ASSERT_EQ(truncate("file", off_t{1} << 30), 0);
    CWaveBuffer wave;
    EXPECT_EQ(wave.LoadFromFile("file"), big);
}

constexpr std::int32_t kWidth = 13; // 39 bytes a row: one byte of padding
constexpr std::int32_t kHeight = 9;

// Cells scattered so that none is a rectangle, pixels of no cell along the top and the right,
// two whole rows of cell (0, 0) at the bottom. Without cells every entry has green set.
bmp::Picture CellMap(bool noCells = false)
{
    bmp::Picture map = bmp::Make(kWidth, kHeight, 8);
    map.palette.assign(256, {255, 255, 255, 0});
    for (std::uint32_t i = 0; i < 176; ++i)
        map.palette[i] = {std::uint8_t(i / 16), 0, std::uint8_t(i % 16), 0};
    // Entries of no cell: cell (2, 3) with green set, (200, 200), column 16, row 11, white.
    const std::uint32_t outside[] = {200, 201, 202, 203, 255};
    const RgbQuad specials[] = {{3, 1, 2, 0}, {200, 0, 200, 0}, {0, 0, 16, 0}, {11, 0, 5, 0}};
    std::copy(std::begin(specials), std::end(specials), map.palette.begin() + 200);
    for (std::int32_t i = 0; i < 7 * kWidth; ++i)
    {
        const std::int32_t x = i % kWidth, y = i / kWidth;
        map.At(x, y) = y == 0 || x == kWidth - 1 ? outside[(x + y) % 5] : (x * 37u + y * 11u) % 176;
    }
    map.At(1, 1) = 5 * 16 + 4; // cell (4, 5)
    for (RgbQuad& entry : map.palette)
        entry.green = noCells ? 9 : entry.green;
    return map;
}

// The finer set's map: the same cells under every 2 x 2 block.
bmp::Picture Doubled(bmp::Picture map)
{
    bmp::Picture fine = bmp::Make(2 * map.width, 2 * map.height, map.bitCount);
    fine.palette = map.palette;
    for (std::int32_t i = 0; i < fine.width * fine.height; ++i)
        fine.At(i % fine.width, i / fine.width) = map.At(i % fine.width / 2, i / fine.width / 2);
    return fine;
}

// Red tells the tile, green and blue the position, so a pixel from the wrong tile or place shows.
std::uint32_t TilePixel(int slot, std::int32_t x, std::int32_t y)
{
    return std::uint32_t(40 * slot + 1) << 16 | std::uint32_t(x) << 8 | std::uint32_t(y);
}

bmp::Picture Tile(int slot, std::int32_t width, std::int32_t height)
{
    bmp::Picture tile = bmp::Make(width, height, 24);
    for (std::int32_t i = 0; i < width * height; ++i)
        tile.At(i % width, i / width) = TilePixel(slot, i % width, i / width);
    return tile;
}

// Both sets' files; the finer map is the plain one doubled unless given.
void WriteBoardFiles(const bmp::Picture& map = CellMap(), bmp::Layout mapLayout = {},
                     bmp::Layout tileLayout = {}, const bmp::Picture* fine = nullptr)
{
    const bmp::Picture doubled = fine != nullptr ? *fine : Doubled(map);
    for (int slot = 0; slot < kTileCount; ++slot)
    {
        bmp::WritePicture(kImageFiles[slot], Tile(slot, kWidth, kHeight), tileLayout);
        bmp::WritePicture(kImageFiles2x[slot], Tile(slot, doubled.width, doubled.height));
    }
    bmp::WritePicture("matrix.bmp", map, mapLayout);
    bmp::WritePicture(kImageFiles2x[7], doubled);
}

// The model: a pixel of the shown set comes from the tile of the state of the cell under it (a
// selected cell's from the selection tile, a ball's from its colour's), else from the empty tile.
void ExpectShown(const CBoardImage& image, const bmp::Picture& map, const CGameState& game)
{
    const int scale = image.ShownScale();
    const CBoardSet& shown = image.Shown();
    ASSERT_TRUE(shown.Width() == scale * kWidth && shown.Height() == scale * kHeight);
    for (std::int32_t i = 0; i < shown.Width() * shown.Height(); ++i)
    {
        const std::int32_t x = i % shown.Width(), y = i / shown.Width();
        const RgbQuad e = map.palette[map.pixels[std::size_t(y / scale * kWidth + x / scale)]];
        const bool inCell = e.green == 0 && e.red <= 15 && e.blue <= 10;
        const Cell cell = inCell ? game.cells[e.blue * 16 + e.red] : Cell{0, 0};
        const int slot = (cell.flags & kCellSelected) != 0      ? 6
                         : cell.colour >= 1 && cell.colour <= 5 ? int(cell.colour)
                                                                : 0;
        ASSERT_EQ(shown.Pixels()[i], 0xff000000U | TilePixel(slot, x, y))
            << "pixel " << x << "," << y << " at scale " << scale << " should come from "
            << kImageFiles[slot];
    }
}

// Checks every frame a move shows against the model.
struct FrameCheck : IAnimator
{
    FrameCheck(CBoardImage& i, const CGameState& g, const bmp::Picture& m)
        : image(i), game(g), map(m)
    {
    }
    void Step() override
    {
        image.Compose(game);
        ExpectShown(image, map, game);
        ++frames;
    }
    void PlayCue(const char*) override {}
    CBoardImage& image;
    const CGameState& game;
    const bmp::Picture& map;
    int frames = 0;
};

// Random play in files of every layout: each frame, composed from the last one, shows every cell
// as its state, on either set and across switches between them; so do cells of no colour.
TEST_F(Imaging, EveryFrameOfRandomPlayShowsEachCellsState)
{
    const struct
    {
        const char* name;
        bmp::Layout map, tiles;
        bool noCells;
    } layouts[] = {{"bottom-up", {}, {}, false},
                   {"top-down map", {40, true}, {124}, false},
                   {"core-header map, top-down tiles", {12}, {40, true}, false},
                   {"no entry in range: all empty.bmp", {}, {}, true}};
    unsigned random = 12345;
    const auto next = [&random] { return random = random * 1103515245u + 12345u, random >> 8; };
    for (const auto& layout : layouts)
    {
        SCOPED_TRACE(layout.name);
        const bmp::Picture map = CellMap(layout.noCells);
        WriteBoardFiles(map, layout.map, layout.tiles);
        CBoardImage image;
        CGameState game;
        EXPECT_EQ(image.Compose(game), kErrorNotReady);
        ASSERT_EQ(image.Load(), 0u);
        EXPECT_TRUE(image.Loaded() && image.FailedFile() == nullptr);
        for (std::uint32_t i = 0; i < kBoardCells; ++i)
            game.cells[i] = Cell{i % 9 == 8 ? 0xFFFFFFFFu : i % 9, i % 7 == 0 ? kCellSelected : 0};
        ASSERT_EQ(image.Compose(game), 0u);
        ExpectShown(image, map, game);
        FrameCheck check(image, game, map);
        for (std::uint32_t deal = 1; deal <= 3 && !HasFatalFailure(); ++deal)
        {
            game.NewGameWithSeed(deal);
            image.Compose(game);
            for (int click = 0; click < 300 && !game.gameOver && !HasFatalFailure(); ++click)
            {
                if (next() % 17 == 0)
                    image.SetDeviceRatio(next() % 2 == 0 ? 1.0 : 2.0);
                // Often twice at one point, so that groups are removed.
                const std::uint32_t x = next() % kWidth, y = next() % kHeight;
                for (std::uint32_t n = next() % 2; n < 2; ++n)
                {
                    image.Click(x, y, game, &check);
                    ExpectShown(image, map, game);
                }
            }
        }
        EXPECT_TRUE(layout.noCells || check.frames > 300) << check.frames;
    }
}

// A cell map of that size, its neighbours alternating between two cells or all of one.
Bytes CraftedMap(std::int32_t width, std::int32_t height, bool alternate)
{
    bmp::Picture map = bmp::Make(width, height, 8);
    map.palette = CellMap().palette;
    for (std::int32_t i = 0; alternate && i < width * height; ++i)
        map.pixels[std::size_t(i)] = std::uint32_t(i % width + i / width) % 2;
    return bmp::Encode(map);
}

TEST_F(Imaging, LoadStopsAtTheFirstBadFileAndEndsFullyReset)
{
    // Slot 7 is the cell map; no bytes: the file is missing. The crafted maps are refused by
    // their size or their count of stretches before any tile is looked for.
    const Bytes map = bmp::Encode(CellMap());
    const struct
    {
        int slot;
        Bytes bytes;
        std::uint32_t code;
    } cases[] = {
        {7, {}, kErrorFileNotFound},
        {7, bmp::Encode(Tile(0, kWidth, kHeight)), kErrorInvalidParameter},
        {7, bmp::Encode(CellMap(), {40, false, 1}), kErrorInvalidParameter},
        {7, Bytes(map.begin(), map.end() - 1), kErrorInvalidData},
        {7, CraftedMap(1025, 1024, true), kErrorNotEnoughMemory},
        {7, CraftedMap(16384, 1365, false), kErrorNotEnoughMemory},
        {7, CraftedMap(8, CBoardSet::kMaxSide + 1, false), kErrorNotEnoughMemory},
        {1, {}, kErrorFileNotFound},
        {2, map, kErrorInvalidParameter},
        {3, bmp::Encode(Tile(3, kWidth - 1, kHeight)), kErrorInvalidParameter},
        {4, bmp::Encode(Tile(4, kWidth, kHeight - 1)), kErrorInvalidParameter},
    };
    for (const auto& c : cases)
    {
        const char* file = kImageFiles[c.slot];
        SCOPED_TRACE(file);
        fs::create_directory(std::to_string(&c - cases));
        fs::current_path(std::to_string(&c - cases));
        WriteBoardFiles();
        // Later files become folders, so a loader that went on would end with another code.
        for (int later = c.slot == 7 ? 0 : c.slot + 1; later < kTileCount; ++later)
        {
            fs::remove(kImageFiles[later]);
            fs::create_directory(kImageFiles[later]);
        }
        fs::remove(file);
        if (!c.bytes.empty())
            bmp::WriteFile(file, c.bytes);
        CBoardImage image;
        EXPECT_EQ(image.Load(), c.code);
        EXPECT_STREQ(image.FailedFile(), file);
        EXPECT_FALSE(image.Loaded() || image.BaseSet().Loaded() || image.BaseSet().Width() != 0);
        EXPECT_EQ(image.Compose(CGameState()), kErrorNotReady);
        fs::current_path(m_dir);
    }

    // Load expects an object that is not loaded: it fails and leaves the object reset.
    WriteBoardFiles();
    CBoardImage image;
    ASSERT_EQ(image.Load(), 0u);
    image.SetOrigin(20, 0);
    EXPECT_EQ(image.Load(), kErrorInvalidParameter);
    EXPECT_FALSE(image.Loaded() || image.BaseSet().Loaded() || image.OriginX() != 0);
    EXPECT_STREQ(image.FailedFile(), "matrix.bmp");
    ASSERT_EQ(image.Load(), 0u);
    EXPECT_EQ(image.FailedFile(), nullptr);
}

// The finer set is shown on denser screens only where it loads whole, is twice the size and
// keeps every cell. The hit test reads red and blue of the entry under the point, measured from
// the origin, in the set shown: a point picks the fine pixel under it.
TEST_F(Imaging, TheFinerSetIsShownOnlyWhereItLoadsAndKeepsTheCells)
{
    CBoardImage unloaded;
    std::uint32_t column = 77, row = 77;
    EXPECT_FALSE(unloaded.HitTest(0, 0, column, row)) << "an empty cell map has no pixel";
    CGameState game;
    EXPECT_EQ(unloaded.Click(5, 5, game, nullptr), 0u);
    // Points from origins; inside, the point less the origin names the plain map's pixel.
    const struct
    {
        std::int32_t originX, originY, x, y;
        bool hit;
    } points[] = {
        {0, 0, -1, 0, false},
        {0, 0, 0, -1, false},
        {0, 0, kWidth, 0, false},
        {0, 0, 0, kHeight, false},
        {20, 30, 19, 40, false},
        {20, 30, 20, 30, true},
        {20, 30, 25, 35, true},
        {20, 30, 5, 5, false},
        // Far from the origin the difference must not wrap round into the picture.
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, false},
        {INT_MAX - 2, INT_MAX - 2, INT_MAX, INT_MAX, true},
    };
    const bmp::Picture fine = Doubled(CellMap());
    bmp::Picture moved = fine; // one fine pixel of another cell than the pixel beneath
    moved.At(5, 5) = (moved.At(5, 5) + 1) % 176;
    const bmp::Picture plain = CellMap();
    const struct
    {
        const char* name;
        const bmp::Picture* map;
        double ratio;
        const char* missing;
        int scale;
    } cases[] = {
        {"ratio 2", &fine, 2.0, nullptr, 2},
        {"ratio 1.25", &fine, 1.25, nullptr, 2},
        {"ratio 1", &fine, 1.0, nullptr, 1},
        {"a tile missing", &fine, 2.0, "select@2x.bmp", 1},
        {"not twice the size", &plain, 2.0, nullptr, 1},
        {"a pixel of another cell", &moved, 2.0, nullptr, 1},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        WriteBoardFiles(plain, {}, {}, c.map);
        if (c.missing != nullptr)
            fs::remove(c.missing);
        CBoardImage image;
        ASSERT_EQ(image.Load(), 0u);
        ASSERT_EQ(image.Compose(game), 0u);
        image.SetDeviceRatio(c.ratio);
        EXPECT_EQ(image.ShownScale(), c.scale);
        EXPECT_EQ(image.FailedFile(), nullptr);
        // Every pixel of the set shown is hit at its middle as the cell beneath it.
        const int n = c.scale;
        for (std::int32_t i = 0; i < n * n * kWidth * kHeight; ++i)
        {
            const std::int32_t x = i % (n * kWidth), y = i / (n * kWidth);
            const RgbQuad e = plain.palette[plain.pixels[std::size_t(y / n * kWidth + x / n)]];
            ASSERT_TRUE(image.HitTest((x + 0.5) / n, (y + 0.5) / n, column, row));
            ASSERT_TRUE(column == e.red && row == e.blue) << x << "," << y;
        }
        for (const auto& p : points)
        {
            image.SetOrigin(p.originX, p.originY);
            column = row = 77;
            ASSERT_EQ(image.HitTest(p.x, p.y, column, row), p.hit) << p.x << "," << p.y;
            const std::int64_t at = (std::int64_t{p.y} - p.originY) * kWidth + p.x - p.originX;
            const RgbQuad e =
                p.hit ? plain.palette[plain.pixels[std::size_t(at)]] : RgbQuad{77, 0, 77, 0};
            EXPECT_TRUE(column == e.red && row == e.blue) << p.x << "," << p.y;
        }
        image.SetDeviceRatio(1.0);
        EXPECT_EQ(image.ShownScale(), 1);
    }
}

} // namespace
