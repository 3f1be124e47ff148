// Writes the seed corpus of the bitmap fuzzer: small valid files of every depth and header form.

#include "BitmapFile.h"

#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::filesystem::create_directories(folder);

    int count = 0;
    for (std::uint16_t bits : {1, 4, 8, 16, 24, 32})
    {
        for (std::uint32_t headerSize : {12u, 40u, 108u, 124u})
        {
            if (headerSize == 12 && (bits == 16 || bits == 32))
            {
                continue;
            }
            for (bool topDown : {false, true})
            {
                if (headerSize == 12 && topDown)
                {
                    continue;
                }
                bmp::Picture picture = bmp::Make(5, 3, bits);
                for (std::size_t i = 0; i < picture.pixels.size(); ++i)
                {
                    picture.pixels[i] = static_cast<std::uint32_t>(i * 2654435761u) >> (32 - bits);
                }
                for (std::size_t i = 0; i < picture.palette.size(); ++i)
                {
                    picture.palette[i] = RgbQuad{static_cast<std::uint8_t>(i), 0,
                                                 static_cast<std::uint8_t>(255 - i), 0};
                }
                const std::string name = "seed-" + std::to_string(bits) + "-" +
                                         std::to_string(headerSize) + (topDown ? "-down" : "-up") +
                                         ".bmp";
                bmp::WritePicture(folder / name, picture, {headerSize, topDown});
                ++count;
            }
        }
    }

    // A short palette and a compressed header, so both paths start from a seed.
    bmp::Picture shortPalette = bmp::Make(3, 2, 8, 1);
    shortPalette.palette.resize(2);
    bmp::WritePicture(folder / "seed-short-palette.bmp", shortPalette);
    bmp::WritePicture(folder / "seed-compressed.bmp", bmp::Make(4, 4, 8), {40, false, 1});
    count += 2;

    std::printf("%d seeds in %s\n", count, folder.c_str());
    return 0;
}
