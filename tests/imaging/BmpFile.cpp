#include "BmpFile.h"

#include <fstream>

namespace bmp
{

Picture Make(std::int32_t width, std::int32_t height, std::uint16_t bitCount, std::uint32_t fill)
{
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.bitCount = bitCount;
    picture.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
    if (bitCount <= 8)
    {
        picture.palette.resize(std::size_t{1} << bitCount);
    }
    return picture;
}

std::int64_t RowBytes(std::int32_t width, std::uint16_t bitCount)
{
    return (static_cast<std::int64_t>(width) * bitCount + 31) / 32 * 4;
}

void PutU16(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint16_t value)
{
    bytes[offset] = static_cast<std::uint8_t>(value);
    bytes[offset + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutU32(std::vector<std::uint8_t>& bytes, std::size_t offset, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
    {
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::vector<std::uint8_t> Encode(const Picture& picture, const Layout& layout)
{
    const bool core = layout.headerSize == 12;
    const std::size_t entrySize = core ? 3 : 4;
    const std::size_t paletteBytes = picture.palette.size() * entrySize;
    const std::size_t rowBytes =
        static_cast<std::size_t>(RowBytes(picture.width, picture.bitCount));
    const std::size_t pixelOffset = 14 + layout.headerSize + paletteBytes;
    std::vector<std::uint8_t> bytes(pixelOffset +
                                    rowBytes * static_cast<std::size_t>(picture.height));

    bytes[0] = 'B';
    bytes[1] = 'M';
    PutU32(bytes, kOffFileSize, static_cast<std::uint32_t>(bytes.size()));
    PutU32(bytes, kOffPixels, static_cast<std::uint32_t>(pixelOffset));
    PutU32(bytes, kOffHeaderSize, layout.headerSize);
    if (core)
    {
        PutU16(bytes, 18, static_cast<std::uint16_t>(picture.width));
        PutU16(bytes, 20, static_cast<std::uint16_t>(picture.height));
        PutU16(bytes, 22, layout.planes);
        PutU16(bytes, 24, picture.bitCount);
    }
    else
    {
        PutU32(bytes, kOffWidth, static_cast<std::uint32_t>(picture.width));
        PutU32(bytes, kOffHeight,
               static_cast<std::uint32_t>(layout.topDown ? -picture.height : picture.height));
        PutU16(bytes, kOffPlanes, layout.planes);
        PutU16(bytes, kOffBitCount, picture.bitCount);
        PutU32(bytes, kOffCompression, layout.compression);
        PutU32(bytes, 34, static_cast<std::uint32_t>(rowBytes * picture.height));
        PutU32(bytes, kOffClrUsed, static_cast<std::uint32_t>(picture.palette.size()));
    }
    std::size_t at = 14 + layout.headerSize;
    for (const Colour& colour : picture.palette)
    {
        bytes[at] = colour.blue;
        bytes[at + 1] = colour.green;
        bytes[at + 2] = colour.red;
        at += entrySize;
    }

    for (std::int32_t y = 0; y < picture.height; ++y)
    {
        const std::int32_t fileRow = layout.topDown ? y : picture.height - 1 - y;
        std::uint8_t* row =
            bytes.data() + pixelOffset + rowBytes * static_cast<std::size_t>(fileRow);
        for (std::int32_t x = 0; x < picture.width; ++x)
        {
            const std::uint32_t value =
                picture
                    .pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width) +
                            static_cast<std::size_t>(x)];
            const std::size_t ux = static_cast<std::size_t>(x);
            switch (picture.bitCount)
            {
            case 1:
                row[ux / 8] |= static_cast<std::uint8_t>((value & 1u) << (7 - ux % 8));
                break;
            case 4:
                row[ux / 2] |= static_cast<std::uint8_t>((value & 15u) << (ux % 2 == 0 ? 4 : 0));
                break;
            case 8:
                row[ux] = static_cast<std::uint8_t>(value);
                break;
            case 16:
                row[2 * ux] = static_cast<std::uint8_t>(value);
                row[2 * ux + 1] = static_cast<std::uint8_t>(value >> 8);
                break;
            case 24:
                row[3 * ux] = static_cast<std::uint8_t>(value);
                row[3 * ux + 1] = static_cast<std::uint8_t>(value >> 8);
                row[3 * ux + 2] = static_cast<std::uint8_t>(value >> 16);
                break;
            default:
                for (std::size_t i = 0; i < 4; ++i)
                {
                    row[4 * ux + i] = static_cast<std::uint8_t>(value >> (8 * i));
                }
                break;
            }
        }
    }
    return bytes;
}

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

void WritePicture(const std::filesystem::path& path, const Picture& picture, const Layout& layout)
{
    WriteFile(path, Encode(picture, layout));
}

} // namespace bmp
