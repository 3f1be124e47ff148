#pragma once

#include <cstdint>
#include <vector>

// The four short cues the game plays, synthesized.

inline constexpr std::uint32_t kCueSampleRate = 22050;

enum class Cue
{
    Select,
    Remove,
    Empty,
    GameOver,
};

std::vector<std::int16_t> SynthesizeCue(Cue cue);
