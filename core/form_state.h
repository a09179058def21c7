// The state of the single window as the logic sees it: the six text fields
// of the Text2 array, the availability of the Add-parts button, and the
// numerator and denominator texts of the last successful calculation (what
// the explain view explains). Nothing else survives from one event to the
// next.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace zelvane {

// Roles of the Text2 fields, by index.
enum Text2Index : int {
    kDenominator = 0,
    kExpansion = 1,
    kLeftGroup = 2,
    kRightGroup = 3,
    kSum = 4,
    kNumerator = 5,
};
inline constexpr int kText2Count = 6;

// Indices of the Command1 buttons.
enum Command1Index : int {
    kCalculateButton = 0,
    kAddPartsButton = 1,
    kClearButton = 2,
};
inline constexpr int kCommand1Count = 3;

// The numerator and denominator texts exactly as a Calculate that ran to its
// end read them (the fields may have been edited since).
struct CalculatedFraction {
    std::u32string numerator;
    std::u32string denominator;

    friend bool operator==(const CalculatedFraction&, const CalculatedFraction&) = default;
};

class FormState {
public:
    // Text of Text2(index); index must be 0..5.
    const std::u32string& Text2(int index) const;
    // Replaces the whole text of Text2(index).
    void SetText2(int index, std::u32string text);

    // Whether Command1(index) can be clicked. Only the Add-parts button
    // ever changes; Calculate and Clear are always available.
    bool Command1Enabled(int index) const;
    void SetCommand1Enabled(int index, bool enabled);

    // The fraction of the last Calculate that ran to its end; empty at start
    // and after Clear. A refused or abandoned Calculate leaves it as it was.
    const std::optional<CalculatedFraction>& LastCalculation() const { return lastCalculation_; }
    void SetLastCalculation(std::optional<CalculatedFraction> fraction) { lastCalculation_ = std::move(fraction); }

    friend bool operator==(const FormState&, const FormState&) = default;

private:
    std::array<std::u32string, kText2Count> text2_{};
    bool addPartsEnabled_ = false;
    std::optional<CalculatedFraction> lastCalculation_;
};

// The form's Load event: clears every field and disables Add parts.
void OnFormLoad(FormState& form);

// A click on Command1(index): 0 calculates, 1 adds the parts, 2 clears.
// Any other index does nothing, and so does a click on Add parts while it
// is unavailable (a disabled button raises no click).
void OnCommandClick(FormState& form, std::int16_t index);

}  // namespace zelvane
