#pragma once

#include "Pictures.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Byte-exact encoders for the file formats the game and its resources use.

using Bytes = std::vector<std::uint8_t>;

// Uncompressed bottom-up bitmap files with a 40-byte information header.
Bytes EncodeBmp(const TruecolourPicture& picture);
Bytes EncodeBmp(const IndexedPicture& picture);

// RGBA PNG, 8 bits a channel, deflate in stored blocks.
Bytes EncodePng(const RgbaPicture& picture);

// One image of an icon group: palette colours plus the AND mask (1 = transparent).
struct IconImage
{
    IndexedPicture colours;
    std::vector<std::uint8_t> transparent; // one per pixel, rows top-down
};
Bytes EncodeIco(const std::vector<IconImage>& images);

// Mono 16-bit PCM RIFF/WAVE.
Bytes EncodeWav(const std::vector<std::int16_t>& samples, std::uint32_t sampleRate);

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size, std::uint32_t crc = 0);
std::uint32_t Adler32(const std::uint8_t* data, std::size_t size);

bool WriteFileBytes(const std::string& path, const Bytes& bytes);
