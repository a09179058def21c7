#include "field_input.h"

#include <algorithm>

namespace zelvane {
namespace {

constexpr char32_t kReplacement = U'\uFFFD';

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

std::size_t Utf16Length(std::u32string_view text) {
    std::size_t units = text.size();
    for (const char32_t c : text) {
        units += c >= 0x10000 && c <= 0x10FFFF;
    }
    return units;
}

// The number of whole characters in the first `units` UTF-16 units of
// `text`; a position inside a surrogate pair counts the pair as not yet
// reached.
std::size_t CharactersIn(std::u16string_view text, std::size_t units) {
    units = std::min(units, text.size());
    std::size_t characters = 0;
    for (std::size_t i = 0; i < units; ++i, ++characters) {
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            if (i + 1 == units) {
                break;
            }
            ++i;
        }
    }
    return characters;
}

// The same for a field text, whose characters take one or two units each.
std::size_t CharactersIn(std::u32string_view text, std::size_t units) {
    std::size_t characters = 0;
    for (std::size_t used = 0; characters < text.size(); ++characters) {
        used += text[characters] >= 0x10000 && text[characters] <= 0x10FFFF ? 2 : 1;
        if (used > units) {
            break;
        }
    }
    return characters;
}

// One character in UTF-16: one or two units; a value that is no character
// becomes U+FFFD.
int EncodeUtf16(char32_t c, char16_t (&units)[2]) {
    if (c >= 0x10000 && c <= 0x10FFFF) {
        units[0] = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        units[1] = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        return 2;
    }
    units[0] = static_cast<char16_t>(c <= 0xFFFF && !IsHighSurrogate(c) && !IsLowSurrogate(c) ? c : kReplacement);
    return 1;
}

// Whether a field text, written in UTF-16, is exactly `units`.
bool SameText(std::u32string_view text, std::u16string_view units) {
    std::size_t i = 0;
    for (const char32_t c : text) {
        char16_t encoded[2];
        const int count = EncodeUtf16(c, encoded);
        if (i + static_cast<std::size_t>(count) > units.size() || units.compare(i, count, encoded, count) != 0) {
            return false;
        }
        i += static_cast<std::size_t>(count);
    }
    return i == units.size();
}

// How much of `inserted` is kept: its first line, cut to what fits.
std::size_t KeptLength(std::u32string_view inserted, std::size_t length, std::size_t removed, std::size_t maxLength) {
    std::size_t kept = std::min(inserted.size(), inserted.find_first_of(std::u32string_view(U"\r\n\0", 3)));
    if (maxLength > 0) {
        const std::size_t remaining = length - std::min(removed, length);
        kept = std::min(kept, maxLength > remaining ? maxLength - remaining : 0);
    }
    return kept;
}

}  // namespace

std::u32string FromUtf16(std::u16string_view text) {
    std::u32string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char32_t unit = text[i];
        if (IsHighSurrogate(unit) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            out.push_back(0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else {
            out.push_back(IsHighSurrogate(unit) || IsLowSurrogate(unit) ? kReplacement : unit);
        }
    }
    return out;
}

std::u16string ToUtf16(std::u32string_view text) {
    std::u16string out;
    out.reserve(Utf16Length(text));
    for (const char32_t c : text) {
        char16_t units[2];
        out.append(units, static_cast<std::size_t>(EncodeUtf16(c, units)));
    }
    return out;
}

std::u16string KeptInsertion(std::u32string_view before, std::size_t from, std::size_t to,
                             std::u16string_view inserted, std::size_t maxLength) {
    const std::size_t removed = CharactersIn(before, std::max(from, to)) - CharactersIn(before, std::min(from, to));
    // Only the start of a large paste can be kept: its first line, and no
    // more than two units a character.
    std::u16string_view start = inserted.substr(0, inserted.find_first_of(std::u16string_view(u"\r\n\0", 3)));
    if (maxLength > 0) {
        start = start.substr(0, 2 * maxLength);
    }
    const std::u32string text = FromUtf16(start);
    return ToUtf16(std::u32string_view(text).substr(0, KeptLength(text, before.size(), removed, maxLength)));
}

FieldEdit KeepOfEdit(std::u32string_view before, std::u16string_view shown, std::size_t caret,
                     std::size_t maxLength) {
    FieldEdit edit;
    edit.text = FromUtf16(shown);
    std::u32string& after = edit.text;
    const std::size_t caretCharacter = CharactersIn(shown, caret);

    // after = prefix + inserted + suffix, before = prefix + removed + suffix;
    // the inserted text ends at the caret wherever the texts allow it.
    std::size_t suffix = 0;
    while (suffix < before.size() && suffix < after.size() &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
        ++suffix;
    }
    suffix = std::min(suffix, after.size() - std::min(caretCharacter, after.size()));
    const std::size_t prefixLimit = std::min(before.size(), after.size()) - suffix;
    std::size_t prefix = 0;
    while (prefix < prefixLimit && before[prefix] == after[prefix]) {
        ++prefix;
    }
    const std::size_t inserted = after.size() - suffix - prefix;
    const std::size_t removed = before.size() - suffix - prefix;
    const std::size_t kept =
        KeptLength(std::u32string_view(after).substr(prefix, inserted), before.size(), removed, maxLength);
    // Cut in place: a pasted text may be large.
    after.erase(prefix + kept, inserted - kept);
    edit.caret = Utf16Length(std::u32string_view(after).substr(0, prefix + kept));
    return edit;
}

FieldRewrite EditText2(FormState& form, int index, std::u16string_view shown, std::size_t caret,
                       std::size_t maxLength) {
    FieldEdit edit = KeepOfEdit(form.Text2(index), shown, caret, maxLength);
    FieldRewrite rewrite;
    rewrite.needed = !SameText(edit.text, shown);
    if (rewrite.needed) {
        rewrite.text = ToUtf16(edit.text);
    }
    rewrite.caret = edit.caret;
    form.SetText2(index, std::move(edit.text));
    return rewrite;
}

}  // namespace zelvane
