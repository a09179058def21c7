#include "figure_view.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <system_error>

#include "control_ids.h"
#include "figure_canvas.h"
#include "wide_text.h"
#include "window_procedure.h"

namespace zelvane::win32 {
namespace {

// The figure's texts are set in the system's dialog font (Segoe UI on
// Windows 10), at the sizes the figure gives.
std::wstring DialogFace() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0) &&
        metrics.lfMessageFont.lfFaceName[0]) {
        return metrics.lfMessageFont.lfFaceName;
    }
    return L"Tahoma";
}

}  // namespace

FigureView* FigureView::Create(HWND parent, int id) {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = &FigureView::Procedure;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_HAND);
        windowClass.lpszClassName = kFigureClass;
        registered = RegisterClassExW(&windowClass) != 0;
        if (!registered) {
            return nullptr;
        }
    }
    const HWND window = CreateWindowExW(0, kFigureClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 0, 0, parent,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    return window ? reinterpret_cast<FigureView*>(GetWindowLongPtrW(window, GWLP_USERDATA)) : nullptr;
}

void FigureView::Show(const explain::Document* document, const explain::Figure* figure) {
    Join();
    document_ = document;
    figure_ = figure;
    selected_ = explain::kNoStep;
    SetWindowTextW(window_, figure ? WideFromUtf8(figure->alt).c_str() : L"");
    stale_ = true;
    InvalidateRect(window_, nullptr, FALSE);
}

void FigureView::Select(std::size_t step) {
    if (step != selected_) {
        Join();
        selected_ = step;
        stale_ = true;
        InvalidateRect(window_, nullptr, FALSE);
    }
}

LRESULT CALLBACK FigureView::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DispatchToObject<FigureView>(
        window, message, wParam, lParam, [](HWND made) { return new FigureView(made); },
        [](FigureView* self, UINT m, WPARAM w, LPARAM l) { return self->Handle(m, w, l); });
}

LRESULT FigureView::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // the picture covers the whole control
        case WM_SIZE:
            stale_ = true;
            InvalidateRect(window_, nullptr, FALSE);
            return 0;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            InvalidateRect(window_, nullptr, FALSE);  // the focus frame
            return 0;
        case WM_GETDLGCODE:
            return DLGC_WANTARROWS | DLGC_WANTCHARS;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            SetFocus(window_);
            if (!figure_) {
                return 0;
            }
            RECT client{};
            GetClientRect(window_, &client);
            // The pixel's middle, in figure units, as the figure is placed.
            const Placement placement = PlaceFigure(*figure_, client.right, client.bottom);
            const explain::Point at = placement.ToFigure(GET_X_LPARAM(lParam) + 0.5, GET_Y_LPARAM(lParam) + 0.5);
            const std::size_t step = explain::StepAt(*figure_, at);
            if (step != explain::kNoStep && onSelect) {
                onSelect(step);
            }
            return 0;
        }
        case WM_KEYDOWN:
            Walk(wParam);
            return 0;
        case WM_CHAR:
            if (wParam == 0x03 && onCopy) {  // Ctrl+C
                onCopy();
            }
            return 0;
        case WM_DESTROY:
            Join();
            if (picture_) {
                DeleteObject(picture_);
                picture_ = nullptr;
            }
            return 0;
        default:
            return DefWindowProcW(window_, message, wParam, lParam);
    }
}

// The arrow keys walk through the division, a step at a time: Right and
// Down forwards, Left and Up back; Home and End go to the first and the
// last step. The first key of a walk starts at the first step.
void FigureView::Walk(WPARAM key) {
    if (!document_ || document_->steps.empty() || !onSelect) {
        return;
    }
    const std::size_t last = document_->steps.size() - 1;
    const bool none = selected_ == explain::kNoStep;
    std::size_t step = selected_;
    switch (key) {
        case VK_RIGHT:
        case VK_DOWN:
            step = none ? 0 : std::min(last, selected_ + 1);
            break;
        case VK_LEFT:
        case VK_UP:
            step = none || selected_ == 0 ? 0 : selected_ - 1;
            break;
        case VK_HOME:
            step = 0;
            break;
        case VK_END:
            step = last;
            break;
        default:
            return;
    }
    if (step != selected_) {
        onSelect(step);
    }
}

namespace {

// Draws a figure into pixels: on the view's thread, or on one of its own.
void DrawInto(void* bits, int width, int height, const explain::Document* document, const explain::Figure* figure,
              std::size_t selected) {
    if (const std::unique_ptr<Canvas> canvas = Canvas::OnPixels(bits, width, height)) {
        static const std::wstring face = DialogFace();
        canvas->SetFace(face);
        canvas->Clear(explain::Ink::kPaper);
        if (figure && document) {
            canvas->Place(PlaceFigure(*figure, width, height));
            DrawFigure(*canvas, *document, *figure, selected);
        }
    } else {
        // No GDI+: a blank figure (its text alternative is still its name).
        auto* pixel = static_cast<std::uint32_t*>(bits);
        std::fill(pixel, pixel + static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0xFFFFFFFFu);
    }
}

}  // namespace

// Pixels of the control's size for the picture.
bool FigureView::Fit(int width, int height) {
    if (picture_ && width == width_ && height == height_) {
        return true;
    }
    if (picture_) {
        DeleteObject(picture_);
        picture_ = nullptr;
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down, as GDI+ writes its rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    picture_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
    width_ = width;
    height_ = height;
    return picture_ != nullptr;
}

// Draws the figure anew into the control's pixels.
void FigureView::Render(int width, int height) {
    Join();
    if (Fit(width, height)) {
        GdiFlush();
        DrawInto(bits_, width, height, document_, figure_, selected_);
    }
    stale_ = false;
}

void FigureView::Prepare() {
    Join();
    RECT client{};
    GetClientRect(window_, &client);
    if (!stale_ || client.right <= 0 || client.bottom <= 0 || !(GetWindowLongPtrW(window_, GWL_STYLE) & WS_VISIBLE) ||
        !Fit(client.right, client.bottom)) {
        return;
    }
    GdiFlush();
    try {
        drawing_ = std::thread(DrawInto, bits_, width_, height_, document_, figure_, selected_);
        stale_ = false;
    } catch (const std::system_error&) {
        // No thread to be had: the picture is drawn when it is painted.
    }
}

void FigureView::Join() {
    if (drawing_.joinable()) {
        drawing_.join();
    }
}

void FigureView::Paint() {
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window_, &paint);
    RECT client{};
    GetClientRect(window_, &client);
    if (client.right > 0 && client.bottom > 0) {
        Join();
        if (stale_ || !picture_ || client.right != width_ || client.bottom != height_) {
            Render(client.right, client.bottom);
        }
        if (picture_) {
            const HDC memory = CreateCompatibleDC(dc);
            const HGDIOBJ previous = SelectObject(memory, picture_);
            BitBlt(dc, paint.rcPaint.left, paint.rcPaint.top, paint.rcPaint.right - paint.rcPaint.left,
                   paint.rcPaint.bottom - paint.rcPaint.top, memory, paint.rcPaint.left, paint.rcPaint.top, SRCCOPY);
            SelectObject(memory, previous);
            DeleteDC(memory);
        }
        if (GetFocus() == window_) {
            RECT frame = client;
            InflateRect(&frame, -1, -1);
            DrawFocusRect(dc, &frame);
        }
    }
    EndPaint(window_, &paint);
}

}  // namespace zelvane::win32
