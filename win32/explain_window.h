// The explain view on Windows: a resizable window of its own, owned by the
// form, showing the explanation of the fraction last calculated in a
// read-only rich edit box: the core's plain text, with the title and
// headings in bold and preformatted lines in a fixed-pitch font. Esc hides
// it; Ctrl+C with nothing selected copies the whole text. Made when it is
// first opened, not at start.
#pragma once

#include <windows.h>

#include <string>

#include "explain.h"
#include "screen_reader_names.h"

namespace zelvane::win32 {

class ExplainWindow {
public:
    // Makes the window (hidden) for the form `owner`; null on failure.
    static ExplainWindow* Create(HINSTANCE instance, HWND owner, int dpi);

    bool Visible() const { return IsWindowVisible(window_) != FALSE; }

    // Shows a document in place of the one shown.
    void Show(const explain::Document& document);

    // Shows the window in front, the text focused.
    void Open();

private:
    explicit ExplainWindow(HWND window) : window_(window) {}
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK TextProcedure(HWND text, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR self);
    void CopyAll() const;
    void Hide() const;
    HWND NewText();
    void NameText();

    HWND window_;
    HWND text_ = nullptr;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    std::wstring plain_;  // the whole text, CR LF line ends, as the clipboard gets it
    ScreenReaderNames names_;
};

}  // namespace zelvane::win32
