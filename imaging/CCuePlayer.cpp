#include "CCuePlayer.h"

#include "CWaveBuffer.h"
#include "ErrorCodes.h"

#include <pulse/context.h>
#include <pulse/error.h>
#include <pulse/mainloop.h>
#include <pulse/proplist.h>
#include <pulse/stream.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <utility>

#include <fcntl.h>
#include <unistd.h>

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// What the caller's thread and the sound thread share. The sound thread holds it too, so it
// outlives a player whose thread was left behind.
struct CuePlayerShared
{
    CuePlayerShared() = default;
    CuePlayerShared(const CuePlayerShared&) = delete;
    CuePlayerShared& operator=(const CuePlayerShared&) = delete;
    ~CuePlayerShared()
    {
        for (const int fd : {wakeRead, wakeWrite})
        {
            if (fd >= 0)
            {
                close(fd);
            }
        }
    }
    void Wake() const
    {
        // A full pipe already holds a wake-up; the thread reads the request under the lock.
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = write(wakeWrite, &byte, 1);
    }

    std::mutex mutex;
    std::condition_variable finished;
    std::shared_ptr<const CWaveBuffer> pending; // null: stop the voice
    bool hasPending = false;
    bool quit = false;
    bool done = false;
    int wakeRead = -1;
    int wakeWrite = -1;
};

namespace
{

// Bounds on every wait for the server: a server that stops answering costs a cue, no more.
constexpr milliseconds kConnectTimeout(2000);
constexpr milliseconds kStreamTimeout(1000);
constexpr milliseconds kDrainMargin(1500);
// A cue that waited this long for a connection is no longer worth hearing.
constexpr milliseconds kStaleCue(500);
// The most a stream's buffer on the server can hold.
constexpr std::size_t kLargestServerBuffer = std::size_t{4} * 1024 * 1024;

// The sound thread's state. Every libpulse call is made on that thread. No callbacks are set:
// after every pass of the loop Tend() looks at the states and moves on, so an event for a stream
// that is gone can never act on the next one.
class SoundLoop
{
public:
    SoundLoop(std::shared_ptr<CuePlayerShared> shared, std::string applicationName)
        : m_pShared(std::move(shared)), m_strApplicationName(std::move(applicationName)),
          m_pLoop(pa_mainloop_new())
    {
        if (m_pLoop != nullptr)
        {
            pa_mainloop_api* api = pa_mainloop_get_api(m_pLoop);
            m_pWake = api->io_new(api, m_pShared->wakeRead, PA_IO_EVENT_INPUT, &SoundLoop::OnWake,
                                  nullptr);
        }
    }
    ~SoundLoop()
    {
        StopVoice();
        DropContext();
        if (m_pWake != nullptr)
        {
            pa_mainloop_get_api(m_pLoop)->io_free(m_pWake);
        }
        if (m_pLoop != nullptr)
        {
            pa_mainloop_free(m_pLoop);
        }
    }
    SoundLoop(const SoundLoop&) = delete;
    SoundLoop& operator=(const SoundLoop&) = delete;

    void Run()
    {
        if (m_pWake == nullptr)
        {
            return;
        }
        Connect();
        while (Tend())
        {
            if (pa_mainloop_prepare(m_pLoop, TimeoutUsec()) < 0 || pa_mainloop_poll(m_pLoop) < 0 ||
                pa_mainloop_dispatch(m_pLoop) < 0)
            {
                break;
            }
        }
    }

private:
    static void OnWake(pa_mainloop_api* /*api*/, pa_io_event* /*event*/, int fd,
                       pa_io_event_flags_t /*flags*/, void* /*userdata*/)
    {
        char bytes[64];
        while (read(fd, bytes, sizeof bytes) > 0)
        {
        }
    }

    // One step of the state machine; false once the owner asked the thread to end.
    bool Tend()
    {
        const Clock::time_point now = Clock::now();
        bool arrived = false;
        std::shared_ptr<const CWaveBuffer> cue;
        {
            // Only the hand-over is under the lock: the caller's thread never waits on the library.
            const std::lock_guard<std::mutex> lock(m_pShared->mutex);
            if (m_pShared->quit)
            {
                return false;
            }
            arrived = m_pShared->hasPending;
            cue = std::move(m_pShared->pending);
            m_pShared->pending.reset();
            m_pShared->hasPending = false;
        }
        if (arrived)
        {
            StopVoice();
            m_pWaiting = std::move(cue);
            m_waitingSince = now;
        }
        TendContext(now);
        if (m_pWaiting != nullptr && m_pContext == nullptr)
        {
            // The server may have come back or changed since the last cue.
            Connect();
        }
        if (m_pWaiting != nullptr && m_pContext != nullptr &&
            pa_context_get_state(m_pContext) == PA_CONTEXT_READY)
        {
            if (now - m_waitingSince <= kStaleCue)
            {
                StartVoice(std::move(m_pWaiting), now);
            }
            m_pWaiting.reset();
        }
        TendVoice(now);
        return true;
    }

    void TendContext(Clock::time_point now)
    {
        if (m_pContext == nullptr)
        {
            return;
        }
        const pa_context_state_t state = pa_context_get_state(m_pContext);
        const bool failed = state == PA_CONTEXT_FAILED || state == PA_CONTEXT_TERMINATED;
        if (failed || (state != PA_CONTEXT_READY && now > m_contextDeadline))
        {
            StopVoice();
            DropContext();
            // A cue that this connection was made for is lost with it; a cue that came after a
            // connection went down (the server restarted) gets one new connection.
            if (m_contextStarted >= m_waitingSince)
            {
                m_pWaiting.reset();
            }
        }
    }

    void TendVoice(Clock::time_point now)
    {
        if (m_pStream == nullptr)
        {
            return;
        }
        const pa_stream_state_t state = pa_stream_get_state(m_pStream);
        if (state == PA_STREAM_FAILED || state == PA_STREAM_TERMINATED)
        {
            StopVoice();
            return;
        }
        if (now > m_voiceDeadline || (state != PA_STREAM_READY && now > m_streamDeadline))
        {
            // The server stopped answering: start afresh with the next cue.
            StopVoice();
            DropContext();
            return;
        }
        if (state != PA_STREAM_READY)
        {
            return;
        }
        const std::vector<std::uint8_t>& samples = m_pPlaying->m_samples;
        if (m_nWritten < samples.size())
        {
            const std::size_t writable = pa_stream_writable_size(m_pStream);
            const std::size_t n = std::min(writable, samples.size() - m_nWritten);
            if (n > 0 && n != static_cast<std::size_t>(-1))
            {
                if (pa_stream_write(m_pStream, samples.data() + m_nWritten, n, nullptr, 0,
                                    PA_SEEK_RELATIVE) < 0)
                {
                    StopVoice();
                    return;
                }
                m_nWritten += n;
            }
        }
        if (m_nWritten == samples.size() && m_pDrain == nullptr)
        {
            // Draining also starts a cue shorter than the buffer the server waits to fill.
            m_pDrain = pa_stream_drain(m_pStream, nullptr, nullptr);
            if (m_pDrain == nullptr)
            {
                StopVoice();
            }
        }
        else if (m_pDrain != nullptr && pa_operation_get_state(m_pDrain) != PA_OPERATION_RUNNING)
        {
            // Played to its last sample (or the drain was refused): close the stream.
            StopVoice();
        }
    }

    int TimeoutUsec() const
    {
        Clock::time_point next = Clock::time_point::max();
        if (m_pContext != nullptr && pa_context_get_state(m_pContext) != PA_CONTEXT_READY)
        {
            next = m_contextDeadline;
        }
        if (m_pStream != nullptr)
        {
            next = std::min({next, m_voiceDeadline,
                             pa_stream_get_state(m_pStream) == PA_STREAM_READY
                                 ? Clock::time_point::max()
                                 : m_streamDeadline});
        }
        if (next == Clock::time_point::max())
        {
            return -1;
        }
        const auto wait =
            std::chrono::duration_cast<std::chrono::microseconds>(next - Clock::now());
        return static_cast<int>(std::clamp<std::int64_t>(wait.count() + 1000, 0, 10000000));
    }

    void Connect()
    {
        pa_proplist* properties = pa_proplist_new();
        pa_proplist_sets(properties, PA_PROP_APPLICATION_NAME, m_strApplicationName.c_str());
        pa_proplist_sets(properties, PA_PROP_MEDIA_ROLE, "game");
        m_pContext = pa_context_new_with_proplist(pa_mainloop_get_api(m_pLoop),
                                                  m_strApplicationName.c_str(), properties);
        pa_proplist_free(properties);
        if (m_pContext == nullptr)
        {
            return;
        }
        m_contextStarted = Clock::now();
        m_contextDeadline = m_contextStarted + kConnectTimeout;
        // Never start a server of our own: without one the game is silent.
        if (pa_context_connect(m_pContext, nullptr, PA_CONTEXT_NOAUTOSPAWN, nullptr) < 0)
        {
            DropContext();
        }
    }

    void DropContext()
    {
        if (m_pContext != nullptr)
        {
            pa_context_disconnect(m_pContext);
            pa_context_unref(m_pContext);
            m_pContext = nullptr;
        }
    }

    void StartVoice(std::shared_ptr<const CWaveBuffer> playing, Clock::time_point now)
    {
        const CWaveBuffer& cue = *playing;
        pa_sample_spec format = {};
        format.format = cue.m_nBitsPerSample == 8 ? PA_SAMPLE_U8 : PA_SAMPLE_S16LE;
        format.rate = cue.m_nSampleRate;
        format.channels = static_cast<std::uint8_t>(cue.m_nChannels);
        if (pa_sample_spec_valid(&format) == 0)
        {
            return;
        }
        m_pStream = pa_stream_new(m_pContext, "cue", &format, nullptr);
        if (m_pStream == nullptr)
        {
            return;
        }
        pa_buffer_attr buffer = {};
        // The whole cue goes to the server in one write, so that it starts at once and no gap
        // can open however late this thread runs; a new cue still cuts it short at once.
        buffer.tlength = static_cast<std::uint32_t>(std::min(
            cue.m_samples.size() / cue.FrameBytes() * cue.FrameBytes(), kLargestServerBuffer));
        buffer.maxlength = buffer.tlength;
        buffer.prebuf = static_cast<std::uint32_t>(-1);
        buffer.minreq = static_cast<std::uint32_t>(-1);
        buffer.fragsize = static_cast<std::uint32_t>(-1);
        m_pPlaying = std::move(playing);
        m_nWritten = 0;
        m_streamDeadline = now + kStreamTimeout;
        m_voiceDeadline =
            now + kStreamTimeout + kDrainMargin +
            milliseconds(cue.Frames() * 1000 / std::max<std::uint32_t>(cue.m_nSampleRate, 1));
        if (pa_stream_connect_playback(m_pStream, nullptr, &buffer, PA_STREAM_NOFLAGS, nullptr,
                                       nullptr) < 0)
        {
            StopVoice();
        }
    }

    void StopVoice()
    {
        if (m_pDrain != nullptr)
        {
            pa_operation_cancel(m_pDrain);
            pa_operation_unref(m_pDrain);
            m_pDrain = nullptr;
        }
        if (m_pStream != nullptr)
        {
            pa_stream_disconnect(m_pStream);
            pa_stream_unref(m_pStream);
            m_pStream = nullptr;
        }
        m_pPlaying.reset();
    }

    std::shared_ptr<CuePlayerShared> m_pShared;
    std::string m_strApplicationName;
    pa_mainloop* m_pLoop;
    pa_io_event* m_pWake = nullptr;
    pa_context* m_pContext = nullptr;
    Clock::time_point m_contextStarted;
    Clock::time_point m_contextDeadline;
    // The cue waiting for a connection, and the one playing with its stream.
    std::shared_ptr<const CWaveBuffer> m_pWaiting;
    Clock::time_point m_waitingSince;
    std::shared_ptr<const CWaveBuffer> m_pPlaying;
    pa_stream* m_pStream = nullptr;
    pa_operation* m_pDrain = nullptr;
    std::size_t m_nWritten = 0;
    Clock::time_point m_streamDeadline;
    Clock::time_point m_voiceDeadline;
};

// std::thread keeps its own copies of the arguments for as long as it runs.
void RunSoundThread(const std::shared_ptr<CuePlayerShared>& shared, std::string applicationName)
{
    {
        SoundLoop loop(shared, std::move(applicationName));
        loop.Run();
    }
    const std::lock_guard<std::mutex> lock(shared->mutex);
    shared->done = true;
    shared->finished.notify_all();
}

} // namespace

CCuePlayer::CCuePlayer(const char* applicationName)
    : m_strApplicationName(applicationName != nullptr ? applicationName : "")
{
}

CCuePlayer::~CCuePlayer()
{
    if (!m_thread.joinable())
    {
        return;
    }
    std::unique_lock<std::mutex> lock(m_pShared->mutex);
    m_pShared->quit = true;
    m_pShared->Wake();
    const bool done = m_pShared->finished.wait_for(lock, milliseconds(s_nStopWaitMilliseconds),
                                                   [this] { return m_pShared->done; });
    lock.unlock();
    if (done)
    {
        m_thread.join();
    }
    else
    {
        // Stuck in the sound library: leaving must not wait for it. It owns what it still uses.
        m_thread.detach();
    }
}

std::uint32_t CCuePlayer::Preload(const char* fileName)
{
    if (fileName == nullptr || *fileName == '\0')
    {
        return kErrorInvalidParameter;
    }
    auto cue = std::make_shared<CWaveBuffer>();
    const std::uint32_t code = cue->LoadFromFile(fileName);
    m_cues[fileName] = code == kErrorSuccess ? std::move(cue) : nullptr;
    if (code != kErrorSuccess || m_thread.joinable())
    {
        return code;
    }
    auto shared = std::make_shared<CuePlayerShared>();
    int fds[2] = {-1, -1};
    if (pipe2(fds, O_NONBLOCK | O_CLOEXEC) != 0)
    {
        return code;
    }
    shared->wakeRead = fds[0];
    shared->wakeWrite = fds[1];
    try
    {
        m_thread = std::thread(&RunSoundThread, shared, m_strApplicationName);
        m_pShared = std::move(shared);
    }
    catch (const std::system_error&)
    {
        // No thread, no sound.
    }
    return code;
}

void CCuePlayer::Play(const char* fileName)
{
    if (!m_thread.joinable() || fileName == nullptr)
    {
        return;
    }
    const auto found = m_cues.find(fileName);
    {
        const std::lock_guard<std::mutex> lock(m_pShared->mutex);
        m_pShared->pending = found != m_cues.end() ? found->second : nullptr;
        m_pShared->hasPending = true;
    }
    m_pShared->Wake();
}
