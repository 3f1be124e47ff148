#include "BallShader.h"

#include <cmath>

namespace
{

const Rgb kWhite{1.0, 1.0, 1.0};

bool InMark(BallMark mark, double u, double v)
{
    const double au = std::fabs(u);
    const double av = std::fabs(v);
    switch (mark)
    {
    case BallMark::None:
        return false;
    case BallMark::Dot:
        return u * u + v * v < 0.25 * 0.25;
    case BallMark::Ring:
    {
        const double r = std::sqrt(u * u + v * v);
        return r > 0.20 && r < 0.37;
    }
    case BallMark::Plus:
        return (au < 0.10 && av < 0.38) || (av < 0.10 && au < 0.38);
    case BallMark::Triangle:
    {
        // Pointing up, centred a little below the middle so it looks balanced.
        const double top = -0.33;
        const double bottom = 0.28;
        if (v < top || v > bottom)
        {
            return false;
        }
        return au < (v - top) / (bottom - top) * 0.37;
    }
    case BallMark::Diamond:
        return au + av < 0.37;
    }
    return false;
}

} // namespace

double Smoothstep(double edge0, double edge1, double x)
{
    double t = (x - edge0) / (edge1 - edge0);
    t = t < 0 ? 0 : (t > 1 ? 1 : t);
    return t * t * (3 - 2 * t);
}

const BallLook& BallLookOf(int colour)
{
    static const BallLook looks[5] = {
        {{0.88, 0.10, 0.09}, {1.00, 0.86, 0.82}, BallMark::Dot},
        {{0.12, 0.72, 0.20}, {0.88, 1.00, 0.86}, BallMark::Ring},
        {{0.14, 0.34, 0.95}, {0.86, 0.92, 1.00}, BallMark::Plus},
        {{0.98, 0.82, 0.08}, {0.45, 0.26, 0.02}, BallMark::Triangle},
        {{0.82, 0.14, 0.82}, {1.00, 0.88, 1.00}, BallMark::Diamond},
    };
    if (colour < 1 || colour > 5)
    {
        colour = 1;
    }
    return looks[colour - 1];
}

const BallLook& SelectedBallLook()
{
    static const BallLook look = {{0.93, 0.95, 1.00}, {0.93, 0.95, 1.00}, BallMark::None};
    return look;
}

BallLook PlainBallLook(int colour)
{
    BallLook look = BallLookOf(colour);
    look.mark = BallMark::None;
    return look;
}

bool ShadeBall(const BallLook& look, double dx, double dy, double radius, Rgb& out)
{
    const double nx = dx / radius;
    const double ny = dy / radius;
    const double rr = nx * nx + ny * ny;
    if (rr >= 1.0)
    {
        return false;
    }
    const double nz = std::sqrt(1.0 - rr);

    // Key light from the upper left, slightly in front.
    const double lx = -0.48;
    const double ly = -0.62;
    const double lz = 0.62;
    const double diffuse = std::fmax(0.0, nx * lx + ny * ly + nz * lz);

    // The highlight is placed on its own, a little further out than the key light alone would
    // put it, so that it stays clear of the mark in the middle.
    const double hl = std::sqrt(0.36 * 0.36 + 0.46 * 0.46 + 0.81 * 0.81);
    const double nh = std::fmax(0.0, (nx * -0.36 + ny * -0.46 + nz * 0.81) / hl);
    const double specular = std::pow(nh, 110.0);

    // Soft bounce light from below keeps the lower edge from going black.
    const double bounce = std::fmax(0.0, nx * 0.2 + ny * 0.75 - nz * 0.1);

    // The mark sits on the front of the ball like a decal, so it follows the shading.
    const Rgb albedo = InMark(look.mark, nx, ny) ? look.markColour : look.base;
    Rgb c = Scale(albedo, 0.24 + 0.86 * diffuse);
    c = Add(c, Scale(albedo, 0.22 * bounce * bounce));
    c = Add(c, Scale(kWhite, 0.85 * specular));
    // A broad sheen gives the glossy look without a second sharp highlight.
    c = Add(c, Scale(kWhite, 0.06 * std::pow(nh, 5.0)));
    // Darken the very rim a little so neighbouring balls stay apart.
    c = Scale(c, 0.80 + 0.20 * Smoothstep(0.0, 0.35, nz));
    out = c;
    return true;
}

double BallShadow(double dx, double dy, double radius, double reach)
{
    const double d = std::sqrt(dx * dx + dy * dy);
    return 0.6 * (1.0 - Smoothstep(radius - reach, radius + reach, d));
}
