#pragma once

#include <cstdint>
#include <filesystem>

// The result code for a failed open or stat of path, from errno: a file that is not there,
// a folder part that is not there, a folder in place of the file, no memory, or else no access.
std::uint32_t CodeFromErrno(int error, const std::filesystem::path& path);
