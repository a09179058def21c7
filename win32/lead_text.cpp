#include "lead_text.h"

#include <algorithm>

#include "wide_text.h"

namespace zelvane::win32 {
namespace {

// The UTF-16 units of the first `bytes` bytes of a UTF-8 text.
std::size_t Units(const std::string& text, std::size_t bytes) {
    std::size_t units = 0;
    for (std::size_t i = 0; i < bytes && i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        units += ((byte & 0xC0) != 0x80) + (byte >= 0xF0);
    }
    return units;
}

struct Piece {
    std::size_t from, to;
    bool raised, marked, endsWord;
    int width = 0;
    int x = 0, line = 0;
};

}  // namespace

LeadText LeadTextOf(const explain::Block& block) {
    LeadText lead;
    lead.text = WideFromUtf8(block.text);
    for (const explain::Span& span : block.raised) {
        lead.raised.emplace_back(Units(block.text, span.from), Units(block.text, span.to));
    }
    return lead;
}

std::wstring SpokenText(const explain::Block& block) {
    std::string spoken;
    std::size_t at = 0;
    for (const explain::Span& span : block.raised) {
        spoken.append(block.text, at, span.from - at);
        spoken += '^';
        at = span.from;
    }
    spoken.append(block.text, at);
    return WideFromUtf8(spoken);
}

int LayOutLeadText(HDC dc, const LeadText& lead, const LeadFonts& fonts, const RECT& box, bool wrap, std::size_t mark,
                   bool draw) {
    const std::wstring& text = lead.text;
    const std::size_t n = text.size();
    // Pieces end where a raised run, the marked character or (wrapped) a
    // word ends.
    std::vector<std::size_t> cuts = {0, n};
    for (const auto& [from, to] : lead.raised) {
        cuts.push_back(std::min(from, n));
        cuts.push_back(std::min(to, n));
    }
    if (mark < n) {
        cuts.push_back(mark);
        cuts.push_back(mark + 1 < n && IS_HIGH_SURROGATE(text[mark]) ? mark + 2 : mark + 1);
    }
    for (std::size_t i = 0; wrap && i < n; ++i) {
        if (text[i] == L' ') {
            cuts.push_back(i + 1);
        }
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

    const HGDIOBJ previousFont = SelectObject(dc, fonts.normal);
    TEXTMETRICW normal{};
    GetTextMetricsW(dc, &normal);
    SelectObject(dc, fonts.raised);
    TEXTMETRICW small{};
    GetTextMetricsW(dc, &small);
    // A raised run's baseline is lifted by two fifths of the ascent; a line
    // with one gets the room its top needs.
    const int lift = normal.tmAscent * 2 / 5;
    const int room = lead.raised.empty() ? 0 : std::max(0, static_cast<int>(lift + small.tmAscent - normal.tmAscent));
    const int lineHeight = normal.tmHeight + room;

    std::vector<Piece> pieces;
    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        Piece piece{cuts[k], cuts[k + 1], false, cuts[k] == mark, false};
        for (const auto& [from, to] : lead.raised) {
            piece.raised = piece.raised || (piece.from >= from && piece.to <= to);
        }
        piece.endsWord = text[piece.to - 1] == L' ';
        SelectObject(dc, piece.raised ? fonts.raised : fonts.normal);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str() + piece.from, static_cast<int>(piece.to - piece.from), &size);
        piece.width = size.cx;
        pieces.push_back(piece);
    }

    // Word by word onto lines; a word that does not fit starts a new one.
    const int width = box.right - box.left;
    int x = 0;
    int line = 0;
    for (std::size_t k = 0; k < pieces.size();) {
        std::size_t end = k;
        int word = 0;
        while (end < pieces.size()) {
            word += pieces[end].width;
            if (pieces[end++].endsWord) {
                break;
            }
        }
        int trailing = 0;
        if (pieces[end - 1].endsWord) {
            SelectObject(dc, pieces[end - 1].raised ? fonts.raised : fonts.normal);
            SIZE space{};
            GetTextExtentPoint32W(dc, L" ", 1, &space);
            trailing = space.cx;
        }
        if (wrap && x > 0 && x + word - trailing > width) {
            x = 0;
            ++line;
        }
        for (; k < end; ++k) {
            pieces[k].x = x;
            pieces[k].line = line;
            x += pieces[k].width;
        }
    }

    if (draw) {
        const int previousMode = SetBkMode(dc, TRANSPARENT);
        const UINT previousAlign = SetTextAlign(dc, TA_BASELINE | TA_LEFT);
        const COLORREF previousColour = SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        const explain::Rgb selection = explain::Colour(explain::Ink::kSelection);
        for (const Piece& piece : pieces) {
            const int top = box.top + piece.line * lineHeight;
            const int baseline = top + room + normal.tmAscent - (piece.raised ? lift : 0);
            if (piece.marked) {
                const RECT mark{box.left + piece.x - 1, top, box.left + piece.x + piece.width + 1, top + lineHeight};
                const HBRUSH brush = CreateSolidBrush(RGB(selection.red, selection.green, selection.blue));
                FillRect(dc, &mark, brush);
                DeleteObject(brush);
                SetTextColor(dc, RGB(255, 255, 255));
            }
            SelectObject(dc, piece.raised ? fonts.raised : fonts.normal);
            TextOutW(dc, box.left + piece.x, baseline, text.c_str() + piece.from, static_cast<int>(piece.to - piece.from));
            if (piece.marked) {
                SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            }
        }
        SetTextColor(dc, previousColour);
        SetTextAlign(dc, previousAlign);
        SetBkMode(dc, previousMode);
    }
    SelectObject(dc, previousFont);
    return (line + 1) * lineHeight;
}

}  // namespace zelvane::win32
