#include "CWaveBuffer.h"

#include "ErrorCodes.h"
#include "FileErrors.h"

#include <cerrno>
#include <cstring>
#include <new>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::size_t kRiffHeaderSize = 12;
constexpr std::size_t kChunkHeaderSize = 8;
constexpr std::uint32_t kPcmFormatSize = 16;

std::uint16_t U16(const std::uint8_t* p)
{
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t U32(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

bool IsId(const std::uint8_t* p, const char* id)
{
    return std::memcmp(p, id, 4) == 0;
}

// Closes a descriptor when it goes out of scope.
class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
        {
            close(m_fd);
        }
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

void CWaveBuffer::Reset()
{
    m_nChannels = 0;
    m_nBitsPerSample = 0;
    m_nSampleRate = 0;
    m_samples.clear();
    m_samples.shrink_to_fit();
}

std::uint32_t CWaveBuffer::LoadFromFile(const std::filesystem::path& path)
{
    Reset();
    // Non-blocking, so that opening a pipe or a device returns at once; it is refused below.
    const FileDescriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.Get() < 0)
    {
        return CodeFromErrno(errno, path);
    }
    struct stat status = {};
    if (fstat(fd.Get(), &status) != 0)
    {
        return CodeFromErrno(errno, path);
    }
    if (!S_ISREG(status.st_mode))
    {
        return kErrorInvalidData;
    }
    if (status.st_size < 0 || static_cast<std::uint64_t>(status.st_size) > s_nMaxFileBytes)
    {
        return kErrorNotEnoughMemory;
    }
    std::vector<std::uint8_t> bytes;
    try
    {
        bytes.resize(static_cast<std::size_t>(status.st_size));
    }
    catch (const std::bad_alloc&)
    {
        return kErrorNotEnoughMemory;
    }
    std::size_t done = 0;
    while (done < bytes.size())
    {
        const ssize_t n = read(fd.Get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
        {
            continue;
        }
        if (n <= 0)
        {
            // Shrunk since fstat, or unreadable.
            return kErrorInvalidData;
        }
        done += static_cast<std::size_t>(n);
    }
    return LoadFromBytes(bytes.data(), bytes.size());
}

std::uint32_t CWaveBuffer::LoadFromBytes(const std::uint8_t* data, std::size_t size)
{
    Reset();
    if (data == nullptr || size < kRiffHeaderSize || !IsId(data, "RIFF") || !IsId(data + 8, "WAVE"))
    {
        return kErrorInvalidData;
    }
    // The RIFF size must not claim more than the file holds.
    const std::uint64_t riffEnd = std::uint64_t{U32(data + 4)} + 8;
    if (riffEnd > size || riffEnd < kRiffHeaderSize)
    {
        return kErrorInvalidData;
    }
    const std::uint8_t* format = nullptr;
    const std::uint8_t* samples = nullptr;
    std::size_t sampleBytes = 0;
    std::uint64_t at = kRiffHeaderSize;
    while (samples == nullptr && at + kChunkHeaderSize <= riffEnd)
    {
        const std::uint8_t* chunk = data + at;
        const std::uint64_t chunkSize = U32(chunk + 4);
        const std::uint64_t body = at + kChunkHeaderSize;
        if (chunkSize > riffEnd - body)
        {
            return kErrorInvalidData;
        }
        if (IsId(chunk, "fmt "))
        {
            if (format != nullptr || chunkSize < kPcmFormatSize)
            {
                return kErrorInvalidData;
            }
            format = data + body;
        }
        else if (IsId(chunk, "data"))
        {
            if (format == nullptr)
            {
                return kErrorInvalidData;
            }
            samples = data + body;
            sampleBytes = static_cast<std::size_t>(chunkSize);
        }
        // Chunks are padded to an even size.
        at = body + chunkSize + (chunkSize & 1);
    }
    if (samples == nullptr)
    {
        return kErrorInvalidData;
    }

    const std::uint16_t tag = U16(format);
    const std::uint16_t channels = U16(format + 2);
    const std::uint32_t rate = U32(format + 4);
    const std::uint32_t byteRate = U32(format + 8);
    const std::uint16_t blockAlign = U16(format + 12);
    const std::uint16_t bits = U16(format + 14);
    if (tag != kFormatPcm || channels < 1 || channels > 2 || (bits != 8 && bits != 16) ||
        rate < s_nMinRate || rate > s_nMaxRate)
    {
        return kErrorInvalidParameter;
    }
    const std::uint32_t frameBytes = std::uint32_t{channels} * bits / 8;
    if (blockAlign != frameBytes || byteRate != rate * frameBytes)
    {
        return kErrorInvalidData;
    }
    const std::size_t wholeFrames = sampleBytes / frameBytes * frameBytes;
    if (wholeFrames == 0)
    {
        return kErrorInvalidData;
    }
    try
    {
        m_samples.assign(samples, samples + wholeFrames);
    }
    catch (const std::bad_alloc&)
    {
        return kErrorNotEnoughMemory;
    }
    m_nChannels = channels;
    m_nBitsPerSample = bits;
    m_nSampleRate = rate;
    return kErrorSuccess;
}
