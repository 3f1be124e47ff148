#include "BoardArt.h"

#include "BallShader.h"

#include <algorithm>
#include <cmath>

using namespace BoardLayout;

namespace
{

constexpr double kCornerRadius = 9.0;
constexpr double kBorderWidth = 2.0;
constexpr double kDividerY = kGridY - 4.0;
constexpr int kSamples = 4;

constexpr double kBallRadius = 11.6;
constexpr double kSlotRadius = 10.6;
// The selected ball is a little smaller to leave room for its halo.
constexpr double kSelectedRadius = 10.6;

// Title: letters of balls on a dot grid.
constexpr double kDotPitch = 13.0;
constexpr double kDotRadius = 6.1;
constexpr int kGlyphRows = 7;

struct Glyph
{
    int colour;
    int width;
    const char* rows[kGlyphRows];
};

const Glyph kTitle[] = {
    {1, 5, {"XXXX.", "X...X", "X...X", "X...X", "X...X", "X...X", "XXXX."}},
    {2, 5, {".XXX.", "X...X", "X...X", "XXXXX", "X...X", "X...X", "X...X"}},
    {3, 5, {"X...X", "X...X", "X...X", "X...X", "X...X", ".X.X.", "..X.."}},
    {4, 3, {"XXX", ".X.", ".X.", ".X.", ".X.", ".X.", "XXX"}},
    {5, 5, {"XXXXX", "....X", "...X.", "..X..", ".X...", "X....", "XXXXX"}},
};
constexpr int kGlyphGap = 2;

// The title as a dot grid: colour of each dot, 0 for an unlit one.
struct TitleGrid
{
    static constexpr int kMaxColumns = 40;
    int columns = 0;
    int dots[kGlyphRows][kMaxColumns] = {};
    double originX = 0; // centre of dot (0, 0)
    double originY = 0;

    TitleGrid()
    {
        for (const Glyph& g : kTitle)
        {
            if (columns > 0)
            {
                columns += kGlyphGap;
            }
            for (int r = 0; r < kGlyphRows; ++r)
            {
                for (int c = 0; c < g.width; ++c)
                {
                    dots[r][columns + c] = g.rows[r][c] == 'X' ? g.colour : 0;
                }
            }
            columns += g.width;
        }
        originX = kWidth / 2.0 - (columns - 1) * kDotPitch / 2.0;
        originY = kDividerY / 2.0 - (kGlyphRows - 1) * kDotPitch / 2.0;
    }

    int At(int c, int r) const
    {
        if (c < 0 || c >= columns || r < 0 || r >= kGlyphRows)
        {
            return -1;
        }
        return dots[r][c];
    }
};

const TitleGrid& Title()
{
    static const TitleGrid grid;
    return grid;
}

// Distance to a rounded rectangle's outline, negative inside.
double RoundedRectDistance(double x, double y, double x0, double y0, double x1, double y1, double r)
{
    const double qx = std::fabs(x - (x0 + x1) / 2) - ((x1 - x0) / 2 - r);
    const double qy = std::fabs(y - (y0 + y1) / 2) - ((y1 - y0) / 2 - r);
    const double outside = std::hypot(std::fmax(qx, 0.0), std::fmax(qy, 0.0));
    const double inside = std::fmin(std::fmax(qx, qy), 0.0);
    return outside + inside - r;
}

Rgb TitleArt(double x, double y, Rgb c)
{
    const TitleGrid& t = Title();
    const double gx = (x - t.originX) / kDotPitch;
    const double gy = (y - t.originY) / kDotPitch;
    const int ci = int(std::floor(gx + 0.5));
    const int ri = int(std::floor(gy + 0.5));

    double shadow = 0;
    for (int dr = -1; dr <= 1; ++dr)
    {
        for (int dc = -1; dc <= 1; ++dc)
        {
            if (t.At(ci + dc, ri + dr) > 0)
            {
                const double cx = t.originX + (ci + dc) * kDotPitch;
                const double cy = t.originY + (ri + dr) * kDotPitch;
                shadow = std::fmax(shadow, BallShadow(x - cx - 1.0, y - cy - 1.8, kDotRadius, 1.8));
            }
        }
    }
    c = Scale(c, 1.0 - shadow);

    const int colour = t.At(ci, ri);
    if (colour < 0)
    {
        return c;
    }
    const double dx = x - (t.originX + ci * kDotPitch);
    const double dy = y - (t.originY + ri * kDotPitch);
    if (colour == 0)
    {
        // Unlit dots of the sign: faint pits.
        const double d = std::sqrt(dx * dx + dy * dy);
        const double pit = 1.0 - Smoothstep(1.6, 2.6, d);
        return Mix(c, Scale(c, 0.55), pit);
    }
    Rgb ball{};
    if (ShadeBall(PlainBallLook(colour), dx, dy, kDotRadius, ball))
    {
        return ball;
    }
    return c;
}

// Everything that is not a cell's content: frame, title band, divider and the board's panel.
Rgb Ground(double x, double y)
{
    const double edge = RoundedRectDistance(x, y, 0, 0, kWidth, kHeight, kCornerRadius);
    if (edge > 0)
    {
        return {0, 0, 0};
    }
    Rgb c{};
    if (y < kDividerY)
    {
        const double t = y / kDividerY;
        c = Mix(Rgb{0.13, 0.16, 0.25}, Rgb{0.08, 0.10, 0.16}, t);
        // A soft glow behind the title.
        const double gx = (x - kWidth / 2.0) / 230.0;
        const double gy = (y - kDividerY / 2.0) / 70.0;
        c = Add(c, Scale(Rgb{0.05, 0.06, 0.10}, std::exp(-(gx * gx + gy * gy) * 1.5)));
        c = TitleArt(x, y, c);
    }
    else
    {
        const double t = (y - kDividerY) / (kHeight - kDividerY);
        c = Mix(Rgb{0.065, 0.075, 0.115}, Rgb{0.050, 0.058, 0.090}, t);
        // The divider: a dark groove with a light lower lip.
        const double dy = y - kDividerY;
        if (dy < 1.0)
        {
            c = Rgb{0.03, 0.035, 0.05};
        }
        else if (dy < 2.0)
        {
            c = Rgb{0.24, 0.29, 0.40};
        }
    }
    if (edge > -kBorderWidth)
    {
        // Bevelled frame: lighter at the top, darker at the bottom.
        const double t = y / kHeight;
        const Rgb frame = Mix(Rgb{0.46, 0.53, 0.70}, Rgb{0.22, 0.26, 0.36}, t);
        const double inner = Smoothstep(-kBorderWidth - 0.5, -kBorderWidth + 0.5, edge);
        c = Mix(c, frame, inner);
    }
    return c;
}

Rgb CellArt(int slot, double x, double y, double cx, double cy)
{
    const Rgb ground = Ground(x, y);
    const double dx = x - cx;
    const double dy = y - cy;
    const double d = std::sqrt(dx * dx + dy * dy);

    if (slot == kTileEmpty)
    {
        if (d >= kSlotRadius + 1.0)
        {
            return ground;
        }
        // A shallow pit: its upper left wall lies in shade, the lower right catches the light.
        const double r = std::fmin(d / kSlotRadius, 0.999);
        const double nz = std::sqrt(1 - r * r);
        const double nx = d > 0 ? -dx / d * r : 0;
        const double ny = d > 0 ? -dy / d * r : 0;
        const double light = std::fmax(0.0, nx * -0.48 + ny * -0.62 + nz * 0.62);
        const Rgb floor = Rgb{0.030, 0.035, 0.055};
        Rgb pit = Add(Scale(floor, 0.6 + 0.9 * light), Scale(Rgb{0.05, 0.06, 0.09}, r * r));
        // Light lip on the lower right rim.
        const double lip = (dx + dy) / (d + 1e-9);
        const double rim = Smoothstep(kSlotRadius - 1.6, kSlotRadius, d) *
                           (1.0 - Smoothstep(kSlotRadius, kSlotRadius + 1.0, d));
        pit = Add(pit, Scale(Rgb{0.16, 0.19, 0.26}, rim * std::fmax(0.0, lip) * 0.9));
        const double inside = 1.0 - Smoothstep(kSlotRadius, kSlotRadius + 1.0, d);
        return Mix(ground, pit, inside);
    }

    Rgb c = ground;
    const bool selected = slot == kTileSelect;
    if (selected)
    {
        // A warm halo that fades out before the cell's edge.
        const double half = kCellSize / 2.0;
        const double glow = 1.0 - Smoothstep(kSelectedRadius - 0.5, half - 0.2, d);
        c = Mix(c, Rgb{1.0, 0.84, 0.38}, glow);
    }
    else
    {
        c = Scale(c, 1.0 - BallShadow(dx - 1.0, dy - 1.6, kBallRadius, 1.4));
    }
    const BallLook& look = selected ? SelectedBallLook() : BallLookOf(slot);
    Rgb ball{};
    if (ShadeBall(look, dx, dy, selected ? kSelectedRadius : kBallRadius, ball))
    {
        return ball;
    }
    return c;
}

bool CellOfPixel(int x, int y, int& column, int& row)
{
    const int gx = x - kGridX;
    const int gy = y - kGridY;
    if (gx < 0 || gy < 0 || gx >= kColumns * kCellSize || gy >= kRows * kCellSize)
    {
        return false;
    }
    column = gx / kCellSize;
    row = gy / kCellSize;
    return true;
}

} // namespace

IndexedPicture PaintCellMap(int scale)
{
    IndexedPicture map;
    map.Resize(kWidth * scale, kHeight * scale);
    for (int i = 0; i < 256; ++i)
    {
        if (i < kColumns * kRows)
        {
            map.palette[i] = {std::uint8_t(i / kColumns), 0, std::uint8_t(i % kColumns), 0};
        }
        else
        {
            // Red and blue out of the grid's range: a click there is no click on a cell.
            map.palette[i] = {255, 255, 255, 0};
        }
    }
    for (int y = 0; y < map.height; ++y)
    {
        for (int x = 0; x < map.width; ++x)
        {
            int column = 0;
            int row = 0;
            map.At(x, y) = CellOfPixel(x / scale, y / scale, column, row)
                               ? std::uint8_t(row * kColumns + column)
                               : std::uint8_t(kOutsideIndex);
        }
    }
    return map;
}

BoardPictures PaintBoard(int scale)
{
    BoardPictures pictures;
    pictures.cellMap = PaintCellMap(scale);
    // The art is drawn in board coordinates; a finer set samples it at its own pixels, with
    // as many samples per board pixel as the plain set.
    const int samples = std::max(2, kSamples / scale);
    const double step = 1.0 / scale;

    TruecolourPicture ground;
    ground.Resize(kWidth * scale, kHeight * scale);
    for (int y = 0; y < ground.height; ++y)
    {
        for (int x = 0; x < ground.width; ++x)
        {
            ground.Set(x, y,
                       Supersample(x, y, samples,
                                   [&](double sx, double sy)
                                   { return Ground(sx * step, sy * step); }));
        }
    }

    for (int slot = 0; slot < kTileSlotCount; ++slot)
    {
        TruecolourPicture& tile = pictures.tiles[slot];
        tile = ground;
        for (int row = 0; row < kRows; ++row)
        {
            for (int column = 0; column < kColumns; ++column)
            {
                const int x0 = kGridX + column * kCellSize;
                const int y0 = kGridY + row * kCellSize;
                const double cx = x0 + kCellSize / 2.0;
                const double cy = y0 + kCellSize / 2.0;
                for (int y = y0 * scale; y < (y0 + kCellSize) * scale; ++y)
                {
                    for (int x = x0 * scale; x < (x0 + kCellSize) * scale; ++x)
                    {
                        tile.Set(x, y,
                                 Supersample(x, y, samples,
                                             [&](double sx, double sy) {
                                                 return CellArt(slot, sx * step, sy * step, cx, cy);
                                             }));
                    }
                }
            }
        }
    }
    return pictures;
}
