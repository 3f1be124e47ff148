#pragma once

// Writes wave files: the generator's cues, and for the tests, benchmarks and fuzz seeds any
// format fields and pure tones.

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace wav
{

struct Format
{
    std::uint16_t tag = 1;
    std::uint16_t channels = 1;
    std::uint32_t rate = 22050;
    std::uint16_t bits = 16;
};

inline void Put(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
    {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

inline void PutId(std::vector<std::uint8_t>& out, const char* id)
{
    for (int i = 0; i < 4; ++i)
    {
        out.push_back(static_cast<std::uint8_t>(id[i]));
    }
}

// A whole file: the RIFF header, a 16-byte format chunk and the data chunk.
inline std::vector<std::uint8_t> Make(const Format& f, const std::vector<std::uint8_t>& samples)
{
    std::vector<std::uint8_t> out;
    const std::uint32_t frame = std::uint32_t{f.channels} * f.bits / 8;
    PutId(out, "RIFF");
    Put(out, static_cast<std::uint32_t>(36 + samples.size() + (samples.size() & 1)), 4);
    PutId(out, "WAVE");
    PutId(out, "fmt ");
    Put(out, 16, 4);
    Put(out, f.tag, 2);
    Put(out, f.channels, 2);
    Put(out, f.rate, 4);
    Put(out, f.rate * frame, 4);
    Put(out, frame, 2);
    Put(out, f.bits, 2);
    PutId(out, "data");
    Put(out, static_cast<std::uint32_t>(samples.size()), 4);
    out.insert(out.end(), samples.begin(), samples.end());
    if (samples.size() % 2 == 1)
    {
        out.push_back(0);
    }
    return out;
}

// The samples of a pure tone at half of full scale on every channel, 8- or 16-bit.
inline std::vector<std::uint8_t> Tone(const Format& f, double hz, double seconds)
{
    std::vector<std::uint8_t> out;
    const auto frames = static_cast<std::size_t>(std::lround(seconds * f.rate));
    for (std::size_t i = 0; i < frames; ++i)
    {
        const double v = 0.5 * std::sin(2 * 3.14159265358979323846 * hz * double(i) / f.rate);
        for (int c = 0; c < f.channels; ++c)
        {
            if (f.bits == 8)
            {
                out.push_back(static_cast<std::uint8_t>(std::lround(128 + 127 * v)));
            }
            else
            {
                Put(out, static_cast<std::uint16_t>(std::lround(32767 * v)), 2);
            }
        }
    }
    return out;
}

inline bool Write(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    return bool(file);
}

} // namespace wav
