// The explain view on Windows: a resizable window of its own, owned by the
// form, showing the explanation of the fraction last calculated. On the
// left the lead, which answers at a glance (the notation, the figure with
// a switch between halves and thirds when it has both, the summary), and
// under it the list of steps, whose rows are made only when they come into
// sight; on the right a read-only rich edit box with the rest of the text:
// the title and headings in bold, notations larger, preformatted lines and
// the notebook in a fixed-pitch font, powers raised.
//
// One step at a time can be selected: from the list, by a click on its
// remainder in the figure or on its line of the notebook, or by walking
// with the arrow keys, Home and End on the figure or the list. The figure
// then shows the division up to that step and marks it; its digit in the
// notation, its notebook lines and its row are highlighted. Tab goes from
// the figure (and its switch) to the list and the text. Esc hides the
// view; Ctrl+C with nothing selected copies the whole text. Made when it
// is first opened, not at start.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "explain.h"
#include "lead_text.h"
#include "screen_reader_names.h"

namespace zelvane::win32 {

class FigureView;

class ExplainWindow {
public:
    // Makes the window (hidden) for the form `owner`; null on failure.
    static ExplainWindow* Create(HINSTANCE instance, HWND owner, int dpi);

    bool Visible() const { return IsWindowVisible(window_) != FALSE; }

    // Shows a document in place of the one shown, with no step selected.
    void Show(explain::Document document);

    // Shows the window in front; a view opened anew has the figure (or the
    // first control there is) focused, an open one keeps its focus.
    void Open();

    // The view's dialog keys (Tab, Esc) for a message from its window or
    // its controls; true when handled.
    bool PreTranslate(const MSG& message);

private:
    explicit ExplainWindow(HWND window) : window_(window) {}
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK TextProcedure(HWND text, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                          DWORD_PTR self);
    static LRESULT CALLBACK StepsProcedure(HWND list, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR self);
    bool MakeControls();
    void MakeFonts();
    void Layout();
    void CopyAll() const;
    void CopyText(const std::wstring& text) const;
    void Hide() const;
    HWND FirstFocus() const;
    HWND SavedFocus() const;

    // Where a selection comes from: that control follows by itself.
    enum class From { kProgram, kFigure, kList, kText };
    void Select(std::size_t step, From from);

    // The lead (explain_window_lead.cpp).
    void ShowLead();
    void ShowFigure(std::size_t which);
    bool DrawLead(const DRAWITEMSTRUCT& item) const;
    int LeadHeight(const LeadText& text, const LeadFonts& fonts, int width, bool wrap) const;
    // The list of steps.
    void ShowSteps();
    LRESULT StepsNotified(NMHDR& header);

    // The rich edit box (explain_window_text.cpp).
    HWND NewText();
    void NameControls();
    void FillText();
    int FixedTwips(bool beforeText) const;
    void FitFixedLines();
    template <typename Change>
    void KeepingPlace(const Change& change);
    void MarkNotebook(std::size_t step, bool marked);
    void ClickedText();

    HWND window_;
    int dpi_ = USER_DEFAULT_SCREEN_DPI;
    HWND text_ = nullptr;
    HWND notation_ = nullptr;
    HWND summary_ = nullptr;
    HWND switch_[2] = {};
    HWND steps_ = nullptr;
    FigureView* figure_ = nullptr;
    HWND savedFocus_ = nullptr;
    HFONT body_ = nullptr, raisedBody_ = nullptr;
    HFONT notationFont_ = nullptr, raisedNotation_ = nullptr;

    explain::Document document_;
    std::size_t selected_ = explain::kNoStep;
    // The lead's parts: the notation and the summary (kNoStep: none), the
    // figures of its figure blocks, and which of them is shown.
    std::size_t notationBlock_ = explain::kNoStep, summaryBlock_ = explain::kNoStep;
    std::vector<std::size_t> leadFigures_;
    std::size_t shownFigure_ = 0;
    LeadText notationText_, summaryText_;
    // The notebook's lines in the text box: where each starts, where its
    // first character stands, where it ends, and its step.
    struct NotebookLine {
        std::size_t from, mark, to, step;
    };
    std::vector<NotebookLine> notebook_;
    // The preformatted lines and the notebook in the text box, the
    // characters of the longest of their lines, and the size (in twips)
    // they are set in: as large as lets that line fit, within bounds.
    std::vector<std::pair<std::size_t, std::size_t>> fixed_;
    std::size_t fixedColumns_ = 0;
    int fixedTwips_ = 0;
    mutable std::wstring plain_;  // the whole text, CR LF line ends, as the clipboard gets it
    mutable std::wstring row_;    // the step row the list asked for last
    int rowsWidth_ = 0;           // the widest row's, in pixels
    ScreenReaderNames names_;
    bool screenReader_ = false;  // one has asked: names are given at once
};

}  // namespace zelvane::win32
