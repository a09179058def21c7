// The explain view: for the fraction of the last successful Calculate, the
// whole decimal with its pre-period and period, the long division step by
// step, where the window's 16 digits and its groups sit, and why the halves
// (and thirds) of the period add up to nines. Standard library only, exact
// integer arithmetic throughout.
//
// The result is a toolkit-free Document. The front ends render it as it is
// and write no sentence or rule of their own:
//
//   title    the view's caption: "Обяснение: 1/17", or "Обяснение" before
//            any calculation.
//   blocks   in reading order. The first `lead` of them answer at a glance
//            (the notation, the wheel, the halves' sum with its reason):
//            show them first, where they are seen without scrolling.
//            kHeading    a section heading (text);
//            kParagraph  one paragraph (text, no line breaks; wrap freely);
//            kNotation   one formula line such as "1/7 = 0,(142857)" or
//                        "142 + 857 = 999" (text; show it on a line of its
//                        own, set off from the paragraphs);
//            kLines      preformatted lines (lines; a fixed-pitch font, one
//                        per line, not wrapped): long periods and sums in
//                        groups of ten digits, the window's text, the table
//                        of the six group checks;
//            kSteps      stands where the long division's rows go: one row
//                        per entry of `steps`, its text from StepText. There
//                        is at most one kSteps block. Its text says where
//                        the rows are for a front end that shows them apart.
//            kFigure     a figure (figures[figure], see figure.h); two
//                        figure blocks in a row are one figure with a
//                        switch between them (halves and thirds);
//            kNotebook   the division as pupils write it in their
//                        notebooks (lines, fixed-pitch, not wrapped, the
//                        columns aligned); lineSteps gives each line's step.
//            Texts of headings, paragraphs and notations may hold raised
//            runs (`raised`): the exponents of powers, as in 10⁶.
//   steps    the long division of the reduced fraction r′/d′, one entry per
//            step: remainder · 10 = digit · divisor + next.
//   divisor  d′, the divisor of every step.
//   facts    the numbers behind the text, for tests and for front ends that
//            want them (nothing needs them to render the document).
//
// All texts are UTF-8 and Bulgarian. Times is "·", minus "−", congruences
// "≡ … (mod m)"; in plain text a power is written 10^6.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "figure.h"
#include "form_state.h"

namespace zelvane::explain {

// Periods longer than this are not written out; the document then gives
// their length in one sentence instead of the digits and the steps.
inline constexpr std::size_t kMaxPeriodDigits = 100000;

// One step of the long division: remainder · 10 = digit · divisor + next.
// `repeats` is 0, or the 1-based number of the earlier step whose remainder
// this step's remainder repeats (only the last step of a periodic decimal
// has one).
struct Step {
    std::int64_t remainder;
    int digit;
    std::int64_t next;
    std::size_t repeats;
};

enum class BlockKind { kHeading, kParagraph, kNotation, kLines, kSteps, kFigure, kNotebook };

// A run of a block's text, in bytes.
struct Span {
    std::size_t from, to;
};

struct Block {
    BlockKind kind = BlockKind::kParagraph;
    std::string text;                     // kHeading, kParagraph, kNotation, kSteps
    std::vector<std::string> lines;       // kLines, kNotebook
    std::vector<Span> raised;             // of text: the runs set raised
    std::vector<std::size_t> lineSteps;   // kNotebook: each line's step, or kNoStep
    std::size_t figure = 0;               // kFigure: its index in Document::figures
    // The lead's notation: where each step's digit stands in text, in UTF-16
    // units, or kNoStep where the notation leaves it out.
    std::vector<std::size_t> stepDigits;
};

enum class Kind {
    kNoCalculation,  // fresh or cleared form: the document says what to do first
    kNotNatural,     // a short note only: the explanation covers natural numbers
    kZero,           // the remainder is 0: the decimal is 0
    kTerminating,    // a finite decimal (m = 1)
    kPeriodic,       // a periodic decimal, written out in full
    kTooLong,        // a periodic decimal whose period exceeds kMaxPeriodDigits
};

// What the window's matched group check shows: nothing, the two halves of
// the period, or a chance match.
enum class Verdict { kNone, kHalves, kChance };

struct Facts {
    Kind kind = Kind::kNoCalculation;
    bool numeratorRounded = false;  // a numerator with a fraction, rounded as Calculate rounds it
    // The natural numbers read, n/d = whole + remainder/d, and the reduced
    // remainder fraction r′/d′ = remainder/denominator divided by `common`.
    std::int64_t numerator = 0, denominator = 0, whole = 0, remainder = 0;
    std::int64_t common = 1, reducedNumerator = 0, reducedDenominator = 0;
    // d′ = 2^twos · 5^fives · coprime, coprime not divisible by 2 or 5.
    int twos = 0, fives = 0;
    std::int64_t coprime = 0;
    std::size_t prePeriod = 0;  // max(twos, fives)
    std::size_t period = 0;     // the smallest k with 10^k ≡ 1 (mod coprime); 0 when finite or zero
    // The decimal of r′/d′ in the pupils' notation: "0,(142857)", "0,08(3)",
    // "0,25", "0". A period longer than 60 digits shows its first and last
    // ten digits with "…" between them: "0,(0001003310…8696498445)". Empty
    // for kTooLong.
    std::string notation;
    // The halves' sum A + B (L even) and the thirds' sum A + B + C (L
    // divisible by 3), computed digit by digit, without leading zeros;
    // empty otherwise.
    std::string halvesSum;
    std::string thirdsSum;
    bool halvesNines = false;  // halvesSum is 10^(L/2) − 1
    int thirdsMultiple = 0;    // thirdsSum is 1 or 2 times 10^(L/3) − 1; 0 otherwise
    std::string window;        // the window's expansion text, "0.0" and 16 digits
    int windowCheck = 0;       // the matching group check, 1..6, or 0
    Verdict verdict = Verdict::kNone;
};

struct Document {
    std::string title;
    std::vector<Block> blocks;
    std::size_t lead = 0;
    std::vector<Figure> figures;
    std::vector<Step> steps;
    std::int64_t divisor = 0;
    Facts facts;
};

// The explanation of the form's last successful Calculate
// (FormState::LastCalculation); before any, a one-sentence document that
// says what to do first.
Document Explain(const FormState& form);

// The explanation of a numerator and a denominator text, read as Calculate
// reads them. Any texts are accepted; nothing hangs or throws.
Document Explain(const CalculatedFraction& fraction);

// One step row as text, e.g. "Стъпка 1: 1 · 10 = 1 · 7 + 3 → цифра 1,
// остатък 3"; empty for an index past the last step.
std::string StepText(const Document& document, std::size_t index);

// Where a part of the plain text stands, in UTF-16 units as text controls
// count them, line ends included: the title (kHeading with `title` set) and
// every block, so that a front end can show the plain text and style its
// parts.
struct TextRange {
    BlockKind kind;
    bool title;
    std::size_t from, to;
    bool raised = false;           // a raised run inside the block before it
    std::size_t block = kNoStep;   // the index of its block in Document::blocks (kNoStep: the title)
};

// How PlainText writes the document.
struct TextOptions {
    // Powers as raised runs, each also given as a range with `raised` set
    // (after the range of its block), instead of "10^6".
    bool raised = false;
    // For a front end that shows the lead and the step rows apart from the
    // text: the lead's blocks are left out, and the kSteps block is its text
    // instead of the rows.
    bool apart = false;
};

// All step rows, each ended by '\n': what stands where the kSteps block
// is, in one text.
std::string StepRows(const Document& document);

// The whole document as plain text with '\n' line ends: the title, then the
// blocks (a blank line before each heading and between blocks), the step
// rows in place of the kSteps block. What Ctrl+C copies and what a plain
// text control shows. With `ranges`, also where each part stands.
// A figure block is its text alternative.
std::string PlainText(const Document& document, std::vector<TextRange>* ranges = nullptr, TextOptions options = {});

// Printing, for a handout: an explanation prints whole, but of a long
// division only the first kPrintedSteps rows, unless all are asked for; a
// front end asks first (PrintQuestion) when there are more.
inline constexpr std::size_t kPrintedSteps = 60;
struct PrintQuestion {
    bool ask = false;      // the division has more than kPrintedSteps steps
    std::string question;  // "Деленето има 9967 стъпки — всичките заемат около 170 страници. …"
    std::string few;       // the answer that prints the first kPrintedSteps: "Първите 60"
    std::string all;       // the answer that prints them all: "Всички 9967"
};
PrintQuestion AskBeforePrinting(const Document& document);
// The line that stands after the printed rows when only the first are
// printed ("… и още 9907 стъпки — те са в обяснението на екрана."); empty
// when all of them are.
std::string UnprintedSteps(const Document& document, std::size_t printed);

}  // namespace zelvane::explain
