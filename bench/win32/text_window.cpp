// The floor for the Windows program's start-up: a window of the program's
// size with one label, the window's title in Times New Roman 12 pt with the
// Cyrillic character set, built and linked as the program is (same
// toolchain, flags, static C++ runtime and manifest). Any window that shows
// text pays for this much.
#include <windows.h>

namespace {
LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = Procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(RGB(192, 192, 255));
    windowClass.lpszClassName = L"TextWindow";
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowExW(0, L"TextWindow", L"Text", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                        CW_USEDEFAULT, CW_USEDEFAULT, 487, 373, nullptr, nullptr, instance, nullptr);
    LOGFONTW font{};
    font.lfHeight = -MulDiv(12, 96, 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = RUSSIAN_CHARSET;
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = CLEARTYPE_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
    lstrcpyW(font.lfFaceName, L"Times New Roman");
    const HWND label = CreateWindowExW(0, L"STATIC", L"Информатика - брой знаци при делене", WS_CHILD | WS_VISIBLE,
                                       8, 8, 460, 24, window, nullptr, instance, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(CreateFontIndirectW(&font)), FALSE);
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return 0;
}
