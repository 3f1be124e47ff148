#pragma once

// A private PulseAudio server with one null output, or a stand-in that misbehaves, for the
// process that starts it (PULSE_SERVER points there), and a recording of that output.

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <sys/types.h>

// The test cues' pitches: whole cycles in a block of the recording, so they never mix.
inline constexpr int kPitchHz[] = {1000, 2000, 4000, 8000};
inline constexpr int kRecordRate = 48000;
inline constexpr int kBlock = kRecordRate / 1000; // 1 ms

// One stretch of the recording holding one pitch (an index of kPitchHz).
struct Heard
{
    int pitch;
    std::chrono::steady_clock::time_point start; // when its first block was played
    int samples;
};

// For failure messages: pitch, start (ms after the first) and length (samples) of each.
std::string Describe(const std::vector<Heard>& heard);

class SoundServer
{
public:
    enum class Kind
    {
        Real,     // pulseaudio with a null sink
        None,     // no socket
        Refusing, // a socket nobody listens on
        Silent,   // a socket that takes connections and never answers
    };
    explicit SoundServer(Kind kind);
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    bool Ok() const { return m_bOk; }
    bool Start(); // the real server, again after Stop
    void Stop();
    void Freeze(bool frozen); // stops answering, without closing its socket
    // What pactl prints for ARGS, asked of this server.
    std::string Pactl(const std::string& args) const;

    // Records the null output from now until StopRecording, then splits it by pitch.
    bool StartRecording();
    std::vector<Heard> StopRecording();

private:
    void Read();

    Kind m_kind;
    std::string m_strDir;
    std::string m_strSocket;
    bool m_bOk = false;
    pid_t m_nServer = -1;
    int m_nStandIn = -1;
    pid_t m_nRecorder = -1;
    int m_nRecorderOut = -1;
    std::thread m_reader;
    std::mutex m_mutex;
    std::vector<std::int16_t> m_samples;
    // The earliest time the recorded sample 0 can have been played, from every read's arrival.
    std::chrono::steady_clock::time_point m_firstSample;
};
