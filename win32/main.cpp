// The Windows program: one window, the worksheet, and the message loop.
#include <windows.h>
#include <commctrl.h>

#include "form_description.h"
#include "wide_text.h"
#include "zelvane_config.h"
#include "zelvane_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);

    using zelvane::win32::ZelvaneWindow;
    if (!ZelvaneWindow::Register(instance)) {
        return 1;
    }
    const HWND window =
        ZelvaneWindow::Create(instance, zelvane::win32::WideFromUtf8(zelvane::form::Caption(ZELVANE_PUBLISHER_URL)));
    if (!window) {
        return 1;
    }
    // A normal start draws the whole worksheet before activating it:
    // activation (the keyboard focus and the input method) is what the pupil
    // needs only to type, and under wine it costs more than the drawing. A
    // start is normal when the shell asks for SW_SHOWNORMAL or for nothing
    // at all (SW_SHOWDEFAULT: the program was started with no show state,
    // as from a command line). Any other way of showing (minimised, say) is
    // left to the system as asked.
    const bool activateAfterDrawing = show == SW_SHOWNORMAL || show == SW_SHOWDEFAULT;
    ShowWindow(window, activateAfterDrawing ? SW_SHOWNA : show);
    UpdateWindow(window);
    if (activateAfterDrawing) {
        SetForegroundWindow(window);
    }

    MSG message{};
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) != 0 && got != -1) {
        // Enter first, then Tab and the other dialog keys.
        if (ZelvaneWindow::PreTranslate(window, message) || IsDialogMessageW(window, &message)) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
