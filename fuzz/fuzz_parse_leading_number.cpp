// Fuzzes the leading-number reading and the number writing:
// - reading never crashes and yields a finite value or a NumericFault;
// - a character that cannot continue a number, appended, changes nothing,
//   and neither do blanks, tabs or line feeds inserted anywhere;
// - a plain decimal text reads as the C library reads it;
// - FormatNumber's text reads back to the same value to 15 digits.
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <regex>

#include "fuzz_support.h"
#include "number_text.h"

using namespace zelvane;

namespace {

bool Faults(const std::u32string& text) {
    try {
        ParseLeadingNumber(text);
    } catch (const NumericFault&) {
        return true;
    }
    return false;
}

void CheckFormatReadsBack(double value) {
    // 15-digit rounding of values at the very top would exceed the largest double.
    if (std::fabs(value) > 1.7976931348623e308) {
        return;
    }
    const std::u32string text = FormatNumber(value);
    for (char32_t c : text) {
        FUZZ_CHECK((c >= U'0' && c <= U'9') || c == U'.' || c == U'-' || c == U'+' || c == U'E');
    }
    const double back = ParseLeadingNumber(text);
    // Off by at most half a unit in the 15th digit, plus the rounding of
    // that decimal to the nearest double.
    FUZZ_CHECK(std::fabs(back - value) <= 5.3e-15 * std::fabs(value) + std::numeric_limits<double>::denorm_min());
    if (std::fabs(value) >= std::numeric_limits<double>::min()) {
        FUZZ_CHECK(FormatNumber(back) == text);  // 15 digits survive the trip exactly
    }
}

// The text with blanks, tabs and line feeds removed, when it is a plain
// decimal number from end to end; empty otherwise.
std::string PlainDecimal(const std::u32string& text) {
    std::string compact;
    for (char32_t c : text) {
        if (c == U' ' || c == U'\t' || c == U'\n') {
            continue;
        }
        if (c >= 0x80 || compact.size() > 60) {
            return {};
        }
        compact.push_back(static_cast<char>(c));
    }
    static const std::regex plain(R"([+-]?[0-9]+(\.[0-9]*)?([eE][+-]?[0-9]{1,4})?)");
    return std::regex_match(compact, plain) ? compact : std::string{};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::u32string text = fuzz::Text(data, size);
    const std::u32string blankInside = text.substr(0, size / 2) + U" \t\n" + text.substr(size / 2);
    if (Faults(text)) {
        FUZZ_CHECK(Faults(text + U"x"));
        FUZZ_CHECK(Faults(blankInside));
        return 0;
    }
    const double value = ParseLeadingNumber(text);
    FUZZ_CHECK(std::isfinite(value));
    FUZZ_CHECK(ParseLeadingNumber(text + U"x") == value);
    FUZZ_CHECK(ParseLeadingNumber(text + U"\u042F") == value);
    FUZZ_CHECK(ParseLeadingNumber(blankInside) == value);

    const std::string plain = PlainDecimal(text);
    if (!plain.empty()) {
        errno = 0;
        const double expected = std::strtod(plain.c_str(), nullptr);  // C locale: libFuzzer never sets one
        if (std::isfinite(expected)) {
            FUZZ_CHECK(value == expected);
        }
    }
    CheckFormatReadsBack(value);
    return 0;
}
