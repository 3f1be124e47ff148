#pragma once

// What a move needs from whoever shows it: a frame after each settle step, and sound cues.
// The rules call it through a pointer that may be null.
class IAnimator
{
public:
    virtual ~IAnimator() = default;

    // Compose and show one frame of the running move.
    virtual void Step() = 0;
    // Play a wave file, given by its bare file name, without waiting for it.
    virtual void PlayCue(const char* fileName) = 0;
};
