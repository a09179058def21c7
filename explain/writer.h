// The writer of the explanation's sentences: one method a section, each
// appending its heading and blocks to the document. The sections live in
// sentences_*.cpp by subject. Internal to explain/.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "explain.h"
#include "facts.h"
#include "text.h"

namespace zelvane::explain::detail {

class Writer {
public:
    Writer(Analysis& analysis, Document& document) : a_(analysis), f_(analysis.facts), doc_(document) {}

    void Write();

private:
    void Heading(std::string text) { doc_.blocks.push_back({BlockKind::kHeading, std::move(text), {}}); }
    void Paragraph(std::string text) { doc_.blocks.push_back({BlockKind::kParagraph, std::move(text), {}}); }
    void Notation(std::string text) { doc_.blocks.push_back({BlockKind::kNotation, std::move(text), {}}); }
    void Lines(std::vector<std::string> lines) { doc_.blocks.push_back({BlockKind::kLines, {}, std::move(lines)}); }

    std::string Reduced() const { return Cat(f_.reducedNumerator, "/", f_.reducedDenominator); }
    std::string_view Period() const { return std::string_view(a_.digits).substr(f_.prePeriod); }
    std::string RemainderList(size_t first, size_t count, size_t shown) const;

    void NotNatural();
    void Fraction();
    void Decimal();
    void PrePeriodAndPeriod();
    void Division();
    void WindowLine();
    void Nines();
    void Halves();
    void Thirds();
    void WindowVerdict();

    Analysis& a_;
    const Facts& f_;
    Document& doc_;
};

// n as a product of primes: "3 · 11", "2^3 · 5".
std::string FactorText(uint64_t n);

}  // namespace zelvane::explain::detail
