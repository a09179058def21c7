// The explanation's figures as drawing instructions: the wheel of the
// period's remainders and digits. Each front end carries the instructions
// out with its own toolkit and computes no position of its own: it scales
// the figure's box to its place, draws every shape in order, and asks the
// figure which step a click falls on and what to draw over a selected step.
//
// Coordinates are in figure units, x to the right and y down, from the
// box's top left corner; a unit is one pixel at 100 %. Angles are in
// degrees, clockwise from 3 o'clock (so that on the screen, as in y, they
// grow downwards). Texts are UTF-8, centred vertically on their anchor.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace zelvane::explain {

struct Document;

// A shape or a text that belongs to no step.
inline constexpr std::size_t kNoStep = static_cast<std::size_t>(-1);

// The figure's small palette.
enum class Ink : std::uint8_t {
    kNone,       // no outline, or no fill
    kPaper,      // the background
    kText,       // captions and the centre's sums
    kRing,       // the ring, the tail's line and the arrow
    kRemainder,  // the remainders: their places and labels
    kDigit,      // the digits the steps write
    kChord,      // the halves' chords; the thirds' triangles that add up to d′
    kChord2,     // the thirds' triangles that add up to 2d′
    kWindow,     // the arc of the ring that the window's digits cover
    kGroup,      // the window's matched groups
    kSelection,  // the selected step
};

struct Rgb {
    std::uint8_t red, green, blue;
};

// The colour of an ink on the screen, or in print: there every ink is
// black, grey or white, told apart by weight, so that a black-and-white
// printer keeps them apart too.
Rgb Colour(Ink ink, bool print = false);

enum class ShapeKind : std::uint8_t {
    kCircle,    // centre `at`, `radius`; outline `stroke` of `width`, inside `fill`
    kLine,      // from `at` to `to`, `stroke` of `width`
    kPolygon,   // the closed polygon points[first, first + count); outline and fill as a circle's
    kPolyline,  // the open line through points[first, first + count), `stroke` of `width`
    kArc,       // on the circle `at`, `radius`: from the angle `start` clockwise by `sweep`,
                // from the point `from` to the point `to`; `stroke` of `width`
    kText,      // `text` at `at`, `size` units high (bold or not), in `stroke`, aligned by `align`
};

enum class Align : std::uint8_t { kLeft, kCentre, kRight };  // where `at` stands on the text's line

struct Point {
    double x = 0, y = 0;
};

struct Shape {
    ShapeKind kind = ShapeKind::kCircle;
    Ink stroke = Ink::kNone;
    Ink fill = Ink::kNone;
    Align align = Align::kCentre;
    bool bold = false;
    double width = 1;
    Point at, to, from;
    double radius = 0;
    double start = 0, sweep = 0;
    std::size_t first = 0, count = 0;
    double size = 0;
    std::string text;
    // The step (0-based index into Document::steps) the shape belongs to,
    // or kNoStep. While a step is selected, the shapes of later steps are
    // not drawn (Shown), so that walking through the division fills the ring.
    std::size_t step = kNoStep;
};

// A place where a click selects a step: a circle around a remainder.
struct Hit {
    Point at;
    double radius;
    std::size_t step;
};

struct Figure {
    // The caption of the figure's switch, when there are two: "Половини",
    // "Трети".
    std::string name;
    double width = 0, height = 0;
    std::vector<Shape> shapes;  // in drawing order
    std::vector<Point> points;  // of the polygons and polylines
    std::vector<Hit> hits;
    // What the figure shows, in words, for screen readers and the plain text.
    std::string alt;

    // Where each step's remainder and digit stand, for Selection.
    std::size_t prePeriod = 0, period = 0;  // the tail's places, and the ring's (0: no ring)
    Point centre;
    double ring = 0;  // the ring's radius
    std::vector<Point> remainderAt, digitAt;
    std::vector<bool> labelled;  // whether the step's remainder already has a label
};

// Whether a shape is drawn while `selected` (a step, or kNoStep) is selected.
inline bool Shown(const Shape& shape, std::size_t selected) {
    return selected == kNoStep || shape.step == kNoStep || shape.step <= selected;
}

// The room a text shape takes: its characters at most 0.6 of its size
// wide each (generous for the digits of sans-serif fonts), one size high.
// The figure is laid out so that no two texts' rooms overlap.
struct Bounds {
    double left, top, right, bottom;
};
Bounds TextBounds(const Shape& text);

// The step of the remainder at `at`, or kNoStep.
std::size_t StepAt(const Figure& figure, Point at);

// What to draw over the figure while `step` is selected: rings around its
// remainder and its digit, with their labels where the figure has none.
// Circles, arcs and texts only.
std::vector<Shape> Selection(const Figure& figure, const Document& document, std::size_t step);

}  // namespace zelvane::explain
