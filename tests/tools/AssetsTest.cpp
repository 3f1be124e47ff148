#include "CBoardImage.h"
#include "CDibSectionBuffer.h"
#include "CWaveBuffer.h"
#include "DataFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <unistd.h>

namespace
{

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Runs the generator into data/ and res/ of a fresh temporary folder.
fs::path Generate(const std::string& tag)
{
    const fs::path dir =
        fs::temp_directory_path() / ("daviz-assets-" + tag + "-" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir / "data");
    fs::create_directories(dir / "res");
    const std::string command = std::string("\"") + DAVIZ_ASSETS_EXE + "\" \"" +
                                (dir / "data").string() + "\" \"" + (dir / "res").string() + "\"";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    return dir;
}

// The files every test looks at: generated once, removed when the program ends.
const fs::path& Generated()
{
    static const struct Folder
    {
        fs::path dir;
        ~Folder()
        {
            std::error_code ec;
            fs::remove_all(dir, ec);
        }
    } folder{Generate("main")};
    return folder.dir;
}

Bytes ReadAll(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// n bytes at `at`, little-endian, or big-endian for the PNG fields.
std::uint32_t Number(const Bytes& bytes, std::size_t at, int n, bool bigEndian = false)
{
    std::uint32_t value = 0;
    for (int i = 0; i < n; ++i)
    {
        value |= std::uint32_t(bytes.at(at + std::size_t(i))) << 8 * (bigEndian ? n - 1 - i : i);
    }
    return value;
}

std::string Tag(const Bytes& bytes, std::size_t at)
{
    return at + 4 <= bytes.size()
               ? std::string(bytes.begin() + long(at), bytes.begin() + long(at) + 4)
               : std::string();
}

TEST(Assets, TheGameLoadsTheBoardAndFindsEveryCellInItsPlace)
{
    const fs::path old = fs::current_path();
    fs::current_path(Generated() / "data");
    CBoardImage image;
    const std::uint32_t code = image.Load();
    CBoardImage fine;
    fine.Load();
    fine.SetDeviceRatio(2.0);
    fs::current_path(old);
    EXPECT_EQ(fine.ShownScale(), 2) << "the set at twice the pixels must agree with the plain one";
    ASSERT_EQ(code, 0u) << (image.FailedFile() != nullptr ? image.FailedFile() : "");

    const CBoardSet& set = image.BaseSet();
    const std::int32_t width = set.Width();
    const std::int32_t height = set.Height();
    EXPECT_TRUE(width >= 440 && width <= 454 && height >= 420 && height <= 440)
        << width << "x" << height;

    // Centre of each cell's pixels, the cell-map entries read as the game reads them.
    double sumX[176] = {};
    double sumY[176] = {};
    long count[176] = {};
    for (std::int32_t y = 0; y < height; ++y)
    {
        for (std::int32_t x = 0; x < width; ++x)
        {
            const RgbQuad& e = *set.EntryAt(x, y);
            if (e.green == 0 && e.red < 16 && e.blue < 11)
            {
                sumX[e.blue * 16 + e.red] += x;
                sumY[e.blue * 16 + e.red] += y;
                ++count[e.blue * 16 + e.red];
            }
        }
    }
    for (int cell = 0; cell < 176; ++cell)
    {
        ASSERT_GT(count[cell], 100) << "cell " << cell << " too small to click";
        sumX[cell] /= double(count[cell]);
        sumY[cell] /= double(count[cell]);
        // Column 0 at the left, row 0 at the top, row 10 at the bottom.
        EXPECT_TRUE(cell % 16 == 0 || sumX[cell] > sumX[cell - 1] + 10) << "cell " << cell;
        EXPECT_TRUE(cell < 16 || sumY[cell] > sumY[cell - 16] + 10) << "cell " << cell;
        for (const CBoardImage* shown : {&image, &fine})
        {
            std::uint32_t column = 99;
            std::uint32_t row = 99;
            EXPECT_TRUE(shown->HitTest(sumX[cell], sumY[cell], column, row) &&
                        column == std::uint32_t(cell % 16) && row == std::uint32_t(cell / 16))
                << "cell " << cell << " hit as " << column << "," << row;
        }
    }
    // The frame and the title are no cell: a click there acts on nothing.
    const double outside[][2] = {{0, 0}, {width / 2.0, 20}, {width - 1.0, height - 1.0}};
    for (const auto& p : outside)
    {
        std::uint32_t column = 0;
        std::uint32_t row = 0;
        EXPECT_TRUE(image.HitTest(p[0], p[1], column, row) &&
                    (column >= std::uint32_t(kBoardColumns) || row >= std::uint32_t(kBoardRows)))
            << p[0] << "," << p[1] << " hit as " << column << "," << row;
    }
}

TEST(Assets, CuesAreShortMonoPcmWavesClearOfClipping)
{
    for (const char* name : kCueFiles)
    {
        SCOPED_TRACE(name);
        CWaveBuffer cue;
        ASSERT_EQ(cue.LoadFromFile(Generated() / "data" / name), 0u);
        ASSERT_TRUE(cue.m_nChannels == 1 && cue.m_nBitsPerSample == 16);
        EXPECT_GT(cue.Frames(), cue.m_nSampleRate / 20);
        EXPECT_LT(cue.Frames(), cue.m_nSampleRate) << "a cue under a second";
        int peak = 0;
        for (std::size_t i = 0; i + 1 < cue.m_samples.size(); i += 2)
        {
            peak = std::max(
                peak, std::abs(int(std::int16_t(cue.m_samples[i] | cue.m_samples[i + 1] << 8))));
        }
        // Headroom below full scale, and loud enough to hear.
        EXPECT_LT(peak, 29000);
        EXPECT_GT(peak, 4000);
    }
}

TEST(Assets, IconsAndEmblemHaveTheirSizes)
{
    for (int size : {16, 24, 32, 48, 64, 128, 256})
    {
        const std::string name = "daviz-" + std::to_string(size) + ".png";
        const Bytes png = ReadAll(Generated() / "res" / name);
        const Bytes signature = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
        ASSERT_TRUE(png.size() > 33 && std::equal(signature.begin(), signature.end(), png.begin()))
            << name;
        ASSERT_EQ(Tag(png, 12), "IHDR") << name;
        EXPECT_EQ(Number(png, 16, 4, true), std::uint32_t(size)) << name;
        EXPECT_EQ(Number(png, 20, 4, true), std::uint32_t(size)) << name;
        EXPECT_EQ(png[24], 8) << name << ": 8 bits a channel";
        EXPECT_EQ(png[25], 6) << name << ": RGBA";
    }
    CDibSectionBuffer emblem;
    ASSERT_EQ(emblem.LoadFromFile(Generated() / "res" / "emblem.bmp"), 0u);
    EXPECT_EQ(emblem.Header()->width, 144);
    EXPECT_EQ(emblem.Header()->height, 144);
    EXPECT_EQ(emblem.Header()->bitCount, 8);
}

TEST(Assets, TheGeneratorWritesTheSameBytesEveryTime)
{
    const fs::path again = Generate("again");
    std::size_t files = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(Generated()))
    {
        if (!entry.is_regular_file())
            continue;
        const fs::path name = fs::relative(entry.path(), Generated());
        ++files;
        EXPECT_TRUE(ReadAll(entry.path()) == ReadAll(again / name)) << name << " differs";
    }
    EXPECT_GE(files, std::size(kImageFiles) + std::size(kImageFiles2x) + std::size(kCueFiles));
    fs::remove_all(again);
}

} // namespace
