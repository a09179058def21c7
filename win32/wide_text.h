// Conversions between the texts of the three worlds the Win32 window joins:
// UTF-8 (the window description), UTF-16 (the W functions of Windows) and
// UTF-32 (the core's field texts). Windows API only.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace zelvane::win32 {

inline std::wstring WideFromUtf8(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), length);
    return wide;
}

inline std::string Utf8FromWide(std::wstring_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), length, nullptr, nullptr);
    return utf8;
}

// A surrogate pair becomes one character; a lone surrogate, which an edit
// control can hold, is kept as it is rather than dropped.
inline std::u32string Utf32FromWide(std::wstring_view text) {
    std::u32string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = static_cast<char16_t>(text[i]);
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size()) {
            const char32_t low = static_cast<char16_t>(text[i + 1]);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                result.push_back(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        result.push_back(unit);
    }
    return result;
}

inline std::wstring WideFromUtf32(std::u32string_view text) {
    std::wstring result;
    result.reserve(text.size());
    for (const char32_t c : text) {
        if (c >= 0x10000 && c <= 0x10FFFF) {
            result.push_back(static_cast<wchar_t>(0xD800 + ((c - 0x10000) >> 10)));
            result.push_back(static_cast<wchar_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            result.push_back(static_cast<wchar_t>(c <= 0xFFFF ? c : 0xFFFD));
        }
    }
    return result;
}

}  // namespace zelvane::win32
