#include "actions.h"

#include <array>
#include <string_view>

#include "number_text.h"

namespace zelvane {
namespace {

// Runs one action on a working copy of the form and keeps the result only
// when the action ran to its end. An arithmetic fault part-way (a value out
// of range) throws away the copy, so the form never shows half an answer.
template <typename Action>
void RunAtomically(FormState& form, Action action) {
    FormState work = form;
    try {
        action(work);
    } catch (const NumericFault&) {
        return;
    }
    form = std::move(work);
}

// Characters position .. position+length-1 (1-based) of a text, cut short
// where the text ends; empty when the position lies beyond the end.
std::u32string_view SubString(std::u32string_view text, std::size_t position, std::size_t length) {
    if (position > text.size()) {
        return {};
    }
    return text.substr(position - 1, length);
}

void Clear(FormState& form) {
    for (int i = 0; i < kText2Count; ++i) {
        form.SetText2(i, {});
    }
    form.SetCommand1Enabled(kAddPartsButton, false);
    form.SetLastCalculation(std::nullopt);
}

void FindGroups(FormState& form) {
    form.SetText2(kLeftGroup, {});
    form.SetText2(kRightGroup, {});
    form.SetText2(kSum, {});
    const std::u32string& expansion = form.Text2(kExpansion);
    const int row = MatchingGroupCheck(expansion);
    if (row == 0) {
        return;
    }
    const GroupCheck& check = kGroupChecks[static_cast<std::size_t>(row - 1)];
    // The groups keep their leading zeros: they are shown as cut.
    std::u32string left(SubString(expansion, check.leftPosition, check.length));
    std::u32string right(SubString(expansion, check.rightPosition, check.length));
    form.SetText2(kLeftGroup, std::move(left));
    form.SetText2(kRightGroup, std::move(right));
    form.SetText2(kSum, std::u32string(check.sumText));
}

void Calculate(FormState& form) {
    const double numerator = ParseLeadingNumber(form.Text2(kNumerator));
    const double denominator = ParseLeadingNumber(form.Text2(kDenominator));
    if (denominator < 3) {
        return;
    }
    // The whole part is discarded. The remainder starts as an integer and
    // turns fractional when the denominator has a fraction: the integer
    // operations round the denominator while the subtraction uses it as
    // typed. Every value reached before a rounding fault is exact in a
    // double, so a double carries both kinds.
    double remainder = IntegerRemainder(numerator, denominator);
    form.SetText2(kExpansion, U"0.");
    for (int step = 1; step <= kExpansionDigitCount; ++step) {
        const std::int32_t quotient = IntegerQuotient(remainder, denominator);
        if (quotient > 0) {
            remainder = remainder - denominator * quotient;
        }
        form.SetText2(kExpansion, form.Text2(kExpansion) + FormatNumber(quotient));
        remainder = remainder * 10;
    }
    FindGroups(form);
    form.SetCommand1Enabled(kAddPartsButton, true);
    form.SetLastCalculation(CalculatedFraction{form.Text2(kNumerator), form.Text2(kDenominator)});
}

void Add(FormState& form) {
    if (form.Text2(kLeftGroup).size() > kMaxPartLength || form.Text2(kRightGroup).size() > kMaxPartLength) {
        return;
    }
    // The left part keeps its fraction; the right part is rounded first.
    const double left = ParseLeadingNumber(form.Text2(kLeftGroup));
    const std::int32_t right = RoundToInt32(ParseLeadingNumber(form.Text2(kRightGroup)));
    if (left < 1 || right < 1) {
        return;
    }
    form.SetText2(kSum, FormatNumber(left + right));
}

}  // namespace

int MatchingGroupCheck(std::u32string_view expansion) {
    for (std::size_t row = 0; row < kGroupChecks.size(); ++row) {
        const GroupCheck& check = kGroupChecks[row];
        const double left = ParseLeadingNumber(SubString(expansion, check.leftPosition, check.length));
        const double right = ParseLeadingNumber(SubString(expansion, check.rightPosition, check.length));
        if (left + right == check.target) {
            return static_cast<int>(row + 1);
        }
    }
    return 0;
}

void ClearFields(FormState& form) { RunAtomically(form, Clear); }
void CalculateFraction(FormState& form) { RunAtomically(form, Calculate); }
void FindNineGroups(FormState& form) { RunAtomically(form, FindGroups); }
void AddParts(FormState& form) { RunAtomically(form, Add); }

}  // namespace zelvane
