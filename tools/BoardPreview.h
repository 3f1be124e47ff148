#pragma once

#include <string>

// Reads the board files back from dataDir, composes a sample game through the cell map as the
// game does, and writes it as a PNG the size of the window's client area. Returns 0 or 1.
int WriteBoardPreview(const std::string& pngPath, const std::string& dataDir);
