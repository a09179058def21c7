// Shared by the fuzz targets: turning fuzzer bytes into field texts and
// failing loudly when an invariant breaks.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#define FUZZ_CHECK(cond)                                                                  \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "invariant broken at %s:%d: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

namespace fuzz {

// ASCII stays itself; other bytes become characters a pupil could paste:
// Cyrillic letters, look-alike digits and signs, odd blanks, an emoji.
inline char32_t Character(std::uint8_t byte) {
    static constexpr char32_t kOthers[] = {
        U'\u042F', U'\u0436', U'\u00A0', U'\uFF17', U'\u2212', U'\u0660', U'\U0001F600', U'\u3000',
        U'\u00B7', U'\u2009', U'\uFEFF', U'\u00BD', U'\u0435', U'\u0415', U'\u0417', U'\uFFFD',
    };
    return byte < 0x80 ? char32_t{byte} : kOthers[byte % (sizeof kOthers / sizeof kOthers[0])];
}

inline std::u32string Text(const std::uint8_t* data, std::size_t size) {
    std::u32string text;
    text.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
        text.push_back(Character(data[i]));
    }
    return text;
}

}  // namespace fuzz
