// The figures' geometry shared by their layout and their selection: how
// wide a text is taken to be, and points on a circle. Internal to explain/.
#pragma once

#include <cmath>
#include <numbers>
#include <string_view>

#include "figure.h"

namespace zelvane::explain::detail {

// A character's width, in text heights: generous for sans-serif digits.
inline constexpr double kDigitWidth = 0.6;

inline double TextWidth(std::string_view text, double size) {
    std::size_t characters = 0;
    for (const char c : text) {
        characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    }
    return kDigitWidth * size * static_cast<double>(characters);
}

// The point at `degrees` (clockwise from 3 o'clock) on the circle.
inline Point Polar(Point centre, double radius, double degrees) {
    const double a = degrees * std::numbers::pi / 180;
    return {centre.x + radius * std::cos(a), centre.y + radius * std::sin(a)};
}

}  // namespace zelvane::explain::detail
