// Small helpers for writing the explanation's texts: UTF-8 out of code
// points, concatenation of texts and integers, the words that go with a
// count ("1 цифра", "3 цифри"), powers of ten, position ranges, and long
// digit strings cut into lines of grouped digits. Internal to explain/.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace zelvane::explain::detail {

using std::int64_t;
using std::size_t;
using std::uint64_t;

// Digits per group and groups per line when long numbers are written out.
inline constexpr size_t kGroupDigits = 10;
inline constexpr size_t kGroupsPerLine = 5;

inline void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | ((c >> 18) & 0x07)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

inline std::string Utf8(std::u32string_view text) {
    std::string out;
    for (char32_t c : text) {
        AppendUtf8(out, c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF) ? U'\uFFFD' : c);
    }
    return out;
}

template <typename T>
inline void Put(std::string& out, const T& part) {
    if constexpr (std::is_integral_v<T>) {
        char buffer[24];
        const auto result = std::to_chars(buffer, buffer + sizeof buffer, part);
        out.append(buffer, result.ptr);
    } else {
        out.append(std::string_view(part));
    }
}

// Concatenates texts and integers.
template <typename... T>
inline std::string Cat(const T&... parts) {
    std::string out;
    (Put(out, parts), ...);
    return out;
}

inline std::string Digits(uint64_t n) { return Cat(n, n == 1 ? " цифра" : " цифри"); }
inline std::string Steps(uint64_t n) { return Cat(n, n == 1 ? " стъпка" : " стъпки"); }
// A raised run (an exponent) in a text is written between these two
// bytes; the writer turns them into the block's raised spans.
inline constexpr char kRaise = '\x01';
inline constexpr char kLower = '\x02';
template <typename T>
inline std::string Raised(const T& exponent) {
    return Cat(std::string_view(&kRaise, 1), exponent, std::string_view(&kLower, 1));
}
template <typename T>
inline std::string Power(const T& exponent) {
    return Cat("10", Raised(exponent));
}
inline std::string Range(uint64_t first, uint64_t last) {
    return first == last ? Cat(first) : Cat(first, "–", last);
}
inline std::string Positions(uint64_t first, uint64_t last) {
    return first == last ? Cat("позиция ", first) : Cat("позиции ", first, "–", last);
}

// A decimal number written out in groups of ten digits, several groups per
inline std::vector<std::string> GroupedLines(std::string_view digits) {
    const size_t perLine = kGroupDigits * kGroupsPerLine;
    const size_t width = std::to_string(digits.size()).size();
    std::vector<std::string> lines;
    lines.reserve(digits.size() / perLine + 1);
    for (size_t start = 0; start < digits.size(); start += perLine) {
        std::string line = std::to_string(start + 1);
        line.insert(0, width - line.size(), ' ');
        for (size_t group = start; group < std::min(digits.size(), start + perLine); group += kGroupDigits) {
            line += group == start ? "  " : " ";
            line.append(digits.substr(group, kGroupDigits));
        }
        lines.push_back(std::move(line));
    }
    return lines;
}


}  // namespace zelvane::explain::detail
