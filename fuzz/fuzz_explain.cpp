// Fuzzes the explanation with any two texts for the numerator and the
// denominator (split at the input's first NUL byte), and walks the whole
// document, checking:
// - every text is well-formed UTF-8;
// - each step is remainder · 10 = digit · divisor + next, with a digit 0..9
//   and 0 ≤ next < divisor, and the steps are as many as the pre-period and
//   the period (and one more, which repeats, for a periodic decimal);
// - the plain text's ranges follow each other inside the text.
#include <algorithm>
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
