// Fuzzes the explanation with any two texts for the numerator and the
// denominator (split at the input's first NUL byte), and walks the whole
// document, checking:
// - every text is well-formed UTF-8;
// - each step is remainder · 10 = digit · divisor + next, with a digit 0..9
//   and 0 ≤ next < divisor, and the steps are as many as the pre-period and
//   the period (and one more, which repeats, for a periodic decimal);
// - the plain text's ranges follow each other inside the text;
// - every figure's instructions are finite, inside its box, and their
//   points and steps exist; a click and a selection on any step work.
#include <algorithm>
#include <cmath>
#include <string_view>

#include "explain.h"
#include "fuzz_support.h"

using namespace zelvane;
using namespace zelvane::explain;

namespace {

bool WellFormedUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                                                 : lead >= 0xF0 && lead < 0xF5           ? 4
                                                                                                         : 0;
        if (length == 0 || i + length > text.size()) {
            return false;
        }
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
                return false;
            }
        }
        i += length;
    }
    return true;
}

std::size_t Utf16Units(std::string_view text) {
    std::size_t units = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        units += ((byte & 0xC0) != 0x80) + (byte >= 0xF0);
    }
    return units;
}

bool Inside(const Figure& figure, Point p, double margin) {
    return std::isfinite(p.x) && std::isfinite(p.y) && p.x >= -margin && p.y >= -margin &&
           p.x <= figure.width + margin && p.y <= figure.height + margin;
}

void CheckShapes(const Figure& figure, const std::vector<Shape>& shapes, std::size_t steps) {
    for (const Shape& shape : shapes) {
        FUZZ_CHECK(Inside(figure, shape.at, 0) && WellFormedUtf8(shape.text));
        FUZZ_CHECK(shape.step == kNoStep || shape.step < steps);
        FUZZ_CHECK(shape.first + shape.count <= figure.points.size());
        FUZZ_CHECK(std::isfinite(shape.radius) && std::isfinite(shape.start) && std::isfinite(shape.sweep));
        if (shape.kind == ShapeKind::kLine || shape.kind == ShapeKind::kArc) {
            FUZZ_CHECK(Inside(figure, shape.to, 0));
        }
    }
}

void CheckFigure(const Document& document, const Figure& figure) {
    const std::size_t steps = document.steps.size();
    FUZZ_CHECK(figure.width > 0 && figure.height > 0 && WellFormedUtf8(figure.alt));
    FUZZ_CHECK(figure.remainderAt.size() == steps && figure.digitAt.size() == steps);
    for (const Point& p : figure.points) {
        FUZZ_CHECK(Inside(figure, p, 0));
    }
    CheckShapes(figure, figure.shapes, steps);
    for (std::size_t i = 0; i < figure.hits.size(); ++i) {
        const Hit& hit = figure.hits[i];
        FUZZ_CHECK(hit.step < steps);
        if (i < 8 || i + 8 >= figure.hits.size()) {  // a click is a scan of all of them
            FUZZ_CHECK(StepAt(figure, hit.at) != kNoStep);
        }
    }
    for (const std::size_t step : {std::size_t{0}, steps / 2, steps - 1, steps}) {
        CheckShapes(figure, Selection(figure, document, step), steps);
    }
    FUZZ_CHECK(StepAt(figure, {-1e9, 1e9}) == kNoStep);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t split = static_cast<std::size_t>(std::find(data, data + size, 0) - data);
    const std::u32string numerator = fuzz::Text(data, split);
    const std::u32string denominator =
        split < size ? fuzz::Text(data + split + 1, size - split - 1) : std::u32string();
    const Document document = Explain(CalculatedFraction{numerator, denominator});

    FUZZ_CHECK(!document.title.empty() && WellFormedUtf8(document.title));
    for (const Block& block : document.blocks) {
        FUZZ_CHECK(WellFormedUtf8(block.text));
        for (const std::string& line : block.lines) {
            FUZZ_CHECK(WellFormedUtf8(line));
        }
    }
    const Facts& facts = document.facts;
    if (!document.steps.empty()) {
        FUZZ_CHECK(document.divisor >= 2);
        FUZZ_CHECK(document.steps.size() ==
                   facts.prePeriod + facts.period + (facts.kind == Kind::kPeriodic ? 1 : 0));
    }
    for (std::size_t i = 0; i < document.steps.size(); ++i) {
        const Step& step = document.steps[i];
        FUZZ_CHECK(step.digit >= 0 && step.digit <= 9);
        FUZZ_CHECK(step.next >= 0 && step.next < document.divisor);
        FUZZ_CHECK(step.remainder * 10 == step.digit * document.divisor + step.next);
        FUZZ_CHECK(i + 1 == document.steps.size() || step.next == document.steps[i + 1].remainder);
        FUZZ_CHECK(WellFormedUtf8(StepText(document, i)));
    }
    FUZZ_CHECK(StepText(document, document.steps.size()).empty());

    for (const Figure& figure : document.figures) {
        CheckFigure(document, figure);
    }
    for (const Block& block : document.blocks) {
        FUZZ_CHECK(block.kind != BlockKind::kFigure || block.figure < document.figures.size());
        FUZZ_CHECK(block.lineSteps.size() == (block.kind == BlockKind::kNotebook ? block.lines.size() : 0));
        for (const std::size_t step : block.lineSteps) {
            FUZZ_CHECK(step == kNoStep || step < document.steps.size());
        }
        for (const Span& span : block.raised) {
            FUZZ_CHECK(span.from < span.to && span.to <= block.text.size());
        }
    }
    FUZZ_CHECK(document.lead <= document.blocks.size());
    PlainText(document, nullptr, {.raised = true, .apart = true});

    std::vector<TextRange> ranges;
    const std::string plain = PlainText(document, &ranges);
    FUZZ_CHECK(WellFormedUtf8(plain));
    FUZZ_CHECK(ranges.size() == document.blocks.size() + 1);
    std::size_t at = 0;
    for (const TextRange& range : ranges) {
        FUZZ_CHECK(range.from >= at && range.from <= range.to);
        at = range.to;
    }
    FUZZ_CHECK(at <= Utf16Units(plain));
    return 0;
}
