#pragma once

// Ends the fuzz run at once when a property of an accepted input does not hold.
inline void Require(bool condition)
{
    if (!condition)
    {
        __builtin_trap();
    }
}
