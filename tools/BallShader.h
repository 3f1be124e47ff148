#pragma once

#include "Pictures.h"

// Per-pixel sphere shading for the balls on the board, in the title, the emblem and the icon.

enum class BallMark
{
    None,
    Dot,
    Ring,
    Plus,
    Triangle,
    Diamond,
};

struct BallLook
{
    Rgb base;
    Rgb markColour;
    BallMark mark;
};

// Ball colours 1 (red) to 5 (magenta), and the selected look.
const BallLook& BallLookOf(int colour);
const BallLook& SelectedBallLook();
// The same colour without its mark, for balls too small to carry one.
BallLook PlainBallLook(int colour);

// Surface colour at (dx, dy) from the centre of a ball of the given radius, lit from the top
// left; false when the point is off the ball.
bool ShadeBall(const BallLook& look, double dx, double dy, double radius, Rgb& out);

// How much a ball darkens the ground at (dx, dy) from its centre: 0 (none) to about 0.6.
double BallShadow(double dx, double dy, double radius, double reach);

double Smoothstep(double edge0, double edge1, double x);

// Average of n x n samples of paint(x, y) over the pixel whose top-left corner is (px, py).
template <typename Paint> Rgb Supersample(int px, int py, int n, const Paint& paint)
{
    Rgb sum{0, 0, 0};
    for (int j = 0; j < n; ++j)
    {
        for (int i = 0; i < n; ++i)
        {
            const double x = px + (i + 0.5) / n;
            const double y = py + (j + 0.5) / n;
            sum = Add(sum, paint(x, y));
        }
    }
    return Scale(sum, 1.0 / (n * n));
}
