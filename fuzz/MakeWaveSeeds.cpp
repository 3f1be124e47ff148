// Writes the seed corpus of the wave fuzzer: short tones in every format the reader takes, one
// with an extra chunk, and one compressed.

#include "WaveFile.h"

#include <cstdio>
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
    for (const std::uint16_t bits : {8, 16})
    {
        for (const std::uint16_t channels : {1, 2})
        {
            const wav::Format format{1, channels, 8000, bits};
            wav::Write(
                folder / ("seed-" + std::to_string(bits) + "-" + std::to_string(channels) + ".wav"),
                wav::Make(format, wav::Tone(format, 1000, 0.002)));
            ++count;
        }
    }
    std::vector<std::uint8_t> listed = wav::Make({}, wav::Tone({}, 500, 0.001));
    const std::vector<std::uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    listed.insert(listed.begin() + 36, list.begin(), list.end());
    listed[4] = static_cast<std::uint8_t>(listed.size() - 8);
    wav::Write(folder / "seed-list.wav", listed);
    wav::Write(folder / "seed-adpcm.wav", wav::Make({2, 1, 8000, 4}, {1, 2, 3, 4}));
    count += 2;
    std::printf("%d seeds in %s\n", count, folder.c_str());
    return 0;
}
