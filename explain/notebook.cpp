// The long division as pupils write it in their notebooks:
//
//   1 : 7 = 0,(142857)
//   10
//   −7
//    30
//   −28
//     …
//
// Under the dividend, each product to subtract and the next dividend, one
// column further right for every digit brought down, as on squared paper.
// A step that writes the digit 0 has no row: the next dividend takes
// another 0. The whole part, if any, is divided first, digit by digit.
#include <algorithm>

#include "writer.h"

namespace zelvane::explain::detail {
namespace {

// Up to this many steps the notebook goes down to the remainder that
// repeats; longer divisions show their first kShownSteps.
constexpr size_t kWholeUpTo = 40;
constexpr size_t kShownSteps = 20;

struct Row {
    std::string text;
    long long right;  // the column of its last character
    size_t step;
    std::string note;
};

size_t Characters(std::string_view text) {
    size_t count = 0;
    for (const char c : text) {
        count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return count;
}

}  // namespace

Block Notebook(const Analysis& a, const std::vector<Step>& steps) {
    const Facts& f = a.facts;
    const int64_t d = f.denominator;
    const std::string dividend = Cat(f.numerator);
    const long long last = static_cast<long long>(dividend.size()) - 1;
    std::vector<Row> rows;

    // The whole part: the first digits that make a number not smaller than
    // the divisor, then one digit brought down at a time.
    if (f.whole > 0) {
        size_t next = 0;
        int64_t part = 0;
        while (part < d && next < dividend.size()) {
            part = part * 10 + (dividend[next++] - '0');
        }
        bool first = true;
        while (true) {
            if (!first) {
                rows.push_back({Cat(part), static_cast<long long>(next) - 1, kNoStep, {}});
            }
            first = false;
            const int64_t product = part / d * d;
            rows.push_back({Cat("−", product), static_cast<long long>(next) - 1, kNoStep, {}});
            part -= product;
            if (next == dividend.size()) {
                break;
            }
            do {
                part = part * 10 + (dividend[next++] - '0');
            } while (part < d && next < dividend.size());
            if (part < d) {
                break;  // the last digits brought down are the remainder
            }
        }
    }

    // The digits after the comma: step k's dividend stands one column
    // further right than the one before. Remainders are the reduced
    // fraction's, times the common divisor.
    const int64_t scale = f.common;
    const size_t count = steps.size();
    const bool whole = count <= kWholeUpTo;
    const size_t shown = whole ? count : kShownSteps;
    for (size_t k = 0; k < shown; ++k) {
        const Step& step = steps[k];
        const long long column = last + 1 + static_cast<long long>(k);
        const int64_t value = step.remainder * scale * 10;
        if (step.repeats != 0) {
            rows.push_back({Cat(value), column, k,
                            Cat("← същото делимо като на стъпка ", step.repeats, ": оттук цифрите се повтарят")});
            break;
        }
        if (step.digit == 0) {
            continue;  // the next dividend takes another 0
        }
        rows.push_back({Cat(value), column, k, {}});
        rows.push_back({Cat("−", static_cast<int64_t>(step.digit) * d), column, k, {}});
        if (step.next == 0) {
            rows.push_back({"0", column, k, "← остатък 0: деленето свършва"});
        }
    }
    if (!whole) {
        rows.push_back({"…", last + 1 + static_cast<long long>(shown), kNoStep,
                        Cat("още ", Steps(count - shown), " — в списъка на стъпките")});
    }

    // Columns from the leftmost character on, the notes after the widest row.
    std::string header = Cat(dividend, " : ", d, " = ", f.whole, f.notation.substr(1));
    long long left = 0;
    for (const Row& row : rows) {
        left = std::min(left, row.right + 1 - static_cast<long long>(Characters(row.text)));
    }
    long long noteColumn = 0;
    for (const Row& row : rows) {
        noteColumn = std::max(noteColumn, row.right + 3);
    }
    Block block;
    block.kind = BlockKind::kNotebook;
    block.lines.push_back(std::string(static_cast<size_t>(-left), ' ') + header);
    block.lineSteps.push_back(kNoStep);
    for (const Row& row : rows) {
        const long long start = row.right + 1 - static_cast<long long>(Characters(row.text)) - left;
        std::string line = std::string(static_cast<size_t>(start), ' ') + row.text;
        if (!row.note.empty()) {
            line.append(static_cast<size_t>(noteColumn - row.right - 1), ' ');
            line += row.note;
        }
        block.lines.push_back(std::move(line));
        block.lineSteps.push_back(row.step);
    }
    return block;
}

}  // namespace zelvane::explain::detail
