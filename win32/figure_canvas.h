// The explanation's figures drawn on Windows: the few drawing calls a
// figure's instructions need (circle, line, polygon, polyline, arc, text),
// in figure units placed on a device, antialiased, with GDI+ (gdiplus.dll,
// a part of Windows, loaded when a figure is first drawn). The figure's
// window draws through them into its pixels; a print path can draw through
// the same calls on a printer's device context, with the print colours.
#pragma once

#include <windows.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "explain.h"

namespace zelvane::win32 {

// Where figure units land on the device: device = left + units · scale
// (and top + units · scale), one scale for both axes.
struct Placement {
    double scale = 1;
    double left = 0;
    double top = 0;

    explain::Point ToFigure(double x, double y) const { return {(x - left) / scale, (y - top) / scale}; }
};

// A figure scaled uniformly to the largest size that fits a box of
// width × height device units, centred in it.
Placement PlaceFigure(const explain::Figure& figure, double width, double height);

class Canvas {
public:
    // A canvas over 32-bit top-down pixels (a DIB section's bits), drawn
    // in software; or over a device context (a printer's). Null when GDI+
    // cannot be had.
    static std::unique_ptr<Canvas> OnPixels(void* bits, int width, int height);
    static std::unique_ptr<Canvas> OnDc(HDC dc);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    // Where the figure's units go, the face its texts are set in, and
    // whether the inks are the print colours.
    void Place(const Placement& placement) { placement_ = placement; }
    void SetFace(std::wstring face) { face_ = std::move(face); }
    void SetPrint(bool print) { print_ = print; }

    void Clear(explain::Ink ink);
    void Circle(explain::Point at, double radius, explain::Ink stroke, explain::Ink fill, double width);
    void Line(explain::Point from, explain::Point to, explain::Ink ink, double width);
    void Polygon(const explain::Point* points, std::size_t count, explain::Ink stroke, explain::Ink fill,
                 double width);
    void Polyline(const explain::Point* points, std::size_t count, explain::Ink ink, double width);
    // Clockwise from `start` by `sweep` degrees, 0 at 3 o'clock.
    void Arc(explain::Point centre, double radius, double start, double sweep, explain::Ink ink, double width);
    // Centred vertically on `at`, `size` units high.
    void Text(explain::Point at, std::string_view utf8, double size, bool bold, explain::Align align,
              explain::Ink ink);

    // One shape of a figure, as its instruction says.
    void Draw(const explain::Figure& figure, const explain::Shape& shape);

private:
    struct State;
    explicit Canvas(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
    Placement placement_;
    std::wstring face_ = L"Tahoma";
    bool print_ = false;
};

// The whole figure: the shapes shown while `selected` is selected (a step,
// or kNoStep), then what marks the selected step, over them.
void DrawFigure(Canvas& canvas, const explain::Document& document, const explain::Figure& figure,
                std::size_t selected);

}  // namespace zelvane::win32
