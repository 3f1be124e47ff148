#include "FileFormats.h"

#include "BitmapFile.h"
#include "WaveFile.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace
{

void Put16(Bytes& out, std::uint32_t v)
{
    out.push_back(std::uint8_t(v & 0xFF));
    out.push_back(std::uint8_t((v >> 8) & 0xFF));
}

void Put32(Bytes& out, std::uint32_t v)
{
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

void Put32Be(Bytes& out, std::uint32_t v)
{
    out.push_back(std::uint8_t(v >> 24));
    out.push_back(std::uint8_t((v >> 16) & 0xFF));
    out.push_back(std::uint8_t((v >> 8) & 0xFF));
    out.push_back(std::uint8_t(v & 0xFF));
}

void PutTag(Bytes& out, const char* tag)
{
    for (int i = 0; i < 4; ++i)
    {
        out.push_back(std::uint8_t(tag[i]));
    }
}

std::uint32_t Stride(int width, int bitsPerPixel)
{
    return ((std::uint32_t(width) * std::uint32_t(bitsPerPixel) + 31u) / 32u) * 4u;
}

// BITMAPINFOHEADER; heightField is doubled by the caller for icon images.
void PutInfoHeader(Bytes& out, int width, int heightField, int bits, std::uint32_t imageSize,
                   std::uint32_t coloursUsed)
{
    Put32(out, 40);
    Put32(out, std::uint32_t(width));
    Put32(out, std::uint32_t(heightField));
    Put16(out, 1);
    Put16(out, std::uint32_t(bits));
    Put32(out, 0); // no compression
    Put32(out, imageSize);
    Put32(out, 2835); // 72 dpi
    Put32(out, 2835);
    Put32(out, coloursUsed);
    Put32(out, 0);
}

void PutPalette(Bytes& out, const IndexedPicture& picture)
{
    for (const RgbQuad& e : picture.palette)
    {
        out.push_back(e.blue);
        out.push_back(e.green);
        out.push_back(e.red);
        out.push_back(0);
    }
}

void PutIndexedRows(Bytes& out, const IndexedPicture& picture)
{
    const std::uint32_t stride = Stride(picture.width, 8);
    for (int y = picture.height - 1; y >= 0; --y)
    {
        for (int x = 0; x < picture.width; ++x)
        {
            out.push_back(picture.At(x, y));
        }
        for (std::uint32_t pad = std::uint32_t(picture.width); pad < stride; ++pad)
        {
            out.push_back(0);
        }
    }
}

void PutPngChunk(Bytes& out, const char* type, const Bytes& data)
{
    Put32Be(out, std::uint32_t(data.size()));
    const std::size_t typeAt = out.size();
    PutTag(out, type);
    out.insert(out.end(), data.begin(), data.end());
    Put32Be(out, Crc32(out.data() + typeAt, out.size() - typeAt));
}

} // namespace

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc)
{
    static const std::array<std::uint32_t, 256> table = []
    {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n)
        {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k)
            {
                c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            }
            t[n] = c;
        }
        return t;
    }();
    crc = ~crc;
    for (std::size_t i = 0; i < size; ++i)
    {
        crc = table[(crc ^ data[i]) & 0xFFu] ^ (crc >> 8);
    }
    return ~crc;
}

std::uint32_t Adler32(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (std::size_t i = 0; i < size; ++i)
    {
        a = (a + data[i]) % 65521u;
        b = (b + a) % 65521u;
    }
    return (b << 16) | a;
}

// The generator's bitmaps record the rows' size and 72 dpi, as drawing programs do.
constexpr bmp::Layout kGeneratorLayout{40, false, 0, 2835, true};

Bytes EncodeBmp(const TruecolourPicture& picture)
{
    bmp::Picture out = bmp::Make(picture.width, picture.height, 24);
    for (int y = 0; y < picture.height; ++y)
    {
        for (int x = 0; x < picture.width; ++x)
        {
            const std::uint8_t* p = picture.At(x, y);
            out.At(x, y) = std::uint32_t(p[0]) << 16 | std::uint32_t(p[1]) << 8 | p[2];
        }
    }
    return bmp::Encode(out, kGeneratorLayout);
}

Bytes EncodeBmp(const IndexedPicture& picture)
{
    bmp::Picture out = bmp::Make(picture.width, picture.height, 8);
    out.palette.assign(picture.palette.begin(), picture.palette.end());
    for (int y = 0; y < picture.height; ++y)
    {
        for (int x = 0; x < picture.width; ++x)
        {
            out.At(x, y) = picture.At(x, y);
        }
    }
    return bmp::Encode(out, kGeneratorLayout);
}

Bytes EncodePng(const RgbaPicture& picture)
{
    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

    Bytes header;
    Put32Be(header, std::uint32_t(picture.width));
    Put32Be(header, std::uint32_t(picture.height));
    header.push_back(8); // bit depth
    header.push_back(6); // RGBA
    header.push_back(0);
    header.push_back(0);
    header.push_back(0);
    PutPngChunk(out, "IHDR", header);

    Bytes raw;
    for (int y = 0; y < picture.height; ++y)
    {
        raw.push_back(0); // filter: none
        const std::uint8_t* row = picture.At(0, y);
        raw.insert(raw.end(), row, row + std::size_t(picture.width) * 4);
    }

    Bytes zlib = {0x78, 0x01};
    std::size_t done = 0;
    do
    {
        const std::size_t chunk = std::min<std::size_t>(raw.size() - done, 65535);
        const bool last = done + chunk == raw.size();
        zlib.push_back(last ? 1 : 0);
        Put16(zlib, std::uint32_t(chunk));
        Put16(zlib, std::uint32_t(~chunk & 0xFFFF));
        zlib.insert(zlib.end(), raw.begin() + std::ptrdiff_t(done),
                    raw.begin() + std::ptrdiff_t(done + chunk));
        done += chunk;
    } while (done < raw.size());
    Put32Be(zlib, Adler32(raw.data(), raw.size()));
    PutPngChunk(out, "IDAT", zlib);
    PutPngChunk(out, "IEND", {});
    return out;
}

Bytes EncodeIco(const std::vector<IconImage>& images)
{
    std::vector<Bytes> blobs;
    for (const IconImage& image : images)
    {
        const IndexedPicture& pic = image.colours;
        const std::uint32_t colourSize = Stride(pic.width, 8) * std::uint32_t(pic.height);
        const std::uint32_t maskStride = Stride(pic.width, 1);
        const std::uint32_t maskSize = maskStride * std::uint32_t(pic.height);
        Bytes blob;
        PutInfoHeader(blob, pic.width, pic.height * 2, 8, colourSize + maskSize, 256);
        PutPalette(blob, pic);
        PutIndexedRows(blob, pic);
        for (int y = pic.height - 1; y >= 0; --y)
        {
            Bytes row(maskStride, 0);
            for (int x = 0; x < pic.width; ++x)
            {
                if (image.transparent[std::size_t(y) * pic.width + x] != 0)
                {
                    row[std::size_t(x) / 8] |= std::uint8_t(0x80u >> (x % 8));
                }
            }
            blob.insert(blob.end(), row.begin(), row.end());
        }
        blobs.push_back(std::move(blob));
    }

    Bytes out;
    Put16(out, 0);
    Put16(out, 1); // icon
    Put16(out, std::uint32_t(images.size()));
    std::uint32_t offset = 6 + 16 * std::uint32_t(images.size());
    for (std::size_t i = 0; i < images.size(); ++i)
    {
        const IndexedPicture& pic = images[i].colours;
        out.push_back(std::uint8_t(pic.width >= 256 ? 0 : pic.width));
        out.push_back(std::uint8_t(pic.height >= 256 ? 0 : pic.height));
        out.push_back(0); // 256 colours
        out.push_back(0);
        Put16(out, 1);
        Put16(out, 8);
        Put32(out, std::uint32_t(blobs[i].size()));
        Put32(out, offset);
        offset += std::uint32_t(blobs[i].size());
    }
    for (const Bytes& blob : blobs)
    {
        out.insert(out.end(), blob.begin(), blob.end());
    }
    return out;
}

Bytes EncodeWav(const std::vector<std::int16_t>& samples, std::uint32_t sampleRate)
{
    Bytes data;
    data.reserve(samples.size() * 2);
    for (std::int16_t s : samples)
    {
        Put16(data, std::uint16_t(s));
    }
    return wav::Make({1, 1, sampleRate, 16}, data);
}

bool WriteFileBytes(const std::string& path, const Bytes& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr)
    {
        return false;
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}
