// What the form's source files share: the frame's style, the frame and the
// font at a DPI, and a control's text.
#pragma once

#include <windows.h>

#include <string>

namespace zelvane::win32 {

// A fixed frame: a caption with the system menu and a minimise box, no
// sizing border and no maximise box. Alt+F4 closes it through the system menu.
inline constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
inline constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

// The monitor's DPI of a window (Windows 10 1607 and later), or the
// system's DPI, which is all older systems have.
int DpiOf(HWND window);

// The outer size of the form for its client area at a DPI.
SIZE FrameSize(int dpi);

// The form's font at a DPI.
HFONT MakeFont(int dpi);

// A control's text, whole.
inline std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace zelvane::win32
