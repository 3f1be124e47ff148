// The bitmap and wave readers: what they read, what they refuse and with which code.
#include "BitmapFile.h"
#include "CDibSectionBuffer.h"
#include "CWaveBuffer.h"
#include "ErrorCodes.h"
#include "ErrorText.h"
#include "WaveFile.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <set>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

// Each test runs in a fresh temporary folder, removed afterwards.
class Reader : public testing::Test
{
protected:
    void SetUp() override
    {
        fs::create_directories(m_dir);
        fs::current_path(m_dir);
    }
    void TearDown() override
    {
        fs::current_path(m_old);
        fs::remove_all(m_dir);
    }
    const fs::path m_old = fs::current_path();
    const fs::path m_dir = fs::temp_directory_path() / ("daviz-reader-" + std::to_string(getpid()));
};

void ExpectEmpty(const CDibSectionBuffer& buffer)
{
    CDibSectionBuffer::Info zero{};
    zero.header.size = 40;
    EXPECT_EQ(std::memcmp(&buffer.InfoBlock(), &zero, sizeof zero), 0);
    EXPECT_TRUE(buffer.Bits() == nullptr && buffer.Stride() == 0);
}

// Every pixel differs from its neighbours, so swapped or shifted rows and columns show.
bmp::Picture Patterned(std::int32_t width, std::int32_t height, std::uint16_t bits)
{
    bmp::Picture picture = bmp::Make(width, height, bits);
    for (std::size_t i = 0; i < picture.pixels.size(); ++i)
        picture.pixels[i] = static_cast<std::uint32_t>(i * 2654435761u + 7u) >> (32 - bits);
    for (std::size_t i = 0; i < picture.palette.size(); ++i)
        picture.palette[i] = {std::uint8_t(i), std::uint8_t(i * 3), std::uint8_t(255 - i), 0};
    return picture;
}

TEST_F(Reader, BitmapsOfEveryDepthReadBackBottomUpOrTopDown)
{
    // Stride of a row 10 pixels wide; the core header (12) has no top-down form.
    for (auto [bits, headerSize, stride] : {std::tuple<std::uint16_t, std::uint32_t, int>{1, 40, 0},
                                            {4, 40, 0},
                                            {8, 40, 12},
                                            {16, 40, 20},
                                            {24, 40, 32},
                                            {32, 40, 40},
                                            {8, 12, 12},
                                            {24, 124, 32}})
        for (bool topDown : {false, headerSize != 12})
        {
            SCOPED_TRACE(testing::Message() << bits << " bits, header " << headerSize << " "
                                            << (topDown ? "top-down" : "bottom-up"));
            const bmp::Picture picture = Patterned(10, 5, bits);
            bmp::WritePicture("p.bmp", picture, {headerSize, topDown});
            CDibSectionBuffer buffer;
            ASSERT_EQ(buffer.LoadFromFile("p.bmp"), 0u);
            const BitmapInfoHeader& h = *buffer.Header();
            EXPECT_TRUE(h.width == 10 && h.height == 5 && h.bitCount == bits);
            EXPECT_EQ(buffer.Stride(), stride);
            // Rows are held bottom-up, as a bottom-up file stores them.
            const Bytes file = bmp::Encode(picture, {headerSize});
            const auto size = static_cast<std::ptrdiff_t>(bmp::RowBytes(10, bits) * 5);
            EXPECT_EQ(Bytes(buffer.Bits(), buffer.Bits() + size),
                      Bytes(file.end() - size, file.end()));
            RgbQuad palette[256] = {};
            std::copy(picture.palette.begin(), picture.palette.end(), palette);
            EXPECT_EQ(std::memcmp(palette, buffer.Colours(), sizeof palette), 0);
        }
}

TEST_F(Reader, BrokenBitmapsAreRefusedWithTheirCodeAndLeaveTheBufferEmpty)
{
    // A good 5 x 3 file (24-bit: 102 bytes, 8-bit: 1102) gets `size` bytes of value at `at`
    // and is then cut to `keep` bytes unless that is 0.
    const struct
    {
        const char* name;
        std::uint16_t bits;
        std::size_t at;
        std::uint64_t value;
        int size;
        std::size_t keep;
        std::uint32_t code;
    } cases[] = {
        {"file header only", 24, 0, 0, 0, 14, kErrorInvalidData},
        {"bad signature", 24, 1, 'X', 1, 0, kErrorInvalidData},
        {"unknown header size", 24, bmp::kOffHeaderSize, 41, 4, 0, kErrorInvalidData},
        {"info header cut short", 24, 0, 0, 0, 30, kErrorInvalidData},
        {"last pixel byte missing", 24, 0, 0, 0, 101, kErrorInvalidData},
        {"pixels one byte too far", 24, bmp::kOffPixels, 55, 4, 0, kErrorInvalidData},
        {"pixels far past the end", 24, bmp::kOffPixels, 0xFFFFFFFFu, 4, 0, kErrorInvalidData},
        {"palette past the end", 8, 0, 0, 0, 154, kErrorInvalidData},
        {"palette longer than 256", 8, bmp::kOffClrUsed, 257, 4, 0, kErrorInvalidData},
        {"run-length", 8, bmp::kOffCompression, 1, 4, 0, kErrorInvalidParameter},
        {"bit fields", 24, bmp::kOffCompression, 3, 4, 0, kErrorInvalidParameter},
        {"bit count 2", 24, bmp::kOffBitCount, 2, 2, 0, kErrorInvalidData},
        {"two planes", 24, bmp::kOffPlanes, 2, 2, 0, kErrorInvalidData},
        {"negative width", 24, bmp::kOffWidth, 0xFFFFFFFBu, 4, 0, kErrorInvalidData},
        {"zero height", 24, bmp::kOffHeight, 0, 4, 0, kErrorInvalidData},
        {"width past the limit", 24, bmp::kOffWidth, 16385, 4, 0, kErrorNotEnoughMemory},
        {"top-down height past it", 24, bmp::kOffHeight, 0xFFFFBFFFu, 4, 0, kErrorNotEnoughMemory},
        {"most negative height", 24, bmp::kOffHeight, 0x80000000u, 4, 0, kErrorNotEnoughMemory},
        // 16384 x 2000: both sides within the limits, but too many bytes.
        {"too many bytes", 32, bmp::kOffWidth, 2000ull << 32 | 16384, 8, 0, kErrorNotEnoughMemory},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        Bytes bytes = bmp::Encode(Patterned(5, 3, c.bits));
        bmp::Put(bytes, c.at, c.value, c.size);
        bytes.resize(c.keep != 0 ? c.keep : bytes.size());
        bmp::WriteFile("broken.bmp", bytes);
        CDibSectionBuffer fromFile, fromMemory;
        EXPECT_EQ(fromFile.LoadFromFile("broken.bmp"), c.code);
        EXPECT_EQ(LoadBitmapFromBytes(fromMemory, bytes.data(), bytes.size()), c.code);
        ExpectEmpty(fromFile);
        ExpectEmpty(fromMemory);
    }
}

// Both readers open what the name leads to without blocking, and tell what is wrong with it.
TEST_F(Reader, FileSystemFailuresHaveTheirOwnCodesForBothReaders)
{
    bmp::WritePicture("plain.bmp", bmp::Make(2, 2, 24));
    ASSERT_TRUE(wav::Write("plain.wav", wav::Make({}, Bytes(20, 0))));
    fs::create_directory("folder");
    ASSERT_EQ(mkfifo("pipe", 0600), 0);
    ASSERT_EQ(symlink("/dev/zero", "device"), 0);
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"missing", kErrorFileNotFound},      {"nowhere/missing", kErrorPathNotFound},
        {"plain.bmp/in", kErrorPathNotFound}, {"folder", kErrorInvalidData},
        {"pipe", kErrorInvalidData},          {"device", kErrorInvalidData}};
    for (const auto& [path, code] : cases)
    {
        CDibSectionBuffer bitmap;
        CWaveBuffer wave;
        EXPECT_EQ(bitmap.LoadFromFile(path), code) << path;
        EXPECT_EQ(wave.LoadFromFile(path), code) << path;
        EXPECT_TRUE(bitmap.Bits() == nullptr && !wave.IsLoaded()) << path;
    }
    CDibSectionBuffer bitmap;
    CWaveBuffer wave;
    EXPECT_EQ(bitmap.LoadFromFile("plain.bmp"), kErrorSuccess);
    EXPECT_EQ(wave.LoadFromFile("plain.wav"), kErrorSuccess);
}

TEST(BufferRows, BlankPicturesRowAddressesAndRefusalsWhileHeld)
{
    for (auto [width, height, code] : {std::tuple{0, 5, kErrorInvalidParameter},
                                       {5, -1, kErrorInvalidParameter},
                                       {1, 16385, kErrorNotEnoughMemory},
                                       {16384, 16384, kErrorNotEnoughMemory}})
    {
        CDibSectionBuffer buffer;
        EXPECT_EQ(buffer.CreateBlank(width, height), code) << width << "x" << height;
        ExpectEmpty(buffer);
    }
    CDibSectionBuffer buffer;
    ASSERT_EQ(buffer.CreateBlank(10, 5), 0u);
    ASSERT_TRUE(buffer.Header()->bitCount == 24 && buffer.Stride() == 32);
    const std::uint8_t* bits = buffer.Bits();
    // Offsets of the rows from the start of memory; -1 for no row.
    for (auto [y, offset] : {std::pair{INT_MIN, -1}, {-1, -1}, {0, 128}, {4, 0}, {5, -1}})
        EXPECT_EQ(buffer.GetRowAddress(y), offset < 0 ? nullptr : bits + offset) << y;

    // A held picture refuses every new one and stays as it was, until Reset.
    const Bytes other = bmp::Encode(bmp::Make(7, 2, 8));
    const CDibSectionBuffer::Info before = buffer.InfoBlock();
    EXPECT_EQ(LoadBitmapFromBytes(buffer, other.data(), other.size()), kErrorInvalidParameter);
    EXPECT_EQ(buffer.CreateBlank(9, 9), kErrorInvalidParameter);
    EXPECT_EQ(buffer.Bits(), bits);
    EXPECT_EQ(std::memcmp(&before, &buffer.InfoBlock(), sizeof before), 0);
    buffer.Reset();
    ExpectEmpty(buffer);
    EXPECT_EQ(LoadBitmapFromBytes(buffer, other.data(), other.size()), 0u);
}

TEST(ErrorText, EveryCodeWeProduceHasATextOfItsOwn)
{
    std::set<std::string> seen;
    for (std::uint32_t code :
         {kErrorSuccess, kErrorFileNotFound, kErrorPathNotFound, kErrorAccessDenied,
          kErrorNotEnoughMemory, kErrorInvalidData, kErrorNotReady, kErrorInvalidParameter})
        EXPECT_TRUE(seen.insert(ErrorText(code)).second &&
                    ErrorText(code).find("Unknown") == std::string::npos)
            << code << ": " << ErrorText(code);
    EXPECT_EQ(ErrorText(4294967295u), "Unknown error (code 4294967295).");
}

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

// Every way a cue file can be wrong is refused with its code and leaves the buffer empty;
// well-formed files keep their whole frames.
TEST_F(Reader, WavesAreReadWholeOrRefused)
{
    const wav::Format mono16{1, 1, 22050, 16};
    const Bytes good = wav::Make(mono16, Bytes(440, 1));
    const Bytes list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 1, 2, 3, 0}; // its pad byte is skipped
    Bytes oddChunk = good;
    oddChunk.insert(oddChunk.begin() + 36, list.begin(), list.end());
    oddChunk = Patched(oddChunk, 4, static_cast<std::uint32_t>(oddChunk.size() - 8));
    const auto atLimit = [&](std::size_t extra)
    { return wav::Make(mono16, Bytes(CWaveBuffer::s_nMaxFileBytes - 44 + extra, 0)); };
    Bytes dataFirst = good;
    std::memcpy(&dataFirst[12], "data", 4);
    std::memcpy(&dataFirst[36], "fmt ", 4);
    const struct
    {
        const char* name;
        Bytes bytes;
        std::uint32_t code;
        std::size_t frames;
    } cases[] = {
        {"mono 16", good, kErrorSuccess, 220},
        {"stereo 8 at 96 kHz", WithFormat({1, 2, 96000, 8}), kErrorSuccess, 10},
        {"mono 8 at 8 kHz", WithFormat({1, 1, 8000, 8}), kErrorSuccess, 10},
        {"odd chunk", oddChunk, kErrorSuccess, 220},
        {"half a frame dropped", wav::Make({1, 2, 8000, 16}, Bytes(9, 0)), kErrorSuccess, 2},
        {"at the size limit", atLimit(0), kErrorSuccess, (CWaveBuffer::s_nMaxFileBytes - 44) / 2},
        {"over it", atLimit(2), kErrorNotEnoughMemory, 0},
        {"empty", {}, kErrorInvalidData, 0},
        {"header only", Bytes(good.begin(), good.begin() + 20), kErrorInvalidData, 0},
        {"truncated", Bytes(good.begin(), good.end() - 3), kErrorInvalidData, 0},
        {"not RIFF", Patched(good, 0, 0x46464952 + 1), kErrorInvalidData, 0},
        {"not WAVE", Patched(good, 8, 0x45564157 + 1), kErrorInvalidData, 0},
        {"ADPCM", WithFormat({2, 1, 22050, 16}), kErrorInvalidParameter, 0},
        {"extensible", WithFormat({0xfffe, 1, 22050, 16}), kErrorInvalidParameter, 0},
        {"24 bits", WithFormat({1, 1, 22050, 24}), kErrorInvalidParameter, 0},
        {"3 channels", WithFormat({1, 3, 22050, 16}), kErrorInvalidParameter, 0},
        {"no channels", Patched(good, 22, 0, 2), kErrorInvalidParameter, 0},
        {"rate too low", WithFormat({1, 1, 7999, 16}), kErrorInvalidParameter, 0},
        {"rate too high", WithFormat({1, 1, 96001, 16}), kErrorInvalidParameter, 0},
        {"byte rate wrong", Patched(good, 28, 1), kErrorInvalidData, 0},
        {"block align wrong", Patched(good, 32, 4, 2), kErrorInvalidData, 0},
        {"RIFF size absurd", Patched(good, 4, 0xfffffff0), kErrorInvalidData, 0},
        {"format size absurd", Patched(good, 16, 0xfffffff0), kErrorInvalidData, 0},
        {"format too short", Patched(good, 16, 14), kErrorInvalidData, 0},
        {"data size absurd", Patched(good, 40, 0xfffffff0), kErrorInvalidData, 0},
        {"no samples", wav::Make(mono16, {}), kErrorInvalidData, 0},
        {"data before format", dataFirst, kErrorInvalidData, 0},
        {"no data", Patched(good, 36, 0x4b4e554a), kErrorInvalidData, 0},
    };
    for (const auto& c : cases)
    {
        ASSERT_TRUE(wav::Write("cue.wav", c.bytes));
        CWaveBuffer wave;
        EXPECT_EQ(wave.LoadFromFile("cue.wav"), c.code) << c.name;
        EXPECT_EQ(wave.Frames(), c.frames) << c.name;
    }
    // A sparse gigabyte is refused by its size, before anything is read.
    ASSERT_EQ(truncate("cue.wav", off_t{1} << 30), 0);
    CWaveBuffer wave;
    EXPECT_EQ(wave.LoadFromFile("cue.wav"), kErrorNotEnoughMemory);
}

} // namespace
