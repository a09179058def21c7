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
    // A block of text whose raised runs are marked with kRaise and kLower.
    Block& Text(BlockKind kind, std::string marked);
    void Heading(std::string text) { Text(BlockKind::kHeading, std::move(text)); }
    void Paragraph(std::string text) { Text(BlockKind::kParagraph, std::move(text)); }
    void Notation(std::string text) { Text(BlockKind::kNotation, std::move(text)); }
    void Lines(std::vector<std::string> lines) {
        Block& block = doc_.blocks.emplace_back();
        block.kind = BlockKind::kLines;
        block.lines = std::move(lines);
    }
    void AddFigure(Figure figure) {
        Block& block = doc_.blocks.emplace_back();
        block.kind = BlockKind::kFigure;
        block.figure = doc_.figures.size();
        doc_.figures.push_back(std::move(figure));
    }

    std::string Reduced() const { return Cat(f_.reducedNumerator, "/", f_.reducedDenominator); }
    std::string_view Period() const { return std::string_view(a_.digits).substr(f_.prePeriod); }
    std::string RemainderList(size_t first, size_t count, size_t shown) const;

    void Lead();
    std::string Summary() const;
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

// n as a product of primes: "3 · 11", "2³ · 5" (the exponents raised).
std::string FactorText(uint64_t n);

// The wheel of the remainders (wheel.cpp): with the halves' chords, or
// with the thirds' triangles.
Figure Wheel(const Analysis& analysis, const std::vector<Step>& steps, bool thirds);

// The wheel's text alternative (sentences_wheel.cpp).
std::string WheelAlt(const Facts& facts, const std::vector<Step>& steps, bool thirds);

// The division as written in the notebook (notebook.cpp).
Block Notebook(const Analysis& analysis, const std::vector<Step>& steps);

}  // namespace zelvane::explain::detail
