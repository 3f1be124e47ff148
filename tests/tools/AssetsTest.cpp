#include "AssetReaders.h"
#include "GeneratedAssets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <set>

namespace
{

constexpr int kColumns = 16;
constexpr int kRows = 11;
constexpr int kCells = kColumns * kRows;

Bitmap LoadBitmap(const std::filesystem::path& path)
{
    Bitmap bmp;
    std::string why;
    EXPECT_TRUE(ParseBitmap(ReadAll(path), bmp, why)) << path << ": " << why;
    return bmp;
}

// The cell of a colour-table entry, or -1 for a pixel of no cell.
int CellOfEntry(const std::array<std::uint8_t, 4>& e)
{
    const int blue = e[0];
    const int green = e[1];
    const int red = e[2];
    return (green == 0 && red <= 15 && blue <= 10) ? blue * kColumns + red : -1;
}

struct CellStats
{
    long count = 0;
    double sumX = 0;
    double sumY = 0;
    int minX = 1 << 20;
    int minY = 1 << 20;
    int maxX = -1;
    int maxY = -1;
    double CentreX() const { return sumX / double(count); }
    double CentreY() const { return sumY / double(count); }
};

struct CellMap
{
    Bitmap bmp;
    std::vector<int> cellOf; // per pixel, top-down
    CellStats cells[kCells];
    long outside = 0;
};

const CellMap& Map()
{
    static const CellMap map = []
    {
        CellMap m;
        m.bmp = LoadBitmap(Generated().data / "matrix.bmp");
        if (m.bmp.bits != 8)
        {
            return m;
        }
        m.cellOf.resize(std::size_t(m.bmp.width) * m.bmp.height);
        for (int y = 0; y < m.bmp.height; ++y)
        {
            for (int x = 0; x < m.bmp.width; ++x)
            {
                const int cell = CellOfEntry(m.bmp.palette[*m.bmp.At(x, y)]);
                m.cellOf[std::size_t(y) * m.bmp.width + x] = cell;
                if (cell < 0)
                {
                    ++m.outside;
                    continue;
                }
                CellStats& s = m.cells[cell];
                ++s.count;
                s.sumX += x + 0.5;
                s.sumY += y + 0.5;
                s.minX = std::min(s.minX, x);
                s.minY = std::min(s.minY, y);
                s.maxX = std::max(s.maxX, x);
                s.maxY = std::max(s.maxY, y);
            }
        }
        return m;
    }();
    return map;
}

// Mean colour (red, green, blue) of one cell's pixels within 9 pixels of its centre, where the
// ball is, in a 24-bit tile.
struct Mean
{
    double r = 0;
    double g = 0;
    double b = 0;
    double Luma() const { return 0.299 * r + 0.587 * g + 0.114 * b; }
};

Mean CellMean(const Bitmap& tile, int cell)
{
    const CellMap& m = Map();
    Mean mean;
    long n = 0;
    const CellStats& s = m.cells[cell];
    for (int y = s.minY; y <= s.maxY; ++y)
    {
        for (int x = s.minX; x <= s.maxX; ++x)
        {
            const double dx = x + 0.5 - s.CentreX();
            const double dy = y + 0.5 - s.CentreY();
            if (m.cellOf[std::size_t(y) * m.bmp.width + x] != cell || dx * dx + dy * dy > 81)
            {
                continue;
            }
            const std::uint8_t* p = tile.At(x, y); // blue, green, red
            mean.b += p[0];
            mean.g += p[1];
            mean.r += p[2];
            ++n;
        }
    }
    mean.r /= double(n);
    mean.g /= double(n);
    mean.b /= double(n);
    return mean;
}

const char* const kTileNames[7] = {"empty.bmp",  "red.bmp",     "green.bmp", "blue.bmp",
                                   "yellow.bmp", "magenta.bmp", "select.bmp"};

const std::vector<Bitmap>& Tiles()
{
    static const std::vector<Bitmap> tiles = []
    {
        std::vector<Bitmap> t;
        for (const char* name : kTileNames)
        {
            t.push_back(LoadBitmap(Generated().data / name));
        }
        return t;
    }();
    return tiles;
}

} // namespace

TEST(CellMap, IsAnEightBitPictureThatFitsBesideTheScoreLine)
{
    const Bitmap& bmp = Map().bmp;
    ASSERT_EQ(bmp.bits, 8);
    EXPECT_LE(bmp.width, 454);
    EXPECT_GE(bmp.width, 440);
    EXPECT_LE(bmp.height, 440);
    EXPECT_GE(bmp.height, 420);
}

TEST(CellMap, EveryCellIsASolidRectangleOfItsOwn)
{
    const CellMap& m = Map();
    ASSERT_EQ(m.bmp.bits, 8);
    for (int cell = 0; cell < kCells; ++cell)
    {
        const CellStats& s = m.cells[cell];
        ASSERT_GE(s.count, 400) << "cell " << cell << " too small to click";
        const long box = long(s.maxX - s.minX + 1) * long(s.maxY - s.minY + 1);
        EXPECT_EQ(s.count, box) << "cell " << cell << " has stray or missing pixels";
        for (int other = 0; other < cell; ++other)
        {
            const CellStats& o = m.cells[other];
            const bool apart =
                s.maxX < o.minX || o.maxX < s.minX || s.maxY < o.minY || o.maxY < s.minY;
            EXPECT_TRUE(apart) << "cells " << cell << " and " << other << " overlap";
        }
    }
    // The frame and title are pixels of no cell.
    EXPECT_GT(m.outside, 20000);
}

TEST(CellMap, ColumnsRunLeftToRightAndRowsTopToBottom)
{
    const CellMap& m = Map();
    ASSERT_EQ(m.bmp.bits, 8);
    for (int row = 0; row < kRows; ++row)
    {
        for (int column = 1; column < kColumns; ++column)
        {
            const CellStats& left = m.cells[row * kColumns + column - 1];
            const CellStats& right = m.cells[row * kColumns + column];
            EXPECT_LT(left.CentreX(), right.CentreX()) << "row " << row << " col " << column;
            EXPECT_NEAR(left.CentreY(), right.CentreY(), 0.5);
        }
    }
    for (int column = 0; column < kColumns; ++column)
    {
        for (int row = 1; row < kRows; ++row)
        {
            const CellStats& above = m.cells[(row - 1) * kColumns + column];
            const CellStats& below = m.cells[row * kColumns + column];
            EXPECT_LT(above.CentreY(), below.CentreY()) << "col " << column << " row " << row;
        }
    }
}

TEST(CellMap, GridSitsCentredAtTheBottomUnderTheTitle)
{
    const CellMap& m = Map();
    ASSERT_EQ(m.bmp.bits, 8);
    const CellStats& topLeft = m.cells[0];
    const CellStats& bottomRight = m.cells[kCells - 1];
    const int left = topLeft.minX;
    const int right = m.bmp.width - 1 - bottomRight.maxX;
    EXPECT_LE(std::abs(left - right), 1);
    EXPECT_LE(m.bmp.height - 1 - bottomRight.maxY, 8);
    EXPECT_GE(topLeft.minY, 80) << "no room left for the title";
}

TEST(Tiles, AreTwentyFourBitAndTheCellMapsSize)
{
    const CellMap& m = Map();
    for (std::size_t i = 0; i < Tiles().size(); ++i)
    {
        const Bitmap& tile = Tiles()[i];
        EXPECT_EQ(tile.bits, 24) << kTileNames[i];
        EXPECT_EQ(tile.width, m.bmp.width) << kTileNames[i];
        EXPECT_EQ(tile.height, m.bmp.height) << kTileNames[i];
    }
}

TEST(Tiles, EveryBallTileHasItsColourInEveryCell)
{
    ASSERT_EQ(Map().bmp.bits, 8);
    struct Expect
    {
        int slot;
        bool (*looks)(const Mean&);
    };
    const Expect table[] = {
        {1, [](const Mean& c) { return c.r > c.g + 50 && c.r > c.b + 50; }},
        {2, [](const Mean& c) { return c.g > c.r + 40 && c.g > c.b + 40; }},
        {3, [](const Mean& c) { return c.b > c.r + 50 && c.b > c.g + 30; }},
        {4, [](const Mean& c) { return c.r > c.b + 60 && c.g > c.b + 50; }},
        {5, [](const Mean& c) { return c.r > c.g + 50 && c.b > c.g + 50; }},
    };
    for (const Expect& e : table)
    {
        ASSERT_EQ(Tiles()[std::size_t(e.slot)].bits, 24);
        for (int cell = 0; cell < kCells; ++cell)
        {
            const Mean c = CellMean(Tiles()[std::size_t(e.slot)], cell);
            EXPECT_TRUE(e.looks(c)) << kTileNames[e.slot] << " cell " << cell << ": " << c.r << ","
                                    << c.g << "," << c.b;
        }
    }
}

TEST(Tiles, SelectedCellsOutshineEveryBallAndEmptyCellsLieBelowThem)
{
    ASSERT_EQ(Map().bmp.bits, 8);
    for (const Bitmap& tile : Tiles())
    {
        ASSERT_EQ(tile.bits, 24);
    }
    for (int cell = 0; cell < kCells; ++cell)
    {
        const double empty = CellMean(Tiles()[0], cell).Luma();
        const double selected = CellMean(Tiles()[6], cell).Luma();
        for (int slot = 1; slot <= 5; ++slot)
        {
            const double ball = CellMean(Tiles()[std::size_t(slot)], cell).Luma();
            EXPECT_GT(selected, ball + 15) << "cell " << cell << " " << kTileNames[slot];
            EXPECT_LT(empty, ball - 25) << "cell " << cell << " " << kTileNames[slot];
        }
    }
}

// Each colour carries a mark of its own shape at the ball's centre, so players who cannot tell
// the colours apart can still play.
TEST(Tiles, EveryColourCarriesADifferentMark)
{
    const CellMap& m = Map();
    ASSERT_EQ(m.bmp.bits, 8);
    std::vector<std::set<std::pair<int, int>>> marks;
    for (int cell : {0, 5 * kColumns + 7, kCells - 1})
    {
        const CellStats& s = m.cells[cell];
        const int cx = int(std::lround(s.CentreX() - 0.5));
        const int cy = int(std::lround(s.CentreY() - 0.5));
        marks.clear();
        for (int slot = 1; slot <= 5; ++slot)
        {
            const Bitmap& tile = Tiles()[std::size_t(slot)];
            ASSERT_EQ(tile.bits, 24);
            // Pixels near the centre whose hue departs from the ball's; hue rather than
            // brightness, so the shading of the sphere does not count as a mark.
            struct Chroma
            {
                int x;
                int y;
                double r;
                double g;
            };
            std::vector<Chroma> patch;
            for (int dy = -5; dy <= 5; ++dy)
            {
                for (int dx = -5; dx <= 5; ++dx)
                {
                    if (dx * dx + dy * dy > 30)
                    {
                        continue;
                    }
                    const std::uint8_t* p = tile.At(cx + dx, cy + dy);
                    const double sum = double(p[0]) + p[1] + p[2] + 1;
                    patch.push_back({dx, dy, p[2] / sum, p[1] / sum});
                }
            }
            auto median = [&patch](double Chroma::*field)
            {
                std::vector<double> v;
                for (const Chroma& c : patch)
                {
                    v.push_back(c.*field);
                }
                std::nth_element(v.begin(), v.begin() + std::ptrdiff_t(v.size() / 2), v.end());
                return v[v.size() / 2];
            };
            const double bodyR = median(&Chroma::r);
            const double bodyG = median(&Chroma::g);
            std::set<std::pair<int, int>> mark;
            for (const Chroma& c : patch)
            {
                if (std::fabs(c.r - bodyR) + std::fabs(c.g - bodyG) > 0.08)
                {
                    mark.insert({c.x, c.y});
                }
            }
            EXPECT_GE(mark.size(), 8u) << kTileNames[slot] << " has no visible mark";
            marks.push_back(mark);
        }
        for (std::size_t a = 0; a < marks.size(); ++a)
        {
            for (std::size_t b = 0; b < a; ++b)
            {
                std::vector<std::pair<int, int>> diff;
                std::set_symmetric_difference(marks[a].begin(), marks[a].end(), marks[b].begin(),
                                              marks[b].end(), std::back_inserter(diff));
                EXPECT_GE(diff.size(), 8u)
                    << kTileNames[a + 1] << " and " << kTileNames[b + 1] << " look alike";
            }
        }
    }
}

TEST(Waves, AreShortCleanMonoPcmCues)
{
    const char* const names[] = {"select.wav", "remove.wav", "empty.wav", "gameover.wav"};
    std::vector<std::vector<std::int16_t>> all;
    for (const char* name : names)
    {
        Wave wave;
        std::string why;
        ASSERT_TRUE(ParseWave(ReadAll(Generated().data / name), wave, why)) << name << why;
        EXPECT_TRUE(wave.sampleRate == 22050 || wave.sampleRate == 44100) << name;
        const double seconds = double(wave.samples.size()) / wave.sampleRate;
        EXPECT_LT(seconds, 1.0) << name;
        EXPECT_GT(seconds, 0.05) << name;
        int peak = 0;
        double sum = 0;
        for (std::int16_t s : wave.samples)
        {
            peak = std::max(peak, std::abs(int(s)));
            sum += s;
        }
        // Moderate level, well clear of clipping.
        const double dbfs = 20 * std::log10(peak / 32768.0);
        EXPECT_LT(dbfs, -3.0) << name;
        EXPECT_GT(dbfs, -12.0) << name;
        EXPECT_LT(std::fabs(sum / double(wave.samples.size())), 200.0) << name << " DC offset";
        // Faded in and out, so no click at either end.
        ASSERT_GT(wave.samples.size(), 16u);
        for (std::size_t i = 0; i < 4; ++i)
        {
            EXPECT_LT(std::abs(int(wave.samples[i])), 400) << name << " start";
            EXPECT_LT(std::abs(int(wave.samples[wave.samples.size() - 1 - i])), 400)
                << name << " end";
        }
        all.push_back(wave.samples);
    }
    for (std::size_t a = 0; a < all.size(); ++a)
    {
        for (std::size_t b = 0; b < a; ++b)
        {
            EXPECT_NE(all[a], all[b]) << names[a] << " and " << names[b];
        }
    }
}

TEST(Emblem, IsRingsOfTheFiveColoursOnWhite)
{
    const Bitmap bmp = LoadBitmap(Generated().res / "emblem.bmp");
    ASSERT_EQ(bmp.bits, 8);
    ASSERT_EQ(bmp.width, 144);
    ASSERT_EQ(bmp.height, 144);
    for (auto [x, y] : {std::pair{0, 0}, {143, 0}, {0, 143}, {143, 143}})
    {
        const auto& e = bmp.palette[*bmp.At(x, y)];
        EXPECT_GE(std::min({e[0], e[1], e[2]}), 245) << "corner " << x << "," << y;
    }
    struct Hue
    {
        const char* name;
        bool (*is)(int r, int g, int b);
    };
    const Hue hues[] = {
        {"red", [](int r, int g, int b) { return r > 170 && g < 90 && b < 90; }},
        {"green", [](int r, int g, int b) { return g > 130 && r < 100 && b < 110; }},
        {"blue", [](int r, int g, int b) { return b > 170 && r < 90 && g < 130; }},
        {"yellow", [](int r, int g, int b) { return r > 180 && g > 150 && b < 90; }},
        {"magenta", [](int r, int g, int b) { return r > 150 && b > 150 && g < 90; }},
    };
    for (const Hue& hue : hues)
    {
        long n = 0;
        double sx = 0;
        double sy = 0;
        for (int y = 0; y < 144; ++y)
        {
            for (int x = 0; x < 144; ++x)
            {
                const auto& e = bmp.palette[*bmp.At(x, y)];
                if (hue.is(e[2], e[1], e[0]))
                {
                    ++n;
                    sx += x + 0.5;
                    sy += y + 0.5;
                }
            }
        }
        ASSERT_GE(n, 40) << hue.name;
        // Rings share the picture's centre.
        EXPECT_NEAR(sx / double(n), 72.0, 3.0) << hue.name;
        EXPECT_NEAR(sy / double(n), 72.0, 3.0) << hue.name;
    }
}

TEST(Icon, PngsAreRgbaAtTheirSizesWithTransparentCorners)
{
    for (int size : {16, 32, 48})
    {
        Png png;
        std::string why;
        const auto name = "daviz-" + std::to_string(size) + ".png";
        ASSERT_TRUE(ParsePng(ReadAll(Generated().res / name), png, why)) << name << ": " << why;
        EXPECT_EQ(png.width, size);
        EXPECT_EQ(png.height, size);
        EXPECT_EQ(png.rgba[3], 0) << name;
        long opaque = 0;
        for (std::size_t i = 3; i < png.rgba.size(); i += 4)
        {
            opaque += png.rgba[i] >= 128 ? 1 : 0;
        }
        EXPECT_GT(opaque, long(size) * size / 2) << name << " too faint to read";
    }
}

TEST(Icon, IcoHoldsThe8BitImagesWithMasksMatchingThePngs)
{
    const Bytes ico = ReadAll(Generated().res / "daviz.ico");
    ASSERT_GE(ico.size(), 6u + 3 * 16);
    EXPECT_EQ(Le16(ico, 0), 0u);
    EXPECT_EQ(Le16(ico, 2), 1u);
    ASSERT_EQ(Le16(ico, 4), 3u);
    std::size_t previousEnd = 6 + 3 * 16;
    const int sizes[3] = {16, 32, 48};
    for (int i = 0; i < 3; ++i)
    {
        const int size = sizes[i];
        const std::size_t entry = 6 + 16 * std::size_t(i);
        EXPECT_EQ(ico[entry], size);
        EXPECT_EQ(ico[entry + 1], size);
        EXPECT_EQ(Le16(ico, entry + 4), 1u);
        EXPECT_EQ(Le16(ico, entry + 6), 8u);
        const std::uint32_t length = Le32(ico, entry + 8);
        const std::uint32_t offset = Le32(ico, entry + 12);
        ASSERT_GE(offset, previousEnd) << "images overlap";
        ASSERT_LE(std::size_t(offset) + length, ico.size());
        previousEnd = offset + length;

        const std::size_t colourStride = (std::size_t(size) + 3) / 4 * 4;
        const std::size_t maskStride = (std::size_t(size) + 31) / 32 * 4;
        ASSERT_EQ(length, 40 + 1024 + (colourStride + maskStride) * std::size_t(size));
        EXPECT_EQ(Le32(ico, offset), 40u);
        EXPECT_EQ(Le32(ico, offset + 4), std::uint32_t(size));
        EXPECT_EQ(Le32(ico, offset + 8), std::uint32_t(size * 2));
        EXPECT_EQ(Le16(ico, offset + 14), 8u);
        EXPECT_EQ(Le32(ico, offset + 16), 0u);

        Png png;
        std::string why;
        ASSERT_TRUE(ParsePng(ReadAll(Generated().res / ("daviz-" + std::to_string(size) + ".png")),
                             png, why));
        const std::size_t palette = offset + 40;
        const std::size_t colours = palette + 1024;
        const std::size_t mask = colours + colourStride * std::size_t(size);
        int worst = 0;
        for (int y = 0; y < size; ++y)
        {
            const int fileRow = size - 1 - y;
            for (int x = 0; x < size; ++x)
            {
                const bool transparent =
                    (ico[mask + maskStride * std::size_t(fileRow) + std::size_t(x) / 8] &
                     (0x80 >> (x % 8))) != 0;
                const std::uint8_t* want = &png.rgba[(std::size_t(y) * size + x) * 4];
                EXPECT_EQ(transparent, want[3] < 128) << size << ": " << x << "," << y;
                const std::size_t e =
                    palette + 4 * std::size_t(ico[colours + colourStride * fileRow + x]);
                if (transparent)
                {
                    // Anything but black there would invert the screen behind the icon.
                    EXPECT_EQ(ico[e] | ico[e + 1] | ico[e + 2], 0) << size << ": " << x << "," << y;
                    continue;
                }
                worst = std::max({worst, std::abs(int(ico[e + 2]) - want[0]),
                                  std::abs(int(ico[e + 1]) - want[1]),
                                  std::abs(int(ico[e]) - want[2])});
            }
        }
        EXPECT_LE(worst, 40) << "palette too coarse at " << size;
    }
}

TEST(Generator, WritesTheSameBytesEveryTime)
{
    for (const char* tag : {"again1", "again2"})
    {
        const std::filesystem::path dir = MakeTempFolder(tag);
        ASSERT_EQ(
            RunGenerator("\"" + (dir / "data").string() + "\" \"" + (dir / "res").string() + "\""),
            0);
        for (const char* name : kDataFiles)
        {
            const Bytes first = ReadAll(Generated().data / name);
            EXPECT_FALSE(first.empty()) << name;
            EXPECT_TRUE(first == ReadAll(dir / "data" / name)) << name << " differs";
        }
        for (const char* name : kResFiles)
        {
            const Bytes first = ReadAll(Generated().res / name);
            EXPECT_FALSE(first.empty()) << name;
            EXPECT_TRUE(first == ReadAll(dir / "res" / name)) << name << " differs";
        }
        std::filesystem::remove_all(dir);
    }
}

TEST(Generator, FailsOnBadArgumentsOrAnUnwritableFolder)
{
    EXPECT_NE(RunGenerator(""), 0);
    EXPECT_NE(RunGenerator("only-one"), 0);
    EXPECT_NE(RunGenerator("/nonexistent/daviz/data /nonexistent/daviz/res"), 0);
}

TEST(Generator, PreviewComposesTheBoardFromTheDataFolder)
{
    const std::filesystem::path dir = MakeTempFolder("preview");
    const std::filesystem::path out = dir / "preview.png";
    ASSERT_EQ(
        RunGenerator("--preview \"" + out.string() + "\" \"" + Generated().data.string() + "\""),
        0);
    Png png;
    std::string why;
    EXPECT_TRUE(ParsePng(ReadAll(out), png, why)) << why;
    EXPECT_NE(RunGenerator("--preview \"" + out.string() + "\" \"" + (dir / "res").string() + "\""),
              0)
        << "an empty folder must be refused";
    std::filesystem::remove_all(dir);
}
