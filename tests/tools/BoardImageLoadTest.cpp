#include "AssetReaders.h"
#include "GeneratedAssets.h"

#include "CBoardImage.h"

#include <gtest/gtest.h>

#include <cmath>

namespace
{

// Changes into a folder for one test and back again.
class WorkingFolder
{
public:
    explicit WorkingFolder(const std::filesystem::path& dir)
        : m_old(std::filesystem::current_path())
    {
        std::filesystem::current_path(dir);
    }
    ~WorkingFolder() { std::filesystem::current_path(m_old); }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    std::filesystem::path m_old;
};

} // namespace

TEST(GameReadsAssets, BoardImageLoadsEveryGeneratedBitmap)
{
    WorkingFolder here(Generated().data);
    CBoardImage image;
    ASSERT_EQ(image.Load(), 0u) << (image.FailedFile() ? image.FailedFile() : "");
    EXPECT_TRUE(image.m_bLoaded);

    Bitmap map;
    std::string why;
    ASSERT_TRUE(ParseBitmap(ReadAll("matrix.bmp"), map, why)) << why;
    EXPECT_EQ(image.m_matrix.m_pHeader->width, map.width);
    EXPECT_EQ(std::abs(image.m_matrix.m_pHeader->height), map.height);

    // The game's hit test finds each cell where this test's own reader puts it.
    long sumX[176] = {};
    long sumY[176] = {};
    long count[176] = {};
    for (int y = 0; y < map.height; ++y)
    {
        for (int x = 0; x < map.width; ++x)
        {
            const auto& e = map.palette[*map.At(x, y)];
            if (e[1] == 0 && e[2] <= 15 && e[0] <= 10)
            {
                const int cell = e[0] * 16 + e[2];
                sumX[cell] += x;
                sumY[cell] += y;
                ++count[cell];
            }
        }
    }
    for (int cell = 0; cell < 176; ++cell)
    {
        ASSERT_GT(count[cell], 0) << cell;
        std::uint32_t column = 99;
        std::uint32_t row = 99;
        ASSERT_TRUE(image.HitTest(std::int32_t(sumX[cell] / count[cell]),
                                  std::int32_t(sumY[cell] / count[cell]), column, row));
        EXPECT_EQ(column, std::uint32_t(cell % 16));
        EXPECT_EQ(row, std::uint32_t(cell / 16));
    }
}
