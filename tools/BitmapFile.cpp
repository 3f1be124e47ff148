#include "BitmapFile.h"

#include <fstream>

namespace bmp
{

Picture Make(std::int32_t width, std::int32_t height, std::uint16_t bitCount, std::uint32_t fill)
{
    Picture picture{width, height, bitCount, {}, {}};
    picture.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
    picture.palette.resize(bitCount <= 8 ? std::size_t{1} << bitCount : 0);
    return picture;
}

std::int64_t RowBytes(std::int32_t width, std::uint16_t bitCount)
{
    return (static_cast<std::int64_t>(width) * bitCount + 31) / 32 * 4;
}

void Put(std::vector<std::uint8_t>& file, std::size_t at, std::uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
    {
        file[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::vector<std::uint8_t> Encode(const Picture& picture, const Layout& layout)
{
    const bool core = layout.headerSize == 12;
    const std::size_t entrySize = core ? 3 : 4;
    const auto rowBytes = static_cast<std::size_t>(RowBytes(picture.width, picture.bitCount));
    const std::size_t height = static_cast<std::size_t>(picture.height);
    const std::size_t pixelOffset = 14 + layout.headerSize + picture.palette.size() * entrySize;
    std::vector<std::uint8_t> file(pixelOffset + rowBytes * height);
    Put(file, 0, 'B' | 'M' << 8, 2);
    Put(file, 2, file.size());
    Put(file, kOffPixels, pixelOffset);
    Put(file, kOffHeaderSize, layout.headerSize);
    const std::uint64_t w = static_cast<std::uint32_t>(picture.width);
    const std::uint64_t h =
        static_cast<std::uint32_t>(layout.topDown ? -picture.height : picture.height);
    const std::uint64_t planesAndBits = 1u | std::uint64_t{picture.bitCount} << 16;
    // The core header holds width, height, planes and bit count in 16 bits each.
    Put(file, 18, core ? (w & 0xFFFF) | (h & 0xFFFF) << 16 | planesAndBits << 32 : w | h << 32, 8);
    if (!core)
    {
        Put(file, kOffPlanes, planesAndBits);
        Put(file, kOffCompression, layout.compression);
        Put(file, kOffClrUsed, picture.palette.size());
        Put(file, 34, layout.recordImageSize ? rowBytes * height : 0);
        Put(file, 38, static_cast<std::uint32_t>(layout.pixelsPerMetre));
        Put(file, 42, static_cast<std::uint32_t>(layout.pixelsPerMetre));
    }
    std::size_t at = 14 + layout.headerSize;
    for (const RgbQuad& c : picture.palette)
    {
        Put(file, at, c.blue | c.green << 8 | c.red << 16, 3);
        at += entrySize;
    }

    const std::size_t bits = picture.bitCount;
    const auto width = static_cast<std::size_t>(picture.width);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
    {
        const std::size_t x = i % width;
        const std::size_t y = layout.topDown ? i / width : height - 1 - i / width;
        const std::size_t byte = pixelOffset + rowBytes * y + x * bits / 8;
        if (bits < 8)
        {
            // The leftmost pixel of a byte sits in its high bits.
            file[byte] |= static_cast<std::uint8_t>((picture.pixels[i] & ((1u << bits) - 1))
                                                    << (8 - bits - x * bits % 8));
        }
        else
        {
            Put(file, byte, picture.pixels[i], static_cast<int>(bits / 8));
        }
    }
    return file;
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

void WritePicture(const std::filesystem::path& path, const Picture& picture, const Layout& layout)
{
    WriteFile(path, Encode(picture, layout));
}

} // namespace bmp
