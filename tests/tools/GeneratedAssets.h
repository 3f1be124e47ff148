#pragma once

#include <filesystem>
#include <string>

// Runs the generator; the first call of Dirs() fills a temporary folder used by every test.
struct GeneratedAssets
{
    std::filesystem::path data;
    std::filesystem::path res;
};

int RunGenerator(const std::string& arguments);
std::filesystem::path MakeTempFolder(const std::string& tag);
const GeneratedAssets& Generated();

inline constexpr const char* kDataFiles[] = {
    "matrix.bmp",  "empty.bmp",  "red.bmp",    "green.bmp",  "blue.bmp",  "yellow.bmp",
    "magenta.bmp", "select.bmp", "select.wav", "remove.wav", "empty.wav", "gameover.wav"};
inline constexpr const char* kResFiles[] = {"emblem.bmp", "daviz-16.png", "daviz-32.png",
                                            "daviz-48.png", "daviz.ico"};
