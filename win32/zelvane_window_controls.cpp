// The form's controls, made when the form is: each field after its label,
// in focus order, at its place and with its font; the task text's Tab; the
// tooltips, made after the first frame; the names screen readers are given.
#include "zelvane_window.h"

#include <commctrl.h>

#include <algorithm>

#include "control_ids.h"
#include "field_input.h"
#include "form_description.h"
#include "wide_text.h"

namespace zelvane::win32 {
namespace {

// The quotation as a tooltip and a description.
std::wstring QuotationTip() { return WideFromUtf8(form::QuotationTip("\r\n")); }

}  // namespace

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

}  // namespace zelvane::win32
