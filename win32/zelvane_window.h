// The program's only window on the plain Win32 API: the worksheet's controls
// at their places from the window description, scaled to the monitor's DPI,
// bound to the core's form state. Every click runs one core action and the
// window then rewrites the fields that action changed.
#pragma once

#include <windows.h>

#include <array>
#include <string>
#include <string_view>

#include "form_description.h"
#include "form_state.h"
#include "explain_window.h"
#include "screen_reader_names.h"

namespace zelvane::win32 {

class ZelvaneWindow {
public:
    // Registers the window class; false when Windows refuses it.
    static bool Register(HINSTANCE instance);

    // Creates the window (not yet shown). Null on failure.
    static HWND Create(HINSTANCE instance, const std::wstring& caption);

    // Keys the form handles before dialog navigation sees them: Enter in the
    // fields and on the buttons, as the description says. True when the
    // message was consumed.
    static bool PreTranslate(HWND window, const MSG& message);

private:
    explicit ZelvaneWindow(HWND window) : window_(window) {}
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK TaskTextProcedure(HWND text, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR self);
    static LRESULT CALLBACK FieldProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR index,
                                           DWORD_PTR self);
    bool Insert(int index, std::wstring_view text, bool boxMayType = false);
    void OpenExplanation();
    void ShowExpansionMenu(HWND field, LPARAM at);
    void Edited(int index);

    void BuildControls(HINSTANCE instance);
    void MakeTooltips();
    void NameForScreenReaders();
    void SetDpi(int dpi);
    void Zoom(int percent);
    bool ZoomKey(const MSG& message);
    void Layout();
    void FitClientArea();
    void ClickCommand(int index);
    void ShowState();
    bool Handled(const MSG& message);
    int Text2Index(HWND control) const;

    HWND window_;
    // The DPI the form is laid out at: the monitor's, times the zoom.
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    int monitorDpi_ = USER_DEFAULT_SCREEN_DPI;
    int zoom_ = 100;          // percent; each start is at 100
    int wheelPending_ = 0;    // wheel turns short of a notch
    FormState state_;
    std::array<HWND, kText2Count> text2_{};
    std::array<HWND, kCommand1Count> command1_{};
    std::array<HWND, form::kLabel1.size()> label1_{};
    HWND taskText_ = nullptr;
    HWND tooltip_ = nullptr;
    HWND savedFocus_ = nullptr;
    HFONT font_ = nullptr;
    HBRUSH labelBrush_ = nullptr;
    ScreenReaderNames names_;
    ExplainWindow* explanation_ = nullptr;  // made when first opened
    // The high half of a character typed as two WM_CHAR messages.
    std::array<wchar_t, kText2Count> pendingHigh_{};
};

}  // namespace zelvane::win32
