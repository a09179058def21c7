// The floor for the Windows program's start-up: an empty Win32 window with
// the same manifest, built and linked the same way.
#include "floor_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    const HWND window = floor_window::Make(instance, L"EmptyWindow", L"Empty", WS_OVERLAPPEDWINDOW,
                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return floor_window::Run(window, show);
}
