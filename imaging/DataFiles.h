#pragma once

// The files the game reads from its data folder, named here once for the program, the asset
// generator and the build, which takes its list of generated files from this header.

// The board: slots 0 to 6 are the tiles in the order the cells' looks use them (empty, the five
// ball colours, selected), slot 7 is the cell map.
inline constexpr int kTileCount = 7;
inline constexpr int kImageFileCount = 8;
inline constexpr const char* kImageFiles[kImageFileCount] = {
    "empty.bmp",  "red.bmp",     "green.bmp",  "blue.bmp",
    "yellow.bmp", "magenta.bmp", "select.bmp", "matrix.bmp",
};
// The same board drawn at twice the pixels, for screens that have them; optional.
inline constexpr const char* kImageFiles2x[kImageFileCount] = {
    "empty@2x.bmp",  "red@2x.bmp",     "green@2x.bmp",  "blue@2x.bmp",
    "yellow@2x.bmp", "magenta@2x.bmp", "select@2x.bmp", "matrix@2x.bmp",
};

// The cues the rules may ask for.
inline constexpr int kCueFileCount = 4;
inline constexpr const char* kCueFiles[kCueFileCount] = {
    "select.wav",
    "remove.wav",
    "empty.wav",
    "gameover.wav",
};
