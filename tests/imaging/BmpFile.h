#pragma once

// Writes small bitmap files for the tests, benchmark and fuzz seeds: any depth, any of the
// header forms, bottom-up or top-down. Fields can be patched afterwards to make hostile files.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace bmp
{

struct Colour
{
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;
};

struct Picture
{
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bitCount = 24;
    std::vector<Colour> palette;
    // Row 0 at the top. A palette index, 0xRRGGBB for 24 bits, the raw value for 16 and 32.
    std::vector<std::uint32_t> pixels;

    std::uint32_t& At(std::int32_t x, std::int32_t y)
    {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

struct Layout
{
    std::uint32_t headerSize = 40; // 12, 40, 108 or 124
    bool topDown = false;
    std::uint32_t compression = 0;
    std::uint16_t planes = 1;
};

// Offsets of header fields in the file, for patching.
inline constexpr std::size_t kOffFileSize = 2;
inline constexpr std::size_t kOffPixels = 10;
inline constexpr std::size_t kOffHeaderSize = 14;
inline constexpr std::size_t kOffWidth = 18;
inline constexpr std::size_t kOffHeight = 22;
inline constexpr std::size_t kOffPlanes = 26;
inline constexpr std::size_t kOffBitCount = 28;
inline constexpr std::size_t kOffCompression = 30;
inline constexpr std::size_t kOffClrUsed = 46;

Picture Make(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
             std::uint32_t fill = 0);
std::int64_t RowBytes(std::int32_t width, std::uint16_t bitCount);
std::vector<std::uint8_t> Encode(const Picture& picture, const Layout& layout = {});
void PutU16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value);
void PutU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value);
void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
void WritePicture(const std::filesystem::path& path, const Picture& picture,
                  const Layout& layout = {});

} // namespace bmp
