// The asset generator: the game reads what it writes, the cues are fit to play, and every run
// writes the same bytes.
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

#include <unistd.h>

namespace
{

namespace fs = std::filesystem;

// Runs the generator into data/ and res/ of a fresh temporary folder.
fs::path Generate(const std::string& tag)
{
    const fs::path dir =
        fs::temp_directory_path() / ("daviz-assets-" + tag + "-" + std::to_string(getpid()));
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
        ~Folder() { fs::remove_all(dir); }
    } folder{Generate("main")};
    return folder.dir;
}

std::string ReadAll(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Each cell's pixels lie left of the next column's and above the next row's, and a point at
// their centre hits that cell in either set; the frame and the title are no cell.
TEST(Assets, TheGameFindsEveryCellInItsPlaceInBothSets)
{
    const fs::path old = fs::current_path();
    fs::current_path(Generated() / "data");
    CBoardImage image, fine;
    const std::uint32_t code = image.Load();
    fine.Load();
    fine.SetDeviceRatio(2.0);
    fs::current_path(old);
    ASSERT_EQ(code, 0u) << (image.FailedFile() != nullptr ? image.FailedFile() : "");
    EXPECT_EQ(fine.ShownScale(), 2) << "the set at twice the pixels must agree with the plain one";
    const CBoardSet& set = image.BaseSet();
    double sumX[kBoardCells] = {}, sumY[kBoardCells] = {};
    long count[kBoardCells] = {};
    for (std::int32_t i = 0; i < set.Width() * set.Height(); ++i)
    {
        const std::uint32_t cell =
            CBoardSet::CellOfEntry(*set.EntryAt(i % set.Width(), i / set.Width()));
        if (cell != CBoardSet::kNoCell)
        {
            sumX[cell] += i % set.Width();
            sumY[cell] += i / set.Width();
            ++count[cell];
        }
    }
    for (int cell = 0; cell < kBoardCells; ++cell)
    {
        ASSERT_GT(count[cell], 100) << "cell " << cell << " too small to click";
        sumX[cell] /= double(count[cell]);
        sumY[cell] /= double(count[cell]);
        EXPECT_TRUE(cell % 16 == 0 || sumX[cell] > sumX[cell - 1] + 10) << "cell " << cell;
        EXPECT_TRUE(cell < 16 || sumY[cell] > sumY[cell - 16] + 10) << "cell " << cell;
        for (const CBoardImage* shown : {&image, &fine})
        {
            std::uint32_t column = 99, row = 99;
            EXPECT_TRUE(shown->HitTest(sumX[cell], sumY[cell], column, row) &&
                        row * 16 + column == std::uint32_t(cell))
                << "cell " << cell << " hit as " << column << "," << row;
        }
    }
    for (const auto& [x, y] : {std::pair{0, 0}, {set.Width() / 2, 20}, {set.Width() - 1, 0}})
    {
        std::uint32_t column = 0, row = 0;
        EXPECT_TRUE(image.HitTest(x, y, column, row) && (column >= 16 || row >= 11))
            << x << "," << y;
    }
}

TEST(Assets, CuesAreShortMonoWavesClearOfClippingAndTheEmblemFits)
{
    for (const char* name : kCueFiles)
    {
        CWaveBuffer cue;
        ASSERT_EQ(cue.LoadFromFile(Generated() / "data" / name), 0u) << name;
        ASSERT_TRUE(cue.m_nChannels == 1 && cue.m_nBitsPerSample == 16) << name;
        EXPECT_TRUE(cue.Frames() > cue.m_nSampleRate / 20 && cue.Frames() < cue.m_nSampleRate)
            << name << ": from a twentieth of a second to a second";
        int peak = 0;
        for (std::size_t i = 0; i + 1 < cue.m_samples.size(); i += 2)
            peak = std::max(peak,
                            std::abs(std::int16_t(cue.m_samples[i] | cue.m_samples[i + 1] << 8)));
        EXPECT_TRUE(peak > 4000 && peak < 29000) << name << ": loud enough, with headroom";
    }
    CDibSectionBuffer emblem;
    ASSERT_EQ(emblem.LoadFromFile(Generated() / "res" / "emblem.bmp"), 0u);
    EXPECT_TRUE(emblem.Header()->width == 144 && emblem.Header()->height == 144);
}

TEST(Assets, TheGeneratorWritesTheSameBytesEveryTime)
{
    const fs::path again = Generate("again");
    std::size_t files = 0;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(Generated()))
    {
        const fs::path name = fs::relative(entry.path(), Generated());
        files += entry.is_regular_file();
        EXPECT_TRUE(!entry.is_regular_file() || ReadAll(entry.path()) == ReadAll(again / name))
            << name << " differs";
    }
    EXPECT_GE(files, std::size(kImageFiles) + std::size(kImageFiles2x) + std::size(kCueFiles));
    fs::remove_all(again);
}

} // namespace
