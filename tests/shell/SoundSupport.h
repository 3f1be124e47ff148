#pragma once

// A private PulseAudio server with one null output, or a stand-in that misbehaves, for the
// process that starts it (PULSE_SERVER points there), and a recording of that output split into
// stretches by pitch.

#include <QFileInfo>
#include <QLocalServer>
#include <QProcess>
#include <QTemporaryDir>

#include <atomic>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <fstream>
#include <thread>
#include <vector>

// The test cues' pitches: whole cycles in a block of the recording, so they never mix.
inline constexpr int kPitchHz[] = {1000, 2000, 4000, 8000};
inline constexpr int kRecordRate = 48000;
inline constexpr int kBlock = kRecordRate / 1000; // 1 ms

// One stretch of the recording holding one pitch (an index of kPitchHz).
struct Heard
{
    int pitch;
    std::chrono::steady_clock::time_point start; // when its first block was played, at the latest
    int samples;
};

// The pitch of a block whose energy there is above 5% of full scale and the most, or -1.
inline int PitchOf(const std::int16_t* x)
{
    int best = -1;
    double bestLevel = 0.05;
    for (int p = 0; p < 4; ++p)
    {
        const double w = 2 * 3.14159265358979323846 * kPitchHz[p] / kRecordRate;
        double re = 0;
        double im = 0;
        for (int n = 0; n < kBlock; ++n)
        {
            re += x[n] * std::cos(w * n);
            im += x[n] * std::sin(w * n);
        }
        const double level = 2 * std::hypot(re, im) / kBlock / 32768;
        if (level > bestLevel)
        {
            best = p;
            bestLevel = level;
        }
    }
    return best;
}

class SoundServer
{
public:
    using Clock = std::chrono::steady_clock;
    enum class Kind
    {
        Real,   // pulseaudio with a null sink
        None,   // nothing at the socket's path (a socket nobody listens on fails the same way)
        Silent, // a socket that takes connections and never answers
    };
    explicit SoundServer(Kind kind)
    {
        qputenv("PULSE_SERVER", "unix:" + m_strSocket.toUtf8());
        m_bOk = kind == Kind::Real ? Start() : kind == Kind::None || m_silent.listen(m_strSocket);
    }
    ~SoundServer()
    {
        StopRecording();
        Stop();
        qunsetenv("PULSE_SERVER");
    }
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    bool Ok() const { return m_bOk; }
    bool Start() // the real server, again after Stop
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"HOME", "XDG_RUNTIME_DIR", "XDG_CONFIG_HOME"})
            environment.insert(name, m_dir.path());
        m_server.setProcessEnvironment(environment);
        m_server.setStandardOutputFile(QProcess::nullDevice());
        m_server.setStandardErrorFile(QProcess::nullDevice());
        m_server.start("pulseaudio",
                       {"--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no", "-L",
                        "module-null-sink sink_name=daviz rate=48000 channels=1 norewinds=1", "-L",
                        "module-native-protocol-unix auth-anonymous=1 socket=" + m_strSocket});
        for (int i = 0; i < 100 && m_server.waitForStarted(); ++i)
        {
            if (!Pactl({"info"}).isEmpty())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return false;
    }
    void Stop()
    {
        Freeze(false);
        m_server.terminate();
        m_server.waitForFinished();
    }
    void Freeze(bool frozen) // stops answering, without closing its socket
    {
        if (m_server.processId() > 0)
            kill(static_cast<pid_t>(m_server.processId()), frozen ? SIGSTOP : SIGCONT);
    }
    QString Pactl(const QStringList& args) const
    {
        QProcess pactl;
        pactl.start("pactl", QStringList{"--server=unix:" + m_strSocket} + args);
        pactl.waitForFinished();
        return pactl.readAllStandardOutput();
    }

    // Records the null output from now until StopRecording.
    bool StartRecording()
    {
        m_recorder.setStandardOutputFile(m_strRecording);
        m_recorder.start("parec", {"--server=unix:" + m_strSocket, "--device=daviz.monitor",
                                   "--latency-msec=1", "--format=s16le", "--rate=48000",
                                   "--channels=1", "--raw"});
        m_firstSample = Clock::time_point::max();
        m_bWatching = true;
        m_watcher = std::thread(
            [this]
            {
                // The samples written by now were played by now.
                while (m_bWatching)
                {
                    const qint64 samples = QFileInfo(m_strRecording).size() / 2;
                    if (samples > 0)
                        m_firstSample = std::min(m_firstSample, Clock::now() - Played(samples));
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
                }
            });
        // Until the first samples arrive, nothing is being recorded.
        for (int i = 0; i < 200 && QFileInfo(m_strRecording).size() < kRecordRate / 10; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return QFileInfo(m_strRecording).size() >= kRecordRate / 10;
    }
    std::vector<Heard> StopRecording()
    {
        if (!m_watcher.joinable())
            return {};
        m_recorder.terminate();
        m_recorder.waitForFinished();
        m_bWatching = false;
        m_watcher.join();
        std::vector<std::int16_t> samples(
            static_cast<std::size_t>(QFileInfo(m_strRecording).size() / 2));
        std::ifstream(m_strRecording.toStdString(), std::ios::binary)
            .read(reinterpret_cast<char*>(samples.data()), std::streamsize(samples.size() * 2));
        std::vector<Heard> heard;
        std::size_t end = 0; // of the last stretch: one goes on while its pitch stays unbroken
        for (std::size_t at = 0; at + kBlock <= samples.size(); at += kBlock)
        {
            const int pitch = PitchOf(&samples[at]);
            if (pitch < 0)
                continue;
            if (!heard.empty() && heard.back().pitch == pitch && end == at)
                heard.back().samples += kBlock;
            else
                heard.push_back({pitch, m_firstSample + Played(std::int64_t(at)), kBlock});
            end = at + kBlock;
        }
        // A block where a tone starts or stops abruptly may show a neighbouring pitch.
        std::erase_if(heard, [](const Heard& h) { return h.samples <= kBlock; });
        return heard;
    }

private:
    static Clock::duration Played(std::int64_t samples)
    {
        return std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(double(samples) / kRecordRate));
    }

    QTemporaryDir m_dir;
    const QString m_strSocket = m_dir.filePath("native");
    const QString m_strRecording = m_dir.filePath("recording");
    bool m_bOk = false;
    QLocalServer m_silent;
    QProcess m_server;
    QProcess m_recorder;
    std::thread m_watcher;
    std::atomic<bool> m_bWatching = false;
    // The latest time the recorded sample 0 can have been played, from every look at the file.
    Clock::time_point m_firstSample;
};
