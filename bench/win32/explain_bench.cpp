// The explain view's benchmark for Windows programs (run under wine by
// bench/win32/run-explain.sh, or on Windows): for the longest division a
// window can ask for, 1/9967, the time from F1 to the view's first painted
// frame as the screen shows it: the figure drawn, the first rows of the
// list of steps and the first lines of the text there. The screen is read
// back (a copy of the view's client area) until all three show; the time a
// copy takes is printed too, as the figures' resolution.
//
// Each run starts the program anew, calculates 1/9967 and presses F1 (the
// view is made: the first opening); then Esc and F1 again (the view filled
// anew: a later opening); then Right on the figure (a step selected: the
// figure drawn again). Prints the median, the quartiles and the extremes.
//
//   zelvane_win_explain_bench [--runs N] PROGRAM.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "control_ids.h"
#include "screen_pixels.h"
#include "explain.h"
#include "form_state.h"

using namespace zelvane;
using namespace zelvane::win32;

namespace {

double Now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / frequency;
}

bool WaitFor(const std::function<bool()>& condition, double milliseconds) {
    const double deadline = Now() + milliseconds;
    while (!condition()) {
        if (Now() > deadline) {
            return false;
        }
        Sleep(0);
    }
    return true;
}

struct Search {
    DWORD pid;
    const wchar_t* windowClass;
    HWND found;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (pid == search->pid && !std::wcscmp(name, search->windowClass)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WindowOf(DWORD pid, const wchar_t* windowClass) {
    Search search{pid, windowClass, nullptr};
    EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// A copy of a part of the screen.
struct Shot {
    int width = 0, height = 0;
    std::vector<std::uint32_t> pixels;

    explicit Shot(const RECT& area) : width(area.right - area.left), height(area.bottom - area.top) {
        if (width <= 0 || height <= 0) {
            width = height = 0;
            return;
        }
        pixels = ScreenPixels(area.left, area.top, width, height);
    }

    // The share of the pixels of which `which` holds.
    template <typename Which>
    double Share(const Which& which) const {
        std::size_t count = 0;
        for (const std::uint32_t bgr : pixels) {
            count += which(static_cast<int>(bgr >> 16 & 0xFF), static_cast<int>(bgr >> 8 & 0xFF),
                           static_cast<int>(bgr & 0xFF));
        }
        return pixels.empty() ? 0 : static_cast<double>(count) / static_cast<double>(pixels.size());
    }
    // Drawn on white: mostly white, with at least `least` of `ink`.
    template <typename Ink>
    bool Drawn(const Ink& ink, double least) const {
        return Share([](int r, int g, int b) { return r == 255 && g == 255 && b == 255; }) > 0.5 && Share(ink) >= least;
    }
};

// A control's place on the screen, inside its border; `rows` high at most.
RECT PlaceOf(HWND control, LONG rows = 100000) {
    RECT rect{};
    GetWindowRect(control, &rect);
    InflateRect(&rect, -3, -3);
    rect.bottom = std::min(rect.bottom, rect.top + rows);
    return rect;
}

// Whether the view's first frame is on the screen: its figure drawn (the
// window's band, at the top of the ring), and text in its list's first
// rows and its text's first lines.
bool Painted(HWND view) {
    const HWND figure = GetDlgItem(view, kExplanationFigureId);
    const HWND steps = GetDlgItem(view, kExplanationStepsId);
    const HWND text = GetDlgItem(view, kExplanationTextId);
    if (!figure || !steps || !text || !IsWindowVisible(view)) {
        return false;
    }
    RECT top = PlaceOf(figure);
    top.bottom = top.top + (top.bottom - top.top) / 3;
    const explain::Rgb band = explain::Colour(explain::Ink::kWindow);
    const auto isBand = [&](int r, int g, int b) { return r == band.red && g == band.green && b == band.blue; };
    const auto dark = [](int r, int g, int b) { return r < 128 && g < 128 && b < 128; };
    return Shot(top).Drawn(isBand, 0.0005) && Shot(PlaceOf(steps, 40)).Drawn(dark, 0.01) &&
           Shot(PlaceOf(text, 40)).Drawn(dark, 0.01);
}

// Waits until the program has handled every message before this one (and
// any wait of its own, such as wine's on a change of the active window).
void Idle(HWND window) {
    DWORD_PTR result = 0;
    SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
}

void PressKey(HWND control, WPARAM key) {
    const LPARAM lParam = 1 | (static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16);
    PostMessageW(control, WM_KEYDOWN, key, lParam);
    PostMessageW(control, WM_KEYUP, key, lParam | (1u << 30) | (1u << 31));
}

struct Run {
    double first = -1, later = -1, step = -1, shot = -1;
};

Run RunOnce(const char* program) {
    Run run;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string commandLine = std::string("\"") + program + "\"";
    if (!CreateProcessA(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "cannot start %s\n", program);
        return run;
    }
    HWND form = nullptr;
    WaitFor([&] { return (form = WindowOf(process.dwProcessId, kFormClass)) && IsWindowVisible(form); }, 30000);
    if (form) {
        Sleep(300);  // its first frame and tooltips
        const auto type = [&](int field, const wchar_t* keys) {
            const HWND control = GetDlgItem(form, kText2Id + field);
            SendMessageW(control, EM_SETSEL, 0, -1);
            for (const wchar_t* key = keys; *key; ++key) {
                SendMessageW(control, WM_CHAR, static_cast<WPARAM>(*key), 1);
            }
        };
        type(kNumerator, L"1");
        type(kDenominator, L"9967");
        SendMessageW(form, WM_COMMAND, MAKEWPARAM(kCommand1Id + kCalculateButton, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(form, kCommand1Id + kCalculateButton)));
        const HWND denominator = GetDlgItem(form, kText2Id + kDenominator);
        HWND view = nullptr;
        const auto open = [&] {
            const double start = Now();
            PressKey(denominator, VK_F1);
            const bool shown = WaitFor(
                [&] {
                    if (!view) {
                        view = WindowOf(process.dwProcessId, kExplanationClass);
                    }
                    return view && Painted(view);
                },
                20000);
            return shown ? Now() - start : -1;
        };
        run.first = open();
        if (view) {
            const double before = Now();
            (void)Painted(view);
            run.shot = Now() - before;
            PressKey(GetDlgItem(view, kExplanationFigureId), VK_ESCAPE);
            WaitFor([&] { return !IsWindowVisible(view); }, 10000);
            Idle(form);
            Sleep(300);
            run.later = open();
            // A step selected: until the figure on the screen changes.
            const HWND figure = GetDlgItem(view, kExplanationFigureId);
            Idle(view);
            Sleep(300);
            const RECT place = PlaceOf(figure);
            const Shot still(place);
            const double start = Now();
            PressKey(figure, VK_RIGHT);
            if (WaitFor([&] { return Shot(place).pixels != still.pixels; }, 10000)) {
                run.step = Now() - start;
            }
        }
        PostMessageW(form, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return run;
}

void Report(const char* what, std::vector<double> values) {
    values.erase(std::remove_if(values.begin(), values.end(), [](double v) { return v < 0; }), values.end());
    if (values.empty()) {
        std::printf("%-44s no result\n", what);
        return;
    }
    std::sort(values.begin(), values.end());
    const auto at = [&](double q) {
        const double position = q * static_cast<double>(values.size() - 1);
        const auto low = static_cast<std::size_t>(position);
        const std::size_t high = std::min(values.size() - 1, low + 1);
        return values[low] + (values[high] - values[low]) * (position - static_cast<double>(low));
    };
    std::printf("%-44s median %6.1f ms, quartiles %6.1f-%6.1f, min %6.1f, max %6.1f (%zu runs)\n", what, at(0.5),
                at(0.25), at(0.75), values.front(), values.back(), values.size());
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 10;
    const char* program = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else {
            program = argv[i];
        }
    }
    if (!program) {
        std::fprintf(stderr, "usage: %s [--runs N] PROGRAM.exe\n", argv[0]);
        return 2;
    }
    RunOnce(program);  // warm-up: page cache and wine's own start
    std::vector<double> first, later, step, shot;
    for (int i = 0; i < runs; ++i) {
        const Run run = RunOnce(program);
        if (run.first < 0) {
            std::fprintf(stderr, "%s showed no painted explanation\n", program);
            return 1;
        }
        first.push_back(run.first);
        later.push_back(run.later);
        step.push_back(run.step);
        shot.push_back(run.shot);
    }
    std::printf("%s, 1/9967, F1 to the explain view's first painted frame on the screen:\n", program);
    Report("  first opening (the view made)", first);
    Report("  later opening (the view filled anew)", later);
    Report("  Right on the figure to its new frame", step);
    Report("  one look at the screen (the figures' grain)", shot);
    return 0;
}
