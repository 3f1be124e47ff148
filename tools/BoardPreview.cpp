#include "BoardPreview.h"

#include "FileFormats.h"

#include <cstdio>
#include <cstring>

namespace
{

constexpr int kColumns = 16;
constexpr int kRows = 11;
constexpr int kClientWidth = 484;
constexpr int kClientHeight = 540;
constexpr int kOriginX = 15;
constexpr int kOriginY = 20;

struct Bitmap
{
    int width = 0;
    int height = 0;
    int bits = 0;
    std::uint8_t palette[256][4] = {};
    Bytes pixels; // top-down, bits/8 bytes a pixel, no padding
};

std::uint32_t Read32(const Bytes& b, std::size_t at)
{
    return std::uint32_t(b[at]) | (std::uint32_t(b[at + 1]) << 8) |
           (std::uint32_t(b[at + 2]) << 16) | (std::uint32_t(b[at + 3]) << 24);
}

bool ReadBitmap(const std::string& path, Bitmap& bmp)
{
    Bytes file;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr)
    {
        return false;
    }
    std::uint8_t buffer[65536];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0)
    {
        file.insert(file.end(), buffer, buffer + got);
    }
    std::fclose(f);
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M')
    {
        return false;
    }
    const std::uint32_t offset = Read32(file, 10);
    bmp.width = int(Read32(file, 18));
    bmp.height = int(Read32(file, 22));
    bmp.bits = int(file[28]);
    if (bmp.width <= 0 || bmp.height <= 0 || bmp.width > 4096 || bmp.height > 4096 ||
        (bmp.bits != 8 && bmp.bits != 24) || Read32(file, 30) != 0)
    {
        return false;
    }
    const std::size_t bytesPerPixel = std::size_t(bmp.bits) / 8;
    const std::size_t stride = (std::size_t(bmp.width) * bytesPerPixel + 3) / 4 * 4;
    if (offset > file.size() || file.size() - offset < stride * std::size_t(bmp.height))
    {
        return false;
    }
    if (bmp.bits == 8)
    {
        if (54 + 1024 > file.size())
        {
            return false;
        }
        std::memcpy(bmp.palette, &file[54], 1024);
    }
    bmp.pixels.resize(std::size_t(bmp.width) * bytesPerPixel * std::size_t(bmp.height));
    for (int y = 0; y < bmp.height; ++y)
    {
        const std::size_t from = offset + stride * std::size_t(bmp.height - 1 - y);
        std::memcpy(&bmp.pixels[std::size_t(y) * bmp.width * bytesPerPixel], &file[from],
                    std::size_t(bmp.width) * bytesPerPixel);
    }
    return true;
}

} // namespace

int WriteBoardPreview(const std::string& pngPath, const std::string& dataDir)
{
    static const char* const names[8] = {"empty.bmp",  "red.bmp",     "green.bmp",  "blue.bmp",
                                         "yellow.bmp", "magenta.bmp", "select.bmp", "matrix.bmp"};
    static Bitmap pictures[8];
    for (int i = 0; i < 8; ++i)
    {
        if (!ReadBitmap(dataDir + "/" + names[i], pictures[i]) ||
            pictures[i].bits != (i == 7 ? 8 : 24) || pictures[i].width != pictures[0].width ||
            pictures[i].height != pictures[0].height)
        {
            std::fprintf(stderr, "cannot use %s\n", names[i]);
            return 1;
        }
    }
    const Bitmap& map = pictures[7];

    // A game in progress: ragged columns, the right three closed up, one group selected.
    int colour[kRows][kColumns] = {};
    bool selected[kRows][kColumns] = {};
    std::uint32_t seed = 12345;
    for (int c = 0; c < kColumns - 3; ++c)
    {
        seed = seed * 1103515245u + 12345u;
        const int height = kRows - int((seed >> 16) % 5);
        for (int r = kRows - height; r < kRows; ++r)
        {
            seed = seed * 1103515245u + 12345u;
            colour[r][c] = 1 + int((seed >> 16) % 5);
        }
    }
    const int group[][2] = {{9, 4}, {9, 5}, {10, 5}, {10, 6}, {10, 7}};
    for (const auto& g : group)
    {
        colour[g[0]][g[1]] = 3;
        selected[g[0]][g[1]] = true;
    }

    RgbaPicture out;
    out.Resize(kClientWidth, kClientHeight);
    for (std::size_t i = 3; i < out.rgba.size(); i += 4)
    {
        out.rgba[i] = 255;
    }
    for (int y = 0; y < map.height && kOriginY + y < kClientHeight; ++y)
    {
        for (int x = 0; x < map.width && kOriginX + x < kClientWidth; ++x)
        {
            const std::uint8_t* e = map.palette[map.pixels[std::size_t(y) * map.width + x]];
            int slot = 0;
            if (e[1] == 0 && e[2] <= 15 && e[0] <= 10)
            {
                slot = selected[e[0]][e[2]] ? 6 : colour[e[0]][e[2]];
            }
            const std::uint8_t* src =
                &pictures[slot].pixels[(std::size_t(y) * pictures[slot].width + x) * 3];
            std::uint8_t* dst = out.At(kOriginX + x, kOriginY + y);
            dst[0] = src[2];
            dst[1] = src[1];
            dst[2] = src[0];
        }
    }
    return WriteFileBytes(pngPath, EncodePng(out)) ? 0 : 1;
}
