#include "AssetReaders.h"

#include <cstring>
#include <fstream>
#include <iterator>

Bytes ReadAll(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t Le16(const Bytes& b, std::size_t at)
{
    return std::uint32_t(b.at(at)) | (std::uint32_t(b.at(at + 1)) << 8);
}

std::uint32_t Le32(const Bytes& b, std::size_t at)
{
    return Le16(b, at) | (Le16(b, at + 2) << 16);
}

std::uint32_t Be32(const Bytes& b, std::size_t at)
{
    return (std::uint32_t(b.at(at)) << 24) | (std::uint32_t(b.at(at + 1)) << 16) |
           (std::uint32_t(b.at(at + 2)) << 8) | std::uint32_t(b.at(at + 3));
}

std::uint32_t ReferenceCrc32(const std::uint8_t* data, std::size_t size)
{
    // Bitwise, without a table, so it shares nothing with the generator's version.
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i)
    {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
        {
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

bool ParseBitmap(const Bytes& file, Bitmap& out, std::string& why)
{
    if (file.size() < 54 || file[0] != 'B' || file[1] != 'M')
    {
        why = "no bitmap file header";
        return false;
    }
    if (Le32(file, 2) != file.size())
    {
        why = "file size field differs from the file";
        return false;
    }
    const std::uint32_t offset = Le32(file, 10);
    if (Le32(file, 14) != 40)
    {
        why = "information header is not 40 bytes";
        return false;
    }
    const std::int32_t width = std::int32_t(Le32(file, 18));
    const std::int32_t height = std::int32_t(Le32(file, 22));
    out.bits = int(Le16(file, 28));
    out.compression = Le32(file, 30);
    if (width <= 0 || height <= 0 || width > 4096 || height > 4096)
    {
        why = "size out of range or not bottom-up";
        return false;
    }
    if (Le16(file, 26) != 1 || (out.bits != 8 && out.bits != 24) || out.compression != 0)
    {
        why = "planes, depth or compression";
        return false;
    }
    out.width = width;
    out.height = height;
    std::size_t tableEnd = 54;
    if (out.bits == 8)
    {
        const std::uint32_t used = Le32(file, 46);
        if (used != 0 && used != 256)
        {
            why = "colour table not 256 entries";
            return false;
        }
        tableEnd += 1024;
        if (file.size() < tableEnd)
        {
            why = "colour table cut short";
            return false;
        }
        std::memcpy(out.palette.data(), &file[54], 1024);
    }
    const std::size_t bytesPerPixel = std::size_t(out.bits / 8);
    const std::size_t stride = (std::size_t(width) * bytesPerPixel + 3) / 4 * 4;
    if (offset != tableEnd || file.size() != offset + stride * std::size_t(height))
    {
        why = "pixel offset or pixel size does not fit";
        return false;
    }
    const std::uint32_t sizeImage = Le32(file, 34);
    if (sizeImage != 0 && sizeImage != stride * std::size_t(height))
    {
        why = "image size field";
        return false;
    }
    out.pixels.resize(std::size_t(width) * bytesPerPixel * std::size_t(height));
    for (int y = 0; y < height; ++y)
    {
        std::memcpy(&out.pixels[std::size_t(y) * width * bytesPerPixel],
                    &file[offset + stride * std::size_t(height - 1 - y)],
                    std::size_t(width) * bytesPerPixel);
    }
    return true;
}

bool ParseWave(const Bytes& file, Wave& out, std::string& why)
{
    if (file.size() < 12 || std::memcmp(&file[0], "RIFF", 4) != 0 ||
        std::memcmp(&file[8], "WAVE", 4) != 0 || Le32(file, 4) != file.size() - 8)
    {
        why = "RIFF header";
        return false;
    }
    bool haveFormat = false;
    std::size_t at = 12;
    while (at + 8 <= file.size())
    {
        const std::uint32_t size = Le32(file, at + 4);
        const std::size_t body = at + 8;
        if (size > file.size() - body)
        {
            why = "chunk runs past the end";
            return false;
        }
        if (std::memcmp(&file[at], "fmt ", 4) == 0)
        {
            if (size < 16 || Le16(file, body) != 1 || Le16(file, body + 2) != 1 ||
                Le16(file, body + 14) != 16 || Le16(file, body + 12) != 2)
            {
                why = "format is not mono 16-bit PCM";
                return false;
            }
            out.sampleRate = Le32(file, body + 4);
            if (Le32(file, body + 8) != out.sampleRate * 2)
            {
                why = "byte rate";
                return false;
            }
            haveFormat = true;
        }
        else if (std::memcmp(&file[at], "data", 4) == 0)
        {
            if (!haveFormat || size % 2 != 0)
            {
                why = "data before format, or odd size";
                return false;
            }
            out.samples.resize(size / 2);
            for (std::size_t i = 0; i < out.samples.size(); ++i)
            {
                out.samples[i] = std::int16_t(Le16(file, body + 2 * i));
            }
            return true;
        }
        at = body + size + (size & 1u);
    }
    why = "no data chunk";
    return false;
}

bool ParsePng(const Bytes& file, Png& out, std::string& why)
{
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (file.size() < 8 || std::memcmp(file.data(), signature, 8) != 0)
    {
        why = "signature";
        return false;
    }
    Bytes zlib;
    bool ended = false;
    std::size_t at = 8;
    while (!ended)
    {
        if (at + 12 > file.size())
        {
            why = "chunk header past the end";
            return false;
        }
        const std::uint32_t length = Be32(file, at);
        if (length > file.size() - at - 12)
        {
            why = "chunk runs past the end";
            return false;
        }
        if (ReferenceCrc32(&file[at + 4], length + 4) != Be32(file, at + 8 + length))
        {
            why = "chunk CRC";
            return false;
        }
        const std::string type(reinterpret_cast<const char*>(&file[at + 4]), 4);
        const std::size_t body = at + 8;
        if (type == "IHDR")
        {
            if (length != 13 || file[body + 8] != 8 || file[body + 9] != 6 || file[body + 12] != 0)
            {
                why = "IHDR is not 8-bit RGBA, not interlaced";
                return false;
            }
            out.width = int(Be32(file, body));
            out.height = int(Be32(file, body + 4));
        }
        else if (type == "IDAT")
        {
            zlib.insert(zlib.end(), file.begin() + std::ptrdiff_t(body),
                        file.begin() + std::ptrdiff_t(body + length));
        }
        else if (type == "IEND")
        {
            ended = true;
        }
        at = body + length + 4;
    }
    if (out.width <= 0 || out.height <= 0 || out.width > 1024 || out.height > 1024)
    {
        why = "no or bad IHDR";
        return false;
    }
    if (zlib.size() < 6 || (zlib[0] & 0x0F) != 8 || (zlib[0] * 256u + zlib[1]) % 31 != 0)
    {
        why = "zlib header";
        return false;
    }
    Bytes raw;
    std::size_t pos = 2;
    bool last = false;
    while (!last)
    {
        if (pos + 5 > zlib.size() || (zlib[pos] & 0x06) != 0)
        {
            why = "not a stored block";
            return false;
        }
        last = (zlib[pos] & 1) != 0;
        const std::uint32_t len = Le16(zlib, pos + 1);
        if ((len ^ Le16(zlib, pos + 3)) != 0xFFFF || pos + 5 + len > zlib.size())
        {
            why = "stored block length";
            return false;
        }
        raw.insert(raw.end(), zlib.begin() + std::ptrdiff_t(pos + 5),
                   zlib.begin() + std::ptrdiff_t(pos + 5 + len));
        pos += 5 + len;
    }
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::uint8_t v : raw)
    {
        a = (a + v) % 65521u;
        b = (b + a) % 65521u;
    }
    if (pos + 4 != zlib.size() || Be32(zlib, pos) != ((b << 16) | a))
    {
        why = "Adler-32";
        return false;
    }
    const std::size_t rowBytes = std::size_t(out.width) * 4;
    if (raw.size() != (rowBytes + 1) * std::size_t(out.height))
    {
        why = "image data size";
        return false;
    }
    out.rgba.clear();
    for (int y = 0; y < out.height; ++y)
    {
        const std::size_t row = std::size_t(y) * (rowBytes + 1);
        if (raw[row] != 0)
        {
            why = "unexpected filter";
            return false;
        }
        out.rgba.insert(out.rgba.end(), raw.begin() + std::ptrdiff_t(row + 1),
                        raw.begin() + std::ptrdiff_t(row + 1 + rowBytes));
    }
    return true;
}
