#include "CDibSectionBuffer.h"

#include "ErrorCodes.h"
#include "FileErrors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    FileSource(int descriptor, std::uint64_t size) : m_nDescriptor(descriptor), m_nSize(size) {}
    std::uint64_t Size() const override { return m_nSize; }
    bool Read(std::uint64_t offset, void* destination, std::size_t n) override
    {
        if (offset > m_nSize || n > m_nSize - offset)
        {
            return false;
        }
        auto* to = static_cast<char*>(destination);
        while (n > 0)
        {
            const ssize_t got = ::pread(m_nDescriptor, to, n, static_cast<off_t>(offset));
            if (got < 0 && errno == EINTR)
            {
                continue;
            }
            // The file may have shrunk since its size was taken.
            if (got <= 0)
            {
                return false;
            }
            to += got;
            offset += static_cast<std::uint64_t>(got);
            n -= static_cast<std::size_t>(got);
        }
        return true;
    }

private:
    int m_nDescriptor;
    std::uint64_t m_nSize;
};

// Closes a descriptor when it goes out of scope.
class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
        {
            ::close(m_fd);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
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

std::uint32_t CDibSectionBuffer::LoadFromFile(const std::filesystem::path& path,
                                              std::int32_t maxSide)
{
    if (m_pBits != nullptr)
    {
        return kErrorInvalidParameter;
    }

    // Non-blocking, so a pipe or device put in place of the file cannot hold us; what was
    // opened is then checked, not the name, which may have changed in between.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
    {
        return CodeFromErrno(errno, path);
    }
    const Descriptor file(fd);
    struct stat status
    {
    };
    if (::fstat(fd, &status) != 0)
    {
        return CodeFromErrno(errno, path);
    }
    // Directories, pipes and devices are no bitmap files.
    if (!S_ISREG(status.st_mode) || status.st_size < 0)
    {
        return kErrorInvalidData;
    }
    FileSource source(fd, static_cast<std::uint64_t>(status.st_size));
    return Decode(source, maxSide);
}

std::uint32_t LoadBitmapFromBytes(CDibSectionBuffer& buffer, const std::uint8_t* data,
                                  std::size_t size)
{
    if (buffer.m_pBits != nullptr)
    {
        return kErrorInvalidParameter;
    }
    MemorySource source(data, data != nullptr ? size : 0);
    return buffer.Decode(source, 0);
}

// Every field is checked against the real size of the file before anything is allocated or
// read; the buffer is only touched once the whole picture has been read.
std::uint32_t CDibSectionBuffer::Decode(BitmapSource& source, std::int32_t maxSide)
{
    std::uint8_t lead[kLeadSize] = {};
    DecodedLayout layout{};
    std::uint32_t code = DecodeHeader(source, lead, layout);
    if (code == kErrorSuccess)
    {
        code = CheckLimits(source.Size(), maxSide, layout);
    }
    if (code == kErrorSuccess)
    {
        code = DecodeColourTable(layout);
    }
    std::unique_ptr<std::uint8_t[]> pixels;
    if (code == kErrorSuccess)
    {
        code = ReadRows(source, layout, pixels);
    }
    if (code != kErrorSuccess)
    {
        return code;
    }

    m_info = Info{};
    layout.header.height = static_cast<std::int32_t>(layout.height);
    layout.header.sizeImage = static_cast<std::uint32_t>(layout.pixelBytes);
    layout.header.clrUsed = static_cast<std::uint32_t>(layout.paletteCount);
    m_info.header = layout.header;
    const std::uint8_t* entry = lead + kFileHeaderSize + layout.headerSize;
    for (std::size_t i = 0; i < layout.paletteCount; ++i, entry += layout.entrySize)
    {
        m_info.colours[i] = RgbQuad{entry[0], entry[1], entry[2], 0};
    }
    m_pixels = std::move(pixels);
    m_pBits = m_pixels.get();
    m_nStride = static_cast<std::int32_t>((layout.header.bitCount / 8 * layout.width + 3) &
                                          ~std::int64_t{3});
    m_nRowBytes = static_cast<std::int32_t>(layout.rowBytes);
    return kErrorSuccess;
}

// File header and info header: the lead is read and the fields copied out.
std::uint32_t CDibSectionBuffer::DecodeHeader(BitmapSource& source, std::uint8_t* lead,
                                              DecodedLayout& layout)
{
    const std::uint64_t fileSize = source.Size();
    layout.leadLength = static_cast<std::size_t>(std::min<std::uint64_t>(fileSize, kLeadSize));
    if (layout.leadLength < kFileHeaderSize + 4 || !source.Read(0, lead, layout.leadLength))
    {
        return kErrorInvalidData;
    }
    if (lead[0] != 'B' || lead[1] != 'M')
    {
        return kErrorInvalidData;
    }
    layout.pixelOffset = U32(lead + 10);
    layout.headerSize = U32(lead + 14);
    if (layout.headerSize != kCoreHeaderSize && !IsInfoHeaderSize(layout.headerSize))
    {
        return kErrorInvalidData;
    }
    if (kFileHeaderSize + layout.headerSize > layout.leadLength)
    {
        return kErrorInvalidData;
    }

    const std::uint8_t* h = lead + kFileHeaderSize;
    BitmapInfoHeader& header = layout.header;
    header.size = kInfoHeaderSize;
    layout.entrySize = 4;
    if (layout.headerSize == kCoreHeaderSize)
    {
        header.width = U16(h + 4);
        header.height = U16(h + 6);
        header.planes = U16(h + 8);
        header.bitCount = U16(h + 10);
        layout.entrySize = 3;
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
    layout.topDown = header.height < 0;
    layout.width = header.width;
    layout.height = layout.topDown ? -static_cast<std::int64_t>(header.height) : header.height;
    return kErrorSuccess;
}

// Sizes against our own limits, the caller's and the file's length.
std::uint32_t CDibSectionBuffer::CheckLimits(std::uint64_t fileSize, std::int32_t maxSide,
                                             DecodedLayout& layout)
{
    const std::int64_t side =
        maxSide > 0 ? std::min<std::int64_t>(maxSide, kMaxDimension) : kMaxDimension;
    if (layout.width > side || layout.height > side)
    {
        return kErrorNotEnoughMemory;
    }
    layout.rowBytes = (layout.header.bitCount * layout.width + 31) / 32 * 4;
    layout.pixelBytes = layout.rowBytes * layout.height;
    if (layout.pixelBytes > kMaxPixelBytes)
    {
        return kErrorNotEnoughMemory;
    }
    if (layout.pixelOffset < kFileHeaderSize + layout.headerSize ||
        layout.pixelOffset + static_cast<std::uint64_t>(layout.pixelBytes) > fileSize)
    {
        return kErrorInvalidData;
    }
    return kErrorSuccess;
}

// The table follows the info header; the lead holds room for the longest one.
std::uint32_t CDibSectionBuffer::DecodeColourTable(DecodedLayout& layout)
{
    layout.paletteCount = 0;
    if (layout.header.bitCount > 8)
    {
        return kErrorSuccess;
    }
    layout.paletteCount = std::size_t{1} << layout.header.bitCount;
    if (layout.headerSize != kCoreHeaderSize && layout.header.clrUsed != 0)
    {
        if (layout.header.clrUsed > 256)
        {
            return kErrorInvalidData;
        }
        layout.paletteCount = layout.header.clrUsed;
    }
    if (kFileHeaderSize + layout.headerSize + layout.paletteCount * layout.entrySize >
        layout.leadLength)
    {
        return kErrorInvalidData;
    }
    return kErrorSuccess;
}

// The pixel rows, held bottom-up like every other picture.
std::uint32_t CDibSectionBuffer::ReadRows(BitmapSource& source, const DecodedLayout& layout,
                                          std::unique_ptr<std::uint8_t[]>& pixels)
{
    const auto bytes = static_cast<std::size_t>(layout.pixelBytes);
    pixels.reset(new (std::nothrow) std::uint8_t[bytes]);
    if (!pixels)
    {
        return kErrorNotEnoughMemory;
    }
    if (!source.Read(layout.pixelOffset, pixels.get(), bytes))
    {
        return kErrorInvalidData;
    }
    if (layout.topDown)
    {
        const std::int64_t rowBytes = layout.rowBytes;
        for (std::int64_t top = 0, bottom = layout.height - 1; top < bottom; ++top, --bottom)
        {
            std::swap_ranges(pixels.get() + top * rowBytes, pixels.get() + (top + 1) * rowBytes,
                             pixels.get() + bottom * rowBytes);
        }
    }
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
