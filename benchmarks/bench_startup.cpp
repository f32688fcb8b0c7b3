// Process start to `Intro` on screen: the real program is started on the X
// display in DISPLAY and timed until its "Introduction" window is mapped.
// Each launch is killed once timed.

#include <X11/Xlib.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char *introCaption = "Introduction";
constexpr auto launchTimeout = std::chrono::seconds(20);

std::string windowName(Display *display, Window window)
{
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char *data = nullptr;
    std::string name;
    if (XGetWindowProperty(display, window, netWmName, 0, 256, False, AnyPropertyType, &type, &format, &count, &after,
                           &data) == Success &&
        data && format == 8)
        name.assign(reinterpret_cast<const char *>(data), count);
    if (data)
        XFree(data);
    return name;
}

// Without a window manager top-level windows are the root's children, so
// watching the root's substructure sees every one of them mapped.
bool introMapped(Display *display)
{
    while (XPending(display) > 0) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == MapNotify && windowName(display, event.xmap.window) == introCaption)
            return true;
    }
    return false;
}

pid_t launch()
{
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    char program[] = TRAJECTRIX_PROGRAM;
    char *args[] = {program, nullptr};
    pid_t child = -1;
    if (posix_spawn(&child, program, &quiet, nullptr, args, environ) != 0)
        child = -1;
    posix_spawn_file_actions_destroy(&quiet);
    return child;
}

double cpuSeconds(const rusage &used)
{
    const auto seconds = [](const timeval &t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(used.ru_utime) + seconds(used.ru_stime);
}

struct Launch
{
    double seconds = 0;    // start to `Intro` mapped
    double cpuSeconds = 0; // the program's own processor time meanwhile
    std::string failure;   // why `Intro` never appeared
};

// The processor time says how much of the wall time was the program's own
// work rather than waiting for a busy machine.
Launch launchToIntro(Display *display)
{
    XSync(display, True);
    const Clock::time_point start = Clock::now();
    const pid_t child = launch();
    if (child < 0)
        return {.failure = "cannot start " TRAJECTRIX_PROGRAM};

    Launch result;
    rusage used{};
    bool ended = false;
    for (;;) {
        if (introMapped(display)) {
            result.seconds = std::chrono::duration<double>(Clock::now() - start).count();
            break;
        }
        int status = 0;
        if (wait4(child, &status, WNOHANG, &used) == child) {
            ended = true;
            result.failure = "the program ended before Intro appeared (wait status " + std::to_string(status) + ")";
            break;
        }
        if (Clock::now() - start > launchTimeout) {
            result.failure = "Intro did not appear within 20 s";
            break;
        }
        pollfd ready{ConnectionNumber(display), POLLIN, 0};
        poll(&ready, 1, 20);
    }
    if (!ended) {
        kill(child, SIGKILL);
        wait4(child, nullptr, 0, &used);
    }
    result.cpuSeconds = cpuSeconds(used);
    return result;
}

// One connection for the whole run: opening a fresh one right after a child
// was killed is sometimes refused while the server is still cleaning up.
Display *watchedDisplay()
{
    static Display *const display = [] {
        Display *d = XOpenDisplay(nullptr);
        if (d)
            XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
        return d;
    }();
    return display;
}

void BM_StartToIntroShown(benchmark::State &state)
{
    Display *display = watchedDisplay();
    if (!display) {
        state.SkipWithError("no X display: run under xvfb-run");
        return;
    }
    setenv("QT_QPA_PLATFORM", "xcb", 1);

    // The first launch fills the page cache and is not counted. After a
    // failure the loop still runs to its end, launching nothing: every
    // repetition must report the same number of iterations.
    std::string failure = launchToIntro(display).failure;
    double cpuTotal = 0;
    for (auto _ : state) {
        Launch run;
        if (failure.empty())
            run = launchToIntro(display);
        if (failure.empty() && !run.failure.empty()) {
            failure = run.failure;
            std::fprintf(stderr, "bench_startup: %s\n", failure.c_str());
        }
        state.SetIterationTime(run.seconds);
        cpuTotal += run.cpuSeconds;
    }
    if (!failure.empty())
        state.SkipWithError(failure.c_str());
    state.counters["child_cpu_ms"] = benchmark::Counter(cpuTotal * 1000, benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_StartToIntroShown)->Iterations(10)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
