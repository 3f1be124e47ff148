#pragma once

#include "BitmapFormat.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>

class BitmapSource;

// One picture with direct pixel access: header, 256-entry colour table and bottom-up rows of
// Stride() bytes. The object is never copied or moved.
class CDibSectionBuffer
{
public:
    CDibSectionBuffer();
    virtual ~CDibSectionBuffer();
    CDibSectionBuffer(const CDibSectionBuffer&) = delete;
    CDibSectionBuffer& operator=(const CDibSectionBuffer&) = delete;

    void Reset();
    // Reads an uncompressed .bmp file. Returns 0 or an error code (see ErrorText.h); a
    // maxSide above 0 refuses wider or taller pictures with the out-of-memory code.
    std::uint32_t LoadFromFile(const std::filesystem::path& path, std::int32_t maxSide = 0);
    // A blank 24-bit picture; pixels are left for the owner to write.
    std::uint32_t CreateBlank(std::int32_t width, std::int32_t height);
    // Row y of the picture, row 0 at the top; null outside the picture.
    std::uint8_t* GetRowAddress(std::int32_t y) const;

    struct Info
    {
        BitmapInfoHeader header;
        RgbQuad colours[256];
    };

    const Info& InfoBlock() const { return m_info; }
    const BitmapInfoHeader* Header() const { return m_pHeader; }
    const RgbQuad* Colours() const { return m_pColours; }
    // Null while empty; the rows lie bottom-up, Stride() bytes apart.
    std::uint8_t* Bits() const { return m_pBits; }
    std::int32_t Stride() const { return m_nStride; }

private:
    Info m_info;
    BitmapInfoHeader* const m_pHeader;
    RgbQuad* const m_pColours;
    std::uint8_t* m_pBits;
    std::int32_t m_nStride;

    friend std::uint32_t LoadBitmapFromBytes(CDibSectionBuffer& buffer, const std::uint8_t* data,
                                             std::size_t size);
    // What the header says, worked out step by step before anything is allocated.
    struct DecodedLayout
    {
        BitmapInfoHeader header;
        std::size_t leadLength;
        std::uint32_t pixelOffset;
        std::uint32_t headerSize;
        std::size_t entrySize;
        std::size_t paletteCount;
        bool topDown;
        std::int64_t width;
        std::int64_t height;
        std::int64_t rowBytes;
        std::int64_t pixelBytes;
    };

    std::uint32_t Decode(BitmapSource& source, std::int32_t maxSide);
    static std::uint32_t DecodeHeader(BitmapSource& source, std::uint8_t* lead,
                                      DecodedLayout& layout);
    static std::uint32_t CheckLimits(std::uint64_t fileSize, std::int32_t maxSide,
                                     DecodedLayout& layout);
    static std::uint32_t DecodeColourTable(DecodedLayout& layout);
    static std::uint32_t ReadRows(BitmapSource& source, const DecodedLayout& layout,
                                  std::unique_ptr<std::uint8_t[]>& pixels);

    std::unique_ptr<std::uint8_t[]> m_pixels; // owns what m_pBits points at
    // Real length of a stored row. Equals m_nStride except for 1- and 4-bit pictures, whose
    // m_nStride is 0 but whose rows are still held in full.
    std::int32_t m_nRowBytes;
};

// Reads a bitmap file image held in memory, exactly as LoadFromFile reads a file.
std::uint32_t LoadBitmapFromBytes(CDibSectionBuffer& buffer, const std::uint8_t* data,
                                  std::size_t size);
