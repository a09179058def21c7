#include "zelvane_window.h"

#include <commctrl.h>
#include <initguid.h>  // defines the annotation property GUIDs here
#include <oleacc.h>

#include <algorithm>

#include "control_ids.h"
#include "wide_text.h"

// Windows 7 has neither the per-monitor DPI message nor its functions; they
// are looked up at run time so that the same program starts there too.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace zelvane::win32 {
namespace {

// A fixed frame: a caption with the system menu and a minimise box, no
// sizing border and no maximise box. Alt+F4 closes it through the system menu.
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_CONTROLPARENT;

COLORREF Colour(form::Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }

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

std::wstring WindowText(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// A multi-line edit keeps Tab, and selects all its text when tabbed into.
// The task text passes Tab on to dialog navigation, as every other control
// does, and keeps its selection.
LRESULT CALLBACK PassTabOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_GETDLGCODE) {
        return DefSubclassProc(window, message, wParam, lParam) & ~(DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_HASSETSEL);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

// The quotation as a tooltip: its lines without the blank at the end.
std::wstring QuotationTip() {
    std::wstring text = WideFromUtf8(form::kText1[form::kQuotation].text);
    while (!text.empty() && std::wstring_view(L" \r\n").find(text.back()) != std::wstring_view::npos) {
        text.pop_back();
    }
    return text;
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
            BuildControls(create->hInstance);
            NameForScreenReaders();
            SetDpi(DpiOf(window_));
            // The Load event: the worksheet starts cleared.
            OnFormLoad(state_);
            ShowState();
            savedFocus_ = taskText_;
            return 0;
        }
        case WM_DPICHANGED: {
            // Moved to a monitor of another density: the suggested place,
            // the exact client size, the font and every control anew.
            const int dpi = HIWORD(wParam);
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            const SIZE size = FrameSize(dpi);
            SetWindowPos(window_, nullptr, suggested->left, suggested->top, size.cx, size.cy,
                         SWP_NOZORDER | SWP_NOACTIVATE);
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
            const auto control = reinterpret_cast<HWND>(lParam);
            if (HIWORD(wParam) == EN_CHANGE && id >= kText2Id && id < kText2Id + kText2Count) {
                // Typing, pasting and the window's own writes all keep the
                // core's field text equal to what the field shows.
                state_.SetText2(id - kText2Id, Utf32FromWide(WindowText(control)));
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
        case WM_DRAWITEM:
            DrawButton(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_DESTROY:
            if (annotations_) {
                for (const HWND control : text2_) {
                    const MSAAPROPID properties[] = {PROPID_ACC_NAME};
                    annotations_->ClearHwndProps(control, OBJID_CLIENT, CHILDID_SELF, properties, 1);
                }
                const MSAAPROPID properties[] = {PROPID_ACC_NAME, PROPID_ACC_DESCRIPTION};
                annotations_->ClearHwndProps(taskText_, OBJID_CLIENT, CHILDID_SELF, properties, 2);
                annotations_->Release();
                annotations_ = nullptr;
            }
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
    const auto make = [&](DWORD exStyle, const wchar_t* windowClass, const std::wstring& text, DWORD style, int id) {
        return CreateWindowExW(exStyle, windowClass, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    };
    const auto makeLabel = [&](std::size_t index) {
        label1_[index] = make(0, L"STATIC", WideFromUtf8(form::kLabel1[index].caption), SS_CENTER | SS_NOPREFIX,
                              kLabel1Id + static_cast<int>(index));
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
                taskText_ = make(WS_EX_CLIENTEDGE, L"EDIT", WideFromUtf8(form::kText1[index].text),
                                 ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP, kText1Id);
                SetWindowSubclass(taskText_, &PassTabOn, 0, 0);
                break;
            case form::Kind::Text2: {
                const form::Field& field = form::kText2[index];
                makeLabel(static_cast<std::size_t>(field.label));
                DWORD style = ES_AUTOHSCROLL | WS_TABSTOP;
                if (field.readOnly) {
                    style |= ES_READONLY;
                }
                text2_[index] = make(WS_EX_CLIENTEDGE, L"EDIT", L"", style, kText2Id + control.index);
                if (field.maxLength > 0) {
                    // Holds for typing and for paste alike.
                    SendMessageW(text2_[index], EM_LIMITTEXT, static_cast<WPARAM>(field.maxLength), 0);
                }
                break;
            }
            case form::Kind::Command1:
                command1_[index] = make(0, L"BUTTON", WideFromUtf8(form::kCommand1[index].caption),
                                        BS_OWNERDRAW | WS_TABSTOP, kCommand1Id + control.index);
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

    tooltip_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr, instance,
                               nullptr);
    if (tooltip_) {
        std::wstring tip = QuotationTip();
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(taskText_);
        tool.lpszText = tip.data();
        SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

// Dynamic Annotation: each field is named by its label's text (which Windows
// would also find as the static text before it), and the task text, which
// has no label, by a name of its own; the quotation is its description.
void ZelvaneWindow::NameForScreenReaders() {
    if (FAILED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                                reinterpret_cast<void**>(&annotations_)))) {
        annotations_ = nullptr;
        return;
    }
    for (int i = 0; i < kText2Count; ++i) {
        const std::wstring name = WideFromUtf8(form::kLabel1[form::kText2[i].label].caption);
        annotations_->SetHwndPropStr(text2_[i], OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, name.c_str());
    }
    const std::wstring name = WideFromUtf8(form::kTaskTextName);
    annotations_->SetHwndPropStr(taskText_, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_NAME, name.c_str());
    const std::wstring description = QuotationTip();
    annotations_->SetHwndPropStr(taskText_, OBJID_CLIENT, CHILDID_SELF, PROPID_ACC_DESCRIPTION, description.c_str());
}

void ZelvaneWindow::SetDpi(int dpi) {
    dpi_ = dpi;
    LOGFONTW font{};
    font.lfHeight = -MulDiv(form::kFontPoints, dpi, 72);
    font.lfWeight = form::kFontWeight;
    font.lfCharSet = static_cast<BYTE>(form::kFontCharset);
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = CLEARTYPE_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
    const std::wstring family = WideFromUtf8(form::kFontFamily);
    family.copy(font.lfFaceName, LF_FACESIZE - 1);
    const HFONT previous = font_;
    font_ = CreateFontIndirectW(&font);
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
    OnCommandClick(state_, static_cast<std::int16_t>(index));
    ShowState();
}

void ZelvaneWindow::ShowState() {
    for (int i = 0; i < kText2Count; ++i) {
        const HWND field = text2_[static_cast<std::size_t>(i)];
        const std::wstring text = WideFromUtf32(state_.Text2(i));
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

void ZelvaneWindow::DrawButton(const DRAWITEMSTRUCT& item) const {
    const int index = static_cast<int>(item.CtlID) - kCommand1Id;
    if (index < 0 || index >= kCommand1Count) {
        return;
    }
    const HDC dc = item.hDC;
    const bool unavailable = item.itemState & ODS_DISABLED;
    const bool pressed = item.itemState & ODS_SELECTED;
    RECT rect = item.rcItem;

    // Flat, in the button's own colour; grey while unavailable.
    const COLORREF fill = Colour(unavailable ? form::kUnavailableButton : form::kCommand1[index].colour);
    SetDCBrushColor(dc, fill);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const int unit = std::max(1, MulDiv(1, dpi_, USER_DEFAULT_SCREEN_DPI));
    if (pressed) {
        // Pressed: a shadow along the top and left edges inside the frame,
        // and the caption one step down and to the right.
        SetDCBrushColor(dc, RGB(GetRValue(fill) / 2, GetGValue(fill) / 2, GetBValue(fill) / 2));
        RECT top{rect.left + 1, rect.top + 1, rect.right - 1, rect.top + 1 + 2 * unit};
        RECT left{rect.left + 1, rect.top + 1, rect.left + 1 + 2 * unit, rect.bottom - 1};
        FillRect(dc, &top, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        FillRect(dc, &left, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }

    wchar_t caption[64];
    GetWindowTextW(item.hwndItem, caption, static_cast<int>(std::size(caption)));
    RECT textRect = rect;
    if (pressed) {
        OffsetRect(&textRect, unit, unit);
    }
    const HGDIOBJ previousFont = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Colour(unavailable ? form::kUnavailableButtonText : form::kButtonText));
    DrawTextW(dc, caption, -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previousFont);

    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = rect;
        InflateRect(&focus, -3 * unit, -3 * unit);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, fill);
        DrawFocusRect(dc, &focus);
    }
}

bool ZelvaneWindow::Handled(const MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN) {
        return false;
    }
    const int field = Text2Index(message.hwnd);
    if (field == kNumerator || field == kDenominator) {
        ClickCommand(kCalculateButton);
        return true;
    }
    if (field == kLeftGroup || field == kRightGroup) {
        ClickCommand(kAddPartsButton);  // does nothing while unavailable
        return true;
    }
    for (int i = 0; i < kCommand1Count; ++i) {
        if (message.hwnd == command1_[static_cast<std::size_t>(i)]) {
            ClickCommand(i);
            return true;
        }
    }
    return false;
}

int ZelvaneWindow::Text2Index(HWND control) const {
    const auto found = std::find(text2_.begin(), text2_.end(), control);
    return found == text2_.end() ? -1 : static_cast<int>(found - text2_.begin());
}

}  // namespace zelvane::win32
