#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

// One sound cue read from a RIFF/WAVE file and held in memory: uncompressed PCM, 8-bit unsigned
// or 16-bit signed little-endian samples, one or two channels, 8 to 96 kHz. The samples are kept
// as the file stores them, whole frames only.
class CWaveBuffer
{
public:
    // Files above this size are refused before anything is read.
    static constexpr std::uint64_t s_nMaxFileBytes = std::uint64_t{8} * 1024 * 1024;
    static constexpr std::uint32_t s_nMinRate = 8000;
    static constexpr std::uint32_t s_nMaxRate = 96000;

    // 0 on success, else an error code of ErrorCodes.h; the buffer is then left empty.
    // Only regular files are read: folders, pipes and devices are refused without blocking.
    std::uint32_t LoadFromFile(const std::filesystem::path& path);
    std::uint32_t LoadFromBytes(const std::uint8_t* data, std::size_t size);
    void Reset();

    bool IsLoaded() const { return !m_samples.empty(); }
    std::size_t FrameBytes() const { return std::size_t{m_nChannels} * m_nBitsPerSample / 8; }
    std::size_t Frames() const { return IsLoaded() ? m_samples.size() / FrameBytes() : 0; }

    std::uint16_t m_nChannels = 0;
    std::uint16_t m_nBitsPerSample = 0;
    std::uint32_t m_nSampleRate = 0;
    std::vector<std::uint8_t> m_samples;
};
