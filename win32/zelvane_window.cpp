#include "zelvane_window.h"

#include <commctrl.h>

#include <algorithm>

#include <windowsx.h>

#include <optional>

#include "control_ids.h"
#include "explain_window.h"
#include "field_input.h"
#include "flat_button.h"
#include "wide_text.h"
#include "win32_description.h"

// Windows 7 has neither the per-monitor DPI message nor its functions; they
// are looked up at run time so that the same program starts there too.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace zelvane::win32 {
namespace {

// Posted to the form when it is made: the tooltips come after the first frame.
constexpr UINT kMakeTooltips = WM_APP + 1;

// A fixed frame: a caption with the system menu and a minimise box, no
// sizing border and no maximise box. Alt+F4 closes it through the system menu.
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

template <typename Function>
Function User32Function(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name))) : nullptr;
}

// The monitor's DPI of a window (Windows 10 1607 and later), or the
// system's DPI, which is all older systems have.
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

// The outer size of the form for its client area at a DPI.
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

// The form's font at a DPI.
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

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The quotation as a tooltip and a description.
std::wstring QuotationTip() { return WideFromUtf8(form::QuotationTip("\r\n")); }

std::size_t MaxLength(int index) {
    return static_cast<std::size_t>(form::kText2[static_cast<std::size_t>(index)].maxLength);
}

// The plain text on the clipboard, up to its first NUL; false when there is
// none or the clipboard is busy.
bool ClipboardText(HWND owner, std::wstring& text) {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner)) {
        return false;
    }
    bool found = false;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
            const std::size_t size = GlobalSize(data) / sizeof(wchar_t);
            text.assign(units, std::wstring_view(units, size).find(L'\0') == std::wstring_view::npos
                                   ? size
                                   : std::wstring_view(units, size).find(L'\0'));
            GlobalUnlock(data);
            found = true;
        }
    }
    CloseClipboard();
    return found;
}

}  // namespace

bool ZelvaneWindow::Register(HINSTANCE instance) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = &ZelvaneWindow::Procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, L"IDI_ICON1");
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, L"IDI_ICON1", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = CreateSolidBrush(Colour(form::kFormBackground));  // lives as long as the program
    windowClass.lpszClassName = kFormClass;
    return RegisterClassExW(&windowClass) != 0;
}

HWND ZelvaneWindow::Create(HINSTANCE instance, const std::wstring& caption) {
    const SIZE size = FrameSize(DpiOf(nullptr));
    return CreateWindowExW(kFormExStyle, kFormClass, caption.c_str(), kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT, size.cx,
                           size.cy, nullptr, nullptr, instance, nullptr);
}

bool ZelvaneWindow::PreTranslate(HWND window, const MSG& message) {
    auto* self = reinterpret_cast<ZelvaneWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    return self && self->Handled(message);
}

LRESULT CALLBACK ZelvaneWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<ZelvaneWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCCREATE) {
        self = new ZelvaneWindow(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    const LRESULT result = self->Handle(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        delete self;
    }
    return result;
}

LRESULT ZelvaneWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            labelBrush_ = CreateSolidBrush(Colour(form::kLabelBackground));
            // Each control is made in its place and with its font: under
            // wine every move or font change of a control costs about a
            // millisecond before the first frame.
            dpi_ = DpiOf(window_);
            font_ = MakeFont(dpi_);
            // The Load event: the worksheet starts cleared, and the
            // controls are made showing that state.
            OnFormLoad(state_);
            BuildControls(create->hInstance);
            FitClientArea();
            NameForScreenReaders();
            savedFocus_ = taskText_;
            // Handled once the first frame is drawn.
            PostMessageW(window_, kMakeTooltips, 0, 0);
            return 0;
        }
        case WM_DPICHANGED: {
            // Moved to a monitor of another density: the suggested place,
            // the exact client size, the font and every control anew. A
            // density of 0 is no density; without a suggested place the
            // window stays where it is.
            const int dpi = HIWORD(wParam);
            if (dpi <= 0) {
                return 0;
            }
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            const SIZE size = FrameSize(dpi);
            SetWindowPos(window_, nullptr, suggested ? suggested->left : 0, suggested ? suggested->top : 0, size.cx,
                         size.cy, SWP_NOZORDER | SWP_NOACTIVATE | (suggested ? 0 : SWP_NOMOVE));
            SetDpi(dpi);
            return 0;
        }
        case WM_ACTIVATE:
            // Like a dialog, the form remembers which control had the focus
            // when it is left ...
            if (LOWORD(wParam) == WA_INACTIVE) {
                const HWND focus = GetFocus();
                if (focus && IsChild(window_, focus)) {
                    savedFocus_ = focus;
                }
            }
            return DefWindowProcW(window_, message, wParam, lParam);
        case WM_SETFOCUS:
            // ... and passes the focus on to it when it gets the focus back
            // (activated or restored); the first time, to the task text.
            SetFocus(savedFocus_ && IsWindowEnabled(savedFocus_) ? savedFocus_ : taskText_);
            return 0;
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            if (HIWORD(wParam) == EN_CHANGE && id >= kText2Id && id < kText2Id + kText2Count) {
                Edited(id - kText2Id);
            } else if (HIWORD(wParam) == BN_CLICKED && id >= kCommand1Id && id < kCommand1Id + kCommand1Count) {
                ClickCommand(id - kCommand1Id);
            }
            return 0;
        }
        case WM_CTLCOLORSTATIC: {
            const auto dc = reinterpret_cast<HDC>(wParam);
            const auto control = reinterpret_cast<HWND>(lParam);
            if (std::find(label1_.begin(), label1_.end(), control) != label1_.end()) {
                SetBkColor(dc, Colour(form::kLabelBackground));
                SetTextColor(dc, RGB(0, 0, 0));
                return reinterpret_cast<LRESULT>(labelBrush_);
            }
            // Read-only fields keep the white of the editable ones.
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        case kMakeTooltips:
            MakeTooltips();
            return 0;
        case WM_GETOBJECT:
            // A screen reader asks for the first time: the names go to the
            // annotation service now, not at start.
            names_.Apply();
            return DefWindowProcW(window_, message, wParam, lParam);
        case WM_DRAWITEM:
            if (const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
                item->CtlID >= kCommand1Id && item->CtlID < kCommand1Id + kCommand1Count) {
                DrawFlatButton(*item, static_cast<int>(item->CtlID) - kCommand1Id, font_, dpi_);
            }
            return TRUE;
        case WM_DESTROY:
            names_.Clear();
            explanation_ = nullptr;  // an owned window, destroyed with the form
            if (tooltip_) {
                DestroyWindow(tooltip_);
            }
            DeleteObject(font_);
            DeleteObject(labelBrush_);
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

void ZelvaneWindow::BuildControls(HINSTANCE instance) {
    const auto make = [&](DWORD exStyle, const wchar_t* windowClass, const std::wstring& text, DWORD style, int id,
                          const form::Twips& place) {
        const HWND control = CreateWindowExW(
            exStyle | WS_EX_NOPARENTNOTIFY, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style,
            form::TwipsToPixels(place.left, dpi_), form::TwipsToPixels(place.top, dpi_),
            form::TwipsToPixels(place.width, dpi_), form::TwipsToPixels(place.height, dpi_), window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        return control;
    };
    const auto makeLabel = [&](std::size_t index) {
        label1_[index] = make(0, L"STATIC", WideFromUtf8(form::kLabel1[index].caption), SS_CENTER | SS_NOPREFIX,
                              kLabel1Id + static_cast<int>(index), form::kLabel1[index].place);
    };

    // The controls that take focus, in focus order: dialog navigation moves
    // through them in the order they were created. Each field comes right
    // after its label, which is how Windows finds a field's name.
    for (const form::ControlRef& control : form::kFocusOrder) {
        const auto index = static_cast<std::size_t>(control.index);
        switch (control.kind) {
            case form::Kind::Text1:
                // Only the task text gets a box: the quotation's box would
                // cover the task text's lower half and run past the window's
                // edge. Its words are the task text's tooltip and
                // accessible description instead.
                // Made empty and given its text once it has its font: its
                // lines are then wrapped once, not first in the system font.
                taskText_ = make(WS_EX_CLIENTEDGE, L"EDIT", L"",
                                 ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, kText1Id,
                                 form::kText1[index].place);
                SetWindowTextW(taskText_, WideFromUtf8(form::kText1[index].text).c_str());
                SetWindowSubclass(taskText_, &ZelvaneWindow::TaskTextProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
                break;
            case form::Kind::Text2: {
                const form::Field& field = form::kText2[index];
                makeLabel(static_cast<std::size_t>(field.label));
                DWORD style = ES_AUTOHSCROLL | WS_TABSTOP;
                if (field.readOnly) {
                    style |= ES_READONLY;
                }
                text2_[index] = make(WS_EX_CLIENTEDGE, L"EDIT", Wide(ToUtf16(state_.Text2(control.index))), style,
                                     kText2Id + control.index, field.place);
                // The edit box counts UTF-16 units and would cut an emoji in
                // half; the core's field rule limits the length instead.
                SendMessageW(text2_[index], EM_LIMITTEXT, 0, 0);
                SetWindowSubclass(text2_[index], &ZelvaneWindow::FieldProcedure, index,
                                  reinterpret_cast<DWORD_PTR>(this));
                break;
            }
            case form::Kind::Command1:
                command1_[index] = make(0, L"BUTTON", WideFromUtf8(form::kCommand1[index].caption),
                                        BS_OWNERDRAW | WS_TABSTOP |
                                            (state_.Command1Enabled(control.index) ? 0 : WS_DISABLED),
                                        kCommand1Id + control.index, form::kCommand1[index].place);
                break;
        }
    }

    // The labels that name no field (the title and the fraction bar) last,
    // so that no control takes one of them for its name.
    for (std::size_t i = 0; i < form::kLabel1.size(); ++i) {
        if (std::none_of(form::kText2.begin(), form::kText2.end(),
                         [i](const form::Field& field) { return field.label == static_cast<int>(i); })) {
            makeLabel(i);
        }
    }
}

// The tooltips: the quotation on the task text; on the expansion field, that
// F1 explains the fraction. A tooltip control is a window of its own, and
// no pupil points at anything before the window is drawn: it is made just
// after the first frame.
void ZelvaneWindow::MakeTooltips() {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance,
                               nullptr);
    const auto addTip = [this](HWND control, std::wstring tip) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(control);
        tool.lpszText = tip.data();
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    };
    if (tooltip_) {
        addTip(taskText_, QuotationTip());
        addTip(text2_[kExpansion], WideFromUtf8(form::kExpansionTip));
        SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
        SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, form::TwipsToPixels(form::kClientWidth, dpi_));
    }
}

// Each field is named by its label's text (which Windows would also find as
// the static text before it), and the task text, which has no label, by a
// name of its own; the quotation is its description. They are given to the
// annotation service (which starts COM) when a screen reader first asks for
// the window or one of them (WM_GETOBJECT), so that the window does not
// wait for it before it is first drawn.
void ZelvaneWindow::NameForScreenReaders() {
    for (int i = 0; i < kText2Count; ++i) {
        names_.Add(text2_[static_cast<std::size_t>(i)],
                   WideFromUtf8(form::kLabel1[static_cast<std::size_t>(form::kText2[static_cast<std::size_t>(i)].label)].caption));
    }
    names_.Add(taskText_, WideFromUtf8(form::kTaskTextName), QuotationTip());
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

void ZelvaneWindow::ClickCommand(int index) {
    // An unavailable button raises no click, from the keyboard either.
    if (!IsWindowEnabled(command1_[static_cast<std::size_t>(index)])) {
        return;
    }
    const std::optional<CalculatedFraction> explained = state_.LastCalculation();
    OnCommandClick(state_, static_cast<std::int16_t>(index));
    ShowState();
    // An open explanation follows the fraction last calculated.
    if (explanation_ && explanation_->Visible() && state_.LastCalculation() != explained) {
        explanation_->Show(explain::Explain(state_));
    }
}

void ZelvaneWindow::OpenExplanation() {
    if (!explanation_) {
        explanation_ = ExplainWindow::Create(reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE)),
                                             window_, dpi_);
        if (!explanation_) {
            return;
        }
    }
    // An open view already explains the fraction last calculated (a
    // Calculate updates it): it is only brought forward, and the pupil keeps
    // their place in it. A closed one is filled anew, from its start.
    if (!explanation_->Visible()) {
        explanation_->Show(explain::Explain(state_));
    }
    explanation_->Open();
}

// The expansion field's context menu: the items of an edit box's own menu,
// in Bulgarian as the rest of the window, and one that opens the
// explanation.
void ZelvaneWindow::ShowExpansionMenu(HWND field, LPARAM at) {
    DWORD from = 0;
    DWORD to = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    const bool editable = !(GetWindowLongPtrW(field, GWL_STYLE) & ES_READONLY);
    const bool selection = from != to;
    const std::wstring explain = WideFromUtf8(form::kExplainCommand);
    const struct {
        UINT command;
        const wchar_t* text;
        bool enabled;
    } items[] = {
        {WM_UNDO, L"&Отмяна", editable && SendMessageW(field, EM_CANUNDO, 0, 0)},
        {0, nullptr, false},
        {WM_CUT, L"&Изрязване", editable && selection},
        {WM_COPY, L"&Копиране", selection},
        {WM_PASTE, L"&Поставяне", editable && IsClipboardFormatAvailable(CF_UNICODETEXT)},
        {WM_CLEAR, L"Из&триване", editable && selection},
        {0, nullptr, false},
        {EM_SETSEL, L"&Избиране на всичко", GetWindowTextLengthW(field) > 0},
        {0, nullptr, false},
        {kExplainCommandId, explain.c_str(), true},
    };
    const HMENU menu = CreatePopupMenu();
    for (const auto& item : items) {
        AppendMenuW(menu, item.text ? MF_STRING | (item.enabled ? 0 : MF_GRAYED) : MF_SEPARATOR, item.command,
                    item.text);
    }
    POINT point{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (at == -1) {  // from the keyboard: at the field
        RECT rect{};
        GetWindowRect(field, &rect);
        point = {rect.left + 4, rect.bottom};
    }
    const UINT command = static_cast<UINT>(
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, point.x, point.y, 0, field, nullptr));
    DestroyMenu(menu);
    if (command == kExplainCommandId) {
        OpenExplanation();
    } else if (command == EM_SETSEL) {
        SendMessageW(field, EM_SETSEL, 0, -1);
    } else if (command != 0) {
        SendMessageW(field, command, 0, 0);
    }
}

void ZelvaneWindow::ShowState() {
    for (int i = 0; i < kText2Count; ++i) {
        const HWND field = text2_[static_cast<std::size_t>(i)];
        const std::wstring text = Wide(ToUtf16(state_.Text2(i)));
        // Only fields that changed are rewritten, so a field the action did
        // not touch keeps its caret and selection.
        if (WindowText(field) != text) {
            SetWindowTextW(field, text.c_str());
            SendMessageW(field, EM_SETSEL, 0, 0);  // a long expansion shows its start
            SendMessageW(field, EM_SCROLLCARET, 0, 0);
        }
    }
    const HWND addParts = command1_[kAddPartsButton];
    const bool available = state_.Command1Enabled(kAddPartsButton);
    if (!available && GetFocus() == addParts) {
        // The focus must not stay on a button that can no longer take it.
        SetFocus(GetNextDlgTabItem(window_, addParts, FALSE));
    }
    EnableWindow(addParts, available);
}

bool ZelvaneWindow::Handled(const MSG& message) {
    // F1 anywhere in the window opens the explanation.
    if (message.message == WM_KEYDOWN && message.wParam == VK_F1 &&
        (message.hwnd == window_ || IsChild(window_, message.hwnd))) {
        OpenExplanation();
        return true;
    }
    if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN) {
        return false;
    }
    if (const int field = Text2Index(message.hwnd); field >= 0) {
        const int button = form::kText2[static_cast<std::size_t>(field)].enterClicks;
        if (button < 0) {
            return false;
        }
        ClickCommand(button);  // does nothing while unavailable
        return true;
    }
    for (int i = 0; i < kCommand1Count && form::kEnterClicksFocusedButton; ++i) {
        if (message.hwnd == command1_[static_cast<std::size_t>(i)]) {
            ClickCommand(i);
            return true;
        }
    }
    return false;
}

// A multi-line edit keeps Tab, and selects all its text when tabbed into.
// The task text passes Tab on to dialog navigation, as every other control
// does, and keeps its selection.
LRESULT CALLBACK ZelvaneWindow::TaskTextProcedure(HWND text, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                                  DWORD_PTR data) {
    if (message == WM_GETDLGCODE) {
        return DefSubclassProc(text, message, wParam, lParam) & ~(DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_HASSETSEL);
    }
    if (message == WM_GETOBJECT) {
        reinterpret_cast<ZelvaneWindow*>(data)->names_.Apply();
    }
    return DefSubclassProc(text, message, wParam, lParam);
}

// The fields apply the core's field rule. Typed characters and pastes are
// cut before the edit box sees them, so that its undo still works; any
// other change (an input method, undo, a message from outside) is cut after.
LRESULT CALLBACK ZelvaneWindow::FieldProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR index,
                                               DWORD_PTR data) {
    auto* self = reinterpret_cast<ZelvaneWindow*>(data);
    const int i = static_cast<int>(index);
    const bool readOnly = form::kText2[index].readOnly;
    if (message == WM_CHAR && !readOnly) {
        const auto unit = static_cast<wchar_t>(wParam);
        wchar_t& pending = self->pendingHigh_[index];
        // A character outside the BMP arrives as two messages: the pair is
        // inserted as one character.
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (pending) {
                self->Insert(i, std::wstring(1, pending));
            }
            pending = unit;
            return 0;
        }
        if (pending) {
            const wchar_t high = pending;
            pending = 0;
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                self->Insert(i, std::wstring{high, unit});
                return 0;
            }
            self->Insert(i, std::wstring(1, high));
        }
        // Control characters (Backspace, Ctrl+C, ...) are the box's own.
        if (unit >= 0x20 && unit != 0x7F && !self->Insert(i, std::wstring(1, unit), true)) {
            return 0;
        }
    } else if (message == WM_GETOBJECT) {
        self->names_.Apply();
    } else if (message == WM_CONTEXTMENU && i == kExpansion) {
        self->ShowExpansionMenu(field, lParam);
        return 0;
    } else if (message == WM_PASTE && !readOnly) {
        std::wstring text;
        if (ClipboardText(self->window_, text)) {
            self->Insert(i, text);
            return 0;
        }
    }
    return DefSubclassProc(field, message, wParam, lParam);
}

// Puts what the core's rule keeps of `text` in place of the selection of
// Text2(index), as one edit the box can undo. When all of it is kept and
// `boxMayType` holds, the box is left to type it itself: returns true then,
// having done nothing.
bool ZelvaneWindow::Insert(int index, std::wstring_view text, bool boxMayType) {
    const HWND field = text2_[static_cast<std::size_t>(index)];
    DWORD from = 0;
    DWORD to = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    const std::wstring kept = Wide(KeptInsertion(state_.Text2(index), from, to, Units(text), MaxLength(index)));
    if (boxMayType && kept == text) {
        return true;
    }
    if (!kept.empty() || from != to) {
        SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(kept.c_str()));
    }
    return false;
}

// Any change of a field: the core keeps what its rule keeps, and the field
// shows exactly that.
void ZelvaneWindow::Edited(int index) {
    const HWND field = text2_[static_cast<std::size_t>(index)];
    const std::wstring shown = WindowText(field);
    DWORD from = 0;
    DWORD caret = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&caret));
    const FieldRewrite rewrite = EditText2(state_, index, Units(shown), caret, MaxLength(index));
    if (rewrite.needed) {
        SetWindowTextW(field, Wide(rewrite.text).c_str());
        SendMessageW(field, EM_SETSEL, rewrite.caret, rewrite.caret);
    }
}

int ZelvaneWindow::Text2Index(HWND control) const {
    const auto found = std::find(text2_.begin(), text2_.end(), control);
    return found == text2_.end() ? -1 : static_cast<int>(found - text2_.begin());
}

}  // namespace zelvane::win32
