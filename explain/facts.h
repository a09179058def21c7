// The fraction's facts behind the explanation: the two texts read as
// Calculate reads them, the whole part and the reduction, d′ = 2^a · 5^b · m,
// the pre-period, the period and its length, the steps of the long division,
// the halves' and thirds' sums and the window's verdict. Numbers only: no
// sentence is written here. Internal to explain/.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "actions.h"
#include "explain.h"

namespace zelvane::explain::detail {

using std::int64_t;
using std::size_t;
using std::uint64_t;

inline constexpr int64_t kInt32Max = 2147483647;
// Up to this many period digits the notation is written out whole.
inline constexpr size_t kNotationDigits = 60;
// The window's text: "0.0" and then 16 digits of the fraction.
inline constexpr size_t kWindowDigits = 16;
inline constexpr size_t kWindowLength = 3 + kWindowDigits;

// Why a fraction is not explained: which of its two numbers is not natural.
enum class Refusal { kNone, kTooLarge, kDenominatorFraction, kDenominatorSmall, kDenominatorLarge,
                     kNumeratorNegative, kNumeratorLarge };


// The fraction as read and worked out.
struct Analysis {
    Facts facts;
    Refusal refusal = Refusal::kNone;
    std::string numeratorText, denominatorText;  // the numbers as read, for the text
    std::vector<Step> steps;
    std::string digits;  // after the comma: pre-period and one period, or the finite digits
    int64_t scale = 1;   // d′ / m: every remainder in the period is a multiple of it
};

// Reads the fraction and works out everything the explanation tells.
Analysis Analyze(const CalculatedFraction& fraction);

// base^exponent mod modulus; modulus below 2^32, so products fit 64 bits.
uint64_t PowMod(uint64_t base, uint64_t exponent, uint64_t modulus);
// The prime factors of n with their exponents, smallest first.
std::vector<std::pair<uint64_t, int>> Factorize(uint64_t n);
// Whether n is a prime.
bool IsPrime(uint64_t n);
// The sum of decimal digit strings, written without leading zeros.
std::string AddDecimal(std::initializer_list<std::string_view> terms);
std::string WithoutLeadingZeros(std::string_view digits);
// The first window position (1-based) from which the window's digit string
// repeats with the period: the period's start, or 3 when the window's
// leading 0 equals the last digit of the period it stands for.
size_t RepeatStart(const Analysis& a);

}  // namespace zelvane::explain::detail
