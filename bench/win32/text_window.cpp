// The floor for the Windows program's start-up: a window of the program's
// size with one label, the window's title in Times New Roman 12 pt with the
// Cyrillic character set, built and linked as the program is (same
// toolchain, flags, static C++ runtime and manifest). Any window that shows
// text pays for this much.
#include "floor_window.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
    const HWND window = floor_window::Make(instance, L"TextWindow", L"Text", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                           CreateSolidBrush(RGB(192, 192, 255)));
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
    return floor_window::Run(window, show);
}
