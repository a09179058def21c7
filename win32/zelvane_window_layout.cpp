// The form at a DPI: the monitor's density, the frame and the font it
// gives, and every control moved and resized to it, the client area
// exactly the description's size.
#include "zelvane_window.h"

#include <commctrl.h>

#include "form_description.h"
#include "wide_text.h"
#include "zelvane_window_shared.h"

namespace zelvane::win32 {
namespace {

// The per-monitor DPI functions are newer than Windows 7: they are looked
// up at run time, so that the same program starts there too. Null where
// the system has none.
template <typename Function>
Function User32Function(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

}  // namespace

int DpiOf(HWND window) {
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    if (getDpiForWindow && window) {
        if (const UINT dpi = getDpiForWindow(window)) {
            return static_cast<int>(dpi);
        }
    }
    // The system's DPI without a device context where the system knows it.
    using GetDpiForSystemFunction = UINT(WINAPI*)();
    static const auto getDpiForSystem = User32Function<GetDpiForSystemFunction>("GetDpiForSystem");
    if (getDpiForSystem) {
        if (const UINT dpi = getDpiForSystem()) {
            return static_cast<int>(dpi);
        }
    }
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : USER_DEFAULT_SCREEN_DPI;
}

SIZE FrameSize(int dpi) {
    RECT rect{0, 0, form::TwipsToPixels(form::kClientWidth, dpi), form::TwipsToPixels(form::kClientHeight, dpi)};
    using AdjustForDpiFunction = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = User32Function<AdjustForDpiFunction>("AdjustWindowRectExForDpi");
    if (adjustForDpi) {
        adjustForDpi(&rect, kFormStyle, FALSE, kFormExStyle, static_cast<UINT>(dpi));
    } else {
        AdjustWindowRectEx(&rect, kFormStyle, FALSE, kFormExStyle);
    }
    return {rect.right - rect.left, rect.bottom - rect.top};
}

HFONT MakeFont(int dpi) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(form::kFontPoints, dpi, 72);
    font.lfWeight = form::kFontWeight;
    font.lfCharSet = static_cast<BYTE>(form::kFontCharset);
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = CLEARTYPE_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
    const std::wstring family = WideFromUtf8(form::kFontFamily);
    family.copy(font.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

void ZelvaneWindow::SetDpi(int dpi) {
    dpi_ = dpi;
    const HFONT previous = font_;
    font_ = MakeFont(dpi);
    for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    }
    if (tooltip_) {
        SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
        SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, form::TwipsToPixels(form::kClientWidth, dpi));
    }
    if (previous) {
        DeleteObject(previous);
    }
    Layout();
}

void ZelvaneWindow::Layout() {
    const auto place = [this](HWND control, const form::Twips& twips) {
        SetWindowPos(control, nullptr, form::TwipsToPixels(twips.left, dpi_), form::TwipsToPixels(twips.top, dpi_),
                     form::TwipsToPixels(twips.width, dpi_), form::TwipsToPixels(twips.height, dpi_),
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    for (std::size_t i = 0; i < label1_.size(); ++i) {
        place(label1_[i], form::kLabel1[i].place);
    }
    for (std::size_t i = 0; i < text2_.size(); ++i) {
        place(text2_[i], form::kText2[i].place);
    }
    for (std::size_t i = 0; i < command1_.size(); ++i) {
        place(command1_[i], form::kCommand1[i].place);
    }
    place(taskText_, form::kText1[form::kTaskText].place);
    FitClientArea();
}

void ZelvaneWindow::FitClientArea() {
    // The client area exactly 7215 x 5160 twips at this DPI, whatever the
    // frame around it measures.
    RECT frame, client;
    GetWindowRect(window_, &frame);
    GetClientRect(window_, &client);
    const int width = form::TwipsToPixels(form::kClientWidth, dpi_);
    const int height = form::TwipsToPixels(form::kClientHeight, dpi_);
    if (client.right != width || client.bottom != height) {
        SetWindowPos(window_, nullptr, 0, 0, frame.right - frame.left + width - client.right,
                     frame.bottom - frame.top + height - client.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

}  // namespace zelvane::win32
