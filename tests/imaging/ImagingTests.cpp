#include "BitmapFile.h"
#include "CBoardImage.h"
#include "CDibSectionBuffer.h"
#include "CGameState.h"
#include "ErrorCodes.h"
#include "ErrorText.h"
#include "IAnimator.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

using Bytes = std::vector<std::uint8_t>;

// Runs each test inside a fresh temporary folder, removed afterwards.
class ImagingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::filesystem::create_directories(m_dir);
        std::filesystem::current_path(m_dir);
    }

    void TearDown() override
    {
        std::filesystem::current_path(m_old);
        std::filesystem::remove_all(m_dir);
    }

    const std::filesystem::path m_old = std::filesystem::current_path();
    const std::filesystem::path m_dir =
        std::filesystem::temp_directory_path() / ("daviz-imaging-" + std::to_string(getpid()));
};

void ExpectEmpty(const CDibSectionBuffer& buffer)
{
    CDibSectionBuffer::Info zero{};
    zero.header.size = 40;
    EXPECT_EQ(std::memcmp(&buffer.InfoBlock(), &zero, sizeof zero), 0);
    EXPECT_EQ(buffer.Bits(), nullptr);
    EXPECT_EQ(buffer.Stride(), 0);
}

// Every pixel differs from its neighbours, so swapped or shifted rows and columns show.
bmp::Picture Patterned(std::int32_t width, std::int32_t height, std::uint16_t bits)
{
    bmp::Picture picture = bmp::Make(width, height, bits);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
    {
        picture.pixels[i] = static_cast<std::uint32_t>(i * 2654435761u + 7u) >> (32 - bits);
    }
    for (std::size_t i = 0; i < picture.palette.size(); ++i)
    {
        picture.palette[i] = {std::uint8_t(i), std::uint8_t(i * 3), std::uint8_t(255 - i), 0};
    }
    return picture;
}

TEST_F(ImagingTest, EveryDepthReadsBackItsPixelsAndPaletteBottomUpOrTopDown)
{
    const struct
    {
        std::uint16_t bits;
        std::uint32_t headerSize;
        std::int32_t stride; // of a row 10 pixels wide
    } cases[] = {{1, 40, 0},   {4, 40, 0},   {8, 40, 12}, {16, 40, 20},
                 {24, 40, 32}, {32, 40, 40}, {8, 12, 12}, {24, 124, 32}};
    for (const auto& c : cases)
    {
        // The core header has no sign for its height, so no top-down form.
        for (bool topDown : {false, c.headerSize != 12})
        {
            SCOPED_TRACE(testing::Message() << c.bits << " bits, header " << c.headerSize << " "
                                            << (topDown ? "top-down" : "bottom-up"));
            const bmp::Picture picture = Patterned(10, 5, c.bits);
            bmp::WritePicture("p.bmp", picture, {c.headerSize, topDown});
            CDibSectionBuffer buffer;
            ASSERT_EQ(buffer.LoadFromFile("p.bmp"), 0u);
            const BitmapInfoHeader& h = *buffer.Header();
            EXPECT_TRUE(h.width == 10 && h.height == 5 && h.bitCount == c.bits);
            EXPECT_EQ(buffer.Stride(), c.stride);
            // Rows are held bottom-up, as a bottom-up file stores them.
            const Bytes file = bmp::Encode(picture, {c.headerSize});
            const auto size = static_cast<std::ptrdiff_t>(bmp::RowBytes(10, c.bits) * 5);
            EXPECT_EQ(Bytes(buffer.Bits(), buffer.Bits() + size),
                      Bytes(file.end() - size, file.end()));
            RgbQuad palette[256] = {};
            std::copy(picture.palette.begin(), picture.palette.end(), palette);
            EXPECT_EQ(std::memcmp(palette, buffer.Colours(), sizeof palette), 0);
        }
    }
}

TEST_F(ImagingTest, BrokenFilesAreRefusedWithTheirCodeAndLeaveTheBufferEmpty)
{
    // A good 5 x 3 file (24-bit: 102 bytes, 8-bit: 1102) gets `size` bytes of value at `at`
    // and is then cut to `keep` bytes unless that is 0.
    const struct
    {
        const char* name;
        std::uint16_t bits;
        std::size_t at;
        std::uint64_t value;
        int size;
        std::size_t keep;
        std::uint32_t code;
    } cases[] = {
        {"file header only", 24, 0, 0, 0, 14, kErrorInvalidData},
        {"bad signature", 24, 1, 'X', 1, 0, kErrorInvalidData},
        {"unknown header size", 24, bmp::kOffHeaderSize, 41, 4, 0, kErrorInvalidData},
        {"info header cut short", 24, 0, 0, 0, 30, kErrorInvalidData},
        {"last pixel byte missing", 24, 0, 0, 0, 101, kErrorInvalidData},
        {"pixels one byte too far", 24, bmp::kOffPixels, 55, 4, 0, kErrorInvalidData},
        {"pixels far past the end", 24, bmp::kOffPixels, 0xFFFFFFFFu, 4, 0, kErrorInvalidData},
        {"palette past the end", 8, 0, 0, 0, 154, kErrorInvalidData},
        {"palette longer than 256", 8, bmp::kOffClrUsed, 257, 4, 0, kErrorInvalidData},
        {"run-length", 8, bmp::kOffCompression, 1, 4, 0, kErrorInvalidParameter},
        {"bit fields", 24, bmp::kOffCompression, 3, 4, 0, kErrorInvalidParameter},
        {"bit count 2", 24, bmp::kOffBitCount, 2, 2, 0, kErrorInvalidData},
        {"two planes", 24, bmp::kOffPlanes, 2, 2, 0, kErrorInvalidData},
        {"negative width", 24, bmp::kOffWidth, 0xFFFFFFFBu, 4, 0, kErrorInvalidData},
        {"zero height", 24, bmp::kOffHeight, 0, 4, 0, kErrorInvalidData},
        {"width past the limit", 24, bmp::kOffWidth, 16385, 4, 0, kErrorNotEnoughMemory},
        {"top-down height past it", 24, bmp::kOffHeight, 0xFFFFBFFFu, 4, 0, kErrorNotEnoughMemory},
        {"most negative height", 24, bmp::kOffHeight, 0x80000000u, 4, 0, kErrorNotEnoughMemory},
        // 16384 x 2000: both sides within the limits, but too many bytes.
        {"too many bytes", 32, bmp::kOffWidth, 2000ull << 32 | 16384, 8, 0, kErrorNotEnoughMemory},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Bytes bytes = bmp::Encode(Patterned(5, 3, c.bits));
        bmp::Put(bytes, c.at, c.value, c.size);
        bytes.resize(c.keep != 0 ? c.keep : bytes.size());
        bmp::WriteFile("broken.bmp", bytes);
        CDibSectionBuffer fromFile;
        EXPECT_EQ(fromFile.LoadFromFile("broken.bmp"), c.code);
        ExpectEmpty(fromFile);
        CDibSectionBuffer fromMemory;
        EXPECT_EQ(LoadBitmapFromBytes(fromMemory, bytes.data(), bytes.size()), c.code);
        ExpectEmpty(fromMemory);
    }
}

TEST_F(ImagingTest, FileSystemFailuresHaveTheirOwnCodes)
{
    bmp::WritePicture("plain.bmp", bmp::Make(2, 2, 24));
    std::filesystem::create_directory("folder.bmp");
    ASSERT_EQ(mkfifo("pipe.bmp", 0600), 0);
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"missing.bmp", kErrorFileNotFound},
        {"nowhere/missing.bmp", kErrorPathNotFound},
        {"plain.bmp/inside.bmp", kErrorPathNotFound},
        {"folder.bmp", kErrorInvalidData},
        {"pipe.bmp", kErrorInvalidData},
        {"plain.bmp", kErrorSuccess}};
    for (const auto& [path, code] : cases)
    {
        CDibSectionBuffer buffer;
        EXPECT_EQ(buffer.LoadFromFile(path), code) << path;
        EXPECT_EQ(buffer.Bits() != nullptr, code == kErrorSuccess) << path;
    }
}

TEST(BufferRows, BlankPicturesRowAddressesAndRefusalsWhileHeld)
{
    for (auto [width, height, code] : {std::tuple{0, 5, kErrorInvalidParameter},
                                       {5, -1, kErrorInvalidParameter},
                                       {1, 16385, kErrorNotEnoughMemory},
                                       {16384, 16384, kErrorNotEnoughMemory}})
    {
        CDibSectionBuffer buffer;
        EXPECT_EQ(buffer.CreateBlank(width, height), code) << width << "x" << height;
        ExpectEmpty(buffer);
    }

    CDibSectionBuffer buffer;
    ASSERT_EQ(buffer.CreateBlank(10, 5), 0u);
    EXPECT_EQ(buffer.Header()->bitCount, 24);
    ASSERT_EQ(buffer.Stride(), 32);
    const std::uint8_t* bits = buffer.Bits();
    // Offsets of the rows from the start of memory; -1 for no row.
    for (auto [y, offset] :
         {std::pair{INT_MIN, -1}, {-1, -1}, {0, 128}, {1, 96}, {4, 0}, {5, -1}, {INT_MAX, -1}})
    {
        EXPECT_EQ(buffer.GetRowAddress(y), offset < 0 ? nullptr : bits + offset) << y;
    }

    // A held picture refuses every new one and stays as it was, until Reset.
    const Bytes other = bmp::Encode(bmp::Make(7, 2, 8));
    const CDibSectionBuffer::Info before = buffer.InfoBlock();
    EXPECT_EQ(buffer.LoadFromFile("missing.bmp"), kErrorInvalidParameter);
    EXPECT_EQ(LoadBitmapFromBytes(buffer, other.data(), other.size()), kErrorInvalidParameter);
    EXPECT_EQ(buffer.CreateBlank(9, 9), kErrorInvalidParameter);
    EXPECT_EQ(buffer.Bits(), bits);
    EXPECT_EQ(std::memcmp(&before, &buffer.InfoBlock(), sizeof before), 0);
    buffer.Reset();
    ExpectEmpty(buffer);
    EXPECT_EQ(LoadBitmapFromBytes(buffer, other.data(), other.size()), 0u);
}

TEST(ErrorText, EveryCodeWeProduceHasItsOwnTextAndAnyOtherIsNamedByNumber)
{
    std::set<std::string> seen;
    for (std::uint32_t code :
         {kErrorSuccess, kErrorFileNotFound, kErrorPathNotFound, kErrorAccessDenied,
          kErrorNotEnoughMemory, kErrorInvalidData, kErrorNotReady, kErrorInvalidParameter})
    {
        const std::string text = ErrorText(code);
        EXPECT_EQ(text.find("Unknown"), std::string::npos) << code;
        EXPECT_TRUE(!text.empty() && seen.insert(text).second) << code << ": " << text;
    }
    EXPECT_EQ(ErrorText(1), "Unknown error (code 1).");
    EXPECT_EQ(ErrorText(4294967295u), "Unknown error (code 4294967295).");
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
    {
        map.palette[i] = {std::uint8_t(i / 16), 0, std::uint8_t(i % 16), 0};
    }
    // Entries of no cell: cell (2, 3) with green set, (200, 200), column 16, row 11, white.
    const std::uint32_t outside[] = {200, 201, 202, 203, 255};
    const RgbQuad specials[] = {{3, 1, 2, 0}, {200, 0, 200, 0}, {0, 0, 16, 0}, {11, 0, 5, 0}};
    std::copy(std::begin(specials), std::end(specials), map.palette.begin() + 200);
    for (std::int32_t i = 0; i < 7 * kWidth; ++i)
    {
        const std::int32_t x = i % kWidth;
        const std::int32_t y = i / kWidth;
        map.At(x, y) = y == 0 || x == kWidth - 1 ? outside[(x + y) % 5] : (x * 37u + y * 11u) % 176;
    }
    map.At(1, 1) = 5 * 16 + 4; // cell (4, 5), aimed at by the clicks
    for (RgbQuad& entry : map.palette)
    {
        entry.green = noCells ? 9 : entry.green;
    }
    return map;
}

// Red tells the tile, green and blue the position, so a pixel from the wrong tile or place shows.
std::uint32_t TilePixel(int slot, std::int32_t x, std::int32_t y)
{
    return std::uint32_t(40 * slot + 1) << 16 | std::uint32_t(x) << 8 | std::uint32_t(y);
}

bmp::Picture Tile(int slot, std::int32_t width = kWidth, std::int32_t height = kHeight)
{
    bmp::Picture tile = bmp::Make(width, height, 24);
    for (std::int32_t i = 0; i < width * height; ++i)
    {
        tile.At(i % width, i / width) = TilePixel(slot, i % width, i / width);
    }
    return tile;
}

void WriteBoardFiles(const bmp::Picture& map = CellMap(), bmp::Layout mapLayout = {},
                     bmp::Layout tileLayout = {})
{
    for (int slot = 0; slot < kTileCount; ++slot)
    {
        bmp::WritePicture(kImageFiles[slot], Tile(slot), tileLayout);
    }
    bmp::WritePicture("matrix.bmp", map, mapLayout);
}

// The model: a pixel of no cell comes from the empty tile, a selected cell's from the selection
// tile, a ball's from its colour's tile, anything else from the empty tile.
void ExpectComposedFrom(const CBoardImage& image, bmp::Picture map, const CGameState& game)
{
    for (std::int32_t i = 0; i < kWidth * kHeight; ++i)
    {
        const std::int32_t x = i % kWidth;
        const std::int32_t y = i / kWidth;
        const RgbQuad e = map.palette[map.At(x, y)];
        const bool inCell = e.green == 0 && e.red <= 15 && e.blue <= 10;
        const Cell cell = inCell ? game.cells[e.blue * 16 + e.red] : Cell{0, 0};
        const int slot = (cell.flags & kCellSelected) != 0      ? 6
                         : cell.colour >= 1 && cell.colour <= 5 ? int(cell.colour)
                                                                : 0;
        ASSERT_EQ(image.Shown().Pixels()[i], 0xff000000U | TilePixel(slot, x, y))
            << "pixel " << x << "," << y << " should come from " << kImageFiles[slot];
    }
}

CGameState Board(std::uint32_t colour, std::uint32_t flags = 0)
{
    CGameState game;
    game.NewGameWithSeed(1);
    for (Cell& cell : game.cells)
    {
        cell = Cell{colour, flags};
    }
    return game;
}

class CountingAnimator : public IAnimator
{
public:
    void Step() override {}
    void PlayCue(const char*) override { ++cues; }
    int cues = 0;
};

TEST_F(ImagingTest, EveryPixelComesFromTheTileOfItsCellsState)
{
    std::vector<CGameState> boards;
    for (std::uint32_t colour : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 0xFFFFFFFFu})
    {
        boards.push_back(Board(colour));
        boards.push_back(Board(colour, kCellSelected));
    }
    for (unsigned seed = 1; seed <= 10; ++seed)
    {
        boards.emplace_back().NewGameWithSeed(seed);
        boards.back().ProcessClick(seed % 16, seed % 11, nullptr);
    }
    const struct
    {
        const char* name;
        bmp::Layout map, tiles;
        bool noCells;
    } layouts[] = {{"bottom-up", {}, {}, false},
                   {"top-down map", {40, true}, {124}, false},
                   {"core-header map, top-down tiles", {12}, {40, true}, false},
                   {"no entry in range: all empty.bmp", {}, {}, true}};
    for (const auto& layout : layouts)
    {
        SCOPED_TRACE(layout.name);
        WriteBoardFiles(CellMap(layout.noCells), layout.map, layout.tiles);
        CBoardImage image;
        EXPECT_EQ(image.Compose(boards[0]), kErrorNotReady);
        ASSERT_EQ(image.Load(), 0u);
        EXPECT_TRUE(image.Loaded());
        EXPECT_EQ(image.FailedFile(), nullptr);
        EXPECT_EQ(image.Shown().Width(), kWidth);
        EXPECT_EQ(image.Shown().Height(), kHeight);
        for (std::size_t i = 0; i < boards.size(); ++i)
        {
            SCOPED_TRACE(i);
            // One after the other: each compose starts from the last picture.
            ASSERT_EQ(image.Compose(boards[i]), 0u);
            ExpectComposedFrom(image, CellMap(layout.noCells), boards[i]);
        }
    }
}

Bytes Cut(Bytes bytes)
{
    bytes.pop_back();
    return bytes;
}

TEST_F(ImagingTest, LoadStopsAtTheFirstBadFileAndEndsFullyReset)
{
    // Slot 7 is the cell map; no bytes: the file is missing.
    const struct
    {
        int slot;
        Bytes bytes;
        std::uint32_t code;
    } cases[] = {
        {7, {}, kErrorFileNotFound},
        {7, bmp::Encode(Tile(0)), kErrorInvalidParameter},
        {7, bmp::Encode(CellMap(), {40, false, 1}), kErrorInvalidParameter},
        {7, Cut(bmp::Encode(CellMap())), kErrorInvalidData},
        {1, {}, kErrorFileNotFound},
        {2, bmp::Encode(CellMap()), kErrorInvalidParameter},
        {3, bmp::Encode(Tile(3, kWidth - 1)), kErrorInvalidParameter},
        {4, bmp::Encode(Tile(4, kWidth, kHeight - 1)), kErrorInvalidParameter},
        {6, Cut(bmp::Encode(Tile(6))), kErrorInvalidData},
    };
    for (const auto& c : cases)
    {
        const char* file = kImageFiles[c.slot];
        SCOPED_TRACE(file);
        std::filesystem::create_directory(std::to_string(&c - cases));
        std::filesystem::current_path(std::to_string(&c - cases));
        WriteBoardFiles();
        // Later files become folders, so a loader that went on would end with another code.
        for (int later = c.slot == 7 ? 0 : c.slot + 1; later < kTileCount; ++later)
        {
            std::filesystem::remove(kImageFiles[later]);
            std::filesystem::create_directory(kImageFiles[later]);
        }
        std::filesystem::remove(file);
        if (!c.bytes.empty())
        {
            bmp::WriteFile(file, c.bytes);
        }
        CBoardImage image;
        EXPECT_EQ(image.Load(), c.code);
        EXPECT_STREQ(image.FailedFile(), file);
        EXPECT_FALSE(image.Loaded());
        EXPECT_FALSE(image.BaseSet().Loaded());
        EXPECT_EQ(image.BaseSet().Width(), 0);
        EXPECT_EQ(image.Compose(Board(1)), kErrorNotReady);
        std::filesystem::current_path(m_dir);
    }

    // Load expects an object that is not loaded: it fails and leaves the object reset.
    WriteBoardFiles();
    CBoardImage image;
    ASSERT_EQ(image.Load(), 0u);
    image.SetOrigin(20, 0);
    EXPECT_EQ(image.Load(), kErrorInvalidParameter);
    EXPECT_FALSE(image.Loaded());
    EXPECT_FALSE(image.BaseSet().Loaded());
    EXPECT_EQ(image.OriginX(), 0);
    EXPECT_STREQ(image.FailedFile(), "matrix.bmp");
    ASSERT_EQ(image.Load(), 0u);
    EXPECT_EQ(image.FailedFile(), nullptr);
}

TEST_F(ImagingTest, HitTestReadsRedAndBlueOfTheEntryUnderThePointFromTheOrigin)
{
    WriteBoardFiles();
    bmp::Picture map = CellMap();
    CBoardImage image;
    std::uint32_t column = 77;
    std::uint32_t row = 77;
    EXPECT_FALSE(image.HitTest(0, 0, column, row)) << "an empty cell map has no pixel";
    ASSERT_EQ(image.Load(), 0u);
    const struct
    {
        std::int32_t originX, originY, x, y;
        bool hit;
        std::int32_t mapX, mapY;
    } cases[] = {
        {0, 0, 5, 5, true, 5, 5},
        {0, 0, kWidth - 1, kHeight - 1, true, kWidth - 1, kHeight - 1},
        {0, 0, 1, 0, true, 1, 0}, // (200, 200): the rules take it for an empty cell
        {0, 0, 0, 0, true, 0, 0}, // green set, yet cell (2, 3) for the hit test
        {0, 0, -1, 0, false, 0, 0},
        {0, 0, 0, -1, false, 0, 0},
        {0, 0, kWidth, 0, false, 0, 0},
        {0, 0, 0, kHeight, false, 0, 0},
        {20, 30, 19, 40, false, 0, 0},
        {20, 30, 20, 30, true, 0, 0},
        {20, 30, 25, 35, true, 5, 5},
        {20, 30, 5, 5, false, 0, 0},
        // Far from the origin the difference must not wrap round into the picture.
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, false, 0, 0},
        {INT_MAX - 2, INT_MAX - 2, INT_MAX, INT_MAX, true, 2, 2},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "origin " << c.originX << "," << c.originY << " point "
                                        << c.x << "," << c.y);
        image.SetOrigin(c.originX, c.originY);
        column = 77;
        row = 77;
        ASSERT_EQ(image.HitTest(c.x, c.y, column, row), c.hit);
        const RgbQuad e = c.hit ? map.palette[map.At(c.mapX, c.mapY)] : RgbQuad{77, 0, 77, 0};
        EXPECT_EQ(column, e.red);
        EXPECT_EQ(row, e.blue);
    }
}

TEST_F(ImagingTest, ClickRecomposesOnlyWhenTheRulesReportSomething)
{
    WriteBoardFiles();
    const struct
    {
        const char* name;
        bool load;
        std::int32_t originX, x, y;
        std::uint32_t result;
        int cues; // a rule ran
    } cases[] = {
        {"not loaded", false, 0, 1, 1, 0, 0},
        {"off the map", true, 0, -1, 1, 0, 0},
        {"entry (200, 200)", true, 0, 1, 0, 0, 1},
        {"a ball of a group", true, 0, 1, 1, ResultSelected, 1},
        {"a ball, measured from the origin", true, 100, 101, 1, ResultSelected, 1},
        {"the same point without the origin", true, 100, 1, 1, 0, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CBoardImage image;
        if (c.load)
        {
            ASSERT_EQ(image.Load(), 0u);
            image.SetOrigin(c.originX, 0);
        }
        CGameState game = Board(2);
        CountingAnimator animator;
        EXPECT_EQ(image.Click(c.x, c.y, game, &animator), c.result);
        EXPECT_EQ(game.cells[5 * 16 + 4].flags, c.result == 0 ? 0u : kCellSelected);
        EXPECT_EQ(animator.cues, c.cues);
        if (c.result != 0)
        {
            ExpectComposedFrom(image, CellMap(), game);
        }
    }
}

// The finer set: the same cells under every 2 x 2 block, tiles of their own.
bmp::Picture Doubled(const bmp::Picture& map)
{
    bmp::Picture fine = bmp::Make(2 * map.width, 2 * map.height, map.bitCount);
    fine.palette = map.palette;
    for (std::int32_t i = 0; i < fine.width * fine.height; ++i)
    {
        const std::int32_t x = i % fine.width;
        const std::int32_t y = i / fine.width;
        fine.At(x, y) = bmp::Picture(map).At(x / 2, y / 2);
    }
    return fine;
}

void WriteFineFiles(const bmp::Picture& map)
{
    for (int slot = 0; slot < kTileCount; ++slot)
    {
        bmp::WritePicture(kImageFiles2x[slot], Tile(slot, map.width, map.height));
    }
    bmp::WritePicture(kImageFiles2x[7], map);
}

TEST_F(ImagingTest, TheFinerSetIsShownOnlyWhereItLoadsAndKeepsTheCells)
{
    WriteBoardFiles();
    const bmp::Picture fine = Doubled(CellMap());
    bmp::Picture moved = fine; // one fine pixel of another cell than the pixel beneath
    moved.At(5, 5) = (moved.At(5, 5) + 1) % 176;
    const struct
    {
        const char* name;
        bmp::Picture map;
        double ratio;
        const char* missing;
        int scale;
    } cases[] = {
        {"ratio 2", fine, 2.0, nullptr, 2},
        {"ratio 1.25", fine, 1.25, nullptr, 2},
        {"ratio 1", fine, 1.0, nullptr, 1},
        {"a tile missing", fine, 2.0, "select@2x.bmp", 1},
        {"not twice the size", CellMap(), 2.0, nullptr, 1},
        {"a pixel of another cell", moved, 2.0, nullptr, 1},
    };
    CGameState game;
    game.NewGameWithSeed(3);
    game.ProcessClick(4, 5, nullptr);
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        WriteFineFiles(c.map);
        if (c.missing != nullptr)
        {
            std::filesystem::remove(c.missing);
        }
        CBoardImage image;
        ASSERT_EQ(image.Load(), 0u);
        ASSERT_EQ(image.Compose(game), 0u);
        image.SetDeviceRatio(c.ratio);
        EXPECT_EQ(image.ShownScale(), c.scale);
        EXPECT_EQ(image.FailedFile(), nullptr);
        // Shown at the logical size of the plain set; a point picks the fine pixel under it.
        const CBoardSet& shown = image.Shown();
        EXPECT_EQ(shown.Width(), c.scale * kWidth);
        for (std::int32_t i = 0; i < shown.Width() * shown.Height(); ++i)
        {
            const std::int32_t x = i % shown.Width();
            const std::int32_t y = i / shown.Width();
            const RgbQuad& e = *image.BaseSet().EntryAt(x / c.scale, y / c.scale);
            const std::uint32_t cell = CBoardSet::CellOfEntry(e);
            const int tile =
                cell == CBoardSet::kNoCell ? 0 : CBoardSet::TileOfCell(game.cells[cell]);
            ASSERT_EQ(shown.Pixels()[i], shown.TilePixel(tile, x, y)) << x << "," << y;
            std::uint32_t column = 99;
            std::uint32_t row = 99;
            ASSERT_TRUE(image.HitTest((x + 0.5) / c.scale, (y + 0.5) / c.scale, column, row));
            ASSERT_TRUE(column == e.red && row == e.blue) << x << "," << y;
        }
        image.SetDeviceRatio(1.0);
        EXPECT_EQ(image.ShownScale(), 1);
        ExpectComposedFrom(image, CellMap(), game);
    }
}

// Random play: every frame composed from the last one equals a full compose of its cells, on
// either set and across switches between them.
class FrameChecker : public IAnimator
{
public:
    FrameChecker(CBoardImage& image, const CGameState& game) : m_image(image), m_game(game)
    {
        const char* failed = nullptr;
        EXPECT_EQ(m_reference[0].Load(kImageFiles, failed), 0u);
        EXPECT_EQ(m_reference[1].Load(kImageFiles2x, failed), 0u);
    }
    void Step() override
    {
        m_image.Compose(m_game);
        Check();
    }
    void PlayCue(const char*) override {}
    void Check()
    {
        CBoardSet& reference = m_reference[m_image.ShownScale() - 1];
        reference.Invalidate();
        reference.Compose(m_game.cells);
        const std::size_t bytes =
            std::size_t(reference.Width()) * std::size_t(reference.Height()) * 4;
        ++frames;
        mismatches += std::memcmp(reference.Pixels(), m_image.Shown().Pixels(), bytes) != 0;
    }
    int frames = 0;
    int mismatches = 0;

private:
    CBoardImage& m_image;
    const CGameState& m_game;
    CBoardSet m_reference[2];
};

TEST_F(ImagingTest, EveryFrameOfRandomPlayEqualsAFullCompose)
{
    WriteBoardFiles();
    WriteFineFiles(Doubled(CellMap()));
    CBoardImage image;
    ASSERT_EQ(image.Load(), 0u);
    CGameState game;
    FrameChecker checker(image, game);
    unsigned random = 12345;
    const auto next = [&random] { return random = random * 1103515245u + 12345u, random >> 8; };
    for (std::uint32_t deal = 1; deal <= 6; ++deal)
    {
        game.NewGameWithSeed(deal);
        image.Compose(game);
        for (int click = 0; click < 400 && !game.gameOver; ++click)
        {
            if (next() % 17 == 0)
            {
                image.SetDeviceRatio(next() % 2 == 0 ? 1.0 : 2.0);
                checker.Check();
            }
            image.Click(next() % kWidth, next() % kHeight, game, &checker);
            checker.Check();
        }
    }
    EXPECT_GT(checker.frames, 1000);
    EXPECT_EQ(checker.mismatches, 0);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kUnderAsan = true;
#else
constexpr bool kUnderAsan = false;
#endif

// Under an address-space limit a little above what the process holds now, in a child so the
// limit dies with it: the crafted maps are refused before their derived data is built.
TEST_F(ImagingTest, CraftedCellMapsAreRefusedWithinAMemoryLimit)
{
    if (kUnderAsan)
    {
        GTEST_SKIP() << "the sanitizer reserves address space of its own";
    }
    const struct
    {
        const char* name;
        std::int32_t width, height;
        bool alternate;
    } cases[] = {
        // A few more stretches than allowed, refused before any tile is looked for.
        {"neighbours alternate between cells", 1025, 1024, true},
        {"wider than the reader takes", 16384, 1365, false},
        {"one pixel too tall", 8, CBoardSet::kMaxSide + 1, false},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        bmp::Picture map = bmp::Make(c.width, c.height, 8);
        map.palette = CellMap().palette;
        for (std::int32_t i = 0; c.alternate && i < c.width * c.height; ++i)
        {
            map.pixels[std::size_t(i)] = std::uint32_t(i % c.width + i / c.width) % 2;
        }
        bmp::WritePicture("matrix.bmp", map);
        map = bmp::Picture{};
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0)
        {
            rlimit limit{};
            getrlimit(RLIMIT_AS, &limit);
            std::ifstream status("/proc/self/statm");
            std::size_t pages = 0;
            status >> pages;
            limit.rlim_cur = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + (rlim_t{48} << 20);
            setrlimit(RLIMIT_AS, &limit);
            CBoardImage image;
            _exit(int(image.Load()));
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status)) << "the child ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), int(kErrorNotEnoughMemory));
    }
}

} // namespace
