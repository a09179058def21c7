// The explain view's window: its class and controls, their places at the
// window's size and DPI, the keys it takes, and the one selected step that
// its figure, list, notation and text show together. The lead and the
// list of steps are in explain_window_lead.cpp, the text box in
// explain_window_text.cpp.
#include "explain_window.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>

#include "control_ids.h"
#include "figure_view.h"
#include "form_description.h"
#include "wide_text.h"
#include "zelvane_window_shared.h"
#include "window_procedure.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif

namespace zelvane::win32 {
namespace {

// The view's size when it is first opened, at 96 dpi: the lead and a
// page's width of text side by side. The pupil may make it as large as
// they like, down to the least size.
constexpr int kWidth = 1000, kHeight = 700;
constexpr int kLeastWidth = 560, kLeastHeight = 420;

HFONT Font(int points, int dpi, bool bold = false) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(points, dpi, 72);
    font.lfWeight = bold ? FW_BOLD : form::kFontWeight;
    font.lfCharSet = static_cast<BYTE>(form::kFontCharset);
    font.lfOutPrecision = OUT_TT_PRECIS;
    font.lfQuality = CLEARTYPE_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_ROMAN;
    WideFromUtf8(form::kFontFamily).copy(font.lfFaceName, LF_FACESIZE - 1);
    return CreateFontIndirectW(&font);
}

}  // namespace

ExplainWindow* ExplainWindow::Create(HINSTANCE instance, HWND owner, int dpi) {
    static bool registered = false;
    if (!registered) {
        // The rich edit box lives in its own library, loaded with the view.
        if (!LoadLibraryW(L"Msftedit.dll")) {
            return nullptr;
        }
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&controls);
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
    // As large as it is meant to be, but not larger than the screen it opens on.
    int width = MulDiv(kWidth, dpi, USER_DEFAULT_SCREEN_DPI);
    int height = MulDiv(kHeight, dpi, USER_DEFAULT_SCREEN_DPI);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        width = std::min<int>(width, monitor.rcWork.right - monitor.rcWork.left);
        height = std::min<int>(height, monitor.rcWork.bottom - monitor.rcWork.top);
    }
    const HWND window = CreateWindowExW(WS_EX_CONTROLPARENT, kExplanationClass, L"",
                                        WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, width,
                                        height, owner, nullptr, instance, nullptr);
    if (!window) {
        return nullptr;
    }
    auto* self = reinterpret_cast<ExplainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    self->dpi_ = dpi;
    self->MakeFonts();
    if (!self->MakeControls()) {
        DestroyWindow(window);
        return nullptr;
    }
    return self;
}

void ExplainWindow::MakeFonts() {
    for (HFONT font : {body_, raisedBody_, notationFont_, raisedNotation_}) {
        if (font) {
            DeleteObject(font);
        }
    }
    body_ = Font(form::kFontPoints, dpi_);
    raisedBody_ = Font(form::kFontPoints * 2 / 3, dpi_);
    notationFont_ = Font(form::kFontPoints * 7 / 6, dpi_);
    raisedNotation_ = Font(form::kFontPoints * 7 / 9, dpi_);
}

// The controls in focus order: the figure and its switch, the list of
// steps, the text (dialog navigation follows the order they are made in;
// the text box, made anew for each document, is always the last).
bool ExplainWindow::MakeControls() {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE));
    const auto make = [&](const wchar_t* windowClass, DWORD style, int id, DWORD exStyle = 0) {
        const HWND control = CreateWindowExW(exStyle, windowClass, L"", WS_CHILD | style, 0, 0, 0, 0, window_,
                                             reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(body_), FALSE);
        return control;
    };
    // The notation and the summary are drawn by the view (raised runs, the
    // marked digit); their window texts are what screen readers read.
    notation_ = make(L"STATIC", SS_OWNERDRAW | SS_NOPREFIX, kExplanationNotationId);
    figure_ = FigureView::Create(window_, kExplanationFigureId);
    if (!figure_) {
        return false;
    }
    figure_->onSelect = [this](std::size_t step) { Select(step, From::kFigure); };
    figure_->onCopy = [this] { CopyAll(); };
    for (int i = 0; i < 2; ++i) {
        switch_[i] = make(L"BUTTON", BS_AUTORADIOBUTTON | BS_PUSHLIKE | (i == 0 ? WS_GROUP | WS_TABSTOP : 0),
                          kExplanationSwitchId + i);
    }
    summary_ = make(L"STATIC", SS_OWNERDRAW | SS_NOPREFIX, kExplanationSummaryId);
    steps_ = make(WC_LISTVIEWW,
                  WS_GROUP | WS_TABSTOP | WS_VSCROLL | LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                      LVS_NOCOLUMNHEADER,
                  kExplanationStepsId, WS_EX_CLIENTEDGE);
    if (!notation_ || !summary_ || !steps_ || !switch_[0] || !switch_[1]) {
        return false;
    }
    ListView_SetExtendedListViewStyle(steps_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = 100;
    ListView_InsertColumn(steps_, 0, &column);
    SetWindowSubclass(steps_, &ExplainWindow::StepsProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
    text_ = NewText();
    if (!text_) {
        return false;
    }
    return true;
}

// The focus when the view opens anew: the first control there is.
HWND ExplainWindow::FirstFocus() const {
    for (const HWND control : {figure_->Window(), steps_, text_}) {
        if (IsWindowVisible(control)) {
            return control;
        }
    }
    return text_;
}

// The focus to give back: the control that had it, while it is still there.
HWND ExplainWindow::SavedFocus() const {
    return savedFocus_ && IsChild(window_, savedFocus_) && IsWindowVisible(savedFocus_) ? savedFocus_ : FirstFocus();
}

void ExplainWindow::Layout() {
    RECT client{};
    GetClientRect(window_, &client);
    const int width = client.right;
    const int height = client.bottom;
    const auto px = [this](int pixels) { return MulDiv(pixels, dpi_, USER_DEFAULT_SCREEN_DPI); };
    const int margin = px(8);
    const bool hasNotation = notationBlock_ != explain::kNoStep;
    const bool hasFigure = !leadFigures_.empty();
    const bool hasSwitch = leadFigures_.size() > 1;
    const bool hasSummary = summaryBlock_ != explain::kNoStep;
    const bool hasSteps = !document_.steps.empty();
    const bool hasLead = hasNotation || hasFigure || hasSummary || hasSteps;
    ShowWindow(notation_, hasNotation ? SW_SHOWNA : SW_HIDE);
    ShowWindow(figure_->Window(), hasFigure ? SW_SHOWNA : SW_HIDE);
    for (const HWND button : switch_) {
        ShowWindow(button, hasSwitch ? SW_SHOWNA : SW_HIDE);
    }
    ShowWindow(summary_, hasSummary ? SW_SHOWNA : SW_HIDE);
    ShowWindow(steps_, hasSteps ? SW_SHOWNA : SW_HIDE);
    if (!hasLead) {
        MoveWindow(text_, 0, 0, width, height, TRUE);
        FitFixedLines();
        return;
    }

    // The lead's column: two fifths of the window, within bounds.
    const int left = std::clamp(width * 2 / 5, std::min(px(300), width / 2), px(640));
    const int notationHeight =
        hasNotation ? LeadHeight(notationText_, {notationFont_, raisedNotation_}, left, false) + px(2) : 0;
    const int switchHeight = hasSwitch ? px(26) : 0;
    const int summaryHeight = hasSummary ? LeadHeight(summaryText_, {body_, raisedBody_}, left, true) : 0;
    const int stepsLeast = hasSteps ? px(6 * 20) : 0;
    const auto gap = [margin](int part) { return part > 0 ? part + margin : 0; };
    int figureHeight = 0;
    if (hasFigure) {
        const explain::Figure& figure = document_.figures[leadFigures_[shownFigure_]];
        // As high as the column's width makes it, while the rest keeps its room.
        const int natural = figure.width > 0 ? static_cast<int>(left * figure.height / figure.width) : 0;
        const int room = height - margin - gap(notationHeight) - gap(switchHeight) - gap(summaryHeight) -
                         gap(stepsLeast) - margin;
        figureHeight = std::max(std::min(natural, room), std::min(natural, px(120)));
    }
    int y = margin;
    MoveWindow(notation_, margin, y, left, notationHeight, TRUE);
    y += gap(notationHeight);
    MoveWindow(figure_->Window(), margin, y, left, figureHeight, TRUE);
    y += gap(figureHeight);
    if (hasSwitch) {
        const HDC dc = GetDC(window_);
        const HGDIOBJ previous = SelectObject(dc, body_);
        int x = margin;
        for (const HWND button : switch_) {
            const std::wstring caption = WindowText(button);
            SIZE size{};
            GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
            MoveWindow(button, x, y, size.cx + px(24), switchHeight, TRUE);
            x += size.cx + px(24) + px(4);
        }
        SelectObject(dc, previous);
        ReleaseDC(window_, dc);
    }
    y += gap(switchHeight);
    MoveWindow(summary_, margin, y, left, summaryHeight, TRUE);
    y += gap(summaryHeight);
    const int stepsHeight = std::max(px(40), height - margin - y);
    MoveWindow(steps_, margin, y, left, stepsHeight, TRUE);
    RECT inside{};
    GetClientRect(steps_, &inside);
    ListView_SetColumnWidth(steps_, 0, std::max<int>(rowsWidth_, inside.right));

    const int textLeft = margin + left + margin;
    MoveWindow(text_, textLeft, margin, std::max(0, width - textLeft - margin), std::max(0, height - 2 * margin), TRUE);
    FitFixedLines();
}

LRESULT CALLBACK ExplainWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DispatchToObject<ExplainWindow>(
        window, message, wParam, lParam, [](HWND made) { return new ExplainWindow(made); },
        [](ExplainWindow* self, UINT m, WPARAM w, LPARAM l) { return self->Handle(m, w, l); });
}

LRESULT ExplainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SIZE:
            if (text_) {
                Layout();
            }
            return 0;
        case WM_GETMINMAXINFO: {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->ptMinTrackSize = {MulDiv(kLeastWidth, dpi_, USER_DEFAULT_SCREEN_DPI),
                                      MulDiv(kLeastHeight, dpi_, USER_DEFAULT_SCREEN_DPI)};
            return 0;
        }
        case WM_DPICHANGED: {
            const int dpi = HIWORD(wParam);
            if (dpi <= 0) {
                return 0;
            }
            dpi_ = dpi;
            MakeFonts();
            for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                if (child != text_) {
                    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(body_), FALSE);
                }
            }
            ShowSteps();  // the rows' width in the new font
            if (const auto* suggested = reinterpret_cast<const RECT*>(lParam)) {
                SetWindowPos(window_, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                             suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
            }
            Layout();
            InvalidateRect(window_, nullptr, TRUE);
            return 0;
        }
        case WM_ACTIVATE:
            // Like a dialog, the view remembers which control had the focus ...
            RememberFocus(window_, wParam, savedFocus_);
            return DefWindowProcW(window_, message, wParam, lParam);
        case WM_SETFOCUS:
            // ... and gives it back when it is active again.
            SetFocus(SavedFocus());
            return 0;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) {
                Hide();
            } else if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) >= kExplanationSwitchId &&
                       LOWORD(wParam) < kExplanationSwitchId + 2) {
                ShowFigure(LOWORD(wParam) - kExplanationSwitchId);
            }
            return 0;
        case WM_NOTIFY:
            if (const auto* header = reinterpret_cast<NMHDR*>(lParam); header->hwndFrom == steps_) {
                return StepsNotified(*reinterpret_cast<NMHDR*>(lParam));
            }
            return 0;
        case WM_DRAWITEM:
            return DrawLead(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)) ? TRUE : FALSE;
        case WM_CTLCOLORSTATIC:
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        case WM_GETOBJECT:
            // A screen reader asks: the names go to the annotation service now.
            screenReader_ = true;
            names_.Apply();
            return DefWindowProcW(window_, message, wParam, lParam);
        case WM_CLOSE:
            // Closed, the view is only hidden: opening it again is quick.
            Hide();
            return 0;
        case WM_DESTROY:
            names_.Clear();
            for (HFONT font : {body_, raisedBody_, notationFont_, raisedNotation_}) {
                DeleteObject(font);
            }
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

bool ExplainWindow::PreTranslate(const MSG& message) {
    if (message.hwnd != window_ && !IsChild(window_, message.hwnd)) {
        return false;
    }
    MSG dialog = message;
    return IsDialogMessageW(window_, &dialog) != FALSE;
}

void ExplainWindow::Select(std::size_t step, From from) {
    if (step >= document_.steps.size() || step == selected_) {
        return;
    }
    const std::size_t previous = selected_;
    selected_ = step;
    figure_->Select(step);
    InvalidateRect(notation_, nullptr, FALSE);
    if (from != From::kList) {
        const int row = static_cast<int>(step);
        ListView_SetItemState(steps_, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        ListView_EnsureVisible(steps_, row, FALSE);
    }
    MarkNotebook(previous, false);
    MarkNotebook(step, true);
}

void ExplainWindow::Show(explain::Document document) {
    figure_->Show(nullptr, nullptr);  // lets go of the document shown (and waits for its drawing)
    document_ = std::move(document);
    selected_ = explain::kNoStep;
    SetWindowTextW(window_, WideFromUtf8(document_.title).c_str());
    plain_.clear();  // made when it is first copied
    fixed_.clear();
    notebook_.clear();
    ShowLead();
    ShowSteps();
    Layout();
    if (!document_.steps.empty()) {
        ListView_EnsureVisible(steps_, 0, FALSE);  // from the first row, at the list's own height
    }
    figure_->Prepare();  // drawn on a thread of its own while the text is read in
    FillText();
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void ExplainWindow::Open() {
    const bool opening = !Visible();
    // Shown, then drawn whole in one pass, before it is activated: under
    // wine activation waits on the X server, and the pupil should see the
    // view first.
    if (IsIconic(window_)) {
        ShowWindow(window_, SW_RESTORE);
    } else {
        SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                     SWP_SHOWWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    SetForegroundWindow(window_);
    // A view opened anew starts at its first control; an open one keeps
    // the pupil's place.
    if (opening) {
        SetFocus(FirstFocus());
    } else if (!GetFocus() || !IsChild(window_, GetFocus())) {
        SetFocus(SavedFocus());
    }
}


// Hides the view and gives the worksheet back the keyboard.
void ExplainWindow::Hide() const { ShowWindow(window_, SW_HIDE); }

void ExplainWindow::CopyAll() const {
    if (plain_.empty()) {
        const std::wstring whole = WideFromUtf8(explain::PlainText(document_));
        plain_.reserve(whole.size() + whole.size() / 16);
        for (const wchar_t c : whole) {
            if (c == L'\n') {
                plain_.push_back(L'\r');
            }
            plain_.push_back(c);
        }
    }
    CopyText(plain_);
}

void ExplainWindow::CopyText(const std::wstring& text) const {
    if (!OpenClipboard(window_)) {
        return;
    }
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        if (void* target = GlobalLock(memory)) {
            std::memcpy(target, text.c_str(), bytes);
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
