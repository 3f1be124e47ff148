#include "BmpFile.h"
#include "CBoardImage.h"
#include "CGameState.h"
#include "ErrorCodes.h"
#include "IAnimator.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace
{

constexpr std::int32_t kWidth = 13; // 39 bytes a row: one byte of padding
constexpr std::int32_t kHeight = 9;

// Cell-map palette: entries 0 to 175 are the cells in board order; a few more lie outside.
constexpr std::uint32_t kGreenInRange = 200; // green set, red 2, blue 3
constexpr std::uint32_t kFarAway = 201;      // red 200, blue 200
constexpr std::uint32_t kColumn16 = 202;
constexpr std::uint32_t kRow11 = 203; // red 5, blue 11
constexpr std::uint32_t kWhite = 255;

std::vector<bmp::Colour> CellMapPalette()
{
    std::vector<bmp::Colour> palette(256, bmp::Colour{255, 255, 255});
    for (std::uint32_t i = 0; i < 176; ++i)
    {
        palette[i] =
            bmp::Colour{static_cast<std::uint8_t>(i / 16), 0, static_cast<std::uint8_t>(i % 16)};
    }
    palette[kGreenInRange] = bmp::Colour{3, 1, 2};
    palette[kFarAway] = bmp::Colour{200, 0, 200};
    palette[kColumn16] = bmp::Colour{0, 0, 16};
    palette[kRow11] = bmp::Colour{11, 0, 5};
    return palette;
}

// Cells scattered over the map so that no cell is a rectangle, two whole rows of cell (0, 0)
// that meet across a row end, and a frame of pixels of no cell.
bmp::Picture CellMap()
{
    bmp::Picture map = bmp::Make(kWidth, kHeight, 8);
    map.palette = CellMapPalette();
    const std::uint32_t outside[] = {kGreenInRange, kFarAway, kColumn16, kRow11, kWhite};
    for (std::int32_t y = 0; y < kHeight; ++y)
    {
        for (std::int32_t x = 0; x < kWidth; ++x)
        {
            std::uint32_t index = static_cast<std::uint32_t>(x * 37 + y * 11) % 176;
            if (y >= 6)
            {
                index = 0;
            }
            if (x == kWidth - 1 || y == 0)
            {
                index = outside[static_cast<std::uint32_t>(x + y) % 5];
            }
            map.At(x, y) = index;
        }
    }
    // Cells the click tests aim at.
    map.At(1, 1) = 5 * 16 + 4;
    map.At(2, 1) = 10 * 16 + 0;
    map.At(3, 1) = 17;
    return map;
}

// Tile slot s: red tells the slot, green and blue the position, so a pixel from the wrong tile or
// the wrong place shows.
std::uint32_t TilePixel(int slot, std::int32_t x, std::int32_t y)
{
    return (static_cast<std::uint32_t>(40 * slot + 1) << 16) |
           (static_cast<std::uint32_t>(x) << 8) | static_cast<std::uint32_t>(y);
}

bmp::Picture Tile(int slot, std::int32_t width = kWidth, std::int32_t height = kHeight)
{
    bmp::Picture tile = bmp::Make(width, height, 24);
    for (std::int32_t y = 0; y < height; ++y)
    {
        for (std::int32_t x = 0; x < width; ++x)
        {
            tile.At(x, y) = TilePixel(slot, x, y);
        }
    }
    return tile;
}

void WriteBoardFiles(const bmp::Picture& map = CellMap())
{
    for (int slot = 0; slot < kTileCount; ++slot)
    {
        bmp::WritePicture(g_imageFiles[slot], Tile(slot));
    }
    bmp::WritePicture("matrix.bmp", map);
}

// The tile a pixel must come from, worked out from the cell-map picture as it was written.
int ExpectedSlot(const bmp::Picture& map, const CGameState& game, std::int32_t x, std::int32_t y)
{
    const bmp::Colour entry = map.palette[map.pixels[static_cast<std::size_t>(y * map.width + x)]];
    if (entry.green != 0 || entry.red > 15 || entry.blue > 10)
    {
        return 0;
    }
    const Cell cell = game.cells[entry.blue * 16 + entry.red];
    if ((cell.flags & 1u) != 0)
    {
        return 6;
    }
    return cell.colour >= 1 && cell.colour <= 5 ? static_cast<int>(cell.colour) : 0;
}

std::uint32_t ComposedPixel(const CBoardImage& image, std::int32_t x, std::int32_t y)
{
    const std::uint8_t* p = image.m_target.GetRowAddress(y) + 3 * x;
    return p[0] | (p[1] << 8) | (static_cast<std::uint32_t>(p[2]) << 16);
}

void ExpectComposedFrom(const CBoardImage& image, const bmp::Picture& map, const CGameState& game)
{
    for (std::int32_t y = 0; y < kHeight; ++y)
    {
        for (std::int32_t x = 0; x < kWidth; ++x)
        {
            const int slot = ExpectedSlot(map, game, x, y);
            ASSERT_EQ(ComposedPixel(image, x, y), TilePixel(slot, x, y))
                << "pixel " << x << "," << y << " should come from " << g_imageFiles[slot];
        }
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

bool AllEmpty(const CBoardImage& image)
{
    bool empty = image.m_matrix.m_pBits == nullptr && image.m_target.m_pBits == nullptr;
    for (const CDibSectionBuffer& tile : image.m_tiles)
    {
        empty = empty && tile.m_pBits == nullptr;
    }
    return empty;
}

class RecordingAnimator : public IAnimator
{
public:
    void Step() override { ++steps; }
    void PlayCue(const char* fileName) override { cues.emplace_back(fileName); }
    int steps = 0;
    std::vector<std::string> cues;
};

class BoardImageTest : public TempFolderTest
{
};

// ---------------------------------------------------------------- loading

TEST_F(BoardImageTest, LoadsTheEightFilesAndMakesAPictureOfTheCellMapsSize)
{
    const struct
    {
        const char* name;
        bmp::Layout mapLayout;
        bmp::Layout tileLayout;
    } cases[] = {
        {"plain files", {}, {}},
        {"top-down cell map", {40, true}, {}},
        {"top-down tiles, v5 headers", {124}, {124, true}},
        {"core-header cell map", {12}, {40, true}},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        for (int slot = 0; slot < kTileCount; ++slot)
        {
            bmp::WritePicture(g_imageFiles[slot], Tile(slot), c.tileLayout);
        }
        bmp::WritePicture("matrix.bmp", CellMap(), c.mapLayout);
        CBoardImage image;
        ASSERT_EQ(image.Load(), 0u);
        EXPECT_TRUE(image.m_bLoaded);
        EXPECT_EQ(image.FailedFile(), nullptr);
        EXPECT_EQ(image.m_target.m_pHeader->width, kWidth);
        EXPECT_EQ(image.m_target.m_pHeader->height, kHeight);
        EXPECT_EQ(image.m_target.m_pHeader->bitCount, 24);
        EXPECT_EQ(image.m_nOriginX, 0);
        EXPECT_EQ(image.m_nOriginY, 0);
        ASSERT_EQ(image.Compose(Board(3)), 0u);
        ExpectComposedFrom(image, CellMap(), Board(3));
    }
}

struct LoadFailure
{
    const char* name;
    std::function<void()> spoil;
    std::uint32_t code;
    const char* failedFile;
};

// Files after the failing one are made unreadable in a way that would give another code, so a
// loader that went on would be caught by the code or the named file.
void SpoilFrom(int slot)
{
    for (int later = slot; later < kTileCount; ++later)
    {
        std::filesystem::remove(g_imageFiles[later]);
        std::filesystem::create_directory(g_imageFiles[later]);
    }
}

TEST_F(BoardImageTest, StopsAtTheFirstBadFileAndEndsFullyReset)
{
    const LoadFailure cases[] = {
        {"cell map missing",
         []
         {
             std::filesystem::remove("matrix.bmp");
             SpoilFrom(0);
         },
         kErrorFileNotFound, "matrix.bmp"},
        {"cell map 24-bit",
         []
         {
             bmp::WritePicture("matrix.bmp", Tile(0));
             SpoilFrom(0);
         },
         kErrorInvalidParameter, "matrix.bmp"},
        {"cell map 4-bit", [] { bmp::WritePicture("matrix.bmp", bmp::Make(kWidth, kHeight, 4)); },
         kErrorInvalidParameter, "matrix.bmp"},
        {"cell map compressed",
         [] {
             bmp::WritePicture("matrix.bmp", CellMap(), {40, false, 1});
         },
         kErrorInvalidParameter, "matrix.bmp"},
        {"cell map truncated",
         []
         {
             auto bytes = bmp::Encode(CellMap());
             bytes.resize(bytes.size() - 1);
             bmp::WriteFile("matrix.bmp", bytes);
         },
         kErrorInvalidData, "matrix.bmp"},
        {"empty.bmp is a folder", [] { SpoilFrom(0); }, kErrorInvalidData, "empty.bmp"},
        {"red.bmp missing",
         []
         {
             SpoilFrom(2);
             std::filesystem::remove("red.bmp");
         },
         kErrorFileNotFound, "red.bmp"},
        {"green.bmp 8-bit",
         []
         {
             bmp::WritePicture("green.bmp", CellMap());
             SpoilFrom(3);
         },
         kErrorInvalidParameter, "green.bmp"},
        {"blue.bmp one pixel narrower",
         []
         {
             bmp::WritePicture("blue.bmp", Tile(3, kWidth - 1, kHeight));
             SpoilFrom(4);
         },
         kErrorInvalidParameter, "blue.bmp"},
        {"yellow.bmp one pixel lower",
         []
         {
             bmp::WritePicture("yellow.bmp", Tile(4, kWidth, kHeight - 1));
             SpoilFrom(5);
         },
         kErrorInvalidParameter, "yellow.bmp"},
        {"magenta.bmp one pixel wider",
         []
         {
             bmp::WritePicture("magenta.bmp", Tile(5, kWidth + 1, kHeight));
             SpoilFrom(6);
         },
         kErrorInvalidParameter, "magenta.bmp"},
        {"select.bmp one pixel higher",
         [] { bmp::WritePicture("select.bmp", Tile(6, kWidth, kHeight + 1)); },
         kErrorInvalidParameter, "select.bmp"},
        {"select.bmp 32-bit",
         [] { bmp::WritePicture("select.bmp", bmp::Make(kWidth, kHeight, 32)); },
         kErrorInvalidParameter, "select.bmp"},
        {"select.bmp compressed",
         [] {
             bmp::WritePicture("select.bmp", Tile(6), {40, false, 3});
         },
         kErrorInvalidParameter, "select.bmp"},
        {"select.bmp truncated",
         []
         {
             auto bytes = bmp::Encode(Tile(6));
             bytes.resize(60);
             bmp::WriteFile("select.bmp", bytes);
         },
         kErrorInvalidData, "select.bmp"},
    };
    for (const LoadFailure& c : cases)
    {
        SCOPED_TRACE(c.name);
        for (int slot = 0; slot < kTileCount; ++slot)
        {
            std::filesystem::remove_all(g_imageFiles[slot]);
        }
        WriteBoardFiles();
        c.spoil();
        CBoardImage image;
        EXPECT_EQ(image.Load(), c.code);
        ASSERT_NE(image.FailedFile(), nullptr);
        EXPECT_STREQ(image.FailedFile(), c.failedFile);
        EXPECT_FALSE(image.m_bLoaded);
        EXPECT_TRUE(AllEmpty(image));
        EXPECT_EQ(image.m_nOriginX, 0);
        EXPECT_EQ(image.m_nOriginY, 0);
        EXPECT_EQ(image.Compose(Board(1)), kErrorNotReady);
    }
}

TEST_F(BoardImageTest, LoadOnALoadedObjectFailsAndAFreshLoadForgetsTheFailure)
{
    WriteBoardFiles();
    CBoardImage image;
    ASSERT_EQ(image.Load(), 0u);
    image.m_nOriginX = 20;
    EXPECT_EQ(image.Load(), kErrorInvalidParameter);
    EXPECT_FALSE(image.m_bLoaded);
    EXPECT_TRUE(AllEmpty(image));
    EXPECT_EQ(image.m_nOriginX, 0);
    EXPECT_STREQ(image.FailedFile(), "matrix.bmp");

    image.Reset();
    EXPECT_STREQ(image.FailedFile(), "matrix.bmp");
    ASSERT_EQ(image.Load(), 0u);
    EXPECT_EQ(image.FailedFile(), nullptr);
    EXPECT_TRUE(image.m_bLoaded);
}

// ---------------------------------------------------------------- composition

TEST_F(BoardImageTest, EveryPixelComesFromTheTileOfItsCellsState)
{
    struct Case
    {
        const char* name;
        std::function<CGameState()> board;
    };
    const Case cases[] = {
        {"all empty", [] { return Board(0); }},
        {"all red", [] { return Board(1); }},
        {"all green", [] { return Board(2); }},
        {"all blue", [] { return Board(3); }},
        {"all yellow", [] { return Board(4); }},
        {"all magenta", [] { return Board(5); }},
        {"colour 6", [] { return Board(6); }},
        {"colour far out of range", [] { return Board(0xFFFFFFFFu); }},
        {"all selected, colour 0", [] { return Board(0, kCellSelected); }},
        {"all selected, magenta", [] { return Board(5, kCellSelected); }},
        {"selected cell (0, 0) beside pixels of no cell",
         []
         {
             CGameState game = Board(2);
             game.cells[0] = Cell{0, kCellSelected};
             return game;
         }},
        {"cell (2, 3) holds a ball, but its green-marked pixels stay empty",
         []
         {
             CGameState game = Board(0);
             game.cells[3 * 16 + 2] = Cell{4, 0};
             return game;
         }},
    };
    WriteBoardFiles();
    CBoardImage image;
    ASSERT_EQ(image.Load(), 0u);
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const CGameState game = c.board();
        ASSERT_EQ(image.Compose(game), 0u);
        ExpectComposedFrom(image, CellMap(), game);
    }
}

TEST_F(BoardImageTest, DealtBoardsWithASelectionComposeLikeTheModel)
{
    WriteBoardFiles();
    CBoardImage image;
    ASSERT_EQ(image.Load(), 0u);
    RecordingAnimator animator;
    for (unsigned seed = 1; seed <= 40; ++seed)
    {
        SCOPED_TRACE(seed);
        CGameState game;
        game.NewGameWithSeed(seed);
        game.ProcessClick(seed % 16, seed % 11, &animator);
        ASSERT_EQ(image.Compose(game), 0u);
        ExpectComposedFrom(image, CellMap(), game);
    }
}

TEST_F(BoardImageTest, ThePictureDependsOnlyOnTheCellsNeverOnTheLastFrame)
{
    WriteBoardFiles();
    CBoardImage image;
    CBoardImage fresh;
    ASSERT_EQ(image.Load(), 0u);
    ASSERT_EQ(fresh.Load(), 0u);
    const std::size_t bytes = static_cast<std::size_t>(image.m_target.m_nStride) * kHeight;
    for (unsigned seed = 1; seed <= 10; ++seed)
    {
        CGameState game;
        game.NewGameWithSeed(seed);
        std::memset(image.m_target.m_pBits, 0xAB, bytes);
        ASSERT_EQ(image.Compose(Board(5, kCellSelected)), 0u);
        ASSERT_EQ(image.Compose(game), 0u);
        ASSERT_EQ(fresh.Compose(game), 0u);
        EXPECT_EQ(std::memcmp(image.m_target.m_pBits, fresh.m_target.m_pBits, bytes), 0);
    }
}

TEST_F(BoardImageTest, ACellMapWithNoEntryInRangeGivesTheEmptyPicture)
{
    bmp::Picture map = CellMap();
    for (bmp::Colour& entry : map.palette)
    {
        entry.green = 9;
    }
    WriteBoardFiles(map);
    CBoardImage image;
    ASSERT_EQ(image.Load(), 0u);
    ASSERT_EQ(image.Compose(Board(1, kCellSelected)), 0u);
    for (std::int32_t y = 0; y < kHeight; ++y)
    {
        EXPECT_EQ(std::memcmp(image.m_target.GetRowAddress(y), image.m_tiles[0].GetRowAddress(y),
                              3 * kWidth),
                  0)
            << "row " << y;
    }
}

TEST_F(BoardImageTest, NothingIsComposedWhileNotLoadedOrWhenAPictureWasTakenAway)
{
    CBoardImage image;
    EXPECT_EQ(image.Compose(Board(1)), kErrorNotReady);
    WriteBoardFiles();
    ASSERT_EQ(image.Load(), 0u);
    image.m_tiles[4].Reset();
    EXPECT_EQ(image.Compose(Board(4)), kErrorNotReady);
}

// ---------------------------------------------------------------- hit test and click

TEST_F(BoardImageTest, HitTestReadsRedAndBlueOfTheEntryUnderThePoint)
{
    WriteBoardFiles();
    const bmp::Picture map = CellMap();
    CBoardImage image;
    std::uint32_t column = 77;
    std::uint32_t row = 77;
    EXPECT_FALSE(image.HitTest(0, 0, column, row)) << "an empty cell map has no pixel";
    ASSERT_EQ(image.Load(), 0u);

    auto entryAt = [&](std::int32_t x, std::int32_t y)
    { return map.palette[map.pixels[static_cast<std::size_t>(y * kWidth + x)]]; };
    struct Case
    {
        std::int32_t originX, originY, x, y;
        bool hit;
        std::int32_t mapX, mapY; // the cell-map pixel hit
    };
    const Case cases[] = {
        {0, 0, 5, 5, true, 5, 5},
        {0, 0, 0, 0, true, 0, 0},
        {0, 0, kWidth - 1, kHeight - 1, true, kWidth - 1, kHeight - 1},
        {0, 0, -1, 0, false, 0, 0},
        {0, 0, 0, -1, false, 0, 0},
        {0, 0, kWidth, 0, false, 0, 0},
        {0, 0, 0, kHeight, false, 0, 0},
        {20, 30, 19, 40, false, 0, 0},
        {20, 30, 20, 30, true, 0, 0},
        {20, 30, 25, 35, true, 5, 5},
        {20, 30, 20 + kWidth, 30, false, 0, 0},
        {0, 0, INT_MIN, INT_MIN, false, 0, 0},
        {0, 0, INT_MAX, INT_MAX, false, 0, 0},
        // Far from the origin: the difference must not wrap round into the picture.
        {INT_MIN, INT_MIN, INT_MAX, INT_MAX, false, 0, 0},
        {INT_MAX, INT_MAX, INT_MIN + 3, INT_MIN + 3, false, 0, 0},
        {INT_MAX, 0, INT_MIN + 3, 3, false, 0, 0},
        {0, INT_MAX, 3, INT_MIN + 3, false, 0, 0},
        {INT_MAX - 2, INT_MAX - 2, INT_MAX, INT_MAX, true, 2, 2},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::Message() << "origin " << c.originX << "," << c.originY << " point "
                                        << c.x << "," << c.y);
        image.m_nOriginX = c.originX;
        image.m_nOriginY = c.originY;
        column = 77;
        row = 77;
        ASSERT_EQ(image.HitTest(c.x, c.y, column, row), c.hit);
        if (c.hit)
        {
            EXPECT_EQ(column, entryAt(c.mapX, c.mapY).red);
            EXPECT_EQ(row, entryAt(c.mapX, c.mapY).blue);
        }
        else
        {
            EXPECT_EQ(column, 77u);
            EXPECT_EQ(row, 77u);
        }
    }

    // Entries out of range or with green set still hit with their red and blue bytes.
    image.m_nOriginX = 0;
    image.m_nOriginY = 0;
    const struct
    {
        std::uint32_t index, column, row;
    } entries[] = {{kFarAway, 200, 200}, {kGreenInRange, 2, 3}, {kColumn16, 16, 0},
                   {kRow11, 5, 11},      {kWhite, 255, 255},    {17, 1, 1}};
    for (const auto& e : entries)
    {
        bool found = false;
        for (std::int32_t y = 0; y < kHeight && !found; ++y)
        {
            for (std::int32_t x = 0; x < kWidth && !found; ++x)
            {
                if (map.pixels[static_cast<std::size_t>(y * kWidth + x)] == e.index)
                {
                    found = true;
                    ASSERT_TRUE(image.HitTest(x, y, column, row));
                    EXPECT_EQ(column, e.column) << "entry " << e.index;
                    EXPECT_EQ(row, e.row) << "entry " << e.index;
                }
            }
        }
        EXPECT_TRUE(found) << "entry " << e.index << " is not on the map";
    }
}

// Finds the first pixel of the map whose palette index is the given one.
std::pair<std::int32_t, std::int32_t> PixelOfIndex(std::uint32_t index)
{
    const bmp::Picture map = CellMap();
    for (std::int32_t y = 0; y < kHeight; ++y)
    {
        for (std::int32_t x = 0; x < kWidth; ++x)
        {
            if (map.pixels[static_cast<std::size_t>(y * kWidth + x)] == index)
            {
                return {x, y};
            }
        }
    }
    return {-1, -1};
}

TEST_F(BoardImageTest, ClickRecomposesOnlyWhenTheRulesReportSomething)
{
    WriteBoardFiles();
    const auto [farX, farY] = PixelOfIndex(kFarAway);
    const auto [cellX, cellY] = PixelOfIndex(5 * 16 + 4); // cell (4, 5)
    ASSERT_GE(farX, 0);
    ASSERT_GE(cellX, 0);

    struct Case
    {
        const char* name;
        bool load;
        std::int32_t originX;
        std::int32_t x, y;
        std::uint32_t result;
        bool recomposed;
    };
    const Case cases[] = {
        {"not loaded", false, 0, cellX, cellY, 0, false},
        {"off the map", true, 0, -1, cellY, 0, false},
        {"outside the board: an empty cell", true, 0, farX, farY, 0, false},
        {"a ball of a group", true, 0, cellX, cellY, ResultSelected, true},
        {"a ball, measured from the last draw", true, 100, cellX + 100, cellY, ResultSelected,
         true},
        {"the same point without the origin", true, 100, cellX, cellY, 0, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        CBoardImage image;
        if (c.load)
        {
            ASSERT_EQ(image.Load(), 0u);
            image.m_nOriginX = c.originX;
            std::memset(image.m_target.m_pBits, 0xAB,
                        static_cast<std::size_t>(image.m_target.m_nStride) * kHeight);
        }
        CGameState game = Board(2);
        const CGameState before = game;
        RecordingAnimator animator;
        EXPECT_EQ(image.Click(c.x, c.y, game, &animator), c.result);
        if (c.result == 0 && !c.load)
        {
            EXPECT_EQ(animator.cues.size(), 0u) << "no rule may run";
            EXPECT_EQ(std::memcmp(game.cells, before.cells, sizeof game.cells), 0);
        }
        if (!c.load)
        {
            continue;
        }
        if (c.recomposed)
        {
            ExpectComposedFrom(image, CellMap(), game);
            EXPECT_EQ(game.cells[5 * 16 + 4].flags, kCellSelected);
        }
        else
        {
            EXPECT_EQ(ComposedPixel(image, 0, 0), 0xABABABu) << "the picture was recomposed";
        }
    }
}

TEST_F(BoardImageTest, ARemovalRunsTheAnimatorAndLeavesTheFinalBoardOnThePicture)
{
    WriteBoardFiles();
    CBoardImage image;
    ASSERT_EQ(image.Load(), 0u);
    const auto [x, y] = PixelOfIndex(10 * 16 + 0); // cell (0, 10)
    ASSERT_GE(x, 0);
    CGameState game;
    game.NewGameWithSeed(7);
    game.cells[10 * 16 + 0] = Cell{1, 0};
    game.cells[10 * 16 + 1] = Cell{1, 0};
    RecordingAnimator animator;
    ASSERT_EQ(image.Click(x, y, game, &animator), static_cast<std::uint32_t>(ResultSelected));
    const std::uint32_t result = image.Click(x, y, game, &animator);
    EXPECT_TRUE(result == ResultRemoved || result == ResultGameOver) << result;
    EXPECT_GT(animator.steps, 0);
    ExpectComposedFrom(image, CellMap(), game);
}

} // namespace
