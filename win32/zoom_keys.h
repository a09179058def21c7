// The zoom keys: Ctrl with Plus (the main keys' = key or the number pad's),
// Minus or 0, and Ctrl with the mouse wheel, over any of a window's
// controls.
#pragma once

#include <windows.h>

#include "form_description.h"

namespace zelvane::win32 {

// The zoom after a message, or -1 when it is no zoom key; `pending` keeps
// the wheel's turn short of a notch.
inline int ZoomAfter(const MSG& message, int percent, int& pending) {
    if (message.message == WM_MOUSEWHEEL) {
        if (!(GET_KEYSTATE_WPARAM(message.wParam) & MK_CONTROL)) {
            return -1;
        }
        return form::WheelZoom(percent, GET_WHEEL_DELTA_WPARAM(message.wParam), pending);
    }
    if (message.message != WM_KEYDOWN || GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) {
        return -1;
    }
    switch (message.wParam) {
        case VK_OEM_PLUS:
        case VK_ADD:
            return form::ZoomStep(percent, 1);
        case VK_OEM_MINUS:
        case VK_SUBTRACT:
            return form::ZoomStep(percent, -1);
        case '0':
        case VK_NUMPAD0:
            return form::ZoomStep(percent, 0);
        default:
            return -1;
    }
}

}  // namespace zelvane::win32
