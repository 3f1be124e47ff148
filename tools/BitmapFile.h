#pragma once

// Writes bitmap files: the generator's pictures, and for the tests and fuzz seeds any depth, core
// or info header, bottom-up or top-down. Fields can be patched afterwards to make hostile files.

#include "BitmapFormat.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

namespace bmp
{

struct Picture
{
    std::int32_t width = 1;
    std::int32_t height = 1;
    std::uint16_t bitCount = 24;
    std::vector<RgbQuad> palette;
    // Row 0 at the top. A palette index, 0xRRGGBB for 24 bits, the raw value for 16 and 32.
    std::vector<std::uint32_t> pixels;

    std::uint32_t& At(std::int32_t x, std::int32_t y)
    {
        return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
};

struct Layout
{
    std::uint32_t headerSize = 40; // 12: the core header
    bool topDown = false;
    std::uint32_t compression = 0;
    std::int32_t pixelsPerMetre = 0;
    bool recordImageSize = false; // the rows' size in the header, as drawing programs write it
};

// Offsets of header fields, for patching.
inline constexpr std::size_t kOffPixels = 10, kOffHeaderSize = 14, kOffWidth = 18, kOffHeight = 22,
                             kOffPlanes = 26, kOffBitCount = 28, kOffCompression = 30,
                             kOffClrUsed = 46;

Picture Make(std::int32_t width, std::int32_t height, std::uint16_t bitCount,
             std::uint32_t fill = 0);
std::int64_t RowBytes(std::int32_t width, std::uint16_t bitCount);
std::vector<std::uint8_t> Encode(const Picture& picture, const Layout& layout = {});
// Writes the low `bytes` bytes of value little-endian at offset.
void Put(std::vector<std::uint8_t>& file, std::size_t at, std::uint64_t value, int bytes = 4);
void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
void WritePicture(const std::filesystem::path& path, const Picture& picture,
                  const Layout& layout = {});

} // namespace bmp
