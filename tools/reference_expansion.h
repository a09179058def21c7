// An independent reference for whole-number fractions, written with exact
// integer arithmetic only: the digits long division gives and the first
// adjacent pair of digit groups that adds up to 999 or 9999. Used by the
// property test, the exhaustive sweep and the session fuzzer.
#pragma once

#include <algorithm>
#include <string>

namespace reference {

struct Expected {
    std::string expansion;  // "0.0" and 16 fractional digits
    std::string left, right, sum;
};

// Whether a field text holds exactly the given ASCII text.
inline bool SameText(const std::u32string& actual, const std::string& expected) {
    return actual.size() == expected.size() &&
           std::equal(actual.begin(), actual.end(), expected.begin(),
                      [](char32_t a, char b) { return a == static_cast<unsigned char>(b); });
}

inline Expected ExpectedFor(long numerator, long denominator) {
    Expected e;
    e.expansion = "0.0";
    long r = numerator % denominator;
    for (int i = 0; i < 16; ++i) {
        r *= 10;
        e.expansion.push_back(static_cast<char>('0' + r / denominator));
        r %= denominator;
    }
    // Three-digit pairs at offsets 0..2 after "0.", then four-digit ones.
    for (int width : {3, 4}) {
        const long target = width == 3 ? 999 : 9999;
        for (int offset = 0; offset < 3; ++offset) {
            const std::string a = e.expansion.substr(2 + offset, width);
            const std::string b = e.expansion.substr(2 + offset + width, width);
            if (std::stol(a) + std::stol(b) == target) {
                e.left = a;
                e.right = b;
                e.sum = std::to_string(target);
                return e;
            }
        }
    }
    return e;
}

}  // namespace reference
