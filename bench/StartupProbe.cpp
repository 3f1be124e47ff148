// Starts the game on the X display and watches the screen until its board is painted:
//   bench_startup_probe PROGRAM [SETTLE_MS]
// Run in the data folder (the board files tell what the board looks like). Prints
//   startup_ms=<from start to the board on the screen> cpu_ms=<processor time used by then>
//   hwm_kb=<peak resident memory>
// where the peak is read SETTLE_MS (default 1000) after the board showed, just before the
// program is ended. Exits 1 when the board does not show within ten seconds.

#include "BoardSnapshot.h"
#include "CBoardImage.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>

#include <unistd.h>

namespace
{

struct Sample
{
    int x;
    int y;
    unsigned long rgb;
};

double NowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

void SleepMs(int ms)
{
    timespec pause{ms / 1000, static_cast<long>(ms % 1000) * 1000000L};
    while (nanosleep(&pause, &pause) != 0 && errno == EINTR)
    {
    }
}

// Pixels of no cell in the top rows of the board picture: the same in every deal, and above
// where the About box comes up.
std::vector<Sample> BoardSamples(const CBoardImage& image, int rows, int stretch)
{
    std::vector<Sample> samples;
    const CBoardSet& set = image.Shown();
    int n = 0;
    for (int y = 0; y < rows && y < set.Height(); ++y)
    {
        for (int x = 0; x < set.Width(); ++x)
        {
            const bool isCell = CBoardSet::CellOfEntry(*set.EntryAt(x, y)) != CBoardSet::kNoCell;
            if (!isCell && n++ % 13 == 0)
            {
                const unsigned long rgb = set.TilePixel(0, x, y) & 0xffffffU;
                samples.push_back(Sample{x * stretch, y * stretch, rgb});
            }
        }
    }
    return samples;
}

// The largest viewable top-level window of the process, in root coordinates.
bool FindWindow(Display* display, Window root, pid_t pid, XWindowAttributes& found)
{
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", True);
    if (pidAtom == None)
    {
        return false;
    }
    Window rootReturn = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, root, &rootReturn, &parent, &children, &count) == 0)
    {
        return false;
    }
    bool any = false;
    for (unsigned int i = 0; i < count; ++i)
    {
        XWindowAttributes attributes;
        if (XGetWindowAttributes(display, children[i], &attributes) == 0 ||
            attributes.map_state != IsViewable)
        {
            continue;
        }
        Atom type = None;
        int format = 0;
        unsigned long items = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type,
                               &format, &items, &after, &data) == Success &&
            data != nullptr && items == 1 && format == 32)
        {
            const auto owner = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
            if (owner == pid &&
                (!any || attributes.width * attributes.height > found.width * found.height))
            {
                found = attributes;
                any = true;
            }
        }
        if (data != nullptr)
        {
            XFree(data);
        }
    }
    if (children != nullptr)
    {
        XFree(children);
    }
    return any;
}

// Whether the board's top rows show anywhere near the window's top-left corner.
bool BoardShows(Display* display, Window root, const XWindowAttributes& window,
                const std::vector<Sample>& samples, int pictureWidth, int rows)
{
    // Wider on a denser screen: the board lies further from the window's corner.
    const int kSearchX = 48 * pictureWidth / 454 + 1;
    const int kSearchY = 160 * pictureWidth / 454 + 1;
    int width = std::min(window.width, kSearchX + pictureWidth);
    int height = std::min(window.height, kSearchY + rows);
    const int screenWidth = DisplayWidth(display, DefaultScreen(display));
    const int screenHeight = DisplayHeight(display, DefaultScreen(display));
    const int left = std::max(window.x, 0);
    const int top = std::max(window.y, 0);
    width = std::min(width, screenWidth - left);
    height = std::min(height, screenHeight - top);
    if (width <= 0 || height <= 0)
    {
        return false;
    }
    XImage* shot = XGetImage(display, root, left, top, static_cast<unsigned int>(width),
                             static_cast<unsigned int>(height), AllPlanes, ZPixmap);
    if (shot == nullptr)
    {
        return false;
    }
    bool shows = false;
    for (int oy = 0; !shows && oy < kSearchY; ++oy)
    {
        for (int ox = 0; !shows && ox < kSearchX; ++ox)
        {
            bool all = true;
            for (const Sample& s : samples)
            {
                const int x = ox + s.x;
                const int y = oy + s.y;
                if (x >= width || y >= height || (XGetPixel(shot, x, y) & 0xFFFFFF) != s.rgb)
                {
                    all = false;
                    break;
                }
            }
            shows = all;
        }
    }
    XDestroyImage(shot);
    return shows;
}

long PeakResidentKb(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
    {
        if (line.rfind("VmHWM:", 0) == 0)
        {
            return std::atol(line.c_str() + 6);
        }
    }
    return -1;
}

// Processor time the program has used so far (all its threads, user and system), in ms: on a
// busy machine this says more than the time on the clock.
double ProcessorMs(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text;
    std::getline(stat, text);
    const std::size_t end = text.rfind(')');
    if (end == std::string::npos)
    {
        return -1;
    }
    std::istringstream fields(text.substr(end + 2));
    std::string field;
    unsigned long long user = 0;
    unsigned long long system = 0;
    // After the name: state is field 3, utime 14 and stime 15.
    for (int i = 3; i <= 15 && fields >> field; ++i)
    {
        if (i == 14)
        {
            user = std::stoull(field);
        }
        else if (i == 15)
        {
            system = std::stoull(field);
        }
    }
    return static_cast<double>(user + system) * 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 3)
    {
        std::fprintf(stderr, "usage: bench_startup_probe PROGRAM [SETTLE_MS]\n");
        return 2;
    }
    const int settleMs = argc == 3 ? std::atoi(argv[2]) : 1000;
    CBoardImage image;
    if (image.Load() != 0)
    {
        std::fprintf(stderr, "the board files do not load here\n");
        return 2;
    }
    // Under QT_SCALE_FACTOR=2 the game shows the set at twice the pixels: look for that one.
    const char* factor = std::getenv("QT_SCALE_FACTOR");
    image.SetDeviceRatio(factor != nullptr ? std::atof(factor) : 1.0);
    const double ratio = factor != nullptr ? std::atof(factor) : 1.0;
    // A program without the finer set doubles its pixels at 2.
    const int stretch = std::max(1, static_cast<int>(ratio) / image.ShownScale());
    const int kRows = 40 * image.ShownScale();
    const std::vector<Sample> samples = BoardSamples(image, kRows, stretch);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr || samples.empty())
    {
        std::fprintf(stderr, "no X display\n");
        return 2;
    }
    const Window root = DefaultRootWindow(display);

    const double start = NowMs();
    const pid_t pid = fork();
    if (pid == 0)
    {
        setenv("QT_QPA_PLATFORM", "xcb", 1);
        // Its messages (no sound server and the like) would only clutter the figures.
        const int quiet = open("/dev/null", O_WRONLY);
        if (quiet >= 0)
        {
            dup2(quiet, STDOUT_FILENO);
            dup2(quiet, STDERR_FILENO);
        }
        execl(argv[1], argv[1], static_cast<char*>(nullptr));
        _exit(127);
    }
    if (pid < 0)
    {
        std::perror("fork");
        return 2;
    }

    double shown = -1;
    double processor = -1;
    while (NowMs() - start < 10000)
    {
        XWindowAttributes window{};
        if (FindWindow(display, root, pid, window) &&
            BoardShows(display, root, window, samples, image.Shown().Width() * stretch,
                       kRows * stretch))
        {
            shown = NowMs() - start;
            processor = ProcessorMs(pid);
            break;
        }
        if (waitpid(pid, nullptr, WNOHANG) == pid)
        {
            std::fprintf(stderr, "the program ended before its board showed\n");
            return 1;
        }
        SleepMs(2);
    }
    if (shown >= 0)
    {
        SleepMs(settleMs);
    }
    const long hwm = PeakResidentKb(pid);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    XCloseDisplay(display);
    if (shown < 0)
    {
        std::fprintf(stderr, "no board on the screen within ten seconds\n");
        return 1;
    }
    std::printf("startup_ms=%.1f cpu_ms=%.0f hwm_kb=%ld\n", shown, processor, hwm);
    return 0;
}
