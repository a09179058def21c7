// The explanation of the fraction last calculated as one JSON text for the
// web page, which renders it as headings, paragraphs and preformatted
// lines:
//   {"title": "...", "blocks": [{"kind": "heading"|"paragraph"|"notation",
//    "text": "..."}, {"kind": "lines", "lines": ["...", ...]},
//    {"kind": "steps"}, ...]}
// The step rows, up to ten thousand of them, come apart as one plain text
// (explain::StepRows), with nothing to escape or parse.
#pragma once

#include <string>

#include "description_json.h"
#include "explain.h"

namespace zelvane::web {

inline std::string ExplanationJson(const explain::Document& document) {
    using namespace json;
    std::string out = "{";
    TextValue(out, "title", document.title);
    Objects(out, "blocks", document.blocks, [](std::string& o, const explain::Block& block, std::size_t) {
        static constexpr const char* kKinds[] = {"heading", "paragraph", "notation", "lines", "steps", "figure", "notebook"};
        TextValue(o, "kind", kKinds[static_cast<int>(block.kind)]);
        if (block.kind == explain::BlockKind::kLines) {
            Array(o, "lines", block.lines,
                  [](std::string& to, const std::string& line, std::size_t) { Text(to, line); });
        } else if (block.kind != explain::BlockKind::kSteps) {
            TextValue(o, "text", block.text);
        }
    });
    out.push_back('}');
    return out;
}

}  // namespace zelvane::web
