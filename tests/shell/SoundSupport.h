#pragma once

// A private PulseAudio server with one null output for the process that makes it (PULSE_SERVER
// points there, also for the pactl and parec it runs), and a recording of that output split into
// stretches by pitch.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <bit>
#include <csignal>
#include <cstdint>
#include <vector>

// The test cues' pitches: whole cycles in a block of the recording.
inline constexpr int kPitchHz[] = {1000, 2000, 4000, 8000};
inline constexpr int kRecordRate = 48000;
inline constexpr int kBlock = kRecordRate / 1000; // 1 ms

// One stretch of the recording holding one pitch (an index of kPitchHz).
struct Heard
{
    int pitch;
    qsizetype start; // its first sample
    int samples;
};

class SoundServer
{
public:
    SoundServer() { qputenv("PULSE_SERVER", "unix:" + m_strSocket.toUtf8()); } // for pactl too
    ~SoundServer() { Stop(); } // the recorder ends with it

    // Until started, nothing is at the socket's path: no server, as a socket nobody listens on.
    bool Start()
    {
        const QString home = m_dir.path();
        m_server.start("env",
                       {"HOME=" + home, "XDG_RUNTIME_DIR=" + home, "XDG_CONFIG_HOME=" + home,
                        "pulseaudio", "--log-level=error", "--daemonize=no", "-n",
                        "--exit-idle-time=-1", "--use-pid-file=no", "-L",
                        "module-null-sink sink_name=daviz rate=48000 channels=1 norewinds=1", "-L",
                        "module-native-protocol-unix auth-anonymous=1 socket=" + m_strSocket});
        return QTest::qWaitFor([] { return !Pactl({"info"}).isEmpty(); });
    }
    void Stop() // frozen or not
    {
        m_server.kill();
        m_server.waitForFinished();
    }
    // Frozen, it takes connections and never answers.
    void Freeze(bool frozen)
    {
        if (m_server.processId() > 0)
            kill(static_cast<pid_t>(m_server.processId()), frozen ? SIGSTOP : SIGCONT);
    }
    static QString Pactl(const QStringList& args)
    {
        QProcess pactl;
        pactl.start("pactl", args);
        return pactl.waitForFinished() ? pactl.readAllStandardOutput() : QString();
    }

    // Records the null output from now until StopRecording.
    bool StartRecording()
    {
        m_recorder.setStandardOutputFile(m_strRecording);
        m_recorder.start("parec", {"--device=daviz.monitor", "--latency-msec=1", "--format=s16le",
                                   "--rate=48000", "--channels=1", "--raw"});
        // Until 0.1 s has arrived nothing is being recorded.
        return QTest::qWaitFor([this] { return QFile(m_strRecording).size() >= kRecordRate / 5; });
    }
    std::vector<Heard> StopRecording()
    {
        m_recorder.terminate();
        m_recorder.waitForFinished();
        QFile file(m_strRecording);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        const auto* x = reinterpret_cast<const std::int16_t*>(bytes.constData());
        std::vector<Heard> heard;
        // Each 1 ms block's pitch (an index of kPitchHz) from its sign changes, or -1 when quiet:
        // 1000 Hz changes sign once or twice in a block, 2000 Hz three or four times, and so on.
        for (qsizetype at = 0; at + kBlock <= bytes.size() / 2; at += kBlock)
        {
            int changes = 0;
            int peak = 0;
            for (qsizetype n = at + 1; n < at + kBlock; ++n)
            {
                changes += (x[n - 1] < 0) != (x[n] < 0) ? 1 : 0;
                peak = std::max(peak, x[n] * x[n]);
            }
            const int pitch = peak < 1600 * 1600 ? -1 : std::bit_width(unsigned(changes + 1)) - 2;
            if (!heard.empty() && heard.back().pitch == pitch)
                heard.back().samples += kBlock;
            else
                heard.push_back({pitch, at, kBlock});
        }
        // Silence goes; a block where a tone starts or stops abruptly may show a neighbouring
        // pitch.
        std::erase_if(heard, [](const Heard& h) { return h.pitch < 0 || h.samples <= kBlock; });
        return heard;
    }

    QTemporaryDir m_dir;
    const QString m_strSocket = m_dir.filePath("native");
    const QString m_strRecording = m_dir.filePath("recording");
    QProcess m_server;
    QProcess m_recorder;
};
