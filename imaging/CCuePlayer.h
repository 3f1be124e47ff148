#pragma once

#include "ICuePlayer.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <thread>

class CWaveBuffer;
struct CuePlayerShared;

// Plays sound cues through the PulseAudio client library on a thread of its own, so that a cue
// starts at once even while the caller's thread is busy, and nothing the sound server does (or
// fails to do) ever holds the caller up. Cues are read from the working directory once, ahead of
// their use, and kept in memory. One voice: a new cue stops the one playing. Between cues no
// stream stays open. A cue that was not loaded, or cannot be played, is silent.
class CCuePlayer : public ICuePlayer
{
public:
    explicit CCuePlayer(const char* applicationName);
    ~CCuePlayer() override;
    CCuePlayer(const CCuePlayer&) = delete;
    CCuePlayer& operator=(const CCuePlayer&) = delete;

    // Reads and decodes a cue file; on first use also starts the sound thread.
    // Returns the reader's error code (0 when the cue can be played).
    std::uint32_t Preload(const char* fileName);
    // Hands the cue to the sound thread and returns: a lock and a write to a pipe.
    void Play(const char* fileName) override;

    // How long the destructor waits for the sound thread before leaving it behind.
    static constexpr int s_nStopWaitMilliseconds = 200;

private:
    std::string m_strApplicationName;
    std::map<std::string, std::shared_ptr<const CWaveBuffer>> m_cues;
    std::shared_ptr<CuePlayerShared> m_pShared;
    std::thread m_thread;
};
