// Start-up as whole processes: each command is started again and again, in turn, and timed
// until its first window is mapped on the X display; the program's median (the last command)
// is given as a multiple of each reference's. The spread: each command's quartiles and extremes,
// and the quartiles of the ratio taken round by round (the commands of a round run back to back,
// so a load that comes and goes moves both sides of a round's ratio alike).
//   pakmaster_startup_bench ROUNDS REFERENCE... PROGRAM
#include <X11/Xlib.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

// Seconds from the start of `program` until it maps a window on the root window.
double timeToWindow(Display* display, const char* program)
{
    XSync(display, True); // forget earlier events
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execl(program, program, static_cast<char*>(nullptr));
        _exit(127);
    }
    double seconds = -1;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && event.xmap.event == DefaultRootWindow(display)) {
            seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            break;
        }
    }
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    return seconds;
}

// The value below which a fraction `q` of `v` lies (nearest rank).
double quantile(std::vector<double> v, double q)
{
    std::sort(v.begin(), v.end());
    const auto rank = static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5);
    return v[std::min(rank, v.size() - 1)];
}

double median(const std::vector<double>& v)
{
    return quantile(v, 0.5);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s ROUNDS REFERENCE... PROGRAM\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    const int rounds = std::max(1, std::atoi(argv[1]));
    const std::vector<const char*> commands(argv + 2, argv + argc);
    std::vector<std::vector<double>> times(commands.size());
    // One round first, to fill the caches.
    for (const char* command : commands)
        timeToWindow(display, command);
    for (int i = 0; i < rounds; ++i)
        for (std::size_t c = 0; c < commands.size(); ++c)
            times[c].push_back(timeToWindow(display, commands[c]));
    const double program = median(times.back());
    for (std::size_t c = 0; c < commands.size(); ++c) {
        const std::vector<double>& t = times[c];
        std::vector<double> ratios;
        for (std::size_t i = 0; i < t.size(); ++i)
            ratios.push_back(times.back()[i] / t[i]);
        std::printf("%-40s median %6.1f ms (quartiles %.1f-%.1f, range %.1f-%.1f)  program / this = %.3f"
                    " (per round: median %.3f, quartiles %.3f-%.3f)\n",
                    commands[c], median(t) * 1000, quantile(t, 0.25) * 1000, quantile(t, 0.75) * 1000,
                    quantile(t, 0) * 1000, quantile(t, 1) * 1000, program / median(t), median(ratios),
                    quantile(ratios, 0.25), quantile(ratios, 0.75));
    }
    XCloseDisplay(display);
    return 0;
}
