// Conversions between the texts the Win32 window joins: UTF-8 (the window
// description) and UTF-16 (the W functions of Windows, and the core's field
// rule). Windows API only.
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

// A field's text between an edit box and the core: Windows' wide
// characters are UTF-16 units, as the core's field rule expects.
static_assert(sizeof(wchar_t) == sizeof(char16_t));
inline std::u16string_view Units(std::wstring_view text) {
    return {reinterpret_cast<const char16_t*>(text.data()), text.size()};
}
inline std::wstring Wide(std::u16string_view units) {
    return {reinterpret_cast<const wchar_t*>(units.data()), units.size()};
}

}  // namespace zelvane::win32
