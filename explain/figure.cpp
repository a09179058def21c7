// The figures' public face: the palette, the room a text takes, which step
// a click falls on, and what to draw over a selected step.
#include <algorithm>
#include <cmath>

#include "explain.h"
#include "figure_geometry.h"
#include "text.h"

namespace zelvane::explain {

Rgb Colour(Ink ink, bool print) {
    struct Pair {
        Rgb screen, print;
    };
    static constexpr Pair kPalette[] = {
        {{255, 255, 255}, {255, 255, 255}},  // kNone (not drawn)
        {{255, 255, 255}, {255, 255, 255}},  // kPaper
        {{32, 32, 32}, {0, 0, 0}},           // kText
        {{96, 96, 96}, {64, 64, 64}},        // kRing
        {{31, 78, 154}, {0, 0, 0}},          // kRemainder
        {{176, 48, 15}, {0, 0, 0}},          // kDigit
        {{110, 160, 214}, {120, 120, 120}},  // kChord
        {{214, 150, 50}, {170, 170, 170}},   // kChord2
        {{255, 224, 138}, {215, 215, 215}},  // kWindow
        {{46, 139, 87}, {90, 90, 90}},       // kGroup
        {{208, 0, 111}, {0, 0, 0}},          // kSelection
    };
    const Pair& pair = kPalette[static_cast<std::size_t>(ink)];
    return print ? pair.print : pair.screen;
}

Bounds TextBounds(const Shape& text) {
    const double width = detail::TextWidth(text.text, text.size);
    const double left = text.align == Align::kLeft    ? text.at.x
                        : text.align == Align::kRight ? text.at.x - width
                                                      : text.at.x - width / 2;
    return {left, text.at.y - text.size / 2, left + width, text.at.y + text.size / 2};
}

std::size_t StepAt(const Figure& figure, Point at) {
    std::size_t step = kNoStep;
    double nearest = 0;
    for (const Hit& hit : figure.hits) {
        const double distance = std::hypot(hit.at.x - at.x, hit.at.y - at.y);
        if (distance <= hit.radius && (step == kNoStep || distance < nearest)) {
            step = hit.step;
            nearest = distance;
        }
    }
    return step;
}

std::vector<Shape> Selection(const Figure& figure, const Document& document, std::size_t step) {
    std::vector<Shape> shapes;
    if (step >= document.steps.size() || step >= figure.remainderAt.size()) {
        return shapes;
    }
    auto circle = [&](Point at, double radius, Ink stroke, Ink fill, double width) {
        Shape& s = shapes.emplace_back();
        s.kind = ShapeKind::kCircle;
        s.at = at;
        s.radius = radius;
        s.stroke = stroke;
        s.fill = fill;
        s.width = width;
    };
    auto text = [&](Point at, std::string value, double size, Ink ink, bool bold) {
        Shape& s = shapes.emplace_back();
        s.kind = ShapeKind::kText;
        s.at = at;
        s.text = std::move(value);
        s.size = size;
        s.stroke = ink;
        s.bold = bold;
    };
    const Step& s = document.steps[step];
    const Point r = figure.remainderAt[step];
    const Point d = figure.digitAt[step];
    if (!figure.labelled[step]) {
        // A bubble with the remainder beside its place, and one with the digit.
        const std::string remainder = detail::Cat(s.remainder);
        const double half = detail::TextWidth(remainder, 12) / 2 + 5;
        const double dx = r.x - figure.centre.x;
        const double dy = r.y - figure.centre.y;
        const double length = std::max(1.0, std::hypot(dx, dy));
        const Point at{r.x + dx / length * (half + 10), r.y + dy / length * (half + 10)};
        circle(at, half, Ink::kSelection, Ink::kPaper, 1.5);
        text(at, remainder, 12, Ink::kRemainder, false);
        circle(d, 10, Ink::kSelection, Ink::kPaper, 1.5);
        text(d, detail::Cat(s.digit), 13, Ink::kDigit, true);
    }
    if (figure.period > 0 && step >= figure.prePeriod) {
        // The ring filled so far: from its first place to this one.
        const std::size_t position = std::min(step - figure.prePeriod, figure.period - 1);
        const double spacing = 360.0 / static_cast<double>(figure.period);
        Shape& arc = shapes.emplace_back();
        arc.kind = ShapeKind::kArc;
        arc.stroke = Ink::kSelection;
        arc.width = 3;
        arc.at = figure.centre;
        arc.radius = figure.ring;
        arc.start = -90 - spacing / 2;
        arc.sweep = spacing * static_cast<double>(position + 1);
        arc.from = detail::Polar(figure.centre, figure.ring, arc.start);
        arc.to = detail::Polar(figure.centre, figure.ring, arc.start + arc.sweep);
    }
    circle(r, 7, Ink::kSelection, Ink::kNone, 2.5);
    circle(d, 11, Ink::kSelection, Ink::kNone, 2.5);
    return shapes;
}

}  // namespace zelvane::explain
