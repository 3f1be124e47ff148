#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Independent readers for the generated files, strict about every field they look at.

using Bytes = std::vector<std::uint8_t>;

Bytes ReadAll(const std::filesystem::path& path);
std::uint32_t Le16(const Bytes& b, std::size_t at);
std::uint32_t Le32(const Bytes& b, std::size_t at);
std::uint32_t Be32(const Bytes& b, std::size_t at);

struct Bitmap
{
    int width = 0;
    int height = 0;
    int bits = 0;
    std::uint32_t compression = 0;
    std::array<std::array<std::uint8_t, 4>, 256> palette{}; // blue, green, red, reserved
    std::vector<std::uint8_t> pixels; // top-down, bits / 8 bytes a pixel, no padding

    const std::uint8_t* At(int x, int y) const
    {
        return &pixels[(std::size_t(y) * width + x) * std::size_t(bits / 8)];
    }
};

// Parses an uncompressed 8- or 24-bit bottom-up bitmap; on failure returns false and says why.
bool ParseBitmap(const Bytes& file, Bitmap& out, std::string& why);

struct Wave
{
    std::uint32_t sampleRate = 0;
    std::vector<std::int16_t> samples;
};

// Parses a RIFF/WAVE file holding mono 16-bit PCM.
bool ParseWave(const Bytes& file, Wave& out, std::string& why);

struct Png
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba; // top-down
};

// Parses an 8-bit RGBA PNG whose deflate stream uses stored blocks only; checks every CRC and
// the Adler-32.
bool ParsePng(const Bytes& file, Png& out, std::string& why);

std::uint32_t ReferenceCrc32(const std::uint8_t* data, std::size_t size);
