#include "BmpFile.h"
#include "CDibSectionBuffer.h"
#include "ErrorCodes.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <sys/stat.h>

namespace
{

using Bytes = std::vector<std::uint8_t>;

void ExpectEmpty(const CDibSectionBuffer& buffer)
{
    EXPECT_EQ(buffer.m_pBits, nullptr);
    EXPECT_EQ(buffer.m_nStride, 0);
    EXPECT_EQ(buffer.m_pHeader, &buffer.m_info.header);
    EXPECT_EQ(buffer.m_pColours, buffer.m_info.colours);
    CDibSectionBuffer::Info zero{};
    zero.header.size = 40;
    EXPECT_EQ(std::memcmp(&buffer.m_info, &zero, sizeof zero), 0);
    EXPECT_EQ(buffer.GetRowAddress(0), nullptr);
}

// A picture whose every pixel differs from its neighbours, so swapped or shifted rows show.
bmp::Picture Patterned(std::int32_t width, std::int32_t height, std::uint16_t bitCount)
{
    bmp::Picture picture = bmp::Make(width, height, bitCount);
    const std::uint32_t mask = bitCount >= 32 ? 0xFFFFFFFFu : (1u << bitCount) - 1;
    for (std::int32_t y = 0; y < height; ++y)
    {
        for (std::int32_t x = 0; x < width; ++x)
        {
            picture.At(x, y) = (static_cast<std::uint32_t>(x) * 2654435761u +
                                static_cast<std::uint32_t>(y) * 40503u + 7u) &
                               mask;
        }
    }
    for (std::size_t i = 0; i < picture.palette.size(); ++i)
    {
        picture.palette[i] =
            bmp::Colour{static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i * 3),
                        static_cast<std::uint8_t>(255 - i)};
    }
    return picture;
}

// Reads pixel (x, y) back out of the stored rows, whatever the depth. The real row length is used
// so that 1- and 4-bit pictures, whose m_nStride is 0, can be checked too.
std::uint32_t StoredPixel(const CDibSectionBuffer& buffer, std::int32_t x, std::int32_t y)
{
    const BitmapInfoHeader& header = *buffer.m_pHeader;
    const std::int64_t rowBytes = bmp::RowBytes(header.width, header.bitCount);
    const std::uint8_t* row = buffer.m_pBits + (header.height - 1 - y) * rowBytes;
    const std::size_t ux = static_cast<std::size_t>(x);
    switch (header.bitCount)
    {
    case 1:
        return (row[ux / 8] >> (7 - ux % 8)) & 1u;
    case 4:
        return (row[ux / 2] >> (ux % 2 == 0 ? 4 : 0)) & 15u;
    case 8:
        return row[ux];
    case 16:
        return row[2 * ux] | (row[2 * ux + 1] << 8);
    case 24:
        return row[3 * ux] | (row[3 * ux + 1] << 8) |
               (static_cast<std::uint32_t>(row[3 * ux + 2]) << 16);
    default:
        return row[4 * ux] | (row[4 * ux + 1] << 8) |
               (static_cast<std::uint32_t>(row[4 * ux + 2]) << 16) |
               (static_cast<std::uint32_t>(row[4 * ux + 3]) << 24);
    }
}

class BufferFileTest : public TempFolderTest
{
};

// ---------------------------------------------------------------- round trips

struct RoundTripCase
{
    std::uint16_t bitCount;
    std::uint32_t headerSize;
    bool topDown;
    std::int32_t width;
    std::int32_t height;
};

TEST_F(BufferFileTest, EveryDepthAndHeaderFormReadsBackItsPixelsAndPalette)
{
    std::vector<RoundTripCase> cases;
    for (std::uint16_t bits : {1, 4, 8, 16, 24, 32})
    {
        for (std::uint32_t headerSize : {12u, 40u, 108u, 124u})
        {
            if (headerSize == 12 && (bits == 16 || bits == 32))
            {
                continue;
            }
            for (bool topDown : {false, true})
            {
                if (headerSize == 12 && topDown)
                {
                    continue;
                }
                cases.push_back({bits, headerSize, topDown, 13, 5});
                cases.push_back({bits, headerSize, topDown, 1, 1});
            }
        }
    }
    for (const RoundTripCase& c : cases)
    {
        SCOPED_TRACE(testing::Message()
                     << c.bitCount << " bits, header " << c.headerSize
                     << (c.topDown ? ", top-down " : ", bottom-up ") << c.width << "x" << c.height);
        const bmp::Picture picture = Patterned(c.width, c.height, c.bitCount);
        bmp::WritePicture("p.bmp", picture, {c.headerSize, c.topDown});
        CDibSectionBuffer buffer;
        ASSERT_EQ(buffer.LoadFromFile("p.bmp"), 0u);
        const BitmapInfoHeader& h = *buffer.m_pHeader;
        EXPECT_EQ(h.size, 40u);
        EXPECT_EQ(h.width, c.width);
        EXPECT_EQ(h.height, c.height);
        EXPECT_EQ(h.bitCount, c.bitCount);
        EXPECT_EQ(h.planes, 1);
        EXPECT_EQ(h.compression, 0u);
        EXPECT_EQ(buffer.m_nStride, ((c.bitCount / 8) * c.width + 3) & ~3);
        for (std::int32_t y = 0; y < c.height; ++y)
        {
            for (std::int32_t x = 0; x < c.width; ++x)
            {
                ASSERT_EQ(StoredPixel(buffer, x, y),
                          picture.pixels[static_cast<std::size_t>(y * c.width + x)])
                    << "pixel " << x << "," << y;
            }
        }
        for (std::size_t i = 0; i < 256; ++i)
        {
            const RgbQuad entry = buffer.m_pColours[i];
            if (i < picture.palette.size())
            {
                EXPECT_EQ(entry.blue, picture.palette[i].blue);
                EXPECT_EQ(entry.green, picture.palette[i].green);
                EXPECT_EQ(entry.red, picture.palette[i].red);
            }
            else
            {
                EXPECT_EQ(entry.blue | entry.green | entry.red | entry.reserved, 0)
                    << "entry " << i;
            }
        }
    }
}

TEST_F(BufferFileTest, ShortPaletteLeavesTheRestOfTheTableZero)
{
    bmp::Picture picture = Patterned(4, 2, 8);
    picture.palette.resize(3);
    for (std::uint32_t& p : picture.pixels)
    {
        p %= 3;
    }
    bmp::WritePicture("p.bmp", picture);
    CDibSectionBuffer buffer;
    ASSERT_EQ(buffer.LoadFromFile("p.bmp"), 0u);
    EXPECT_EQ(buffer.m_pColours[2].red, picture.palette[2].red);
    EXPECT_EQ(buffer.m_pColours[3].red | buffer.m_pColours[3].blue, 0);
}

TEST(BufferStride, FollowsTheWholeBytesPerPixelRule)
{
    struct Case
    {
        std::uint16_t bits;
        std::int32_t width;
        std::int32_t stride;
    };
    const Case cases[] = {{24, 10, 32}, {8, 10, 12}, {1, 10, 0}, {4, 10, 0}, {16, 3, 8},
                          {32, 3, 12},  {24, 1, 4},  {8, 1, 4},  {8, 4, 4},  {24, 4, 12}};
    for (const Case& c : cases)
    {
        const Bytes file = bmp::Encode(bmp::Make(c.width, 3, c.bits));
        CDibSectionBuffer buffer;
        ASSERT_EQ(LoadBitmapFromBytes(buffer, file.data(), file.size()), 0u);
        EXPECT_EQ(buffer.m_nStride, c.stride) << c.bits << " bits, width " << c.width;
        EXPECT_EQ(buffer.m_nStride % 4, 0);
    }
}

// ---------------------------------------------------------------- hostile and broken files

struct RefusalCase
{
    const char* name;
    std::function<Bytes()> make;
    std::uint32_t code;
};

Bytes Good8(std::int32_t w = 5, std::int32_t h = 3)
{
    return bmp::Encode(Patterned(w, h, 8));
}

Bytes Good24(std::int32_t w = 5, std::int32_t h = 3)
{
    return bmp::Encode(Patterned(w, h, 24));
}

Bytes Patched32(Bytes bytes, std::size_t offset, std::uint32_t value)
{
    bmp::PutU32(bytes, offset, value);
    return bytes;
}

Bytes Patched16(Bytes bytes, std::size_t offset, std::uint16_t value)
{
    bmp::PutU16(bytes, offset, value);
    return bytes;
}

Bytes Cut(Bytes bytes, std::size_t length)
{
    bytes.resize(length);
    return bytes;
}

// A header that claims a picture far larger than the few bytes that follow it.
Bytes Claiming(std::int32_t width, std::int32_t height, std::uint16_t bits = 24)
{
    return Patched32(Patched32(Patched16(Good24(), bmp::kOffBitCount, bits), bmp::kOffWidth,
                               static_cast<std::uint32_t>(width)),
                     bmp::kOffHeight, static_cast<std::uint32_t>(height));
}

const std::vector<RefusalCase>& RefusalCases()
{
    static const std::vector<RefusalCase> cases = {
        {"empty file", [] { return Bytes{}; }, kErrorInvalidData},
        {"only the signature",
         [] {
             return Bytes{'B', 'M'};
         },
         kErrorInvalidData},
        {"file header only", [] { return Cut(Good24(), 14); }, kErrorInvalidData},
        {"bad signature",
         []
         {
             auto b = Good24();
             b[1] = 'X';
             return b;
         },
         kErrorInvalidData},
        {"text file",
         []
         {
             std::string s(200, 'x');
             return Bytes(s.begin(), s.end());
         },
         kErrorInvalidData},
        {"unknown header size", [] { return Patched32(Good24(), bmp::kOffHeaderSize, 41); },
         kErrorInvalidData},
        {"header size zero", [] { return Patched32(Good24(), bmp::kOffHeaderSize, 0); },
         kErrorInvalidData},
        {"header size huge", [] { return Patched32(Good24(), bmp::kOffHeaderSize, 0xFFFFFFF0u); },
         kErrorInvalidData},
        {"info header cut short", [] { return Cut(Good24(), 30); }, kErrorInvalidData},
        {"v5 header cut short", [] { return Cut(bmp::Encode(Patterned(2, 2, 24), {124}), 100); },
         kErrorInvalidData},
        {"last pixel byte missing",
         []
         {
             auto b = Good24();
             b.pop_back();
             return b;
         },
         kErrorInvalidData},
        {"pixels missing",
         []
         {
             auto b = Good24();
             return Cut(b, 54);
         },
         kErrorInvalidData},
        {"run-length 8", [] { return Patched32(Good8(), bmp::kOffCompression, 1); },
         kErrorInvalidParameter},
        {"run-length 4",
         [] { return Patched32(bmp::Encode(Patterned(4, 4, 4)), bmp::kOffCompression, 2); },
         kErrorInvalidParameter},
        {"bit fields, 32 bits",
         [] { return Patched32(bmp::Encode(Patterned(4, 4, 32)), bmp::kOffCompression, 3); },
         kErrorInvalidParameter},
        {"bit fields, 16 bits",
         [] { return Patched32(bmp::Encode(Patterned(4, 4, 16)), bmp::kOffCompression, 3); },
         kErrorInvalidParameter},
        {"embedded PNG", [] { return Patched32(Good24(), bmp::kOffCompression, 5); },
         kErrorInvalidParameter},
        {"compressed, in a v5 header",
         [] {
             return bmp::Encode(Patterned(4, 4, 8), {124, false, 1});
         },
         kErrorInvalidParameter},
        {"bit count 2", [] { return Patched16(Good24(), bmp::kOffBitCount, 2); },
         kErrorInvalidData},
        {"bit count 0", [] { return Patched16(Good24(), bmp::kOffBitCount, 0); },
         kErrorInvalidData},
        {"bit count 64", [] { return Patched16(Good24(), bmp::kOffBitCount, 64); },
         kErrorInvalidData},
        {"two planes", [] { return Patched16(Good24(), bmp::kOffPlanes, 2); }, kErrorInvalidData},
        {"zero width", [] { return Patched32(Good24(), bmp::kOffWidth, 0); }, kErrorInvalidData},
        {"negative width",
         [] { return Patched32(Good24(), bmp::kOffWidth, static_cast<std::uint32_t>(-5)); },
         kErrorInvalidData},
        {"zero height", [] { return Patched32(Good24(), bmp::kOffHeight, 0); }, kErrorInvalidData},
        {"width past the limit", [] { return Claiming(16385, 1); }, kErrorNotEnoughMemory},
        {"height past the limit", [] { return Claiming(1, 16385); }, kErrorNotEnoughMemory},
        {"top-down height past the limit", [] { return Claiming(1, -16385); },
         kErrorNotEnoughMemory},
        {"most negative height", [] { return Claiming(1, INT_MIN); }, kErrorNotEnoughMemory},
        {"largest width", [] { return Claiming(INT_MAX, 1); }, kErrorNotEnoughMemory},
        {"both sides at the limit", [] { return Claiming(16384, 16384); }, kErrorNotEnoughMemory},
        {"within the limits but too many bytes", [] { return Claiming(16384, 2000, 32); },
         kErrorNotEnoughMemory},
        {"width at the limit, pixels missing", [] { return Claiming(16384, 1); },
         kErrorInvalidData},
        {"palette longer than 256", [] { return Patched32(Good8(), bmp::kOffClrUsed, 257); },
         kErrorInvalidData},
        {"palette count huge", [] { return Patched32(Good8(), bmp::kOffClrUsed, 0xFFFFFFFFu); },
         kErrorInvalidData},
        {"palette past the end", [] { return Cut(Good8(), 14 + 40 + 100); }, kErrorInvalidData},
        {"core palette past the end",
         [] { return Cut(bmp::Encode(Patterned(2, 2, 8), {12}), 14 + 12 + 3 * 200); },
         kErrorInvalidData},
        {"pixel offset past the end",
         []
         {
             auto b = Good24();
             return Patched32(b, bmp::kOffPixels, static_cast<std::uint32_t>(b.size() + 1));
         },
         kErrorInvalidData},
        {"pixel offset one byte too far",
         []
         {
             auto b = Good24();
             return Patched32(b, bmp::kOffPixels, 55);
         },
         kErrorInvalidData},
        {"pixel offset at the top of the range",
         [] { return Patched32(Good24(), bmp::kOffPixels, 0xFFFFFFFFu); }, kErrorInvalidData},
        {"pixel offset inside the headers", [] { return Patched32(Good24(), bmp::kOffPixels, 20); },
         kErrorInvalidData},
    };
    return cases;
}

void ExpectRefused(CDibSectionBuffer& buffer, std::uint32_t got, const RefusalCase& c)
{
    EXPECT_EQ(got, c.code) << c.name;
    ExpectEmpty(buffer);
}

TEST(BufferRefusal, BrokenBytesAreRefusedAndLeaveTheBufferEmpty)
{
    for (const RefusalCase& c : RefusalCases())
    {
        SCOPED_TRACE(c.name);
        const Bytes bytes = c.make();
        CDibSectionBuffer buffer;
        ExpectRefused(buffer, LoadBitmapFromBytes(buffer, bytes.data(), bytes.size()), c);
    }
}

TEST_F(BufferFileTest, BrokenFilesAreRefusedLikeTheSameBytesInMemory)
{
    for (const RefusalCase& c : RefusalCases())
    {
        SCOPED_TRACE(c.name);
        bmp::WriteFile("broken.bmp", c.make());
        CDibSectionBuffer buffer;
        ExpectRefused(buffer, buffer.LoadFromFile("broken.bmp"), c);
    }
}

TEST(BufferRefusal, NullBytesAreNotABitmap)
{
    CDibSectionBuffer buffer;
    EXPECT_EQ(LoadBitmapFromBytes(buffer, nullptr, 100), kErrorInvalidData);
    ExpectEmpty(buffer);
}

TEST(BufferRefusal, AcceptedAtTheEdges)
{
    const struct
    {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"full 256-entry palette",
         Patched32(bmp::Encode(Patterned(3, 3, 8)), bmp::kOffClrUsed, 256)},
        {"width at the limit", bmp::Encode(bmp::Make(16384, 1, 24))},
        {"height at the limit, top-down", bmp::Encode(bmp::Make(1, 16384, 8), {40, true})},
        {"trailing bytes after the pixels",
         []
         {
             auto b = Good24();
             b.resize(b.size() + 99);
             return b;
         }()},
    };
    for (const auto& c : cases)
    {
        CDibSectionBuffer buffer;
        EXPECT_EQ(LoadBitmapFromBytes(buffer, c.bytes.data(), c.bytes.size()), 0u) << c.name;
    }
}

// ---------------------------------------------------------------- the file system

TEST_F(BufferFileTest, FileSystemFailuresHaveTheirOwnCodes)
{
    bmp::WriteFile("plain.bmp", Good24());
    std::filesystem::create_directory("folder.bmp");
    std::filesystem::create_directory("sub");
    ASSERT_EQ(mkfifo("pipe.bmp", 0600), 0);
    const struct
    {
        const char* path;
        std::uint32_t code;
    } cases[] = {
        {"missing.bmp", kErrorFileNotFound},
        {"sub/missing.bmp", kErrorFileNotFound},
        {"nowhere/missing.bmp", kErrorPathNotFound},
        {"nowhere/deeper/missing.bmp", kErrorPathNotFound},
        {"plain.bmp/inside.bmp", kErrorPathNotFound},
        {"folder.bmp", kErrorInvalidData},
        {"pipe.bmp", kErrorInvalidData},
        {"", kErrorFileNotFound},
        {"plain.bmp", kErrorSuccess},
    };
    for (const auto& c : cases)
    {
        CDibSectionBuffer buffer;
        EXPECT_EQ(buffer.LoadFromFile(c.path), c.code) << "'" << c.path << "'";
        EXPECT_EQ(buffer.m_pBits != nullptr, c.code == kErrorSuccess) << c.path;
    }
}

TEST_F(BufferFileTest, UnreadableFileIsAccessDenied)
{
    if (geteuid() == 0)
    {
        GTEST_SKIP() << "root reads every file";
    }
    bmp::WriteFile("locked.bmp", Good24());
    std::filesystem::permissions("locked.bmp", std::filesystem::perms::none);
    std::filesystem::create_directory("closed");
    bmp::WriteFile("closed/inner.bmp", Good24());
    std::filesystem::permissions("closed", std::filesystem::perms::none);
    for (const char* path : {"locked.bmp", "closed/inner.bmp"})
    {
        CDibSectionBuffer buffer;
        EXPECT_EQ(buffer.LoadFromFile(path), kErrorAccessDenied) << path;
        ExpectEmpty(buffer);
    }
    std::filesystem::permissions("closed", std::filesystem::perms::owner_all);
}

// ---------------------------------------------------------------- state and addressing

TEST_F(BufferFileTest, AHeldPictureRefusesEveryNewOneUntilReset)
{
    bmp::WriteFile("a.bmp", Good24(5, 3));
    bmp::WriteFile("b.bmp", Good8(7, 2));
    CDibSectionBuffer buffer;
    ASSERT_EQ(buffer.LoadFromFile("a.bmp"), 0u);
    const std::uint8_t* bits = buffer.m_pBits;
    const BitmapInfoHeader before = *buffer.m_pHeader;
    const Bytes other = Good8(7, 2);

    EXPECT_EQ(buffer.LoadFromFile("b.bmp"), kErrorInvalidParameter);
    EXPECT_EQ(buffer.LoadFromFile("missing.bmp"), kErrorInvalidParameter);
    EXPECT_EQ(buffer.CreateBlank(9, 9), kErrorInvalidParameter);
    EXPECT_EQ(LoadBitmapFromBytes(buffer, other.data(), other.size()), kErrorInvalidParameter);
    EXPECT_EQ(buffer.m_pBits, bits);
    EXPECT_EQ(std::memcmp(&before, buffer.m_pHeader, sizeof before), 0);

    buffer.Reset();
    ExpectEmpty(buffer);
    EXPECT_EQ(buffer.LoadFromFile("b.bmp"), 0u);
    EXPECT_EQ(buffer.m_pHeader->width, 7);
    buffer.Reset();
    ExpectEmpty(buffer);
}

TEST(BufferState, ConstructedEmpty)
{
    CDibSectionBuffer buffer;
    ExpectEmpty(buffer);
    buffer.Reset();
    ExpectEmpty(buffer);
}

TEST(BufferBlank, CreatesZeroedTwentyFourBitPicturesOfSensibleSizes)
{
    const struct
    {
        std::int32_t width;
        std::int32_t height;
        std::uint32_t code;
        std::int32_t stride;
    } cases[] = {
        {10, 5, 0, 32},
        {1, 1, 0, 4},
        {4, 2, 0, 12},
        {454, 440, 0, 1364},
        {0, 5, kErrorInvalidParameter, 0},
        {5, 0, kErrorInvalidParameter, 0},
        {-1, 5, kErrorInvalidParameter, 0},
        {5, -1, kErrorInvalidParameter, 0},
        {INT_MIN, INT_MIN, kErrorInvalidParameter, 0},
        {16385, 1, kErrorNotEnoughMemory, 0},
        {1, 16385, kErrorNotEnoughMemory, 0},
        {16384, 16384, kErrorNotEnoughMemory, 0},
        {INT_MAX, INT_MAX, kErrorNotEnoughMemory, 0},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
        CDibSectionBuffer buffer;
        ASSERT_EQ(buffer.CreateBlank(c.width, c.height), c.code);
        if (c.code != 0)
        {
            ExpectEmpty(buffer);
            continue;
        }
        const BitmapInfoHeader& h = *buffer.m_pHeader;
        EXPECT_EQ(h.size, 40u);
        EXPECT_EQ(h.width, c.width);
        EXPECT_EQ(h.height, c.height);
        EXPECT_EQ(h.bitCount, 24);
        EXPECT_EQ(h.planes, 1);
        EXPECT_EQ(h.compression, 0u);
        EXPECT_EQ(buffer.m_nStride, c.stride);
        for (std::int32_t y = 0; y < c.height; ++y)
        {
            const std::uint8_t* row = buffer.GetRowAddress(y);
            ASSERT_NE(row, nullptr);
            for (std::int32_t i = 0; i < c.stride; ++i)
            {
                ASSERT_EQ(row[i], 0);
            }
        }
    }
}

TEST(BufferRows, RowZeroIsTheLastRowInMemory)
{
    CDibSectionBuffer buffer;
    for (std::int32_t y : {INT_MIN, -1, 0, 1, INT_MAX})
    {
        EXPECT_EQ(buffer.GetRowAddress(y), nullptr) << "empty, row " << y;
    }
    ASSERT_EQ(buffer.CreateBlank(3, 5), 0u);
    const std::uint8_t* bits = buffer.m_pBits;
    const struct
    {
        std::int32_t y;
        std::ptrdiff_t offset; // -1: no row
    } cases[] = {{INT_MIN, -1}, {-1, -1}, {0, 4 * 12}, {1, 3 * 12}, {4, 0}, {5, -1}, {INT_MAX, -1}};
    for (const auto& c : cases)
    {
        const std::uint8_t* row = buffer.GetRowAddress(c.y);
        if (c.offset < 0)
        {
            EXPECT_EQ(row, nullptr) << "row " << c.y;
        }
        else
        {
            EXPECT_EQ(row, bits + c.offset) << "row " << c.y;
        }
    }

    // A header height of 0 or less addresses nothing, whatever the pixel pointer says.
    for (std::int32_t height : {0, -3})
    {
        buffer.m_info.header.height = height;
        EXPECT_EQ(buffer.GetRowAddress(0), nullptr);
        EXPECT_EQ(buffer.GetRowAddress(-1), nullptr);
    }
    buffer.m_info.header.height = 5;
}

TEST_F(BufferFileTest, TopDownAndBottomUpFilesGiveTheSameMemory)
{
    for (std::uint16_t bits : {1, 4, 8, 24, 32})
    {
        const bmp::Picture picture = Patterned(11, 6, bits);
        bmp::WritePicture("up.bmp", picture);
        bmp::WritePicture("down.bmp", picture, {40, true});
        CDibSectionBuffer up;
        CDibSectionBuffer down;
        ASSERT_EQ(up.LoadFromFile("up.bmp"), 0u);
        ASSERT_EQ(down.LoadFromFile("down.bmp"), 0u);
        EXPECT_EQ(down.m_pHeader->height, 6);
        EXPECT_EQ(std::memcmp(up.m_pBits, down.m_pBits,
                              static_cast<std::size_t>(bmp::RowBytes(11, bits) * 6)),
                  0)
            << bits << " bits";
    }
}

} // namespace
