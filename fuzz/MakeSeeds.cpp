// Writes a fuzzer's seed corpus: MakeSeeds bitmap|wave FOLDER. Small valid bitmaps of every depth
// and header form, a short palette and a compressed one; short tones in every format the wave
// reader takes, one with an extra chunk, and one compressed.

#include "BitmapFile.h"
#include "WaveFile.h"

#include <array>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    const std::string kind = argc == 3 ? argv[1] : "";
    if (kind != "bitmap" && kind != "wave")
    {
        std::fprintf(stderr, "usage: %s bitmap|wave FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder = argv[2];
    std::filesystem::create_directories(folder);
    int count = 0;
    const auto name = [&](const std::string& ending)
    { return folder / ("seed-" + std::to_string(++count) + ending); };
    for (int i = 0; kind == "bitmap" && i < 6 * 4 * 2; ++i)
    {
        const std::uint16_t bits = std::array<std::uint16_t, 6>{1, 4, 8, 16, 24, 32}[i / 8];
        const std::uint32_t headerSize = std::array<std::uint32_t, 4>{12, 40, 108, 124}[i / 2 % 4];
        const bool topDown = i % 2 == 1;
        // The core header has neither these depths nor a top-down form.
        if (headerSize == 12 && (bits % 16 == 0 || topDown))
        {
            continue;
        }
        bmp::WritePicture(name(".bmp"), bmp::Make(5, 3, bits, 1), {headerSize, topDown});
    }
    if (kind == "bitmap")
    {
        bmp::Picture shortPalette = bmp::Make(3, 2, 8, 1);
        shortPalette.palette.resize(2);
        bmp::WritePicture(name(".bmp"), shortPalette);
        bmp::WritePicture(name(".bmp"), bmp::Make(4, 4, 8), {40, false, 1});
        return 0;
    }
    for (const std::uint16_t format : {0x0801, 0x0802, 0x1001, 0x1002}) // bits, channels
    {
        const wav::Format f{1, std::uint16_t(format & 0xff), 8000, std::uint16_t(format >> 8)};
        wav::Write(name(".wav"), wav::Make(f, wav::Tone(f, 1000, 0.002)));
    }
    std::vector<std::uint8_t> listed = wav::Make({}, wav::Tone({}, 500, 0.001));
    const std::vector<std::uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    listed.insert(listed.begin() + 36, list.begin(), list.end());
    listed[4] = static_cast<std::uint8_t>(listed.size() - 8);
    wav::Write(name(".wav"), listed);
    wav::Write(name(".wav"), wav::Make({2, 1, 8000, 4}, {1, 2, 3, 4}));
    return 0;
}
