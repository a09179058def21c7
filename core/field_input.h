// What a single-line field keeps of what the pupil types, pastes or drops
// into it: one rule for every front end, so that the same keys and the same
// paste give the same field on Linux, Windows and the web. It is the rule of
// a Windows single-line edit box:
//   - only the first line of the inserted text is kept: it is cut at the
//     first CR, LF or NUL;
//   - invisible format characters (Unicode's category Cf: the byte-order
//     mark, zero-width spaces, direction marks, the soft hyphen, ...) are
//     dropped wherever they stand, so a field never looks like "7" and
//     reads as 0;
//   - a field with a limit holds at most that many characters (Unicode code
//     points, so an emoji counts as one and is never cut in half), and of
//     the inserted text the first characters that fit are kept;
//   - the inserted text replaces the selection, also when nothing of it fits.
//
// Toolkits hold texts in UTF-16; the core holds them as code points. An
// unpaired surrogate, which a UTF-16 text box can hold, becomes U+FFFD on the
// way in, so the field then shows U+FFFD as well.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "form_state.h"

namespace zelvane {

// UTF-16 to field text; an unpaired surrogate becomes U+FFFD.
std::u32string FromUtf16(std::u16string_view text);
// Field text to UTF-16; a value that is no character becomes U+FFFD.
std::u16string ToUtf16(std::u32string_view text);

// A field's text after an edit, and where its caret stands (in UTF-16 units,
// as toolkits count it): right after what was inserted.
struct FieldEdit {
    std::u32string text;
    std::size_t caret = 0;
};

// The part of `inserted` that a field holding `before` keeps when it
// replaces the UTF-16 range [from, to) of it: the first line, without
// format characters, and of that as many characters from its start as fit
// in `maxLength` (0: no limit);
// unpaired surrogates as U+FFFD. For a front end that learns of a paste
// before it happens.
std::u16string KeptInsertion(std::u32string_view before, std::size_t from, std::size_t to,
                             std::u16string_view inserted, std::size_t maxLength);

// An edit a toolkit has already made: `shown` is the field's text now and
// `caret` the UTF-16 position of its caret, which stands at the end of what
// was inserted. The edit is taken to be the one range in which `before` and
// `shown` differ, and the rule is applied to what it inserted.
FieldEdit KeepOfEdit(std::u32string_view before, std::u16string_view shown, std::size_t caret,
                     std::size_t maxLength);

// What a front end does after an edit of Text2(index): KeepOfEdit with the
// field's own limit, stored in the form. When the rule kept less than the
// field shows (or an unpaired surrogate became U+FFFD), the field must be
// set to `text`, with its caret at `caret`.
struct FieldRewrite {
    bool needed = false;
    std::u16string text;
    std::size_t caret = 0;
};
FieldRewrite EditText2(FormState& form, int index, std::u16string_view shown, std::size_t caret,
                       std::size_t maxLength);

}  // namespace zelvane
