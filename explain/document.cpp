// The document as every front end takes it: the explanation's entry points,
// the step rows, and the plain text with the ranges of its parts.
#include <cstring>

#include "writer.h"

namespace zelvane::explain {
namespace {

using detail::Analysis;

// One step row, put together in a small buffer and appended at once: the
// plain text of the longest period holds some ten thousand of them.
void AppendStep(std::string& out, const Document& document, size_t index) {
    const Step& step = document.steps[index];
    char row[320];  // the longest row, with 10-digit numbers, takes under 300 bytes
    char* const end = row + sizeof row;
    char* at = row;
    auto text = [&](std::string_view piece) {
        const size_t count = std::min(piece.size(), static_cast<size_t>(end - at));
        std::memcpy(at, piece.data(), count);
        at += count;
    };
    auto number = [&](int64_t value) { at = std::to_chars(at, end, value).ptr; };
    text("Стъпка ");
    number(static_cast<int64_t>(index + 1));
    text(": ");
    number(step.remainder);
    text(" · 10 = ");
    number(step.digit);
    text(" · ");
    number(document.divisor);
    text(" + ");
    number(step.next);
    text(" → цифра ");
    number(step.digit);
    text(", остатък ");
    number(step.next);
    if (step.repeats != 0) {
        text(" — остатъкът ");
        number(step.remainder);
        text(" е същият като на стъпка ");
        number(static_cast<int64_t>(step.repeats));
        text(": оттук цифрите се повтарят");
    } else if (step.next == 0) {
        text(": деленето свършва");
    }
    out.append(row, at);
}

}  // namespace

Document Explain(const FormState& form) {
    if (!form.LastCalculation()) {
        Document document;
        document.title = "Обяснение";
        Block& block = document.blocks.emplace_back();
        block.kind = BlockKind::kParagraph;
        block.text = "Въведете числител и знаменател и натиснете „Изчисли“ — тогава тук ще се появи обяснение на дробта.";
        return document;
    }
    return Explain(*form.LastCalculation());
}

Document Explain(const CalculatedFraction& fraction) {
    Analysis analysis = detail::Analyze(fraction);
    Document document;
    detail::Writer(analysis, document).Write();
    document.divisor = analysis.facts.reducedDenominator;
    document.steps = std::move(analysis.steps);
    document.facts = std::move(analysis.facts);
    return document;
}

std::string StepText(const Document& document, std::size_t index) {
    std::string text;
    if (index < document.steps.size()) {
        AppendStep(text, document, index);
    }
    return text;
}

namespace {

void AppendStepRows(std::string& out, const Document& document) {
    for (std::size_t i = 0; i < document.steps.size(); ++i) {
        AppendStep(out, document, i);
        out += '\n';
    }
}

}  // namespace

PrintQuestion AskBeforePrinting(const Document& document) {
    PrintQuestion question;
    const std::size_t steps = document.steps.size();
    if (steps <= kPrintedSteps) {
        return question;
    }
    // About fifty rows of steps fit on an A4 page.
    const std::size_t pages = (steps + 49) / 50;
    question.ask = true;
    question.question = detail::Cat("Деленето има ", detail::Steps(steps), " — всичките заемат около ", pages,
                                    " страници. Да се отпечатат ли само първите ", kPrintedSteps, "?");
    question.few = detail::Cat("Първите ", kPrintedSteps);
    question.all = detail::Cat("Всички ", steps);
    return question;
}

std::string UnprintedSteps(const Document& document, std::size_t printed) {
    const std::size_t steps = document.steps.size();
    if (printed >= steps) {
        return {};
    }
    return detail::Cat("… и още ", detail::Steps(steps - printed), " — те са в обяснението на екрана.");
}

std::string StepRows(const Document& document) {
    std::string rows;
    rows.reserve(document.steps.size() * 100);
    AppendStepRows(rows, document);
    return rows;
}

std::string PlainText(const Document& document, std::vector<TextRange>* ranges, TextOptions options) {
    std::size_t size = document.title.size() + 1 + (options.apart ? 0 : document.steps.size() * 100);
    for (const Block& block : document.blocks) {
        size += block.text.size() + 2 + block.raised.size();
        for (const std::string& line : block.lines) {
            size += line.size() + 1;
        }
    }
    std::string text;
    text.reserve(size);
    // UTF-16 units of the text so far, counted as parts are finished.
    std::size_t counted = 0;
    std::size_t units = 0;
    const auto unitsSoFar = [&] {
        for (; counted < text.size(); ++counted) {
            const auto byte = static_cast<unsigned char>(text[counted]);
            units += (byte & 0xC0) != 0x80;  // one unit a character ...
            units += byte >= 0xF0;           // ... two outside the BMP
        }
        return units;
    };
    const auto part = [&](BlockKind kind, bool title, std::size_t from, std::size_t index) {
        if (ranges) {
            ranges->push_back({kind, title, from, unitsSoFar(), false, index});
        }
    };
    text += document.title;
    text += '\n';
    part(BlockKind::kHeading, true, 0, kNoStep);
    bool afterHeading = false;
    std::vector<TextRange> raised;
    for (std::size_t index = options.apart ? document.lead : 0; index < document.blocks.size(); ++index) {
        const Block& block = document.blocks[index];
        if (!afterHeading) {
            text += '\n';
        }
        afterHeading = block.kind == BlockKind::kHeading;
        const std::size_t from = ranges ? unitsSoFar() : 0;
        raised.clear();
        switch (block.kind) {
            case BlockKind::kHeading:
            case BlockKind::kParagraph:
            case BlockKind::kNotation: {
                std::size_t at = 0;
                for (const Span& span : block.raised) {
                    text.append(block.text, at, span.from - at);
                    if (!options.raised) {
                        text += '^';
                    }
                    const std::size_t start = ranges ? unitsSoFar() : 0;
                    text.append(block.text, span.from, span.to - span.from);
                    if (ranges && options.raised) {
                        raised.push_back({block.kind, false, start, unitsSoFar(), true, index});
                    }
                    at = span.to;
                }
                text.append(block.text, at);
                text += '\n';
                break;
            }
            case BlockKind::kLines:
            case BlockKind::kNotebook:
                for (const std::string& line : block.lines) {
                    text += line;
                    text += '\n';
                }
                break;
            case BlockKind::kSteps:
                if (options.apart) {
                    text += block.text;
                    text += '\n';
                } else {
                    AppendStepRows(text, document);
                }
                break;
            case BlockKind::kFigure:
                text += document.figures[block.figure].alt;
                text += '\n';
                break;
        }
        part(block.kind, false, from, index);
        if (ranges) {
            ranges->insert(ranges->end(), raised.begin(), raised.end());
        }
    }
    return text;
}

}  // namespace zelvane::explain
