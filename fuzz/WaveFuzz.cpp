// libFuzzer entry: any bytes handed to the wave reader must be read safely or refused, and a cue
// it accepts must be one the player can hand to the sound server as it stands.

#include "CWaveBuffer.h"
#include "ErrorCodes.h"
#include "Require.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CWaveBuffer wave;
    const std::uint32_t code = wave.LoadFromBytes(data, size);
    if (code != kErrorSuccess)
    {
        Require(code == kErrorInvalidData || code == kErrorInvalidParameter ||
                code == kErrorNotEnoughMemory);
        Require(!wave.IsLoaded() && wave.Frames() == 0 && wave.m_nChannels == 0);
        return 0;
    }
    Require((wave.m_nChannels == 1 || wave.m_nChannels == 2) &&
            (wave.m_nBitsPerSample == 8 || wave.m_nBitsPerSample == 16));
    Require(wave.m_nSampleRate >= CWaveBuffer::s_nMinRate &&
            wave.m_nSampleRate <= CWaveBuffer::s_nMaxRate);
    Require(wave.Frames() > 0 && wave.m_samples.size() == wave.Frames() * wave.FrameBytes());
    Require(wave.m_samples.size() <= size);
    return 0;
}
