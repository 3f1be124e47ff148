#pragma once

#include "FileFormats.h"
#include "Pictures.h"

// The About box's emblem and the program icon.

inline constexpr int kEmblemSize = 144;

IndexedPicture PaintEmblem();

// The icon at one size, with straight alpha.
RgbaPicture PaintIcon(int size);

// The same picture as an 8-bit icon image: entry 0 is black and holds every transparent pixel.
IconImage ToIconImage(const RgbaPicture& picture);
