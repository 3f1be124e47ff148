#include "Pictures.h"

#include <cmath>

std::uint8_t ToByte(double v)
{
    if (!(v > 0.0))
    {
        return 0;
    }
    if (v >= 1.0)
    {
        return 255;
    }
    return static_cast<std::uint8_t>(std::lround(v * 255.0));
}

void TruecolourPicture::Resize(int w, int h)
{
    width = w;
    height = h;
    rgb.assign(std::size_t(w) * h * 3, 0);
}

void TruecolourPicture::Set(int x, int y, const Rgb& c)
{
    std::uint8_t* p = At(x, y);
    p[0] = ToByte(c.r);
    p[1] = ToByte(c.g);
    p[2] = ToByte(c.b);
}

void RgbaPicture::Resize(int w, int h)
{
    width = w;
    height = h;
    rgba.assign(std::size_t(w) * h * 4, 0);
}

void IndexedPicture::Resize(int w, int h)
{
    width = w;
    height = h;
    index.assign(std::size_t(w) * h, 0);
}
