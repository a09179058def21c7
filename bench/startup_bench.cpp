// Start-up and peak-memory benchmark. Launches programs in turn on the X
// display in $DISPLAY (an Xvfb with nothing else on it, no window manager)
// and times each from process start to two moments: its first top-level
// window being mapped (the root window's MapNotify), and the first pixels
// drawn inside that window (X DAMAGE on the root window, which reports
// drawing into every window on the screen). A program can map an empty
// window and draw it later; the second figure is what the pupil waits for.
// Each program is then given a moment to settle, during which the last
// drawing inside its window is noted (when the window was whole: a program
// may draw its first frame as a bare background, as wine does), ended, and
// its peak resident memory read from wait4(). Prints per-program medians,
// and each program's ratio to the last one, the baseline: the ratio of the
// medians, and the median of the ratios within each round of the rotation,
// which a machine slowing down or speeding up for a while disturbs less.
//
//   startup_bench [--runs N] [--settle-ms M] [--wine] PROGRAM... BASELINE
//
// With --wine each PROGRAM is a Windows program, started as `wine PROGRAM`
// (WINEPREFIX and DISPLAY as the caller set them). Wine also maps windows
// that only take input (InputOnly), which draw nothing; they are passed over.
//
// With --explain the figure is the explain view's opening instead: once the
// window is drawn, 1/9967 (the longest division a window can ask for) is
// typed and calculated with xdotool, and the time is taken from just before
// F1 is sent (xdotool's own start included) to the first drawing inside the
// view's window.
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <xcb/damage.h>
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
    double mappedMs = 0;
    double paintedMs = 0;
    double wholeMs = 0;
    double peakRssMb = 0;
};

struct Display {
    xcb_connection_t* connection;
    xcb_window_t root;
    uint8_t damageEventBase;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// A window's place on the screen.
struct Area {
    int x = 0, y = 0, width = 0, height = 0;
};

bool Intersects(const xcb_rectangle_t& a, const Area& b) {
    return a.x < b.x + b.width && b.x < a.x + a.width && a.y < b.y + b.height && b.y < a.y + a.height;
}

bool InputOnly(const Display& display, xcb_window_t window) {
    xcb_get_window_attributes_reply_t* attributes = xcb_get_window_attributes_reply(
        display.connection, xcb_get_window_attributes(display.connection, window), nullptr);
    const bool inputOnly = attributes && attributes->_class == XCB_WINDOW_CLASS_INPUT_ONLY;
    std::free(attributes);
    return inputOnly;
}

// Watches the window's area for `duration` and moves `last` to the time of
// each drawing inside it.
void WatchDrawing(const Display& display, const Area& area, std::chrono::milliseconds duration,
                  Clock::time_point& last) {
    const auto deadline = Clock::now() + duration;
    const int fd = xcb_get_file_descriptor(display.connection);
    while (Clock::now() < deadline) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(display.connection)) {
            if ((event->response_type & 0x7f) == display.damageEventBase + XCB_DAMAGE_NOTIFY &&
                Intersects(reinterpret_cast<xcb_damage_notify_event_t*>(event)->area, area)) {
                last = Clock::now();
            }
            std::free(event);
        }
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 2);
    }
}

// Waits for the first top-level window to be mapped and then for the first
// drawing inside it; sets the times at which each was seen, and the window's
// area. False when either does not come before the timeout.
bool WaitForMapAndPaint(const Display& display, Clock::time_point& mapped, Clock::time_point& painted,
                        std::chrono::milliseconds timeout, xcb_window_t* shownWindow = nullptr,
                        Area* shownArea = nullptr) {
    const auto deadline = Clock::now() + timeout;
    const int fd = xcb_get_file_descriptor(display.connection);
    xcb_window_t window = XCB_NONE;
    Area area;
    while (Clock::now() < deadline) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(display.connection)) {
            const uint8_t type = event->response_type & 0x7f;
            if (type == XCB_MAP_NOTIFY && window == XCB_NONE &&
                !InputOnly(display, reinterpret_cast<xcb_map_notify_event_t*>(event)->window)) {
                mapped = Clock::now();
                window = reinterpret_cast<xcb_map_notify_event_t*>(event)->window;
                xcb_get_geometry_reply_t* geometry =
                    xcb_get_geometry_reply(display.connection, xcb_get_geometry(display.connection, window), nullptr);
                if (geometry) {
                    area = Area{geometry->x, geometry->y, geometry->width, geometry->height};
                    std::free(geometry);
                }
            } else if (type == display.damageEventBase + XCB_DAMAGE_NOTIFY && window != XCB_NONE) {
                const auto* damage = reinterpret_cast<xcb_damage_notify_event_t*>(event);
                if (Intersects(damage->area, area)) {
                    painted = Clock::now();
                    if (shownWindow) {
                        *shownWindow = window;
                    }
                    if (shownArea) {
                        *shownArea = area;
                    }
                    std::free(event);
                    return true;
                }
            }
            std::free(event);
        }
        pollfd p{fd, POLLIN, 0};
        poll(&p, 1, 5);
    }
    return false;
}

bool wine = false;
bool explain = false;

// Runs xdotool with the arguments and waits for it.
bool Xdotool(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "xdotool");
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    int status = 0;
    return posix_spawnp(&pid, "xdotool", nullptr, nullptr, argv.data(), environ) == 0 &&
           waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// The explain view's opening in the program whose window is `window`: the
// milliseconds from F1 to the view's first drawing, or a negative number.
double OpenExplanation(const Display& display, xcb_window_t window) {
    const std::string id = std::to_string(window);
    // The numerator is the last control in the tab order, eight steps from
    // the task text, which has the focus at start; two more reach the
    // denominator, where Enter calculates.
    if (!Xdotool({"windowfocus", id}) || !Xdotool({"key", "--delay", "20", "Tab", "Tab", "Tab", "Tab", "Tab", "Tab",
                                                   "Tab", "Tab", "1", "Tab", "Tab", "9", "9", "6", "7", "Return"})) {
        return -1;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    while (xcb_generic_event_t* stale = xcb_poll_for_event(display.connection)) {
        std::free(stale);
    }
    char command[] = "xdotool";
    char key[] = "key";
    char f1[] = "F1";
    char* argv[] = {command, key, f1, nullptr};
    pid_t pid = 0;
    const auto start = Clock::now();
    if (posix_spawnp(&pid, command, nullptr, nullptr, argv, environ) != 0) {
        return -1;
    }
    Clock::time_point mapped;
    Clock::time_point painted;
    const bool shown = WaitForMapAndPaint(display, mapped, painted, std::chrono::seconds(20));
    int status = 0;
    waitpid(pid, &status, 0);
    return shown ? std::chrono::duration<double, std::milli>(painted - start).count() : -1;
}

bool RunOnce(const Display& display, const char* program, int settleMs, Sample& sample) {
    while (xcb_generic_event_t* stale = xcb_poll_for_event(display.connection)) {
        std::free(stale);
    }
    char wineCommand[] = "wine";
    char* native[] = {const_cast<char*>(program), nullptr};
    char* windows[] = {wineCommand, const_cast<char*>(program), nullptr};
    pid_t pid = 0;
    const auto start = Clock::now();
    if (posix_spawnp(&pid, wine ? wineCommand : program, nullptr, nullptr, wine ? windows : native, environ) != 0) {
        std::perror(program);
        return false;
    }
    Clock::time_point mapped;
    Clock::time_point painted;
    xcb_window_t window = XCB_NONE;
    Area area;
    const bool shown = WaitForMapAndPaint(display, mapped, painted, std::chrono::seconds(20), &window, &area);
    Clock::time_point whole = painted;
    WatchDrawing(display, area, std::chrono::milliseconds(settleMs), whole);
    double explained = 0;
    if (shown && explain) {
        explained = OpenExplanation(display, window);
    }
    kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    if (!shown) {
        std::fprintf(stderr, "%s showed no painted window\n", program);
        return false;
    }
    if (explain) {
        if (explained < 0) {
            std::fprintf(stderr, "%s showed no explanation\n", program);
            return false;
        }
        // The explanation's opening stands in for every figure: mapped, first and whole drawing.
        sample.mappedMs = sample.paintedMs = sample.wholeMs = explained;
        sample.peakRssMb = usage.ru_maxrss / 1024.0;
        return true;
    }
    sample.mappedMs = std::chrono::duration<double, std::milli>(mapped - start).count();
    sample.paintedMs = std::chrono::duration<double, std::milli>(painted - start).count();
    sample.wholeMs = std::chrono::duration<double, std::milli>(whole - start).count();
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
        } else if (!std::strcmp(argv[i], "--wine")) {
            wine = true;
        } else if (!std::strcmp(argv[i], "--explain")) {
            explain = true;
        } else if (!std::strcmp(argv[i], "--settle-ms") && i + 1 < argc) {
            settleMs = std::max(0, std::atoi(argv[++i]));
        } else {
            programs.push_back(argv[i]);
        }
    }
    if (explain && programs.size() == 1) {
        programs.push_back(programs.front());  // no baseline: the program against itself
    }
    if (programs.size() < 2) {
        std::fprintf(stderr, "usage: %s [--runs N] [--settle-ms M] [--wine] PROGRAM... BASELINE\n", argv[0]);
        return 2;
    }
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "cannot connect to the X display in $DISPLAY\n");
        return 2;
    }
    const xcb_query_extension_reply_t* damageExtension = xcb_get_extension_data(connection, &xcb_damage_id);
    if (!damageExtension || !damageExtension->present) {
        std::fprintf(stderr, "the X server has no DAMAGE extension\n");
        return 2;
    }
    xcb_damage_query_version_reply_t* version = xcb_damage_query_version_reply(
        connection, xcb_damage_query_version(connection, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION), nullptr);
    std::free(version);
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(connection, screen->root, XCB_CW_EVENT_MASK, &mask);
    // Every drawing on the screen, as it happens.
    xcb_damage_create(connection, xcb_generate_id(connection), screen->root, XCB_DAMAGE_REPORT_LEVEL_RAW_RECTANGLES);
    xcb_flush(connection);
    const Display display{connection, screen->root, damageExtension->first_event};

    const std::size_t count = programs.size();
    std::vector<std::vector<Sample>> samples(count);
    Sample warmup;
    for (const char* program : programs) {
        RunOnce(display, program, settleMs, warmup);  // fills the page cache
    }
    for (int run = 0; run < runs; ++run) {
        for (std::size_t p = 0; p < count; ++p) {
            // Rotate which program goes first, so that none always follows
            // the same one.
            const std::size_t which = (p + static_cast<std::size_t>(run)) % count;
            Sample sample;
            if (!RunOnce(display, programs[which], settleMs, sample)) {
                return 1;
            }
            samples[which].push_back(sample);
        }
    }
    std::vector<double> mappedMedian(count);
    std::vector<double> paintedMedian(count);
    std::vector<double> wholeMedian(count);
    std::vector<double> memory(count);
    for (std::size_t p = 0; p < count; ++p) {
        std::vector<double> mapped;
        std::vector<double> painted;
        std::vector<double> whole;
        std::vector<double> mb;
        for (const Sample& s : samples[p]) {
            mapped.push_back(s.mappedMs);
            painted.push_back(s.paintedMs);
            whole.push_back(s.wholeMs);
            mb.push_back(s.peakRssMb);
        }
        mappedMedian[p] = Median(mapped);
        paintedMedian[p] = Median(painted);
        wholeMedian[p] = Median(whole);
        memory[p] = Median(mb);
        std::printf("%-40s mapped: median %6.1f ms; first paint: median %6.1f ms (min %5.1f, max %5.1f); "
                    "whole window drawn: median %6.1f ms; peak RSS median %5.1f MB\n",
                    programs[p], mappedMedian[p], paintedMedian[p], *std::min_element(painted.begin(), painted.end()),
                    *std::max_element(painted.begin(), painted.end()), wholeMedian[p], memory[p]);
    }
    // The ratio to the baseline within each round, then their median.
    const auto pairedRatio = [&](std::size_t p, double Sample::*figure) {
        std::vector<double> ratios;
        for (std::size_t run = 0; run < samples[p].size(); ++run) {
            ratios.push_back(samples[p][run].*figure / samples[count - 1][run].*figure);
        }
        return Median(ratios);
    };
    std::printf("runs: %d each, in rotation%s\n", runs,
                explain ? "; every figure is the time from F1 to the explain view's first drawing, for 1/9967" : "");
    for (std::size_t p = 0; p + 1 < count; ++p) {
        std::printf("%-40s ratio to %s: mapped %.2f, first paint %.2f (within rounds %.2f), whole window %.2f "
                    "(within rounds %.2f); peak memory %+.1f MB\n",
                    programs[p], programs[count - 1], mappedMedian[p] / mappedMedian[count - 1],
                    paintedMedian[p] / paintedMedian[count - 1], pairedRatio(p, &Sample::paintedMs),
                    wholeMedian[p] / wholeMedian[count - 1], pairedRatio(p, &Sample::wholeMs),
                    memory[p] - memory[count - 1]);
    }
    xcb_disconnect(connection);
    return 0;
}
