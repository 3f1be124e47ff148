#pragma once

#include <cstdint>
#include <string>

// The player-facing text of an error code that the board imaging can return; a plain
// "Unknown error (code N)." for any other code.
std::string ErrorText(std::uint32_t code);
