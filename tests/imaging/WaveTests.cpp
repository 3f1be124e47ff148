#include "CWaveBuffer.h"
#include "ErrorCodes.h"
#include "WaveFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const wav::Format kMono16{1, 1, 22050, 16};
const Bytes kTone = wav::Tone(kMono16, 440, 0.01);

Bytes Patched(Bytes bytes, std::size_t at, std::uint32_t value, int width = 4)
{
    for (int i = 0; i < width; ++i)
        bytes[at + std::size_t(i)] = static_cast<std::uint8_t>(value >> (8 * i));
    return bytes;
}

Bytes WithFormat(wav::Format f)
{
    return wav::Make(f, Bytes(std::size_t(f.channels) * f.bits / 8 * 10, 0x80));
}

struct WaveCase
{
    const char* name;
    // Makes the file at the path; returns false when it cannot.
    std::function<bool(const fs::path&)> make;
    std::uint32_t code;
    std::size_t frames; // when read
};

void PrintTo(const WaveCase& c, std::ostream* out)
{
    *out << c.name;
}

bool Save(const fs::path& p, const Bytes& b)
{
    return wav::Write(p, b);
}

std::function<bool(const fs::path&)> File(Bytes b)
{
    return [b](const fs::path& p) { return Save(p, b); };
}

// Every way a cue file can be wrong is refused with its code, leaves the buffer empty and never
// blocks; well-formed files keep their whole frames.
class WaveFiles : public testing::TestWithParam<WaveCase>
{
};

TEST_P(WaveFiles, ReadOrRefused)
{
    const WaveCase& c = GetParam();
    const fs::path dir = fs::temp_directory_path() / ("daviz-wave-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const fs::path path = dir / "cue.wav";
    ASSERT_TRUE(c.make(path));
    CWaveBuffer wave;
    EXPECT_EQ(wave.LoadFromFile(path), c.code);
    EXPECT_EQ(wave.Frames(), c.frames);
    EXPECT_EQ(wave.IsLoaded(), c.code == kErrorSuccess);
    fs::remove_all(dir);
}

const Bytes kGood = wav::Make(kMono16, kTone);
const std::size_t kToneFrames = kTone.size() / 2;

// An odd-sized chunk before the samples: its pad byte must be skipped.
Bytes WithOddChunk()
{
    Bytes b(kGood.begin(), kGood.begin() + 36);
    wav::PutId(b, "LIST");
    wav::Put(b, 3, 4);
    b.insert(b.end(), {1, 2, 3, 0});
    b.insert(b.end(), kGood.begin() + 36, kGood.end());
    return Patched(b, 4, static_cast<std::uint32_t>(b.size() - 8));
}

// Largest size allowed: the data chunk fills the file to the limit.
Bytes AtLimit(std::uint64_t extra)
{
    const std::size_t samples = std::size_t(CWaveBuffer::s_nMaxFileBytes - 44 + extra);
    return wav::Make(kMono16, Bytes(samples, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Table, WaveFiles,
    testing::Values(
        WaveCase{"mono16", File(kGood), kErrorSuccess, kToneFrames},
        WaveCase{"stereo8at96k", File(WithFormat({1, 2, 96000, 8})), kErrorSuccess, 10},
        WaveCase{"mono8at8k", File(WithFormat({1, 1, 8000, 8})), kErrorSuccess, 10},
        WaveCase{"oddChunk", File(WithOddChunk()), kErrorSuccess, kToneFrames},
        WaveCase{"halfFrameDropped", File(wav::Make({1, 2, 8000, 16}, Bytes(9, 0))), kErrorSuccess,
                 2},
        WaveCase{"atSizeLimit", File(AtLimit(0)), kErrorSuccess, (AtLimit(0).size() - 44) / 2},
        WaveCase{"overSizeLimit", File(AtLimit(2)), kErrorNotEnoughMemory, 0},
        WaveCase{"sparseGigabyte",
                 [](const fs::path& p)
                 { return Save(p, kGood) && truncate(p.c_str(), off_t{1} << 30) == 0; },
                 kErrorNotEnoughMemory, 0},
        WaveCase{"missing", [](const fs::path&) { return true; }, kErrorFileNotFound, 0},
        WaveCase{"empty", File({}), kErrorInvalidData, 0},
        WaveCase{"headerOnly", File(Bytes(kGood.begin(), kGood.begin() + 20)), kErrorInvalidData,
                 0},
        WaveCase{"truncated", File(Bytes(kGood.begin(), kGood.end() - 3)), kErrorInvalidData, 0},
        WaveCase{"notRiff", File(Patched(kGood, 0, 0x46464952 + 1)), kErrorInvalidData, 0},
        WaveCase{"notWave", File(Patched(kGood, 8, 0x45564157 + 1)), kErrorInvalidData, 0},
        WaveCase{"folder", [](const fs::path& p) { return fs::create_directory(p); },
                 kErrorInvalidData, 0},
        WaveCase{"fifo", [](const fs::path& p) { return mkfifo(p.c_str(), 0600) == 0; },
                 kErrorInvalidData, 0},
        WaveCase{"device", [](const fs::path& p) { return symlink("/dev/zero", p.c_str()) == 0; },
                 kErrorInvalidData, 0},
        WaveCase{"adpcm", File(WithFormat({2, 1, 22050, 16})), kErrorInvalidParameter, 0},
        WaveCase{"extensible", File(WithFormat({0xfffe, 1, 22050, 16})), kErrorInvalidParameter, 0},
        WaveCase{"24bit", File(WithFormat({1, 1, 22050, 24})), kErrorInvalidParameter, 0},
        WaveCase{"3channels", File(WithFormat({1, 3, 22050, 16})), kErrorInvalidParameter, 0},
        WaveCase{"0channels", File(Patched(kGood, 22, 0, 2)), kErrorInvalidParameter, 0},
        WaveCase{"rateTooLow", File(WithFormat({1, 1, 7999, 16})), kErrorInvalidParameter, 0},
        WaveCase{"rateTooHigh", File(WithFormat({1, 1, 96001, 16})), kErrorInvalidParameter, 0},
        WaveCase{"rateAbsurd", File(Patched(kGood, 24, 0xffffffff)), kErrorInvalidParameter, 0},
        WaveCase{"byteRateWrong", File(Patched(kGood, 28, 1)), kErrorInvalidData, 0},
        WaveCase{"blockAlignWrong", File(Patched(kGood, 32, 4, 2)), kErrorInvalidData, 0},
        WaveCase{"riffSizeAbsurd", File(Patched(kGood, 4, 0xfffffff0)), kErrorInvalidData, 0},
        WaveCase{"fmtSizeAbsurd", File(Patched(kGood, 16, 0xfffffff0)), kErrorInvalidData, 0},
        WaveCase{"fmtTooShort", File(Patched(kGood, 16, 14)), kErrorInvalidData, 0},
        WaveCase{"dataSizeAbsurd", File(Patched(kGood, 40, 0xfffffff0)), kErrorInvalidData, 0},
        WaveCase{"dataEmpty", File(wav::Make(kMono16, {})), kErrorInvalidData, 0},
        WaveCase{"dataBeforeFormat",
                 File(
                     []
                     {
                         Bytes b = kGood;
                         std::memcpy(&b[12], "data", 4);
                         std::memcpy(&b[36], "fmt ", 4);
                         return b;
                     }()),
                 kErrorInvalidData, 0},
        WaveCase{"noData", File(Patched(kGood, 36, 0x4b4e554a)), kErrorInvalidData, 0}),
    [](const testing::TestParamInfo<WaveCase>& info) { return std::string(info.param.name); });

} // namespace
