// The form's window: its class, its procedure and the messages it answers,
// the keys it takes before dialog navigation, and the actions of its
// buttons and menu. Its layout at a DPI, its controls and its fields' rule
// have files of their own: zelvane_window_layout.cpp, zelvane_window_controls.cpp
// and zelvane_window_fields.cpp.
#include "zelvane_window.h"

#include <algorithm>

#include <windowsx.h>

#include <optional>

#include "control_ids.h"
#include "explain_window.h"
#include "field_input.h"
#include "flat_button.h"
#include "wide_text.h"
#include "win32_description.h"
#include "zelvane_window_shared.h"
#include "window_procedure.h"
#include "zoom_keys.h"

// Windows 7 has neither the per-monitor DPI message nor its functions; they
// are looked up at run time so that the same program starts there too.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace zelvane::win32 {
namespace {

// Posted to the form when it is made: the tooltips come after the first frame.
constexpr UINT kMakeTooltips = WM_APP + 1;

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
    return DispatchToObject<ZelvaneWindow>(
        window, message, wParam, lParam, [](HWND made) { return new ZelvaneWindow(made); },
        [](ZelvaneWindow* self, UINT m, WPARAM w, LPARAM l) { return self->Handle(m, w, l); });
}

LRESULT ZelvaneWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE: {
            auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            labelBrush_ = CreateSolidBrush(Colour(form::kLabelBackground));
            // Each control is made in its place and with its font: under
            // wine every move or font change of a control costs about a
            // millisecond before the first frame.
            monitorDpi_ = dpi_ = DpiOf(window_);
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
            monitorDpi_ = dpi;
            SetDpi(MulDiv(dpi, zoom_, 100));
            return 0;
        }
        case WM_ACTIVATE:
            // Like a dialog, the form remembers which control had the focus
            // when it is left ...
            RememberFocus(window_, wParam, savedFocus_);
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
                                             window_, monitorDpi_);
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
    // The explain view's own dialog keys.
    if (explanation_ && explanation_->PreTranslate(message)) {
        return true;
    }
    if (ZoomKey(message)) {
        return true;
    }
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

// The zoom keys anywhere in the form zoom it as a whole: the fields and the
// task text do not get them.
bool ZelvaneWindow::ZoomKey(const MSG& message) {
    if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) {
        return false;
    }
    const int percent = ZoomAfter(message, zoom_, wheelPending_);
    if (percent < 0) {
        return false;
    }
    Zoom(percent);
    return true;
}

void ZelvaneWindow::Zoom(int percent) {
    if (percent == zoom_) {
        return;
    }
    zoom_ = percent;
    SetDpi(MulDiv(monitorDpi_, zoom_, 100));
}

int ZelvaneWindow::Text2Index(HWND control) const {
    const auto found = std::find(text2_.begin(), text2_.end(), control);
    return found == text2_.end() ? -1 : static_cast<int>(found - text2_.begin());
}

}  // namespace zelvane::win32
