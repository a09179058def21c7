// The explanation of the fraction last calculated as one JSON text for the
// web page, which renders it as it is:
//   {"title": "...", "lead": 4, "stepCount": 7, "inks": {"paper": "#ffffff", ...},
//    "printInks": {...} the same inks on paper,
//    "print": {"printed": 60, "unprinted": "… и още …", "ask": true|false,
//              "question": "...", "few": "...", "all": "..."},
//    "blocks": [
//      {"kind": "heading"|"paragraph"|"notation", "text": "...",
//       "raised": [[from, to], ...],            raised runs, in UTF-16 units
//       "stepDigits": [[step, at, count], ...]},  the lead's notation only:
//                          steps step..step+count-1 have their digits at
//                          at..at+count-1 (UTF-16 units); steps in no run
//                          have no digit in the notation
//      {"kind": "lines", "lines": ["...", ...]},
//      {"kind": "notebook", "lines": [...], "lineSteps": [step or -1, ...]},
//      {"kind": "figure", "figure": 0},
//      {"kind": "steps", "text": "..."}, ...],
//    "figures": [{"name", "width", "height", "alt", "points": [x, y, x, y, ...],
//                 "shapes": [Shape, ...]}, ...]}
// A Shape: {"kind": "circle"|"line"|"polygon"|"polyline"|"arc"|"text",
//   "stroke", "fill": ink names (left out for no ink), "width", "at": [x, y],
//   and by kind "radius", "to", "first"/"count" (into points), "start",
//   "sweep", "from", "text", "size", "bold", "align": "left"|"centre"|"right";
//   "step" unless it belongs to no step}. Figure units, to 1/100.
// Only what the page draws is sent: where a click selects a step and what a
// selected step adds are asked of the module (zelvane_figure_step_at,
// zelvane_figure_selection), which keeps the document. The step rows, up to
// ten thousand of them, come apart as plain text, a chunk at a time as they
// come into sight (zelvane_explanation_rows), with nothing to escape or parse.
#pragma once

#include <cmath>
#include <cstdint>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "description_json.h"
#include "explain.h"

namespace zelvane::web {
namespace json {

// A figure coordinate, to 1/100 of a unit: "12", "-3.5", "101.25".
inline void Real(std::string& out, double value) {
    if (!std::isfinite(value)) {
        out.push_back('0');
        return;
    }
    long long hundredths = std::llround(value * 100);
    if (hundredths < 0) {
        out.push_back('-');
        hundredths = -hundredths;
    }
    out += std::to_string(hundredths / 100);
    const int fraction = static_cast<int>(hundredths % 100);
    if (fraction != 0) {
        out.push_back('.');
        out.push_back(static_cast<char>('0' + fraction / 10));
        if (fraction % 10 != 0) {
            out.push_back(static_cast<char>('0' + fraction % 10));
        }
    }
}

inline void RealValue(std::string& out, std::string_view key, double value) {
    Key(out, key);
    Real(out, value);
}

inline void PointValue(std::string& out, std::string_view key, explain::Point point) {
    Key(out, key);
    out.push_back('[');
    Real(out, point.x);
    out.push_back(',');
    Real(out, point.y);
    out.push_back(']');
}

// A step index, -1 for none.
inline std::string Step(std::size_t step) {
    return step == explain::kNoStep ? std::string("-1") : std::to_string(step);
}

}  // namespace json

namespace detail {

inline constexpr const char* kInks[] = {"none",   "paper", "text",   "ring",   "remainder", "digit",
                                        "chord",  "chord2", "window", "group", "selection"};

// Where each byte span starts and ends in UTF-16 units of `text`.
inline std::vector<explain::Span> Utf16Spans(std::string_view text, const std::vector<explain::Span>& spans) {
    std::vector<explain::Span> out;
    out.reserve(spans.size());
    std::size_t byte = 0;
    std::size_t units = 0;
    const auto unitsAt = [&](std::size_t to) {
        if (to < byte) {  // spans out of order: count again from the start
            byte = 0;
            units = 0;
        }
        for (; byte < to && byte < text.size(); ++byte) {
            const auto c = static_cast<unsigned char>(text[byte]);
            units += ((c & 0xC0) != 0x80) + (c >= 0xF0);
        }
        return units;
    };
    for (const explain::Span& span : spans) {
        const std::size_t from = unitsAt(span.from);
        out.push_back({from, unitsAt(span.to)});
    }
    return out;
}

inline void Shape(std::string& out, const explain::Shape& shape) {
    using namespace json;
    using explain::ShapeKind;
    static constexpr const char* kKinds[] = {"circle", "line", "polygon", "polyline", "arc", "text"};
    static constexpr const char* kAligns[] = {"left", "centre", "right"};
    out.push_back('{');
    TextValue(out, "kind", kKinds[static_cast<int>(shape.kind)]);
    if (shape.stroke != explain::Ink::kNone) {
        TextValue(out, "stroke", kInks[static_cast<int>(shape.stroke)]);
    }
    if (shape.fill != explain::Ink::kNone) {
        TextValue(out, "fill", kInks[static_cast<int>(shape.fill)]);
    }
    if (shape.kind != ShapeKind::kText) {
        RealValue(out, "width", shape.width);
    }
    if (shape.kind != ShapeKind::kPolygon && shape.kind != ShapeKind::kPolyline) {
        PointValue(out, "at", shape.at);
    }
    switch (shape.kind) {
        case ShapeKind::kCircle:
            RealValue(out, "radius", shape.radius);
            break;
        case ShapeKind::kLine:
            PointValue(out, "to", shape.to);
            break;
        case ShapeKind::kPolygon:
        case ShapeKind::kPolyline:
            Key(out, "first");
            out += std::to_string(shape.first);
            Key(out, "count");
            out += std::to_string(shape.count);
            break;
        case ShapeKind::kArc:
            RealValue(out, "radius", shape.radius);
            RealValue(out, "start", shape.start);
            RealValue(out, "sweep", shape.sweep);
            PointValue(out, "from", shape.from);
            PointValue(out, "to", shape.to);
            break;
        case ShapeKind::kText:
            TextValue(out, "text", shape.text);
            RealValue(out, "size", shape.size);
            if (shape.bold) {
                Boolean(out, "bold", true);
            }
            TextValue(out, "align", kAligns[static_cast<int>(shape.align)]);
            break;
    }
    if (shape.step != explain::kNoStep) {
        Key(out, "step");
        out += std::to_string(shape.step);
    }
    out.push_back('}');
}

inline void Shapes(std::string& out, const std::vector<explain::Shape>& shapes) {
    out.push_back('[');
    for (const explain::Shape& shape : shapes) {
        if (out.back() != '[') {
            out.push_back(',');
        }
        Shape(out, shape);
    }
    out.push_back(']');
}

// The notation's digits as runs of consecutive steps at consecutive places.
inline void StepDigits(std::string& out, const std::vector<std::size_t>& digits) {
    json::Key(out, "stepDigits");
    out.push_back('[');
    for (std::size_t step = 0; step < digits.size();) {
        if (digits[step] == explain::kNoStep) {
            ++step;
            continue;
        }
        std::size_t count = 1;
        while (step + count < digits.size() && digits[step + count] != explain::kNoStep &&
               digits[step + count] == digits[step] + count) {
            ++count;
        }
        if (out.back() != '[') {
            out.push_back(',');
        }
        out += '[' + std::to_string(step) + ',' + std::to_string(digits[step]) + ',' + std::to_string(count) + ']';
        step += count;
    }
    out.push_back(']');
}

}  // namespace detail

inline std::string ExplanationJson(const explain::Document& document) {
    using namespace json;
    using explain::BlockKind;
    std::string out = "{";
    TextValue(out, "title", document.title);
    Key(out, "lead");
    out += std::to_string(document.lead);
    Key(out, "stepCount");
    out += std::to_string(document.steps.size());
    for (const bool print : {false, true}) {
        Key(out, print ? "printInks" : "inks");
        out.push_back('{');
        for (int ink = 1; ink < static_cast<int>(std::size(detail::kInks)); ++ink) {
            const explain::Rgb rgb = explain::Colour(static_cast<explain::Ink>(ink), print);
            char hex[8];
            static constexpr char kHex[] = "0123456789abcdef";
            hex[0] = '#';
            const std::uint8_t parts[] = {rgb.red, rgb.green, rgb.blue};
            for (int k = 0; k < 3; ++k) {
                hex[1 + 2 * k] = kHex[parts[k] >> 4];
                hex[2 + 2 * k] = kHex[parts[k] & 0xF];
            }
            hex[7] = '\0';
            TextValue(out, detail::kInks[ink], hex);
        }
        out.push_back('}');
    }
    // Printing: how many step rows print, the line after them when some
    // are left out, and the question to ask first when there are more.
    const explain::PrintQuestion question = explain::AskBeforePrinting(document);
    Key(out, "print");
    out.push_back('{');
    Number(out, "printed", static_cast<int>(explain::kPrintedSteps));
    TextValue(out, "unprinted", explain::UnprintedSteps(document, explain::kPrintedSteps));
    Boolean(out, "ask", question.ask);
    TextValue(out, "question", question.question);
    TextValue(out, "few", question.few);
    TextValue(out, "all", question.all);
    out.push_back('}');
    Objects(out, "blocks", document.blocks, [](std::string& o, const explain::Block& block, std::size_t) {
        static constexpr const char* kKinds[] = {"heading", "paragraph", "notation", "lines", "steps", "figure", "notebook"};
        TextValue(o, "kind", kKinds[static_cast<int>(block.kind)]);
        switch (block.kind) {
            case BlockKind::kLines:
            case BlockKind::kNotebook:
                Array(o, "lines", block.lines,
                      [](std::string& to, const std::string& line, std::size_t) { Text(to, line); });
                if (block.kind == BlockKind::kNotebook) {
                    Array(o, "lineSteps", block.lineSteps,
                          [](std::string& to, std::size_t step, std::size_t) { to += Step(step); });
                }
                break;
            case BlockKind::kFigure:
                Key(o, "figure");
                o += std::to_string(block.figure);
                break;
            default:
                TextValue(o, "text", block.text);
                if (!block.raised.empty()) {
                    Array(o, "raised", detail::Utf16Spans(block.text, block.raised),
                          [](std::string& to, const explain::Span& span, std::size_t) {
                              to += '[' + std::to_string(span.from) + ',' + std::to_string(span.to) + ']';
                          });
                }
                if (!block.stepDigits.empty()) {
                    detail::StepDigits(o, block.stepDigits);
                }
        }
    });
    Objects(out, "figures", document.figures, [](std::string& o, const explain::Figure& figure, std::size_t) {
        TextValue(o, "name", figure.name);
        RealValue(o, "width", figure.width);
        RealValue(o, "height", figure.height);
        TextValue(o, "alt", figure.alt);
        Key(o, "points");
        o.push_back('[');
        for (const explain::Point& point : figure.points) {
            if (o.back() != '[') {
                o.push_back(',');
            }
            Real(o, point.x);
            o.push_back(',');
            Real(o, point.y);
        }
        o.push_back(']');
        Key(o, "shapes");
        detail::Shapes(o, figure.shapes);
    });
    out.push_back('}');
    return out;
}

// What to draw over figure `figure` while `step` is selected, as a JSON
// array of shapes; "[]" for no such figure or step.
inline std::string SelectionJson(const explain::Document& document, std::size_t figure, std::size_t step) {
    std::string out;
    if (figure < document.figures.size()) {
        detail::Shapes(out, explain::Selection(document.figures[figure], document, step));
    } else {
        out = "[]";
    }
    return out;
}

}  // namespace zelvane::web
