#pragma once

#include "BitmapFormat.h"

#include <array>
#include <cstdint>
#include <vector>

// Plain pixel containers shared by the painters and the file writers.

// A colour with channels in 0..1 (display values, not linear light).
struct Rgb
{
    double r;
    double g;
    double b;
};

inline Rgb Mix(const Rgb& a, const Rgb& b, double t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

inline Rgb Scale(const Rgb& a, double k)
{
    return {a.r * k, a.g * k, a.b * k};
}

inline Rgb Add(const Rgb& a, const Rgb& b)
{
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}

std::uint8_t ToByte(double v);

// 24-bit picture, rows top-down, three bytes per pixel in red, green, blue order.
struct TruecolourPicture
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;

    void Resize(int w, int h);
    void Set(int x, int y, const Rgb& c);
    const std::uint8_t* At(int x, int y) const { return &rgb[(std::size_t(y) * width + x) * 3]; }
    std::uint8_t* At(int x, int y) { return &rgb[(std::size_t(y) * width + x) * 3]; }
};

// 32-bit picture with straight (not premultiplied) alpha, rows top-down, RGBA order.
struct RgbaPicture
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;

    void Resize(int w, int h);
    const std::uint8_t* At(int x, int y) const { return &rgba[(std::size_t(y) * width + x) * 4]; }
    std::uint8_t* At(int x, int y) { return &rgba[(std::size_t(y) * width + x) * 4]; }
};

// 8-bit palette picture, rows top-down, with a full 256-entry colour table.
struct IndexedPicture
{
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> index;
    std::array<RgbQuad, 256> palette{};

    void Resize(int w, int h);
    std::uint8_t& At(int x, int y) { return index[std::size_t(y) * width + x]; }
    std::uint8_t At(int x, int y) const { return index[std::size_t(y) * width + x]; }
};
