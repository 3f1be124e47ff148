#pragma once

#include <string>

// The program icon in the sizes desktops and software centres look for, each drawn at its size:
// daviz-N.png for every N of kIconSizes, and daviz.ico with the small ones for Windows.
inline constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

bool WriteIconFiles(const std::string& dir);
