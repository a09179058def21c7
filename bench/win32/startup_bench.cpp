// Start-up benchmark for Windows programs (run under wine by
// bench/run-wine.sh, or on Windows). Starts the programs in rotation and
// times each from CreateProcess to the moment its first top-level window is
// visible, then closes it. Prints per-program medians and each program's
// ratio to the last one, the baseline.
//
//   zelvane_win_startup_bench [--runs N] PROGRAM.exe... BASELINE.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && IsWindowVisible(window) && !GetWindow(window, GW_OWNER)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// Milliseconds from start to a visible window; negative on failure.
double RunOnce(const char* program) {
    LARGE_INTEGER frequency, start, shown;
    QueryPerformanceFrequency(&frequency);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    std::string commandLine = std::string("\"") + program + "\"";
    QueryPerformanceCounter(&start);
    if (!CreateProcessA(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        std::fprintf(stderr, "cannot start %s\n", program);
        return -1;
    }
    Search search{process.dwProcessId, nullptr};
    const ULONGLONG deadline = GetTickCount64() + 30000;
    while (!search.found && GetTickCount64() < deadline) {
        EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&search));
        if (!search.found) {
            Sleep(1);
        }
    }
    QueryPerformanceCounter(&shown);
    if (search.found) {
        Sleep(100);  // let it paint before it is closed
        PostMessageW(search.found, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, 5000);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    if (!search.found) {
        std::fprintf(stderr, "%s showed no window\n", program);
        return -1;
    }
    return 1000.0 * static_cast<double>(shown.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 20;
    std::vector<const char*> programs;
    for (int i = 1; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--runs") && i + 1 < argc) {
            runs = std::max(1, std::atoi(argv[++i]));
        } else {
            programs.push_back(argv[i]);
        }
    }
    if (programs.size() < 2) {
        std::fprintf(stderr, "usage: %s [--runs N] PROGRAM.exe... BASELINE.exe\n", argv[0]);
        return 2;
    }
    const std::size_t count = programs.size();
    for (const char* program : programs) {
        RunOnce(program);  // warm-up: page cache and wine's own start
    }
    std::vector<std::vector<double>> samples(count);
    for (int run = 0; run < runs; ++run) {
        for (std::size_t p = 0; p < count; ++p) {
            // Rotate which program goes first, so that none always follows
            // the same one.
            const std::size_t which = (p + static_cast<std::size_t>(run)) % count;
            const double ms = RunOnce(programs[which]);
            if (ms < 0) {
                return 1;
            }
            samples[which].push_back(ms);
        }
    }
    std::vector<double> medians(count);
    for (std::size_t p = 0; p < count; ++p) {
        medians[p] = Median(samples[p]);
        std::printf("%-40s start to visible window: median %6.1f ms (min %6.1f, max %6.1f)\n", programs[p], medians[p],
                    *std::min_element(samples[p].begin(), samples[p].end()),
                    *std::max_element(samples[p].begin(), samples[p].end()));
    }
    std::printf("runs: %d each, in rotation\n", runs);
    for (std::size_t p = 0; p + 1 < count; ++p) {
        std::printf("%-40s ratio to %s: %.2f\n", programs[p], programs[count - 1], medians[p] / medians[count - 1]);
    }
    return 0;
}
