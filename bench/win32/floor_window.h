// What the start-up floors share: a top-level window of the program's size
// that ends the program when it is closed, and the message loop. Each floor
// stays a program of its own; only these lines are common.
#pragma once

#include <windows.h>

namespace floor_window {

inline LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Registers the window's class and makes the window, not yet shown.
inline HWND Make(HINSTANCE instance, const wchar_t* className, const wchar_t* title, DWORD style,
                 HBRUSH background) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    RegisterClassW(&windowClass);
    return CreateWindowExW(0, className, title, style, CW_USEDEFAULT, CW_USEDEFAULT, 487, 373, nullptr, nullptr,
                           instance, nullptr);
}

// Shows the window and runs until it is closed.
inline int Run(HWND window, int show) {
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}

}  // namespace floor_window
