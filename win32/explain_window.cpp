#include "explain_window.h"

#include <richedit.h>

#include <commctrl.h>

#include <cstring>

#include "control_ids.h"
#include "form_description.h"
#include "wide_text.h"

namespace zelvane::win32 {
namespace {

constexpr DWORD kTextStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_NOHIDESEL;

// One character format over a range of the box's text.
void Format(HWND text, std::size_t from, std::size_t to, CHARFORMAT2W format) {
    CHARRANGE range{static_cast<LONG>(from), static_cast<LONG>(to)};
    SendMessageW(text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    format.cbSize = sizeof format;
    SendMessageW(text, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

CHARFORMAT2W Face(const wchar_t* face, int points) {
    CHARFORMAT2W format{};
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET;
    lstrcpynW(format.szFaceName, face, LF_FACESIZE);
    format.yHeight = points * 20;  // twips
    format.bCharSet = static_cast<BYTE>(form::kFontCharset);
    return format;
}

CHARFORMAT2W Bold(int points) {
    CHARFORMAT2W format{};
    format.dwMask = CFM_BOLD | CFM_SIZE;
    format.dwEffects = CFE_BOLD;
    format.yHeight = points * 20;
    return format;
}

}  // namespace

ExplainWindow* ExplainWindow::Create(HINSTANCE instance, HWND owner, int dpi) {
    static bool registered = false;
    if (!registered) {
        // The rich edit box lives in its own library, loaded with the view.
        if (!LoadLibraryW(L"Msftedit.dll")) {
            return nullptr;
        }
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = &ExplainWindow::Procedure;
        windowClass.hInstance = instance;
        windowClass.hIcon = LoadIconW(instance, L"IDI_ICON1");
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = kExplanationClass;
        registered = RegisterClassExW(&windowClass) != 0;
        if (!registered) {
            return nullptr;
        }
    }
    // A page's width of text; the pupil may make it as large as they like.
    const HWND window = CreateWindowExW(0, kExplanationClass, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                                        MulDiv(720, dpi, USER_DEFAULT_SCREEN_DPI),
                                        MulDiv(560, dpi, USER_DEFAULT_SCREEN_DPI), owner, nullptr, instance, nullptr);
    if (!window) {
        return nullptr;
    }
    auto* self = reinterpret_cast<ExplainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    self->dpi_ = dpi;
    self->text_ = self->NewText();
    if (!self->text_) {
        DestroyWindow(window);
        return nullptr;
    }
    self->NameText();
    return self;
}

// Screen readers hear the text box as the explanation.
void ExplainWindow::NameText() {
    names_.Add(text_, WideFromUtf8(form::kExplanationName));
    names_.Apply();
}

// A new, empty text box filling the window. Each document gets a new box:
// replacing a long text in a rich edit box can take far longer than
// making a new one (wine's takes seconds for the longest period).
HWND ExplainWindow::NewText() {
    const HWND text = CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"", kTextStyle, 0, 0, 0, 0, window_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kExplanationTextId)),
                                      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE)),
                                      nullptr);
    if (!text) {
        return nullptr;
    }
    SendMessageW(text, EM_EXLIMITTEXT, 0, 64 * 1024 * 1024);
    const int margin = MulDiv(10, dpi_, USER_DEFAULT_SCREEN_DPI);
    SendMessageW(text, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
    const std::wstring face = WideFromUtf8(form::kFontFamily);
    CHARFORMAT2W body = Face(face.c_str(), form::kFontPoints);
    body.cbSize = sizeof body;
    SendMessageW(text, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&body));
    SetWindowSubclass(text, &ExplainWindow::TextProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
    RECT client{};
    GetClientRect(window_, &client);
    MoveWindow(text, 0, 0, client.right, client.bottom, FALSE);
    return text;
}

LRESULT CALLBACK ExplainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ExplainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    switch (message) {
        case WM_NCCREATE:
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new ExplainWindow(window)));
            break;
        case WM_SIZE:
            if (self && self->text_) {
                MoveWindow(self->text_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
            }
            return 0;
        case WM_SETFOCUS:
            if (self && self->text_) {
                SetFocus(self->text_);
            }
            return 0;
        case WM_CLOSE:
            // Closed, the view is only hidden: opening it again is quick.
            if (self) {
                self->Hide();
            }
            return 0;
        case WM_DESTROY:
            if (self) {
                self->names_.Clear();
            }
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            delete self;
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Esc hides the view; Ctrl+C with nothing selected copies all of it.
LRESULT CALLBACK ExplainWindow::TextProcedure(HWND text, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR data) {
    const auto* self = reinterpret_cast<const ExplainWindow*>(data);
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        self->Hide();
        return 0;
    }
    if (message == WM_CHAR && (wParam == 0x1B || wParam == 0x03)) {
        CHARRANGE selection{};
        SendMessageW(text, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
        if (wParam == 0x1B) {
            return 0;
        }
        if (selection.cpMin == selection.cpMax) {
            self->CopyAll();
            return 0;
        }
    }
    return DefSubclassProc(text, message, wParam, lParam);
}

void ExplainWindow::Show(const explain::Document& document) {
    std::vector<explain::TextRange> ranges;
    const std::string plain = explain::PlainText(document, &ranges);
    const std::wstring shown = WideFromUtf8(plain);
    plain_.clear();
    plain_.reserve(shown.size() + shown.size() / 20);
    for (const wchar_t c : shown) {
        if (c == L'\n') {
            plain_.push_back(L'\r');
        }
        plain_.push_back(c);
    }
    SetWindowTextW(window_, WideFromUtf8(document.title).c_str());

    // The whole text at once in a new box, styled before it is shown.
    if (GetWindowTextLengthW(text_) > 0) {
        const HWND fresh = NewText();
        if (fresh) {
            const bool focused = GetFocus() == text_;
            names_.Clear();
            DestroyWindow(text_);
            text_ = fresh;
            NameText();
            if (focused) {
                SetFocus(text_);
            }
        }
    }
    SendMessageW(text_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(text_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(shown.c_str()));
    const std::wstring face = WideFromUtf8(form::kFontFamily);
    for (const explain::TextRange& range : ranges) {
        if (range.title) {
            Format(text_, range.from, range.to, Bold(form::kFontPoints * 5 / 4));
        } else if (range.kind == explain::BlockKind::kHeading) {
            Format(text_, range.from, range.to, Bold(form::kFontPoints));
        } else if (range.kind == explain::BlockKind::kNotation) {
            Format(text_, range.from, range.to, Face(face.c_str(), form::kFontPoints * 7 / 6));
        } else if (range.kind == explain::BlockKind::kLines) {
            Format(text_, range.from, range.to, Face(L"Courier New", form::kFontPoints - 1));
        }
    }
    CHARRANGE start{0, 0};
    SendMessageW(text_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
    SendMessageW(text_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(text_, nullptr, TRUE);
}

void ExplainWindow::Open() {
    ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow(window_);
    SetFocus(text_);
}

// Hides the view and gives the worksheet back the keyboard.
void ExplainWindow::Hide() const {
    ShowWindow(window_, SW_HIDE);
}

void ExplainWindow::CopyAll() const {
    if (!OpenClipboard(window_)) {
        return;
    }
    EmptyClipboard();
    const std::size_t bytes = (plain_.size() + 1) * sizeof(wchar_t);
    if (const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* target = GlobalLock(memory)) {
            std::memcpy(target, plain_.c_str(), bytes);
            GlobalUnlock(memory);
            if (!SetClipboardData(CF_UNICODETEXT, memory)) {
                GlobalFree(memory);
            }
        } else {
            GlobalFree(memory);
        }
    }
    CloseClipboard();
}

}  // namespace zelvane::win32
