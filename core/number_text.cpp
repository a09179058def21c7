#include "number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

// Exact, locale-free conversions between decimal text and double that build
// the same way for every target: fast_float reads, fmt (header-only) writes.
// Both round correctly, as the standard library's floating-point
// from_chars/to_chars would where it has them.
#include <fast_float/fast_float.h>
#include <fmt/compile.h>
#include <fmt/format.h>

namespace zelvane {
namespace {

bool IsRemovedBlank(char32_t c) { return c == U' ' || c == U'\t' || c == U'\n'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int DigitValue(char c, int radix) {
    int value = -1;
    if (c >= '0' && c <= '9') {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < radix ? value : -1;
}

// The text with blanks, tabs and line feeds removed, cut at the first
// character outside ASCII: no such character can be part of a number, so
// reading would stop there anyway.
std::string CompactAscii(std::u32string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char32_t c : text) {
        if (IsRemovedBlank(c)) {
            continue;
        }
        if (c >= 0x80) {
            break;
        }
        out.push_back(static_cast<char>(c));
    }
    return out;
}

// "&H1F" and "&O17": the digits after the prefix as a non-negative integer.
double ParseRadixDigits(const std::string& s, std::size_t pos, int radix) {
    double value = 0;
    for (; pos < s.size(); ++pos) {
        const int digit = DigitValue(s[pos], radix);
        if (digit < 0) {
            break;
        }
        value = value * radix + digit;
        if (!std::isfinite(value)) {
            throw NumericFault("number too large");
        }
    }
    return value;
}

std::size_t SkipDigits(const std::string& s, std::size_t pos) {
    while (pos < s.size() && IsDigit(s[pos])) {
        ++pos;
    }
    return pos;
}

double ParseDecimal(const std::string& s) {
    std::size_t pos = 0;
    bool negative = false;
    if (pos < s.size() && (s[pos] == '+' || s[pos] == '-')) {
        negative = s[pos] == '-';
        ++pos;
    }
    const std::size_t intBegin = pos;
    pos = SkipDigits(s, pos);
    const std::size_t intEnd = pos;
    std::size_t fracBegin = pos;
    std::size_t fracEnd = pos;
    if (pos < s.size() && s[pos] == '.') {
        fracBegin = pos + 1;
        fracEnd = SkipDigits(s, fracBegin);
        pos = fracEnd;
    }
    const double zero = negative ? -0.0 : 0.0;
    if (intEnd == intBegin && fracEnd == fracBegin) {
        return 0.0;  // no digit at all
    }

    // Exponent: only taken when at least one digit follows the letter and
    // its optional sign. Saturated: beyond a million nothing changes.
    long long exponent = 0;
    if (pos < s.size() && (s[pos] == 'E' || s[pos] == 'e' || s[pos] == 'D' || s[pos] == 'd')) {
        std::size_t e = pos + 1;
        bool expNegative = false;
        if (e < s.size() && (s[e] == '+' || s[e] == '-')) {
            expNegative = s[e] == '-';
            ++e;
        }
        if (e < s.size() && IsDigit(s[e])) {
            for (; e < s.size() && IsDigit(s[e]); ++e) {
                if (exponent < 1000000) {
                    exponent = exponent * 10 + (s[e] - '0');
                }
            }
            if (expNegative) {
                exponent = -exponent;
            }
        }
    }

    // Significant digits without leading zeros, and the power of ten that
    // puts the decimal point in front of them: value = 0.DIGITS * 10^scale.
    std::string digits;
    digits.reserve(intEnd - intBegin + fracEnd - fracBegin);
    digits.append(s, intBegin, intEnd - intBegin);
    digits.append(s, fracBegin, fracEnd - fracBegin);
    const std::size_t firstNonZero = digits.find_first_not_of('0');
    if (firstNonZero == std::string::npos) {
        return zero;
    }
    const long long scale = static_cast<long long>(intEnd - intBegin) -
                            static_cast<long long>(firstNonZero) + exponent;
    if (scale > 400) {
        throw NumericFault("number too large");
    }
    if (scale < -400) {
        return zero;
    }
    std::string normal;
    normal.reserve(digits.size() + 16);
    if (negative) {
        normal.push_back('-');
    }
    normal += "0.";
    normal.append(digits, firstNonZero);
    normal += 'e';
    normal += std::to_string(scale);

    double value = 0;
    const auto result = fast_float::from_chars(normal.data(), normal.data() + normal.size(), value,
                                               fast_float::chars_format::general);
    if (result.ec == std::errc::result_out_of_range) {
        if (scale > 0) {
            throw NumericFault("number too large");
        }
        return zero;
    }
    // An overflow reads as an infinity.
    if (result.ec != std::errc() || !std::isfinite(value)) {
        throw NumericFault("number too large");
    }
    return value;
}

// ASCII digits and signs as a field text.
std::u32string Widen(const char* begin, const char* end) { return std::u32string(begin, end); }

}  // namespace

double ParseLeadingNumber(std::u32string_view text) {
    const std::string s = CompactAscii(text);
    if (s.size() >= 2 && s[0] == '&') {
        if (s[1] == 'H' || s[1] == 'h') {
            return ParseRadixDigits(s, 2, 16);
        }
        if (s[1] == 'O' || s[1] == 'o') {
            return ParseRadixDigits(s, 2, 8);
        }
    }
    return ParseDecimal(s);
}

std::int32_t RoundToInt32(double x) {
    if (!std::isfinite(x)) {
        throw NumericFault("rounding out of range");
    }
    const double floor = std::floor(x);
    const double fraction = x - floor;  // exact for every double
    double rounded = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) {
        rounded = floor + 1.0;
    }
    if (rounded < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        throw NumericFault("rounding out of range");
    }
    return static_cast<std::int32_t>(rounded);
}

std::int32_t IntegerQuotient(double a, double b) {
    const std::int32_t dividend = RoundToInt32(a);
    const std::int32_t divisor = RoundToInt32(b);
    if (divisor == 0) {
        throw NumericFault("division by zero");
    }
    if (dividend == std::numeric_limits<std::int32_t>::min() && divisor == -1) {
        throw NumericFault("quotient out of range");
    }
    return dividend / divisor;  // C++ truncates toward zero
}

std::int32_t IntegerRemainder(double a, double b) {
    const std::int32_t dividend = RoundToInt32(a);
    const std::int32_t divisor = RoundToInt32(b);
    const std::int32_t quotient = IntegerQuotient(dividend, divisor);
    return static_cast<std::int32_t>(dividend - static_cast<std::int64_t>(divisor) * quotient);
}

std::u32string FormatNumber(std::int32_t value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return Widen(buffer, result.ptr);
}

std::u32string FormatNumber(double value) {
    if (!std::isfinite(value)) {
        throw NumericFault("number cannot be written");
    }
    if (value == std::trunc(value) && std::fabs(value) < 1e15) {
        char buffer[24];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<std::int64_t>(value));
        return Widen(buffer, result.ptr);
    }

    // Round to 15 significant digits: "d.dddddddddddddde+XX".
    char buffer[40];
    const auto result = fmt::format_to_n(buffer, sizeof buffer, FMT_COMPILE("{:.14e}"), value);
    const std::string sci(buffer, result.out);
    const std::size_t ePos = sci.find('e');
    const bool negative = sci[0] == '-';
    std::string digits;
    for (std::size_t i = negative ? 1 : 0; i < ePos; ++i) {
        if (sci[i] != '.') {
            digits.push_back(sci[i]);
        }
    }
    while (digits.size() > 1 && digits.back() == '0') {
        digits.pop_back();
    }
    int exponent = 0;
    std::from_chars(sci.data() + ePos + (sci[ePos + 1] == '+' ? 2 : 1), sci.data() + sci.size(), exponent);

    std::string out = negative ? "-" : "";
    if (exponent >= 15 || exponent <= -5) {
        out += digits[0];
        if (digits.size() > 1) {
            out += '.';
            out.append(digits, 1);
        }
        out += exponent < 0 ? "E-" : "E+";
        const std::string magnitude = std::to_string(exponent < 0 ? -exponent : exponent);
        if (magnitude.size() < 2) {
            out += '0';
        }
        out += magnitude;
    } else if (exponent >= 0) {
        const std::size_t intDigits = static_cast<std::size_t>(exponent) + 1;
        if (digits.size() <= intDigits) {
            out += digits;
            out.append(intDigits - digits.size(), '0');
        } else {
            out.append(digits, 0, intDigits);
            out += '.';
            out.append(digits, intDigits);
        }
    } else {
        out += "0.";
        out.append(static_cast<std::size_t>(-exponent - 1), '0');
        out += digits;
    }
    return Widen(out.data(), out.data() + out.size());
}

}  // namespace zelvane
