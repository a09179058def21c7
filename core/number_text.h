// Numeric text conventions of the worksheet: how a field's text becomes a
// number, how numbers are rounded and divided, and how a number is written
// back into a field. The results the pupil sees depend on these rules to the
// last digit, so they are written out here rather than borrowed from the C
// library (whose conversions follow the user's locale).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace zelvane {

// Thrown when a value leaves the range the arithmetic can carry: a number
// too large for a double, a rounding outside the signed 32-bit range, or a
// division by zero. Actions catch it and are abandoned without a trace.
class NumericFault : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the number at the start of a text. Blanks, tabs and line feeds are
// removed wherever they stand; "&H"/"&O" introduce hexadecimal/octal digits;
// otherwise sign, digits, full stop, digits and an exponent (E, e, D or d).
// Reading stops at the first character that cannot continue the number; a
// text with no digit reads as 0. Throws NumericFault for a number too large
// for a double.
double ParseLeadingNumber(std::u32string_view text);

// Nearest integer, an exact half going to the even neighbour.
// Throws NumericFault outside -2147483648 ... 2147483647.
std::int32_t RoundToInt32(double x);

// Both operands are rounded with RoundToInt32 first; the quotient is
// truncated toward zero and the remainder has the sign of the dividend.
std::int32_t IntegerQuotient(double a, double b);
std::int32_t IntegerRemainder(double a, double b);

// Integers print plainly ("-33"). Integral doubles below 10^15 in magnitude
// print the same way; other doubles get up to 15 significant digits with a
// full stop and no trailing zeros, and very large or very small magnitudes
// an exponent ("1.5E+20", "1E-05") that ParseLeadingNumber reads back.
// Throws NumericFault for infinities and NaN.
std::u32string FormatNumber(std::int32_t value);
std::u32string FormatNumber(double value);

}  // namespace zelvane
