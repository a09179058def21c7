// The wheel of remainders: the period's remainders on a ring in step order,
// clockwise from the top, the digit each step writes beside its remainder
// on an inner ring, the pre-period's remainders as a tail that leads into
// the ring, the arc the window's digits cover and its matched groups, and
// the chords of the halves (or the triangles of the thirds) with what they
// add up to in the hub. A finite decimal is a tail that ends in 0.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "figure_geometry.h"
#include "writer.h"

namespace zelvane::explain {
namespace detail {
namespace {

constexpr double kWidth = 400;
constexpr double kRing = 120;       // radius of the remainders' places
constexpr double kHub = 44;         // radius of the hub with the sums
constexpr double kTailY = 40;       // the tail's line, above the ring
constexpr size_t kDotsUpTo = 720;   // longer periods show the ring's line as their places
constexpr size_t kAllChordsUpTo = 24;
constexpr size_t kSomeChords = 12;
constexpr size_t kWindowDigitCount = 16;

struct Box {
    double left, top, right, bottom;
    bool Overlaps(const Box& o) const {
        return left < o.right + 1 && o.left < right + 1 && top < o.bottom + 1 && o.top < bottom + 1;
    }
};

Box BoxAt(Point at, std::string_view text, double size) {
    const double half = TextWidth(text, size) / 2;
    return {at.x - half, at.y - size / 2, at.x + half, at.y + size / 2};
}

// A label outside (outward > 0) or inside the circle of `radius`, its near
// edge `gap` away from it.
Point LabelAt(Point centre, double radius, double degrees, double gap, std::string_view text, double size,
              bool outward) {
    const double a = degrees * std::numbers::pi / 180;
    const double extent = std::abs(std::cos(a)) * TextWidth(text, size) / 2 + std::abs(std::sin(a)) * size / 2;
    return Polar(centre, outward ? radius + gap + extent : radius - gap - extent, degrees);
}

class WheelMaker {
public:
    WheelMaker(const Analysis& a, const std::vector<Step>& steps, bool thirds)
        : f_(a.facts), steps_(steps), thirds_(thirds), P_(f_.prePeriod), L_(f_.period) {}

    Figure Make();

private:
    Shape& Add(ShapeKind kind, Ink stroke, double width, size_t step = kNoStep) {
        Shape& s = figure_.shapes.emplace_back();
        s.kind = kind;
        s.stroke = stroke;
        s.width = width;
        s.step = step;
        return s;
    }
    void Circle(Point at, double radius, Ink stroke, Ink fill, double width, size_t step = kNoStep) {
        Shape& s = Add(ShapeKind::kCircle, stroke, width, step);
        s.at = at;
        s.radius = radius;
        s.fill = fill;
    }
    void Line(Point from, Point to, Ink ink, double width, size_t step = kNoStep) {
        Shape& s = Add(ShapeKind::kLine, ink, width, step);
        s.at = from;
        s.to = to;
    }
    void Poly(ShapeKind kind, std::initializer_list<Point> points, Ink stroke, Ink fill, double width,
              size_t step = kNoStep) {
        Shape& s = Add(kind, stroke, width, step);
        s.fill = fill;
        s.first = figure_.points.size();
        s.count = points.size();
        figure_.points.insert(figure_.points.end(), points);
    }
    void Arc(double radius, double start, double sweep, Ink ink, double width) {
        Shape& s = Add(ShapeKind::kArc, ink, width);
        s.at = centre_;
        s.radius = radius;
        s.start = start;
        s.sweep = sweep;
        s.from = Polar(centre_, radius, start);
        s.to = Polar(centre_, radius, start + sweep);
    }
    void Text(Point at, std::string text, double size, Ink ink, bool bold, size_t step = kNoStep,
              Align align = Align::kCentre) {
        Shape& s = Add(ShapeKind::kText, ink, 1, step);
        s.at = at;
        s.text = std::move(text);
        s.size = size;
        s.bold = bold;
        s.align = align;
    }
    void Arrowhead(Point tip, double dx, double dy, Ink ink) {
        const double length = std::hypot(dx, dy);
        dx /= length;
        dy /= length;
        Poly(ShapeKind::kPolygon,
             {tip, {tip.x - 9 * dx - 4.5 * dy, tip.y - 9 * dy + 4.5 * dx}, {tip.x - 9 * dx + 4.5 * dy, tip.y - 9 * dy - 4.5 * dx}},
             ink, ink, 1);
    }

    double Angle(size_t position) const { return -90 + 360.0 * static_cast<double>(position) / static_cast<double>(L_); }
    bool Accept(std::vector<Box>& taken, const Box& box) const {
        if (box.left < 0 || box.right > figure_.width || box.top < 0 || box.bottom > figure_.height) {
            return false;
        }
        for (const Box& other : taken) {
            if (other.Overlaps(box)) {
                return false;
            }
        }
        return true;
    }
    // The window's matched groups, as steps (0-based) of their digits.
    std::vector<size_t> GroupSteps() const;

    void Tail(double y, const std::vector<size_t>& groups);
    void Finite(const std::vector<size_t>& groups);
    void Ring(const std::vector<size_t>& groups);
    void Legend(double y, bool groups);

    const Facts& f_;
    const std::vector<Step>& steps_;
    bool thirds_;
    size_t P_, L_;
    Figure figure_;
    Point centre_;
    std::vector<Box> remainderBoxes_, digitBoxes_;
};

std::vector<size_t> WheelMaker::GroupSteps() const {
    std::vector<size_t> groups;
    if (f_.windowCheck == 0) {
        return groups;
    }
    const GroupCheck& check = kGroupChecks[static_cast<size_t>(f_.windowCheck - 1)];
    for (const size_t start : {check.leftPosition, check.rightPosition}) {
        for (size_t p = start; p < start + check.length; ++p) {
            if (p >= 4) {  // position 3 is the window's leading 0, no digit of the fraction
                groups.push_back(p - 4);
            }
        }
    }
    return groups;
}

Figure WheelMaker::Make() {
    const size_t steps = steps_.size();
    figure_.remainderAt.assign(steps, {});
    figure_.digitAt.assign(steps, {});
    figure_.labelled.assign(steps, false);
    figure_.width = kWidth;
    figure_.prePeriod = P_;
    figure_.period = f_.kind == Kind::kTerminating ? 0 : L_;
    figure_.ring = kRing;
    const std::vector<size_t> groups = GroupSteps();
    if (f_.kind == Kind::kTerminating) {
        Finite(groups);
    } else {
        const double top = P_ > 0 ? 75 : 0;
        centre_ = {kWidth / 2, top + 178};
        figure_.height = centre_.y + 200;
        figure_.centre = centre_;
        if (P_ > 0) {
            Tail(kTailY, groups);
        }
        Ring(groups);
        Legend(figure_.height - 22, !groups.empty());
    }
    figure_.alt = WheelAlt(f_, steps_, thirds_);
    return std::move(figure_);
}

// The pre-period's remainders on a line above the ring, which leads down
// into the ring's first place.
void WheelMaker::Tail(double y, const std::vector<size_t>& groups) {
    const double spacing = std::min(52.0, 176.0 / static_cast<double>(P_));
    auto x = [&](size_t j) { return centre_.x - spacing * static_cast<double>(P_ - j); };
    const double ringTop = centre_.y - kRing;
    const size_t window = std::min(P_, kWindowDigitCount);
    Line({x(0) - spacing / 2, y}, {x(window - 1) + spacing / 2, y}, Ink::kWindow, 12);
    for (const size_t g : groups) {
        if (g < P_) {
            Line({x(g) - spacing / 2, y}, {x(g) + spacing / 2, y}, Ink::kGroup, 5);
        }
    }
    Poly(ShapeKind::kPolyline, {{x(0), y}, {centre_.x, y}, {centre_.x, ringTop - 6}}, Ink::kRing, Ink::kNone, 1.5);
    Arrowhead({centre_.x, ringTop - 4}, 0, 1, Ink::kRing);
    // Labels: the first and the last of the tail, then those of the
    // window's groups, then evenly spaced ones, as far as they fit.
    std::vector<size_t> order = {0, P_ - 1};
    for (const size_t g : groups) {
        if (g < P_) {
            order.push_back(g);
        }
    }
    for (size_t j = 0; j < P_; ++j) {
        order.push_back(j);
    }
    for (const size_t j : order) {
        const Point at{x(j), y};
        figure_.remainderAt[j] = at;
        figure_.digitAt[j] = {at.x, y + 17};
        if (figure_.labelled[j]) {
            continue;
        }
        const std::string remainder = Cat(steps_[j].remainder);
        const std::string digit = Cat(steps_[j].digit);
        const Box r = BoxAt({at.x, y - 15}, remainder, 11);
        const Box d = BoxAt({at.x, y + 17}, digit, 13);
        if (Accept(remainderBoxes_, r) && Accept(digitBoxes_, d)) {
            remainderBoxes_.push_back(r);
            digitBoxes_.push_back(d);
            figure_.labelled[j] = true;
            Text({at.x, y - 15}, remainder, 11, Ink::kRemainder, false, j);
            Text({at.x, y + 17}, digit, 13, Ink::kDigit, true, j);
        }
    }
    for (size_t j = 0; j < P_; ++j) {
        Circle(figure_.remainderAt[j], 3.5, Ink::kNone, Ink::kRemainder, 0, j);
        figure_.hits.push_back({figure_.remainderAt[j], std::max(6.0, spacing / 2), j});
    }
}

// A finite decimal: its remainders along a path, row after row, to the 0
// at which the division ends.
void WheelMaker::Finite(const std::vector<size_t>& groups) {
    double widest = 0;
    for (const Step& step : steps_) {
        widest = std::max(widest, TextWidth(Cat(step.remainder), 11));
    }
    const double cell = std::max(56.0, widest + 14);
    const size_t perRow = std::max<size_t>(1, static_cast<size_t>((kWidth - 40) / cell));
    const size_t nodes = P_ + 1;
    const size_t rows = (nodes + perRow - 1) / perRow;
    figure_.height = 50 + 70 * static_cast<double>(rows) + 40;
    auto place = [&](size_t j) {
        const size_t row = j / perRow;
        const size_t column = row % 2 == 0 ? j % perRow : perRow - 1 - j % perRow;
        return Point{20 + cell / 2 + cell * static_cast<double>(column), 60 + 70 * static_cast<double>(row)};
    };
    Shape& path = Add(ShapeKind::kPolyline, Ink::kRing, 1.5);
    path.first = figure_.points.size();
    for (size_t j = 0; j < nodes; ++j) {
        figure_.points.push_back(place(j));
    }
    path.count = nodes;
    const size_t window = std::min(P_, kWindowDigitCount);
    Shape& band = Add(ShapeKind::kPolyline, Ink::kWindow, 12);
    band.first = figure_.points.size();
    band.count = window;
    for (size_t j = 0; j < window; ++j) {
        figure_.points.push_back(place(j));
    }
    // The band is drawn under the path.
    std::swap(figure_.shapes[figure_.shapes.size() - 1], figure_.shapes[figure_.shapes.size() - 2]);
    for (const size_t g : groups) {
        if (g < P_) {
            Circle(place(g), 9, Ink::kNone, Ink::kGroup, 0);
        }
    }
    for (size_t j = 0; j < P_; ++j) {
        const Point at = place(j);
        figure_.remainderAt[j] = at;
        figure_.digitAt[j] = {at.x, at.y + 18};
        figure_.labelled[j] = true;
        Circle(at, 3.5, Ink::kNone, Ink::kRemainder, 0, j);
        Text({at.x, at.y - 16}, Cat(steps_[j].remainder), 11, Ink::kRemainder, false, j);
        Text({at.x, at.y + 18}, Cat(steps_[j].digit), 13, Ink::kDigit, true, j);
        figure_.hits.push_back({at, 14, j});
    }
    const Point end = place(P_);
    Circle(end, 4, Ink::kNone, Ink::kRemainder, 0, P_ - 1);
    Circle(end, 8, Ink::kRemainder, Ink::kNone, 1.5, P_ - 1);
    Text({end.x, end.y - 18}, "0", 11, Ink::kRemainder, false, P_ - 1);
    Legend(figure_.height - 22, !groups.empty());
}

void WheelMaker::Ring(const std::vector<size_t>& groups) {
    const size_t L = L_;
    const double spacing = 360.0 / static_cast<double>(L);
    // The window's digits: steps 0..15, of which those from P on are on the ring.
    if (P_ < kWindowDigitCount) {
        const size_t seen = kWindowDigitCount - P_;
        if (seen >= L) {
            Circle(centre_, kRing, Ink::kWindow, Ink::kNone, 12);
        } else {
            // At least a few degrees, so that a long period still shows where it is.
            Arc(kRing, Angle(0) - spacing / 2, std::max(3.0, spacing * static_cast<double>(seen)), Ink::kWindow, 12);
        }
    }
    for (const size_t g : groups) {
        if (g >= P_) {
            Arc(kRing, Angle((g - P_) % L) - spacing / 2, spacing, Ink::kGroup, 5);
        }
    }
    Circle(centre_, kRing, Ink::kRing, Ink::kNone, 1.5);

    // Which remainders get labels: the first, the window's groups, and
    // evenly spaced ones (in pairs half a period apart, or in threes a
    // third apart, when the figure joins them), as far as they fit.
    const double remainderSize = L <= 24 ? 13 : 11;
    const double digitSize = L <= 24 ? 15 : 12;
    const size_t parts = thirds_ ? 3 : (L % 2 == 0 ? 2 : 1);
    const size_t part = L / parts;
    std::vector<size_t> order = {0};
    for (const size_t g : groups) {
        if (g >= P_) {
            order.push_back((g - P_) % L);
        }
    }
    int64_t largest = 0;
    for (size_t i = 0; i < L; ++i) {
        largest = std::max(largest, steps_[P_ + i].remainder);
    }
    const double widest = TextWidth(Cat(largest), remainderSize);
    const double fits = 2 * std::numbers::pi * (kRing + 8) / (widest + 6);
    const size_t stride = std::max<size_t>(1, static_cast<size_t>(std::ceil(static_cast<double>(L) / fits)));
    for (size_t i = 0; i < part; i += stride) {
        for (size_t k = 0; k < parts; ++k) {
            order.push_back(i + k * part);
        }
    }
    for (size_t i = 0; i < L; i += stride) {
        order.push_back(i);
    }
    std::vector<bool> labelled(L, false);
    for (const size_t i : order) {
        if (labelled[i]) {
            continue;
        }
        const size_t step = P_ + i;
        const std::string remainder = Cat(steps_[step].remainder);
        const std::string digit = Cat(steps_[step].digit);
        Point r = LabelAt(centre_, kRing, Angle(i), 7, remainder, remainderSize, true);
        if (i == 0 && P_ > 0) {
            // Beside the tail's line, which comes down to the first place.
            r = {centre_.x + TextWidth(remainder, remainderSize) / 2 + 6, centre_.y - kRing - 7 - remainderSize / 2};
        }
        const Point d = LabelAt(centre_, kRing, Angle(i), 9, digit, digitSize, false);
        const Box rb = BoxAt(r, remainder, remainderSize);
        const Box db = BoxAt(d, digit, digitSize);
        if (Accept(remainderBoxes_, rb) && Accept(digitBoxes_, db)) {
            remainderBoxes_.push_back(rb);
            digitBoxes_.push_back(db);
            labelled[i] = true;
            Text(r, remainder, remainderSize, Ink::kRemainder, false, step);
            Text(d, digit, digitSize, Ink::kDigit, true, step);
        }
    }

    // The chords of the halves, or the triangles of the thirds, where they
    // can be told apart: all of them for short periods, else those whose
    // remainders are labelled, a few.
    std::vector<size_t> joined;
    if (parts > 1) {
        for (size_t i = 0; i < part; ++i) {
            bool all = true;
            for (size_t k = 0; k < parts; ++k) {
                all = all && labelled[i + k * part];
            }
            if (part <= kAllChordsUpTo ? true : all) {
                joined.push_back(i);
            }
        }
        if (joined.size() > kAllChordsUpTo) {
            std::vector<size_t> few;
            for (size_t k = 0; k < kSomeChords; ++k) {
                few.push_back(joined[k * joined.size() / kSomeChords]);
            }
            joined = std::move(few);
        }
    }
    for (const size_t i : joined) {
        const size_t last = P_ + i + (parts - 1) * part;
        if (parts == 2) {
            Line(Polar(centre_, kRing, Angle(i)), Polar(centre_, kRing, Angle(i + part)), Ink::kChord, 1.2, last);
        } else {
            const int64_t sum = steps_[P_ + i].remainder + steps_[P_ + i + part].remainder +
                                steps_[P_ + i + 2 * part].remainder;
            Poly(ShapeKind::kPolygon,
                 {Polar(centre_, kRing, Angle(i)), Polar(centre_, kRing, Angle(i + part)),
                  Polar(centre_, kRing, Angle(i + 2 * part))},
                 sum == f_.reducedDenominator ? Ink::kChord : Ink::kChord2, Ink::kNone, 1.2, last);
        }
    }

    // The places, and where a click selects them.
    const double dot = L <= 60 ? 4 : L <= 180 ? 2.5 : 1.2;
    for (size_t i = 0; i < L; ++i) {
        const size_t step = P_ + i;
        // One cosine and sine a place: 1/9967 has 9 966 of them.
        const double a = Angle(i) * std::numbers::pi / 180;
        const double cos = std::cos(a);
        const double sin = std::sin(a);
        const Point at{centre_.x + kRing * cos, centre_.y + kRing * sin};
        const double digit = kRing - 9 - (std::abs(cos) * TextWidth("0", digitSize) / 2 + std::abs(sin) * digitSize / 2);
        figure_.remainderAt[step] = at;
        figure_.digitAt[step] = {centre_.x + digit * cos, centre_.y + digit * sin};
        figure_.labelled[step] = labelled[i];
        if (L <= kDotsUpTo) {
            Circle(at, dot, Ink::kNone, Ink::kRemainder, 0, step);
        }
        figure_.hits.push_back({at, std::max(8.0, std::min(14.0, kRing * spacing * std::numbers::pi / 360)), step});
    }
    // The step that repeats the period's first remainder stands on its place.
    if (P_ + L < figure_.remainderAt.size()) {
        figure_.remainderAt[P_ + L] = figure_.remainderAt[P_];
        figure_.digitAt[P_ + L] = figure_.digitAt[P_];
        figure_.labelled[P_ + L] = labelled[0];
    }

    // The direction of the steps, inside the digits: clockwise.
    Arc(66, -84, 38, Ink::kRing, 1.5);
    const Point tip = Polar(centre_, 66, -46);
    const double a = -46 * std::numbers::pi / 180;
    Arrowhead(tip, -std::sin(a), std::cos(a), Ink::kRing);

    // The hub: what the joined remainders and their digits add up to.
    Circle(centre_, kHub, Ink::kRing, Ink::kPaper, 1);
    std::vector<std::string> hub;
    const int64_t dr = f_.reducedDenominator;
    if (parts == 2 && f_.halvesNines) {
        hub = {Cat("r + r′ = ", dr), "c + c′ = 9"};
    } else if (parts == 3 && f_.thirdsMultiple != 0) {
        bool once = false;
        bool twice = false;
        for (size_t i = 0; i < part; ++i) {
            const int64_t sum = steps_[P_ + i].remainder + steps_[P_ + i + part].remainder +
                                steps_[P_ + i + 2 * part].remainder;
            (sum == dr ? once : twice) = true;
        }
        hub = {"r + r′ + r″ =", once && twice ? Cat(dr, " или ", 2 * dr) : Cat(once ? dr : 2 * dr)};
    } else {
        hub = {"период", Digits(L)};
    }
    for (size_t k = 0; k < hub.size(); ++k) {
        const double size = std::min(13.0, 2 * (kHub - 5) / TextWidth(hub[k], 1));
        Text({centre_.x, centre_.y + (k == 0 ? -9.0 : 9.0)}, hub[k], size, Ink::kText, k != 0);
    }
}

void WheelMaker::Legend(double y, bool groups) {
    if (groups) {
        y -= 9;
    }
    Line({14, y}, {32, y}, Ink::kWindow, 12);
    Text({40, y}, "цифрите, които прозорецът показва", 11, Ink::kText, false, kNoStep, Align::kLeft);
    if (groups) {
        Line({14, y + 18}, {32, y + 18}, Ink::kGroup, 5);
        Text({40, y + 18}, "двете групи, които прозорецът намира", 11, Ink::kText, false, kNoStep, Align::kLeft);
    }
}

}  // namespace

Figure Wheel(const Analysis& analysis, const std::vector<Step>& steps, bool thirds) {
    Figure figure = WheelMaker(analysis, steps, thirds).Make();
    figure.name = thirds ? "Трети" : "Половини";
    return figure;
}

}  // namespace detail
}  // namespace zelvane::explain
