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
    if (code != kErrorSuccess)
    {
        Require(code == kErrorInvalidData || code == kErrorInvalidParameter ||
                code == kErrorNotEnoughMemory);
        Require(buffer.Bits() == nullptr && buffer.Stride() == 0);
        Require(buffer.Header()->width == 0 && buffer.Header()->height == 0);
        return 0;
    }

    const BitmapInfoHeader& header = *buffer.Header();
    Require(buffer.Bits() != nullptr);
    Require(header.width > 0 && header.height > 0 && header.compression == 0);
    Require(buffer.Stride() % 4 == 0);
    Require(buffer.Stride() == ((header.bitCount / 8) * header.width + 3) / 4 * 4);

    // Every byte the owners may address, and the full rows of the small depths, must be there.
    const std::int64_t rowBytes =
        (static_cast<std::int64_t>(header.bitCount) * header.width + 31) / 32 * 4;
    std::uint32_t sum = 0;
    for (std::int32_t y = 0; y < header.height; ++y)
    {
        const std::uint8_t* row = buffer.GetRowAddress(y);
        Require(row != nullptr);
        for (std::int32_t i = 0; i < buffer.Stride(); ++i)
        {
            sum += row[i];
        }
    }
    for (std::int64_t i = 0; i < rowBytes * header.height; ++i)
    {
        sum += buffer.Bits()[i];
    }
    Require(buffer.GetRowAddress(-1) == nullptr && buffer.GetRowAddress(header.height) == nullptr);
    volatile std::uint32_t sink = sum;
    (void)sink;

    Require(LoadBitmapFromBytes(buffer, data, size) == kErrorInvalidParameter);
    buffer.Reset();
    Require(buffer.Bits() == nullptr);
    return 0;
}
