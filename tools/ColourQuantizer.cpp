#include "ColourQuantizer.h"

#include <algorithm>

namespace
{

int Channel(std::uint32_t key, int axis)
{
    return int((key >> (16 - 8 * axis)) & 0xFFu);
}

} // namespace

void ColourQuantizer::AddColour(std::uint8_t r, std::uint8_t g, std::uint8_t b)
{
    m_colours.push_back((std::uint32_t(r) << 16) | (std::uint32_t(g) << 8) | b);
}

void ColourQuantizer::BuildPalette(std::array<RgbQuad, 256>& palette, int first, int count)
{
    std::vector<std::uint32_t> sorted = m_colours;
    std::sort(sorted.begin(), sorted.end());
    std::vector<Entry> entries;
    for (std::uint32_t key : sorted)
    {
        if (!entries.empty() && entries.back().key == key)
        {
            ++entries.back().count;
        }
        else
        {
            entries.push_back({key, 1});
        }
    }

    // Boxes are index ranges into entries; split the one with the largest weighted spread.
    struct Box
    {
        std::size_t begin;
        std::size_t end;
    };
    std::vector<Box> boxes;
    if (!entries.empty())
    {
        boxes.push_back({0, entries.size()});
    }
    while (int(boxes.size()) < count)
    {
        int best = -1;
        int bestAxis = 0;
        double bestScore = 0;
        for (std::size_t i = 0; i < boxes.size(); ++i)
        {
            if (boxes[i].end - boxes[i].begin < 2)
            {
                continue;
            }
            double pixels = 0;
            int lo[3] = {255, 255, 255};
            int hi[3] = {0, 0, 0};
            for (std::size_t e = boxes[i].begin; e < boxes[i].end; ++e)
            {
                pixels += entries[e].count;
                for (int a = 0; a < 3; ++a)
                {
                    lo[a] = std::min(lo[a], Channel(entries[e].key, a));
                    hi[a] = std::max(hi[a], Channel(entries[e].key, a));
                }
            }
            int axis = 0;
            for (int a = 1; a < 3; ++a)
            {
                if (hi[a] - lo[a] > hi[axis] - lo[axis])
                {
                    axis = a;
                }
            }
            const double range = hi[axis] - lo[axis];
            const double score = range * range * (1.0 + pixels / 64.0);
            if (score > bestScore)
            {
                bestScore = score;
                best = int(i);
                bestAxis = axis;
            }
        }
        if (best < 0)
        {
            break;
        }
        Box box = boxes[std::size_t(best)];
        std::stable_sort(entries.begin() + std::ptrdiff_t(box.begin),
                         entries.begin() + std::ptrdiff_t(box.end),
                         [bestAxis](const Entry& a, const Entry& b)
                         { return Channel(a.key, bestAxis) < Channel(b.key, bestAxis); });
        std::uint64_t total = 0;
        for (std::size_t e = box.begin; e < box.end; ++e)
        {
            total += entries[e].count;
        }
        std::uint64_t running = 0;
        std::size_t split = box.begin + 1;
        for (std::size_t e = box.begin; e + 1 < box.end; ++e)
        {
            running += entries[e].count;
            split = e + 1;
            if (running * 2 >= total)
            {
                break;
            }
        }
        boxes[std::size_t(best)] = {box.begin, split};
        boxes.push_back({split, box.end});
    }

    m_built.clear();
    m_nFirst = first;
    for (const Box& box : boxes)
    {
        std::uint64_t sum[3] = {0, 0, 0};
        std::uint64_t n = 0;
        for (std::size_t e = box.begin; e < box.end; ++e)
        {
            for (int a = 0; a < 3; ++a)
            {
                sum[a] += std::uint64_t(Channel(entries[e].key, a)) * entries[e].count;
            }
            n += entries[e].count;
        }
        RgbQuad p{};
        p.red = std::uint8_t((sum[0] + n / 2) / n);
        p.green = std::uint8_t((sum[1] + n / 2) / n);
        p.blue = std::uint8_t((sum[2] + n / 2) / n);
        m_built.push_back(p);
    }
    for (std::size_t i = 0; i < m_built.size(); ++i)
    {
        palette[std::size_t(first) + i] = m_built[i];
    }
}

std::uint8_t ColourQuantizer::Nearest(std::uint8_t r, std::uint8_t g, std::uint8_t b) const
{
    int best = 0;
    int bestDistance = 1 << 30;
    for (std::size_t i = 0; i < m_built.size(); ++i)
    {
        const int dr = int(m_built[i].red) - r;
        const int dg = int(m_built[i].green) - g;
        const int db = int(m_built[i].blue) - b;
        // Weighted towards green, which the eye sees best.
        const int distance = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
        if (distance < bestDistance)
        {
            bestDistance = distance;
            best = int(i);
        }
    }
    return std::uint8_t(m_nFirst + best);
}
