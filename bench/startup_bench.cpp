// Start-up and peak-memory benchmark. Launches programs in turn on the X
// display in $DISPLAY (an Xvfb with nothing else on it), and times each
// from process start to the moment its first top-level window is mapped,
// watching the root window's MapNotify events. Each program is then given a
// moment to paint, ended, and its peak resident memory read from wait4().
// Prints per-program medians, and each program's ratio to the last one,
// the baseline.
//
//   startup_bench [--runs N] [--settle-ms M] PROGRAM... BASELINE
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

struct Sample {
    double startupMs = 0;
    double peakRssMb = 0;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Waits until a window is mapped on the root, or the timeout passes.
bool WaitForMap(xcb_connection_t* connection, std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    const int fd = xcb_get_file_descriptor(connection);
    while (Clock::now() < deadline) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            std::free(event);
            if (mapped) {
                return true;
            }
        }
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 5);
    }
    return false;
}

bool RunOnce(xcb_connection_t* connection, const char* program, int settleMs, Sample& sample) {
    while (xcb_generic_event_t* stale = xcb_poll_for_event(connection)) {
        std::free(stale);
    }
    char* argv[] = {const_cast<char*>(program), nullptr};
    pid_t pid = 0;
    const auto start = Clock::now();
    if (posix_spawn(&pid, program, nullptr, nullptr, argv, environ) != 0) {
        std::perror(program);
        return false;
    }
    const bool mapped = WaitForMap(connection, std::chrono::seconds(20));
    const auto shown = Clock::now();
    std::this_thread::sleep_for(std::chrono::milliseconds(settleMs));
    kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!mapped) {
        std::fprintf(stderr, "%s showed no window\n", program);
        return false;
    }
    sample.startupMs = std::chrono::duration<double, std::milli>(shown - start).count();
    sample.peakRssMb = usage.ru_maxrss / 1024.0;  // kilobytes on Linux
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 20;
    int settleMs = 300;
    std::vector<const char*> programs;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else if (!std::strcmp(argv[i], "--settle-ms") && i + 1 < argc) {
            settleMs = std::max(0, std::atoi(argv[++i]));
        } else {
            programs.push_back(argv[i]);
        }
    }
    if (programs.size() < 2) {
        std::fprintf(stderr, "usage: %s [--runs N] [--settle-ms M] PROGRAM... BASELINE\n", argv[0]);
        return 2;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "cannot connect to the X display in $DISPLAY\n");
        return 2;
    }
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(connection);

    const std::size_t count = programs.size();
    std::vector<std::vector<Sample>> samples(count);
    Sample warmup;
    for (const char* program : programs) {
        RunOnce(connection, program, settleMs, warmup);  // fills the page cache
    }
    for (int run = 0; run < runs; ++run) {
        for (std::size_t p = 0; p < count; ++p) {
            // Rotate which program goes first, so that none always follows
            // the same one.
            const std::size_t which = (p + static_cast<std::size_t>(run)) % count;
            Sample sample;
            if (!RunOnce(connection, programs[which], settleMs, sample)) {
                return 1;
            }
            samples[which].push_back(sample);
        }
    }
    std::vector<double> startup(count);
    std::vector<double> memory(count);
    for (std::size_t p = 0; p < count; ++p) {
        std::vector<double> ms;
        std::vector<double> mb;
        for (const Sample& s : samples[p]) {
            ms.push_back(s.startupMs);
            mb.push_back(s.peakRssMb);
        }
        startup[p] = Median(ms);
        memory[p] = Median(mb);
        std::printf("%-36s start-up to window shown: median %6.1f ms (min %5.1f, max %5.1f); peak RSS median %5.1f MB\n",
                    programs[p], startup[p], *std::min_element(ms.begin(), ms.end()),
                    *std::max_element(ms.begin(), ms.end()), memory[p]);
    }
    std::printf("runs: %d each, in rotation\n", runs);
    for (std::size_t p = 0; p + 1 < count; ++p) {
        std::printf("%-36s start-up ratio to %s: %.2f; peak memory %+.1f MB\n", programs[p], programs[count - 1],
                    startup[p] / startup[count - 1], memory[p] - memory[count - 1]);
    }
    xcb_disconnect(connection);
    return 0;
}
