#include "EmblemArt.h"

#include "BallShader.h"
#include "ColourQuantizer.h"

#include <cmath>
#include <vector>

namespace
{

struct Ball
{
    double x;
    double y;
    double radius;
    int colour;
};

// Rings around the centre, each ring one colour.
std::vector<Ball> EmblemBalls()
{
    const double pi = 3.14159265358979323846;
    const double centre = kEmblemSize / 2.0;
    const double pitch = 13.0;
    const double radius = 5.6;
    std::vector<Ball> balls;
    balls.push_back({centre, centre, radius + 0.8, 5});
    for (int ring = 1; ring <= 5; ++ring)
    {
        const double r = ring * pitch;
        const int count = int(std::lround(2 * pi * r / pitch));
        const double offset = (ring % 2 == 0) ? pi / count : 0.0;
        for (int i = 0; i < count; ++i)
        {
            const double a = offset + 2 * pi * i / count - pi / 2;
            balls.push_back(
                {centre + r * std::cos(a), centre + r * std::sin(a), radius, (ring - 1) % 5 + 1});
        }
    }
    return balls;
}

Rgb EmblemAt(const std::vector<Ball>& balls, double x, double y)
{
    Rgb c{1.0, 1.0, 1.0};
    double shadow = 0;
    for (const Ball& b : balls)
    {
        const double dx = x - b.x;
        const double dy = y - b.y;
        if (dx * dx + dy * dy > 100.0)
        {
            continue;
        }
        Rgb ball{};
        if (ShadeBall(PlainBallLook(b.colour), dx, dy, b.radius, ball))
        {
            return ball;
        }
        shadow = std::fmax(shadow, BallShadow(dx - 0.8, dy - 1.4, b.radius, 1.4));
    }
    return Scale(c, 1.0 - 0.5 * shadow);
}

} // namespace

IndexedPicture PaintEmblem()
{
    const std::vector<Ball> balls = EmblemBalls();
    TruecolourPicture full;
    full.Resize(kEmblemSize, kEmblemSize);
    ColourQuantizer quantizer;
    for (int y = 0; y < kEmblemSize; ++y)
    {
        for (int x = 0; x < kEmblemSize; ++x)
        {
            full.Set(x, y,
                     Supersample(x, y, 4,
                                 [&](double sx, double sy) { return EmblemAt(balls, sx, sy); }));
            const std::uint8_t* p = full.At(x, y);
            quantizer.AddColour(p[0], p[1], p[2]);
        }
    }
    IndexedPicture emblem;
    emblem.Resize(kEmblemSize, kEmblemSize);
    quantizer.BuildPalette(emblem.palette, 0, 256);
    for (int y = 0; y < kEmblemSize; ++y)
    {
        for (int x = 0; x < kEmblemSize; ++x)
        {
            const std::uint8_t* p = full.At(x, y);
            emblem.At(x, y) = quantizer.Nearest(p[0], p[1], p[2]);
        }
    }
    return emblem;
}

RgbaPicture PaintIcon(int size)
{
    // A 2 x 2 cluster of balls.
    const double s = size;
    const double r = s * 0.245;
    const Ball balls[4] = {
        {s * 0.27, s * 0.27, r, 1},
        {s * 0.73, s * 0.27, r, 4},
        {s * 0.27, s * 0.73, r, 3},
        {s * 0.73, s * 0.73, r, 2},
    };
    const int n = 8;
    RgbaPicture icon;
    icon.Resize(size, size);
    for (int y = 0; y < size; ++y)
    {
        for (int x = 0; x < size; ++x)
        {
            Rgb sum{0, 0, 0};
            int covered = 0;
            for (int j = 0; j < n; ++j)
            {
                for (int i = 0; i < n; ++i)
                {
                    const double sx = x + (i + 0.5) / n;
                    const double sy = y + (j + 0.5) / n;
                    for (const Ball& b : balls)
                    {
                        Rgb c{};
                        const BallLook look =
                            size >= 32 ? BallLookOf(b.colour) : PlainBallLook(b.colour);
                        if (ShadeBall(look, sx - b.x, sy - b.y, b.radius, c))
                        {
                            sum = Add(sum, c);
                            ++covered;
                            break;
                        }
                    }
                }
            }
            std::uint8_t* p = icon.At(x, y);
            if (covered > 0)
            {
                const Rgb c = Scale(sum, 1.0 / covered);
                p[0] = ToByte(c.r);
                p[1] = ToByte(c.g);
                p[2] = ToByte(c.b);
                p[3] = ToByte(double(covered) / (n * n));
            }
        }
    }
    return icon;
}

IconImage ToIconImage(const RgbaPicture& picture)
{
    IconImage image;
    image.colours.Resize(picture.width, picture.height);
    image.transparent.assign(std::size_t(picture.width) * picture.height, 1);
    ColourQuantizer quantizer;
    for (int y = 0; y < picture.height; ++y)
    {
        for (int x = 0; x < picture.width; ++x)
        {
            const std::uint8_t* p = picture.At(x, y);
            if (p[3] >= 128)
            {
                quantizer.AddColour(p[0], p[1], p[2]);
            }
        }
    }
    image.colours.palette[0] = {0, 0, 0, 0};
    quantizer.BuildPalette(image.colours.palette, 1, 255);
    for (int y = 0; y < picture.height; ++y)
    {
        for (int x = 0; x < picture.width; ++x)
        {
            const std::uint8_t* p = picture.At(x, y);
            if (p[3] >= 128)
            {
                image.colours.At(x, y) = quantizer.Nearest(p[0], p[1], p[2]);
                image.transparent[std::size_t(y) * picture.width + x] = 0;
            }
        }
    }
    return image;
}
