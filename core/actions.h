// The four actions of the worksheet. Each reads the fields it needs from the
// form at the moment it needs them and writes its results back.
//
// Every action is all-or-nothing: when a value leaves the range the
// arithmetic can carry (a numerator of 9e99, a negative numerator whose
// remainder grows past 32 bits, a group text too large for a double), the
// action is abandoned and the form is left exactly as it was before.
#pragma once

#include "form_state.h"

namespace zelvane {

// Number of long-division steps shown behind "0.".
inline constexpr int kExpansionDigitCount = 17;
// Longest group text that Add parts accepts.
inline constexpr std::size_t kMaxPartLength = 5;

// Empties all six fields and disables Add parts.
void ClearFields(FormState& form);

// Long division of numerator by denominator into the expansion field, then
// the nine-group search; enables Add parts. Does nothing when the
// denominator is below 3.
void CalculateFraction(FormState& form);

// Looks at the start of the expansion for two adjacent groups of three
// digits adding up to 999, or of four digits adding up to 9999, and shows
// the first such pair and its sum; empties the three fields otherwise.
void FindNineGroups(FormState& form);

// Adds the left and right group into the sum field, when both texts are at
// most five characters and both values are at least 1.
void AddParts(FormState& form);

}  // namespace zelvane
