#include "SoundSupport.h"

#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace
{

using Clock = std::chrono::steady_clock;

pid_t Spawn(const std::vector<std::string>& args, const std::vector<std::string>& env, int out)
{
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> vars(env);
    for (char** e = environ; *e != nullptr; ++e)
        vars.emplace_back(*e);
    std::vector<char*> envp;
    for (const std::string& v : vars)
        envp.push_back(const_cast<char*>(v.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (out >= 0)
        posix_spawn_file_actions_adddup2(&actions, out, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

void End(pid_t& pid)
{
    if (pid > 0)
    {
        kill(pid, SIGCONT);
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
    pid = -1;
}

bool Connects(const std::string& path)
{
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

// Energy of a block at each pitch, as a fraction of full scale.
int PitchOf(const std::int16_t* x)
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

} // namespace

std::string Describe(const std::vector<Heard>& heard)
{
    std::string text;
    for (const Heard& h : heard)
        text += std::to_string(kPitchHz[h.pitch]) + " Hz at " +
                std::to_string(
                    std::chrono::duration_cast<std::chrono::milliseconds>(h.start - heard[0].start)
                        .count()) +
                " ms, " + std::to_string(h.samples) + " samples; ";
    return text;
}

SoundServer::SoundServer(Kind kind) : m_kind(kind)
{
    char pattern[] = "/tmp/daviz-sound-XXXXXX";
    if (mkdtemp(pattern) == nullptr)
        return;
    m_strDir = pattern;
    m_strSocket = m_strDir + "/native";
    setenv("PULSE_SERVER", ("unix:" + m_strSocket).c_str(), 1);
    if (kind == Kind::Real)
    {
        m_bOk = Start();
        return;
    }
    if (kind == Kind::None)
    {
        m_bOk = true;
        return;
    }
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, m_strSocket.c_str(), sizeof address.sun_path - 1);
    m_nStandIn = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    m_bOk = bind(m_nStandIn, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            (kind == Kind::Refusing || listen(m_nStandIn, 64) == 0);
}

SoundServer::~SoundServer()
{
    StopRecording();
    Stop();
    if (m_nStandIn >= 0)
        close(m_nStandIn);
    unsetenv("PULSE_SERVER");
    if (!m_strDir.empty())
        std::filesystem::remove_all(m_strDir);
}

bool SoundServer::Start()
{
    const std::string home = m_strDir + "/home";
    std::filesystem::create_directories(home + "/run");
    std::filesystem::permissions(home + "/run", std::filesystem::perms::owner_all);
    m_nServer =
        Spawn({"pulseaudio", "--daemonize=no", "-n", "--exit-idle-time=-1", "--use-pid-file=no",
               "-L", "module-null-sink sink_name=daviz rate=48000 channels=1 norewinds=1", "-L",
               "module-native-protocol-unix auth-anonymous=1 socket=" + m_strSocket},
              {"HOME=" + home, "XDG_RUNTIME_DIR=" + home + "/run", "XDG_CONFIG_HOME=" + home}, -1);
    for (int i = 0; i < 100 && m_nServer > 0; ++i)
    {
        if (Connects(m_strSocket))
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

void SoundServer::Stop()
{
    End(m_nServer);
    std::filesystem::remove(m_strSocket);
}

void SoundServer::Freeze(bool frozen)
{
    if (m_nServer > 0)
        kill(m_nServer, frozen ? SIGSTOP : SIGCONT);
}

std::string SoundServer::Pactl(const std::string& args) const
{
    std::string text;
    FILE* out = popen(("pactl --server=unix:" + m_strSocket + " " + args).c_str(), "r");
    if (out == nullptr)
        return text;
    char buffer[4096];
    for (std::size_t n = 0; (n = fread(buffer, 1, sizeof buffer, out)) > 0;)
        text.append(buffer, n);
    pclose(out);
    return text;
}

bool SoundServer::StartRecording()
{
    StopRecording();
    int fds[2];
    if (m_nServer <= 0 || pipe2(fds, O_CLOEXEC) != 0)
        return false;
    m_samples.clear();
    m_firstSample = Clock::time_point::max();
    m_nRecorder =
        Spawn({"parec", "--server=unix:" + m_strSocket, "--device=daviz.monitor",
               "--latency-msec=1", "--format=s16le", "--rate=48000", "--channels=1", "--raw"},
              {}, fds[1]);
    close(fds[1]);
    m_nRecorderOut = fds[0];
    m_reader = std::thread(&SoundServer::Read, this);
    // Until the first samples arrive, nothing is being recorded.
    for (int i = 0; i < 200; ++i)
    {
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            if (m_samples.size() > std::size_t{kRecordRate} / 20)
                return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

void SoundServer::Read()
{
    std::int16_t buffer[4096];
    std::size_t pending = 0; // bytes of a half sample
    char* bytes = reinterpret_cast<char*>(buffer);
    for (;;)
    {
        const ssize_t n = read(m_nRecorderOut, bytes + pending, sizeof buffer - pending);
        if (n <= 0)
            return;
        const Clock::time_point now = Clock::now();
        pending += static_cast<std::size_t>(n);
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_samples.insert(m_samples.end(), buffer, buffer + pending / 2);
        const auto played = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(double(m_samples.size()) / kRecordRate));
        m_firstSample = std::min(m_firstSample, now - played);
        if (pending % 2 == 1)
            bytes[0] = bytes[pending - 1];
        pending %= 2;
    }
}

std::vector<Heard> SoundServer::StopRecording()
{
    if (m_nRecorder <= 0)
        return {};
    End(m_nRecorder);
    if (m_reader.joinable())
        m_reader.join();
    close(m_nRecorderOut);
    m_nRecorderOut = -1;
    std::vector<Heard> heard;
    for (std::size_t at = 0; at + kBlock <= m_samples.size(); at += kBlock)
    {
        const int pitch = PitchOf(&m_samples[at]);
        if (pitch < 0)
            continue;
        const auto when =
            m_firstSample + std::chrono::duration_cast<Clock::duration>(
                                std::chrono::duration<double>(double(at) / kRecordRate));
        // A stretch goes on while the pitch stays and no block is silent.
        if (!heard.empty() && heard.back().pitch == pitch &&
            heard.back().start +
                    std::chrono::microseconds(heard.back().samples * 1000000LL / kRecordRate) +
                    std::chrono::microseconds(500) >=
                when)
            heard.back().samples += kBlock;
        else
            heard.push_back({pitch, when, kBlock});
    }
    // A block where a tone starts or stops abruptly may show a neighbouring pitch.
    std::erase_if(heard, [](const Heard& h) { return h.samples <= kBlock; });
    return heard;
}
