// The explain view's lead and its list of steps: the notation with the
// selected step's digit marked, the figure and the switch between its
// halves and thirds, the summary, and the owner-data list whose rows are
// made (StepText) only when the list shows them.
#include "explain_window.h"

#include <commctrl.h>

#include <algorithm>

#include "control_ids.h"
#include "figure_view.h"
#include "wide_text.h"

namespace zelvane::win32 {

void ExplainWindow::ShowLead() {
    notationBlock_ = summaryBlock_ = explain::kNoStep;
    leadFigures_.clear();
    shownFigure_ = 0;
    const std::size_t lead = std::min(document_.lead, document_.blocks.size());
    for (std::size_t i = 0; i < lead; ++i) {
        const explain::Block& block = document_.blocks[i];
        if (block.kind == explain::BlockKind::kNotation && notationBlock_ == explain::kNoStep) {
            notationBlock_ = i;
        } else if (block.kind == explain::BlockKind::kFigure && block.figure < document_.figures.size()) {
            leadFigures_.push_back(block.figure);
        } else if (block.kind == explain::BlockKind::kParagraph && summaryBlock_ == explain::kNoStep) {
            summaryBlock_ = i;
        }
    }
    const auto show = [this](HWND control, LeadText& text, std::size_t index) {
        text = index == explain::kNoStep ? LeadText{} : LeadTextOf(document_.blocks[index]);
        SetWindowTextW(control, index == explain::kNoStep ? L"" : SpokenText(document_.blocks[index]).c_str());
    };
    show(notation_, notationText_, notationBlock_);
    show(summary_, summaryText_, summaryBlock_);
    for (std::size_t i = 0; i < 2; ++i) {
        SetWindowTextW(switch_[i],
                       i < leadFigures_.size() ? WideFromUtf8(document_.figures[leadFigures_[i]].name).c_str() : L"");
    }
    ShowFigure(0);
}

// One of the lead's figures (the halves' or the thirds'), with the
// selected step.
void ExplainWindow::ShowFigure(std::size_t which) {
    if (which >= leadFigures_.size()) {
        figure_->Show(nullptr, nullptr);
        return;
    }
    shownFigure_ = which;
    figure_->Show(&document_, &document_.figures[leadFigures_[which]]);
    figure_->Select(selected_);
    for (std::size_t i = 0; i < 2; ++i) {
        SendMessageW(switch_[i], BM_SETCHECK, i == which ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

int ExplainWindow::LeadHeight(const LeadText& text, const LeadFonts& fonts, int width, bool wrap) const {
    const HDC dc = GetDC(window_);
    const RECT box{0, 0, width, 0};
    const int height = LayOutLeadText(dc, text, fonts, box, wrap, explain::kNoStep, false);
    ReleaseDC(window_, dc);
    return height;
}

bool ExplainWindow::DrawLead(const DRAWITEMSTRUCT& item) const {
    const bool notation = item.hwndItem == notation_;
    if (!notation && item.hwndItem != summary_) {
        return false;
    }
    FillRect(item.hDC, &item.rcItem, GetSysColorBrush(COLOR_WINDOW));
    std::size_t mark = explain::kNoStep;
    if (notation && selected_ != explain::kNoStep && notationBlock_ != explain::kNoStep) {
        const std::vector<std::size_t>& digits = document_.blocks[notationBlock_].stepDigits;
        mark = selected_ < digits.size() ? digits[selected_] : explain::kNoStep;
    }
    LayOutLeadText(item.hDC, notation ? notationText_ : summaryText_,
                   notation ? LeadFonts{notationFont_, raisedNotation_} : LeadFonts{body_, raisedBody_}, item.rcItem,
                   !notation, mark, true);
    return true;
}

void ExplainWindow::ShowSteps() {
    const std::size_t count = document_.steps.size();
    ListView_SetItemState(steps_, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_SetItemCountEx(steps_, static_cast<int>(count), 0);
    // The column is as wide as the widest row: the last (it says where the
    // digits repeat) or one with the longest numbers. Only these are made.
    std::vector<std::size_t> widest = {0, count - 1};
    if (count > 0) {
        const auto remainder = std::max_element(document_.steps.begin(), document_.steps.end(),
                                                [](const auto& a, const auto& b) { return a.remainder < b.remainder; });
        const auto next = std::max_element(document_.steps.begin(), document_.steps.end(),
                                           [](const auto& a, const auto& b) { return a.next < b.next; });
        widest.push_back(static_cast<std::size_t>(remainder - document_.steps.begin()));
        widest.push_back(static_cast<std::size_t>(next - document_.steps.begin()));
    }
    rowsWidth_ = 0;
    const HDC dc = GetDC(steps_);
    const HGDIOBJ previous = SelectObject(dc, body_);
    for (const std::size_t index : widest) {
        if (index < count) {
            const std::wstring row = WideFromUtf8(explain::StepText(document_, index));
            SIZE size{};
            GetTextExtentPoint32W(dc, row.c_str(), static_cast<int>(row.size()), &size);
            rowsWidth_ = std::max<int>(rowsWidth_, size.cx);
        }
    }
    SelectObject(dc, previous);
    ReleaseDC(steps_, dc);
    rowsWidth_ += MulDiv(16, dpi_, USER_DEFAULT_SCREEN_DPI);  // the cell's own margins
}

LRESULT ExplainWindow::StepsNotified(NMHDR& header) {
    switch (header.code) {
        case LVN_GETDISPINFOW: {
            // A row comes into sight: its text is made now.
            LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
            if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
                row_ = WideFromUtf8(explain::StepText(document_, static_cast<std::size_t>(item.iItem)));
                lstrcpynW(item.pszText, row_.c_str(), item.cchTextMax);
            }
            return 0;
        }
        case LVN_ITEMCHANGED: {
            const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
            if (change.iItem >= 0 && (change.uChanged & LVIF_STATE) && (change.uNewState & LVIS_SELECTED) &&
                !(change.uOldState & LVIS_SELECTED)) {
                Select(static_cast<std::size_t>(change.iItem), From::kList);
            }
            return 0;
        }
        case LVN_ODFINDITEMW:
            return -1;  // the rows have no names to type
        case NM_CUSTOMDRAW: {
            // The selected step's row in the selection's colour, as the
            // figure and the notation mark it, focused or not.
            auto& draw = reinterpret_cast<NMLVCUSTOMDRAW&>(header);
            // The drawing stage, and the row (its index in the list) being drawn.
            auto& [notification, stage, dc, box, row, state, parameter] = draw.nmcd;
            if (stage == CDDS_PREPAINT) {
                return CDRF_NOTIFYITEMDRAW;
            }
            if (stage == CDDS_ITEMPREPAINT && row == selected_) {
                const explain::Rgb colour = explain::Colour(explain::Ink::kSelection);
                draw.clrText = RGB(255, 255, 255);
                draw.clrTextBk = RGB(colour.red, colour.green, colour.blue);
                state &= ~static_cast<UINT>(CDIS_SELECTED);
                return CDRF_NEWFONT;
            }
            return CDRF_DODEFAULT;
        }
        default:
            return 0;
    }
}

// Left and Right walk through the steps as Up and Down do; Ctrl+C copies
// the selected row, or the whole text when none is.
LRESULT CALLBACK ExplainWindow::StepsProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR data) {
    auto* self = reinterpret_cast<ExplainWindow*>(data);
    const std::size_t selected = self->selected_;
    if (message == WM_KEYDOWN && (wParam == VK_LEFT || wParam == VK_RIGHT) && !self->document_.steps.empty()) {
        const std::size_t last = self->document_.steps.size() - 1;
        const bool none = selected == explain::kNoStep;
        self->Select(wParam == VK_RIGHT ? (none ? 0 : std::min(last, selected + 1))
                                        : (none || selected == 0 ? 0 : selected - 1),
                     From::kProgram);
        return 0;
    }
    if (message == WM_CHAR && wParam == 0x03) {
        if (selected != explain::kNoStep) {
            self->CopyText(WideFromUtf8(explain::StepText(self->document_, selected)));
        } else {
            self->CopyAll();
        }
        return 0;
    }
    if (message == WM_GETOBJECT) {
        self->screenReader_ = true;
        self->names_.Apply();
    }
    return DefSubclassProc(list, message, wParam, lParam);
}

}  // namespace zelvane::win32
