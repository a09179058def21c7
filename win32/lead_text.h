// The texts of the explain view's lead (the notation and the summary) as
// the view draws them itself: with their raised runs set smaller and
// higher, the summary wrapped at its blanks, and one character (the
// selected step's digit) marked in the selection's colour.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "explain.h"

namespace zelvane::win32 {

struct LeadText {
    std::wstring text;
    std::vector<std::pair<std::size_t, std::size_t>> raised;  // UTF-16 [from, to)
};

// A heading's, a paragraph's or a notation's text in UTF-16, its raised
// runs' spans with it.
LeadText LeadTextOf(const explain::Block& block);

// The text as screen readers are given it: a raised run after "^", as the
// plain text writes powers.
std::wstring SpokenText(const explain::Block& block);

// The fonts a lead text is set in: its own and, smaller, its raised runs'.
struct LeadFonts {
    HFONT normal = nullptr;
    HFONT raised = nullptr;
};

// Lays the text out from the top left of `box`, wrapped at its width when
// `wrap`, and draws it when `draw` (in the window text's colour, the
// character at UTF-16 offset `mark` in the selection's, or none for
// kNoStep). Returns the height it takes.
int LayOutLeadText(HDC dc, const LeadText& text, const LeadFonts& fonts, const RECT& box, bool wrap,
                   std::size_t mark, bool draw);

}  // namespace zelvane::win32
