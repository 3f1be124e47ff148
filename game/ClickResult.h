#pragma once

#include <cstdint>

// What one click did; callers recompose on any non-zero code and end the game on 4.
enum ClickResult : std::int32_t
{
    ResultNothing = 0,
    ResultSelected = 1,
    ResultRemoved = 2,
    ResultDeselected = 3,
    ResultGameOver = 4,
};
