// Fuzzes whole sessions at the worksheet: random typing into the four
// editable fields (the numerator and denominator limited to four characters,
// as the window limits them) and random clicks, checking after every step:
// - Add parts is available exactly between a successful calculation and the
//   next Clear;
// - no action but Clear changes the numerator or the denominator;
// - a successful calculation's text starts with "0." followed by quotient
//   texts, and for whole fractions equals exact long division;
// - an action that does not succeed changes nothing;
// - Add parts changes the sum field alone, to the sum of the two parts.
#include <cmath>

#include "actions.h"
#include "fuzz_support.h"
#include "number_text.h"
#include "reference_expansion.h"

using namespace zelvane;

namespace {

constexpr int kEditable[] = {kDenominator, kLeftGroup, kRightGroup, kNumerator};

// Characters that make numbers interesting, picked by the low bits of a byte.
char32_t Typed(std::uint8_t byte) {
    static constexpr char32_t kAlphabet[] = U"0123456789012345678.-+eEdD&HhOo ,\tx9";
    constexpr std::size_t count = sizeof kAlphabet / sizeof kAlphabet[0] - 1;
    return byte & 0x80 ? fuzz::Character(byte) : kAlphabet[byte % count];
}

bool Parses(const std::u32string& text, double& value) {
    try {
        value = ParseLeadingNumber(text);
        return true;
    } catch (const NumericFault&) {
        return false;
    }
}

bool IsWhole(double x, double limit) { return x >= 0 && x <= limit && x == std::floor(x); }

void CheckCalculation(const FormState& before, const FormState& after) {
    FUZZ_CHECK(after.Text2(kNumerator) == before.Text2(kNumerator));
    FUZZ_CHECK(after.Text2(kDenominator) == before.Text2(kDenominator));
    double numerator = 0;
    double denominator = 0;
    if (!Parses(before.Text2(kNumerator), numerator) || !Parses(before.Text2(kDenominator), denominator) ||
        denominator < 3) {
        FUZZ_CHECK(after == before);
        return;
    }
    if (IsWhole(numerator, 2147483647.0) && IsWhole(denominator, 99999999.0)) {
        const reference::Expected want =
            reference::ExpectedFor(static_cast<long>(numerator), static_cast<long>(denominator));
        FUZZ_CHECK(reference::SameText(after.Text2(kExpansion), want.expansion));
        FUZZ_CHECK(reference::SameText(after.Text2(kLeftGroup), want.left));
        FUZZ_CHECK(reference::SameText(after.Text2(kRightGroup), want.right));
        FUZZ_CHECK(reference::SameText(after.Text2(kSum), want.sum));
        FUZZ_CHECK(after.Command1Enabled(kAddPartsButton));
        return;
    }
    if (numerator < 0 && std::fabs(numerator) < 2e9 && std::fabs(denominator) < 2e9 &&
        RoundToInt32(numerator) % RoundToInt32(denominator) != 0) {
        // The remainder is negative and grows past 32 bits: abandoned.
        FUZZ_CHECK(after == before);
        return;
    }
    if (after == before) {
        return;  // abandoned, or the same calculation again
    }
    const std::u32string& expansion = after.Text2(kExpansion);
    FUZZ_CHECK(expansion.size() >= 2 + kExpansionDigitCount && expansion.compare(0, 2, U"0.") == 0);
    for (std::size_t i = 2; i < expansion.size(); ++i) {
        FUZZ_CHECK((expansion[i] >= U'0' && expansion[i] <= U'9') || expansion[i] == U'-');
    }
    FUZZ_CHECK(after.Command1Enabled(kAddPartsButton));
}

void CheckAddParts(const FormState& before, const FormState& after) {
    FormState sumRestored = after;
    sumRestored.SetText2(kSum, before.Text2(kSum));
    FUZZ_CHECK(sumRestored == before);
    if (after == before) {
        return;
    }
    FUZZ_CHECK(before.Command1Enabled(kAddPartsButton));
    FUZZ_CHECK(before.Text2(kLeftGroup).size() <= kMaxPartLength && before.Text2(kRightGroup).size() <= kMaxPartLength);
    const double left = ParseLeadingNumber(before.Text2(kLeftGroup));
    const double right = RoundToInt32(ParseLeadingNumber(before.Text2(kRightGroup)));
    FUZZ_CHECK(left >= 1 && right >= 1);
    const double sum = ParseLeadingNumber(after.Text2(kSum));
    FUZZ_CHECK(std::fabs(sum - (left + right)) <= 5e-15 * (left + right));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FormState form;
    OnFormLoad(form);
    bool calculatedSinceClear = false;
    std::size_t pos = 0;
    auto next = [&]() -> std::uint8_t { return pos < size ? data[pos++] : 0; };

    while (pos < size) {
        const std::uint8_t op = next();
        const FormState before = form;
        switch (op % 8) {
            case 0:
            case 1:
            case 2:
            case 3: {
                const int field = kEditable[op % 4];
                std::u32string text = (op & 0x10) ? form.Text2(field) : std::u32string{};
                for (int n = next() % 9; n > 0; --n) {
                    text.push_back(Typed(next()));
                }
                if (field == kNumerator || field == kDenominator) {
                    text.resize(std::min<std::size_t>(text.size(), 4));
                }
                form.SetText2(field, text);
                break;
            }
            case 4:
                OnCommandClick(form, kCalculateButton);
                CheckCalculation(before, form);
                calculatedSinceClear = calculatedSinceClear || !(form == before);
                break;
            case 5:
                OnCommandClick(form, kAddPartsButton);
                CheckAddParts(before, form);
                break;
            case 6:
                OnCommandClick(form, kClearButton);
                for (int i = 0; i < kText2Count; ++i) {
                    FUZZ_CHECK(form.Text2(i).empty());
                }
                calculatedSinceClear = false;
                break;
            default: {
                const auto index = static_cast<std::int16_t>(next() | next() << 8);
                if (index < 0 || index > 2) {
                    OnCommandClick(form, index);
                    FUZZ_CHECK(form == before);
                }
                break;
            }
        }
        FUZZ_CHECK(form.Command1Enabled(kAddPartsButton) == calculatedSinceClear);
        FUZZ_CHECK(form.Command1Enabled(kCalculateButton) && form.Command1Enabled(kClearButton));
    }
    return 0;
}
