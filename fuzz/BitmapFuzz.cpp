// libFuzzer entry: any bytes handed to the bitmap reader must be read safely or refused, and a
// picture it accepts must be addressable row by row within its own storage.

#include "CDibSectionBuffer.h"
#include "ErrorCodes.h"
#include "Require.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CDibSectionBuffer buffer;
    const std::uint32_t code = LoadBitmapFromBytes(buffer, data, size);
    const BitmapInfoHeader& header = *buffer.Header();
    if (code != kErrorSuccess)
    {
        Require(code == kErrorInvalidData || code == kErrorInvalidParameter ||
                code == kErrorNotEnoughMemory);
        Require(buffer.Bits() == nullptr && buffer.Stride() == 0 && header.width == 0);
        return 0;
    }
    Require(header.width > 0 && header.height > 0 && header.compression == 0);
    Require(buffer.Stride() == ((header.bitCount / 8) * header.width + 3) / 4 * 4);
    // Every byte the owners may address must be there; the sanitizer sees any that is not.
    const std::int64_t rowBytes = (std::int64_t{header.bitCount} * header.width + 31) / 32 * 4;
    volatile std::uint8_t sink = buffer.Bits()[rowBytes * header.height - 1];
    for (std::int32_t y = 0; y < header.height; ++y)
    {
        const std::uint8_t* row = buffer.GetRowAddress(y);
        Require(row != nullptr);
        sink = buffer.Stride() > 0 ? row[buffer.Stride() - 1] : row[0];
    }
    (void)sink;
    Require(buffer.GetRowAddress(-1) == nullptr && buffer.GetRowAddress(header.height) == nullptr);
    Require(LoadBitmapFromBytes(buffer, data, size) == kErrorInvalidParameter);
    return 0;
}
