// What the program's window classes share: the window procedure (the
// object a window stands for is made on WM_NCCREATE, kept in the window's
// user data, handed each message, and deleted after WM_NCDESTROY), and a
// dialog's memory of the control that had the focus.
#pragma once

#include <windows.h>

namespace zelvane::win32 {

// `make` makes the object of a new window; `handle` passes it a message.
template <typename T>
LRESULT DispatchToObject(HWND window, UINT message, WPARAM wParam, LPARAM lParam, T* (*make)(HWND),
                         LRESULT (*handle)(T*, UINT, WPARAM, LPARAM)) {
    auto* self = reinterpret_cast<T*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = make(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const LRESULT result = handle(self, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete self;
    }
    return result;
}

// On WM_ACTIVATE: like a dialog, a window that is left remembers which of
// its controls had the focus, to give it back when it is active again.
inline void RememberFocus(HWND window, WPARAM activation, HWND& saved) {
    if (LOWORD(activation) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus && IsChild(window, focus)) {
            saved = focus;
        }
    }
}

}  // namespace zelvane::win32
