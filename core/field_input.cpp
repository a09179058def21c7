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

// Unicode's invisible format characters (general category Cf): the
// byte-order mark, zero-width spaces and joiners, direction marks and
// embeddings, the soft hyphen, word joiners, tags. They come along with
// texts copied from web pages, spreadsheets and chat programs, show
// nothing, and would make a field that looks like "7" read as 0, so a
// field never keeps them (some toolkits drop a few of them on their own,
// others none).
bool IsFormatCharacter(char32_t c) {
    struct Span {
        char32_t first, last;
    };
    static constexpr Span kFormat[] = {
        {0x00AD, 0x00AD},   {0x0600, 0x0605},   {0x061C, 0x061C},   {0x06DD, 0x06DD},   {0x070F, 0x070F},
        {0x0890, 0x0891},   {0x08E2, 0x08E2},   {0x180E, 0x180E},   {0x200B, 0x200F},   {0x202A, 0x202E},
        {0x2060, 0x2064},   {0x2066, 0x206F},   {0xFEFF, 0xFEFF},   {0xFFF9, 0xFFFB},   {0x110BD, 0x110BD},
        {0x110CD, 0x110CD}, {0x13430, 0x1343F}, {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A}, {0xE0001, 0xE0001},
        {0xE0020, 0xE007F},
    };
    for (const Span& span : kFormat) {
        if (c <= span.last) {
            return c >= span.first;
        }
    }
    return false;
}

bool IsLineEnd(char32_t c) { return c == U'\r' || c == U'\n' || c == 0; }

// The characters a field may take besides `length` - `removed` of its own.
std::size_t Room(std::size_t length, std::size_t removed, std::size_t maxLength) {
    if (maxLength == 0) {
        return std::u32string::npos;
    }
    const std::size_t remaining = length - std::min(removed, length);
    return maxLength > remaining ? maxLength - remaining : 0;
}

// Of the inserted text [first, last) of `text`, keeps in place what the
// field takes: the first line without format characters, cut to `room`
// characters. Returns how many were kept; the rest of the range is erased.
std::size_t KeepInserted(std::u32string& text, std::size_t first, std::size_t last, std::size_t room) {
    const auto begin = text.begin() + static_cast<std::ptrdiff_t>(first);
    const auto lineEnd = std::find_if(begin, text.begin() + static_cast<std::ptrdiff_t>(last), IsLineEnd);
    const auto visibleEnd = std::remove_if(begin, lineEnd, IsFormatCharacter);
    const std::size_t kept = std::min(static_cast<std::size_t>(visibleEnd - begin), room);
    text.erase(first + kept, last - first - kept);
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
    const std::size_t room = Room(before.size(), removed, maxLength);
    // Only the start of a large paste can be kept: it is read only as far
    // as its first line and the characters that fit.
    std::u32string kept;
    for (std::size_t i = 0; i < inserted.size() && kept.size() < room; ++i) {
        char32_t c = inserted[i];
        if (IsHighSurrogate(c) && i + 1 < inserted.size() && IsLowSurrogate(inserted[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (inserted[++i] - 0xDC00);
        } else if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            c = kReplacement;
        }
        if (IsLineEnd(c)) {
            break;
        }
        if (!IsFormatCharacter(c)) {
            kept.push_back(c);
        }
    }
    return ToUtf16(kept);
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
    // Cut in place: a pasted text may be large.
    const std::size_t kept = KeepInserted(after, prefix, prefix + inserted, Room(before.size(), removed, maxLength));
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
