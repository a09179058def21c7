// The explain view's figure as a control: it draws the figure's
// instructions (figure_canvas.h) scaled uniformly to its client area,
// with the selected step marked; a click on a remainder's place and the
// arrow keys, Home and End select steps, which the control reports to its
// owner. Its window text is the figure's text alternative: that is the
// name screen readers give it (Windows' standard accessible object names
// a control of an unknown class by its window text).
#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <thread>

#include "explain.h"

namespace zelvane::win32 {

class FigureView {
public:
    // Makes the control (visible, a tab stop) as a child of `parent`; null
    // on failure. The object lives as long as its window.
    static FigureView* Create(HWND parent, int id);

    HWND Window() const { return window_; }

    // What it shows: a figure of a document (both outlive the showing),
    // or nothing; and the selected step.
    void Show(const explain::Document* document, const explain::Figure* figure);
    void Select(std::size_t step);

    // Starts drawing the picture for the control's present size on a
    // thread of its own, so that the view can go on with its other parts
    // meanwhile; the first paint waits for it.
    void Prepare();

    // Called when the pupil selects a step here, and on Ctrl+C.
    std::function<void(std::size_t)> onSelect;
    std::function<void()> onCopy;

private:
    explicit FigureView(HWND window) : window_(window) {}
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void Render(int width, int height);
    bool Fit(int width, int height);
    void Join();
    void Walk(WPARAM key);

    HWND window_;
    const explain::Document* document_ = nullptr;
    const explain::Figure* figure_ = nullptr;
    std::size_t selected_ = explain::kNoStep;
    // The figure drawn into pixels, kept until it changes: a repaint is a copy.
    HBITMAP picture_ = nullptr;
    void* bits_ = nullptr;
    int width_ = 0, height_ = 0;
    bool stale_ = true;
    std::thread drawing_;
};

}  // namespace zelvane::win32
