#include "CDibSectionBuffer.h"

#include "ErrorCodes.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <new>
#include <system_error>

// Where the bytes of a bitmap file come from: the file itself or a block of memory.
class BitmapSource
{
public:
    virtual ~BitmapSource() = default;
    virtual std::uint64_t Size() const = 0;
    // Reads exactly n bytes at offset; false when they are not all there.
    virtual bool Read(std::uint64_t offset, void* destination, std::size_t n) = 0;
};

namespace
{

// Limits that keep a hostile header from making us allocate more than we mean to hold.
constexpr std::int64_t kMaxDimension = 16384;
constexpr std::int64_t kMaxPixelBytes = std::int64_t{64} * 1024 * 1024;

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kLargestHeaderSize = 124;
// File header, the longest info header and a full colour table of four-byte entries.
constexpr std::size_t kLeadSize = kFileHeaderSize + kLargestHeaderSize + std::size_t{256} * 4;

class MemorySource : public BitmapSource
{
public:
    MemorySource(const std::uint8_t* data, std::size_t size) : m_pData(data), m_nSize(size) {}
    std::uint64_t Size() const override { return m_nSize; }
    bool Read(std::uint64_t offset, void* destination, std::size_t n) override
    {
        if (offset > m_nSize || n > m_nSize - offset)
        {
            return false;
        }
        if (n != 0)
        {
            std::memcpy(destination, m_pData + offset, n);
        }
        return true;
    }

private:
    const std::uint8_t* m_pData;
    std::size_t m_nSize;
};

class FileSource : public BitmapSource
{
public:
    FileSource(std::ifstream& file, std::uint64_t size) : m_file(file), m_nSize(size) {}
    std::uint64_t Size() const override { return m_nSize; }
    bool Read(std::uint64_t offset, void* destination, std::size_t n) override
    {
        if (offset > m_nSize || n > m_nSize - offset)
        {
            return false;
        }
        m_file.clear();
        m_file.seekg(static_cast<std::streamoff>(offset));
        m_file.read(static_cast<char*>(destination), static_cast<std::streamsize>(n));
        // The file may have shrunk since its size was taken.
        return m_file.gcount() == static_cast<std::streamsize>(n);
    }

private:
    std::ifstream& m_file;
    std::uint64_t m_nSize;
};

std::uint16_t U16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t U32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::int32_t I32(const std::uint8_t* p)
{
    return static_cast<std::int32_t>(U32(p));
}

bool IsInfoHeaderSize(std::uint32_t size)
{
    // BITMAPINFOHEADER, its v2/v3 extensions, the OS/2 2.x header, v4 and v5: all start
    // with the same 40 bytes.
    return size == 40 || size == 52 || size == 56 || size == 64 || size == 108 || size == 124;
}

bool IsKnownDepth(std::uint16_t bitCount)
{
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
           bitCount == 32;
}

// A file that is not there: the folder part decides between "file" and "folder" missing.
std::uint32_t MissingCode(const std::filesystem::path& path)
{
    const std::filesystem::path parent = path.parent_path();
    if (!parent.empty())
    {
        std::error_code ec;
        if (!std::filesystem::is_directory(parent, ec))
        {
            return kErrorPathNotFound;
        }
    }
    return kErrorFileNotFound;
}

std::uint32_t CodeFromErrno(int error, const std::filesystem::path& path)
{
    switch (error)
    {
    case ENOENT:
        return MissingCode(path);
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return kErrorPathNotFound;
    case EISDIR:
        return kErrorInvalidData;
    case ENOMEM:
        return kErrorNotEnoughMemory;
    default:
        // EACCES, EPERM and whatever else keeps the file closed to us.
        return kErrorAccessDenied;
    }
}

} // namespace

CDibSectionBuffer::CDibSectionBuffer()
    : m_info{}, m_pHeader(&m_info.header), m_pColours(m_info.colours), m_pBits(nullptr),
      m_nStride(0), m_nRowBytes(0)
{
    m_info.header.size = kInfoHeaderSize;
}

CDibSectionBuffer::~CDibSectionBuffer()
{
    Reset();
}

void CDibSectionBuffer::Reset()
{
    m_pixels.reset();
    m_info = Info{};
    m_info.header.size = kInfoHeaderSize;
    m_pBits = nullptr;
    m_nStride = 0;
    m_nRowBytes = 0;
}

std::uint32_t CDibSectionBuffer::LoadFromFile(const std::filesystem::path& path)
{
    if (m_pBits != nullptr)
    {
        return kErrorInvalidParameter;
    }

    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found)
    {
        return MissingCode(path);
    }
    if (ec)
    {
        return CodeFromErrno(ec.value(), path);
    }
    // Directories, pipes and devices are no bitmap files; opening a pipe could also block.
    if (!std::filesystem::is_regular_file(status))
    {
        return kErrorInvalidData;
    }
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec)
    {
        return CodeFromErrno(ec.value(), path);
    }

    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file.is_open())
    {
        return CodeFromErrno(errno, path);
    }
    FileSource source(file, size);
    return Decode(source);
}

std::uint32_t LoadBitmapFromBytes(CDibSectionBuffer& buffer, const std::uint8_t* data,
                                  std::size_t size)
{
    if (buffer.m_pBits != nullptr)
    {
        return kErrorInvalidParameter;
    }
    MemorySource source(data, data != nullptr ? size : 0);
    return buffer.Decode(source);
}

// Every field is checked against the real size of the file before anything is allocated or
// read; the buffer is only touched once the whole picture has been read.
std::uint32_t CDibSectionBuffer::Decode(BitmapSource& source)
{
    const std::uint64_t fileSize = source.Size();
    std::uint8_t lead[kLeadSize] = {};
    const std::size_t leadLength =
        static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kLeadSize));
    if (leadLength < kFileHeaderSize + 4 || !source.Read(0, lead, leadLength))
    {
        return kErrorInvalidData;
    }
    if (lead[0] != 'B' || lead[1] != 'M')
    {
        return kErrorInvalidData;
    }
    const std::uint32_t pixelOffset = U32(lead + 10);
    const std::uint32_t headerSize = U32(lead + 14);
    if (headerSize != kCoreHeaderSize && !IsInfoHeaderSize(headerSize))
    {
        return kErrorInvalidData;
    }
    if (kFileHeaderSize + headerSize > leadLength)
    {
        return kErrorInvalidData;
    }

    const std::uint8_t* h = lead + kFileHeaderSize;
    BitmapInfoHeader header{};
    header.size = kInfoHeaderSize;
    std::size_t entrySize = 4;
    if (headerSize == kCoreHeaderSize)
    {
        header.width = U16(h + 4);
        header.height = U16(h + 6);
        header.planes = U16(h + 8);
        header.bitCount = U16(h + 10);
        entrySize = 3;
    }
    else
    {
        header.width = I32(h + 4);
        header.height = I32(h + 8);
        header.planes = U16(h + 12);
        header.bitCount = U16(h + 14);
        header.compression = U32(h + 16);
        header.xPelsPerMeter = I32(h + 24);
        header.yPelsPerMeter = I32(h + 28);
        header.clrUsed = U32(h + 32);
    }

    // Only plain colour values and palette indices: RLE, bit fields, JPEG and PNG are refused.
    if (header.compression != 0)
    {
        return kErrorInvalidParameter;
    }
    if (header.planes != 1 || !IsKnownDepth(header.bitCount))
    {
        return kErrorInvalidData;
    }
    if (header.width <= 0 || header.height == 0)
    {
        return kErrorInvalidData;
    }
    const bool topDown = header.height < 0;
    const std::int64_t width = header.width;
    const std::int64_t height = topDown ? -static_cast<std::int64_t>(header.height) : header.height;
    if (width > kMaxDimension || height > kMaxDimension)
    {
        return kErrorNotEnoughMemory;
    }
    const std::int64_t rowBytes = (header.bitCount * width + 31) / 32 * 4;
    const std::int64_t pixelBytes = rowBytes * height;
    if (pixelBytes > kMaxPixelBytes)
    {
        return kErrorNotEnoughMemory;
    }

    std::size_t paletteCount = 0;
    if (header.bitCount <= 8)
    {
        paletteCount = std::size_t{1} << header.bitCount;
        if (headerSize != kCoreHeaderSize && header.clrUsed != 0)
        {
            if (header.clrUsed > 256)
            {
                return kErrorInvalidData;
            }
            paletteCount = header.clrUsed;
        }
        // The table follows the info header; the lead holds room for the longest one.
        if (kFileHeaderSize + headerSize + paletteCount * entrySize > leadLength)
        {
            return kErrorInvalidData;
        }
    }
    if (pixelOffset < kFileHeaderSize + headerSize ||
        pixelOffset + static_cast<std::uint64_t>(pixelBytes) > fileSize)
    {
        return kErrorInvalidData;
    }

    std::unique_ptr<std::uint8_t[]> pixels(new (std::nothrow)
                                               std::uint8_t[static_cast<std::size_t>(pixelBytes)]);
    if (!pixels)
    {
        return kErrorNotEnoughMemory;
    }
    if (!source.Read(pixelOffset, pixels.get(), static_cast<std::size_t>(pixelBytes)))
    {
        return kErrorInvalidData;
    }
    if (topDown)
    {
        // Held bottom-up like every other picture.
        for (std::int64_t top = 0, bottom = height - 1; top < bottom; ++top, --bottom)
        {
            std::swap_ranges(pixels.get() + top * rowBytes, pixels.get() + (top + 1) * rowBytes,
                             pixels.get() + bottom * rowBytes);
        }
    }

    m_info = Info{};
    header.height = static_cast<std::int32_t>(height);
    header.sizeImage = static_cast<std::uint32_t>(pixelBytes);
    header.clrUsed = static_cast<std::uint32_t>(paletteCount);
    m_info.header = header;
    const std::uint8_t* entry = h + headerSize;
    for (std::size_t i = 0; i < paletteCount; ++i, entry += entrySize)
    {
        m_info.colours[i] = RgbQuad{entry[0], entry[1], entry[2], 0};
    }
    m_pixels = std::move(pixels);
    m_pBits = m_pixels.get();
    m_nStride = static_cast<std::int32_t>((header.bitCount / 8 * width + 3) & ~std::int64_t{3});
    m_nRowBytes = static_cast<std::int32_t>(rowBytes);
    return kErrorSuccess;
}

std::uint32_t CDibSectionBuffer::CreateBlank(std::int32_t width, std::int32_t height)
{
    if (m_pBits != nullptr || width <= 0 || height <= 0)
    {
        return kErrorInvalidParameter;
    }
    const std::int64_t stride = (3 * static_cast<std::int64_t>(width) + 3) & ~std::int64_t{3};
    if (width > kMaxDimension || height > kMaxDimension || stride * height > kMaxPixelBytes)
    {
        return kErrorNotEnoughMemory;
    }
    // Zero-filled, so the picture never shows stale memory before its owner writes it.
    std::unique_ptr<std::uint8_t[]> pixels(
        new (std::nothrow) std::uint8_t[static_cast<std::size_t>(stride * height)]());
    if (!pixels)
    {
        return kErrorNotEnoughMemory;
    }
    m_info.header.size = kInfoHeaderSize;
    m_info.header.width = width;
    m_info.header.height = height;
    m_info.header.planes = 1;
    m_info.header.bitCount = 24;
    m_info.header.sizeImage = static_cast<std::uint32_t>(stride * height);
    m_pixels = std::move(pixels);
    m_pBits = m_pixels.get();
    m_nStride = static_cast<std::int32_t>(stride);
    m_nRowBytes = m_nStride;
    return kErrorSuccess;
}

std::uint8_t* CDibSectionBuffer::GetRowAddress(std::int32_t y) const
{
    if (m_pBits == nullptr || y < 0 || y >= m_pHeader->height)
    {
        return nullptr;
    }
    return m_pBits + static_cast<std::ptrdiff_t>(m_pHeader->height - y - 1) * m_nStride;
}
