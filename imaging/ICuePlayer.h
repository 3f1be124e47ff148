#pragma once

// Plays a sound cue by its bare file name without blocking; silent when it cannot.
class ICuePlayer
{
public:
    virtual ~ICuePlayer() = default;
    virtual void Play(const char* fileName) = 0;
};
