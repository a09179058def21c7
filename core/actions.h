// The four actions of the worksheet. Each reads the fields it needs from the
// form at the moment it needs them and writes its results back.
//
// Every action is all-or-nothing: when a value leaves the range the
// arithmetic can carry (a numerator of 9e99, a negative numerator whose
// remainder grows past 32 bits, a group text too large for a double), the
// action is abandoned and the form is left exactly as it was before.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "form_state.h"

namespace zelvane {

// Number of long-division steps shown behind "0.".
inline constexpr int kExpansionDigitCount = 17;
// Longest group text that Add parts accepts.
inline constexpr std::size_t kMaxPartLength = 5;

// One check of the nine-group search: two adjacent groups of `length`
// characters from the 1-based positions `leftPosition` and `rightPosition`
// of the expansion text, whose values must add up to `target`; `sumText` is
// what the sum field then shows. Position 3 is the first character after
// "0.".
struct GroupCheck {
    std::size_t length;
    std::size_t leftPosition;
    std::size_t rightPosition;
    double target;
    std::u32string_view sumText;
};

// The checks in the order they are tried; three-digit pairs win over
// four-digit ones.
inline constexpr std::array<GroupCheck, 6> kGroupChecks{{
    {3, 3, 6, 999, U"999"},
    {3, 4, 7, 999, U"999"},
    {3, 5, 8, 999, U"999"},
    {4, 3, 7, 9999, U"9999"},
    {4, 4, 8, 9999, U"9999"},
    {4, 5, 9, 9999, U"9999"},
}};

// The first check (1..6, counting the rows of kGroupChecks) whose two groups
// of the expansion text add up to its target, or 0 when none does. A group
// is cut short where the text ends and is empty beyond it; groups are read
// with ParseLeadingNumber, so "076" counts as 76 and an empty group as 0.
// Throws NumericFault only for a group too large for a double.
int MatchingGroupCheck(std::u32string_view expansion);

// Empties all six fields, disables Add parts and forgets the last
// calculation.
void ClearFields(FormState& form);

// Long division of numerator by denominator into the expansion field, then
// the nine-group search; enables Add parts and remembers the two texts it
// read as the last calculation. Does nothing when the denominator is below
// 3.
void CalculateFraction(FormState& form);

// Looks at the start of the expansion for two adjacent groups of three
// digits adding up to 999, or of four digits adding up to 9999 (the first
// row MatchingGroupCheck finds), and shows that pair and its sum; empties
// the three fields otherwise.
void FindNineGroups(FormState& form);

// Adds the left and right group into the sum field, when both texts are at
// most five characters and both values are at least 1.
void AddParts(FormState& form);

}  // namespace zelvane
