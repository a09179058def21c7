// The explain view's text: a read-only rich edit box with the document's
// plain text apart from the lead and the step rows, styled by the ranges
// the core gives; the selected step's notebook lines marked, and a click
// on a notebook line selecting its step.
#include "explain_window.h"

#include <richedit.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <optional>

#include "control_ids.h"
#include "form_description.h"
#include "wide_text.h"

namespace zelvane::win32 {
namespace {

constexpr DWORD kTextStyle =
    WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_NOHIDESEL;

// The fixed-pitch face of preformatted lines and the notebook: on every
// Windows, and its minus sign (U+2212) is as wide as a digit, so the
// notebook's columns stay aligned.
constexpr wchar_t kFixedFace[] = L"Courier New";

// One character format over a range of the box's text.
void Format(HWND text, std::size_t from, std::size_t to, CHARFORMAT2W format) {
    CHARRANGE range{static_cast<LONG>(from), static_cast<LONG>(to)};
    SendMessageW(text, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&range));
    format.cbSize = sizeof format;
    SendMessageW(text, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

CHARFORMAT2W Face(const wchar_t* face, int twips, BYTE pitch) {
    CHARFORMAT2W format{};
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET | CFM_WEIGHT;
    format.wWeight = FW_NORMAL;
    lstrcpynW(format.szFaceName, face, LF_FACESIZE);
    format.yHeight = twips;
    format.bCharSet = static_cast<BYTE>(form::kFontCharset);
    format.bPitchAndFamily = pitch;
    return format;
}

// The selected step's lines: the selection's colour, as in the figure.
CHARFORMAT2W Marked(bool marked) {
    CHARFORMAT2W format{};
    format.dwMask = CFM_BACKCOLOR | CFM_COLOR;
    if (marked) {
        const explain::Rgb colour = explain::Colour(explain::Ink::kSelection);
        format.crBackColor = RGB(colour.red, colour.green, colour.blue);
        format.crTextColor = RGB(255, 255, 255);
    } else {
        format.dwEffects = CFE_AUTOBACKCOLOR | CFE_AUTOCOLOR;
    }
    return format;
}

// How a character of the text is set: the face (0 the body's, 1 the
// fixed-pitch one), its size in half points, bold, raised.
struct TextStyle {
    std::uint8_t font;
    std::uint8_t halfPoints;
    bool bold;
    bool raised;
    friend bool operator==(const TextStyle&, const TextStyle&) = default;
};

// The text as rich text: the two faces (Cyrillic), each change of style,
// each line end a paragraph's, every character outside ASCII as \u.
std::string Rtf(const std::wstring& text, const std::vector<TextStyle>& styles) {
    std::string rtf;
    rtf.reserve(text.size() * 2 + 256);
    rtf += "{\\rtf1\\ansi\\deff0\\uc1{\\fonttbl{\\f0\\froman\\fcharset204 ";
    rtf += form::kFontFamily;
    rtf += ";}{\\f1\\fmodern\\fcharset204 ";
    rtf += Utf8FromWide(kFixedFace);
    rtf += ";}}";
    std::optional<TextStyle> current;
    char number[16];
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!current || !(*current == styles[i])) {
            current = styles[i];
            rtf += current->font ? "\\plain\\f1\\fs" : "\\plain\\f0\\fs";
            rtf += std::to_string(current->halfPoints);
            // Every property said again: some readers keep a raised run's
            // size past \\plain.
            rtf += current->bold ? "\\b" : "\\b0";
            rtf += current->raised ? "\\super" : "\\nosupersub";
            rtf += ' ';
        }
        const wchar_t c = text[i];
        if (c == L'\n') {
            rtf += "\\par\n";
        } else if (c == L'\\' || c == L'{' || c == L'}') {
            rtf += '\\';
            rtf += static_cast<char>(c);
        } else if (c >= 0x20 && c < 0x80) {
            rtf += static_cast<char>(c);
        } else {
            std::snprintf(number, sizeof number, "\\u%d?", static_cast<int>(static_cast<std::int16_t>(c)));
            rtf += number;
        }
    }
    // The box keeps the last paragraph mark of what it reads as its own
    // end: one more, so that the text ends with its line end as the plain
    // text does.
    rtf += "\\par}";
    return rtf;
}

// Gives the box the rich text as it reads it in.
struct RtfReader {
    const std::string& rtf;
    std::size_t at = 0;

    static DWORD CALLBACK Read(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
        auto& reader = *reinterpret_cast<RtfReader*>(cookie);
        const std::size_t count =
            std::min<std::size_t>(static_cast<std::size_t>(std::max<LONG>(wanted, 0)), reader.rtf.size() - reader.at);
        std::memcpy(buffer, reader.rtf.data() + reader.at, count);
        reader.at += count;
        *given = static_cast<LONG>(count);
        return 0;
    }
};

std::size_t Units(const std::string& text) {
    std::size_t units = 0;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        units += ((byte & 0xC0) != 0x80) + (byte >= 0xF0);
    }
    return units;
}

}  // namespace

// Screen readers hear the text box as the explanation, and the list of
// steps by the heading of the section the steps belong to.
void ExplainWindow::NameControls() {
    names_.Clear();
    names_.Add(text_, WideFromUtf8(form::kExplanationName));
    std::string heading;
    for (const explain::Block& block : document_.blocks) {
        if (block.kind == explain::BlockKind::kHeading) {
            heading = block.text;
        } else if (block.kind == explain::BlockKind::kSteps) {
            names_.Add(steps_, WideFromUtf8(heading));
            break;
        }
    }
    if (screenReader_) {
        names_.Apply();
    }
}

// A new, empty text box. Each document gets a new box: replacing a long
// text in a rich edit box can take far longer than making a new one
// (wine's takes seconds for a long text).
HWND ExplainWindow::NewText() {
    const HWND text = CreateWindowExW(WS_EX_CLIENTEDGE, MSFTEDIT_CLASS, L"", kTextStyle, 0, 0, 0, 0, window_,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kExplanationTextId)),
                                      reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window_, GWLP_HINSTANCE)),
                                      nullptr);
    if (!text) {
        return nullptr;
    }
    SendMessageW(text, EM_EXLIMITTEXT, 0, 64 * 1024 * 1024);
    const int margin = MulDiv(10, dpi_, USER_DEFAULT_SCREEN_DPI);
    SendMessageW(text, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(margin, margin));
    const std::wstring face = WideFromUtf8(form::kFontFamily);
    CHARFORMAT2W body = Face(face.c_str(), form::kFontPoints * 20, VARIABLE_PITCH | FF_ROMAN);
    body.cbSize = sizeof body;
    SendMessageW(text, EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&body));
    SetWindowSubclass(text, &ExplainWindow::TextProcedure, 0, reinterpret_cast<DWORD_PTR>(this));
    return text;
}

void ExplainWindow::FillText() {
    std::vector<explain::TextRange> ranges;
    const std::wstring shown =
        WideFromUtf8(explain::PlainText(document_, &ranges, {.raised = true, .apart = true}));

    // The whole text at once in a new box, styled as it is read in.
    if (GetWindowTextLengthW(text_) > 0) {
        if (const HWND fresh = NewText()) {
            RECT place{};
            GetWindowRect(text_, &place);
            MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&place), 2);
            const bool focused = GetFocus() == text_;
            names_.Clear();
            DestroyWindow(text_);
            if (savedFocus_ == text_) {
                savedFocus_ = fresh;
            }
            text_ = fresh;
            MoveWindow(text_, place.left, place.top, place.right - place.left, place.bottom - place.top, FALSE);
            if (focused) {
                SetFocus(text_);
            }
        }
    }
    NameControls();

    // Each character's style from the ranges, the raised runs' over their blocks'.
    notebook_.clear();
    fixed_.clear();
    fixedColumns_ = 0;
    const int points = form::kFontPoints;
    std::vector<TextStyle> styles(shown.size(), TextStyle{0, static_cast<std::uint8_t>(points * 2), false, false});
    const auto style = [&](const explain::TextRange& range, auto change) {
        for (std::size_t i = range.from; i < range.to && i < styles.size(); ++i) {
            change(styles[i]);
        }
    };
    for (const explain::TextRange& range : ranges) {
        if (range.raised) {
            style(range, [](TextStyle& s) { s.raised = true; });
        } else if (range.title) {
            style(range, [&](TextStyle& s) { s = {0, static_cast<std::uint8_t>(points * 5 / 2), true, false}; });
        } else if (range.kind == explain::BlockKind::kHeading) {
            style(range, [&](TextStyle& s) { s.bold = true; });
        } else if (range.kind == explain::BlockKind::kNotation) {
            style(range, [&](TextStyle& s) { s.halfPoints = static_cast<std::uint8_t>(points * 7 / 3); });
        } else if (range.kind == explain::BlockKind::kLines || range.kind == explain::BlockKind::kNotebook) {
            fixed_.emplace_back(range.from, range.to);
            style(range, [](TextStyle& s) { s.font = 1; });
            if (range.block < document_.blocks.size()) {
                for (const std::string& line : document_.blocks[range.block].lines) {
                    fixedColumns_ = std::max(fixedColumns_, Units(line));
                }
            }
        }
        if (range.kind == explain::BlockKind::kNotebook && !range.raised && range.block < document_.blocks.size()) {
            // Where each of its lines stands, for marking and for clicks.
            const explain::Block& block = document_.blocks[range.block];
            std::size_t at = range.from;
            for (std::size_t i = 0; i < block.lines.size(); ++i) {
                const std::string& line = block.lines[i];
                const std::size_t spaces = std::min(line.find_first_not_of(' '), line.size());
                const std::size_t length = Units(line);
                notebook_.push_back({at, at + spaces, at + length,
                                     i < block.lineSteps.size() ? block.lineSteps[i] : explain::kNoStep});
                at += length + 1;
            }
        }
    }
    // The fixed-pitch lines in the size the box's width gives them.
    fixedTwips_ = FixedTwips(true);
    for (TextStyle& s : styles) {
        if (s.font == 1) {
            s.halfPoints = static_cast<std::uint8_t>(fixedTwips_ / 10);
        }
    }
    const std::string rtf = Rtf(shown, styles);

    // Read in as rich text: the box lays the text out once, already styled.
    RtfReader reader{rtf};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&reader);
    stream.pfnCallback = &RtfReader::Read;
    SendMessageW(text_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(text_, EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    CHARRANGE start{0, 0};
    SendMessageW(text_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&start));
    SendMessageW(text_, WM_SETREDRAW, TRUE, 0);
    // Its scroll bar too, which the text has just brought.
    RedrawWindow(text_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

// Restyles parts of the text, keeping the pupil's selection and scrolled place.
template <typename Change>
void ExplainWindow::KeepingPlace(const Change& change) {
    SendMessageW(text_, WM_SETREDRAW, FALSE, 0);
    CHARRANGE kept{};
    SendMessageW(text_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    POINT scrolled{};
    SendMessageW(text_, EM_GETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scrolled));
    change();
    SendMessageW(text_, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&kept));
    SendMessageW(text_, EM_SETSCROLLPOS, 0, reinterpret_cast<LPARAM>(&scrolled));
    SendMessageW(text_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(text_, nullptr, FALSE);
}

// The preformatted lines are not to be wrapped: their size follows the
// box's width, from 10 points down to 8, so that the longest fits where it
// can. Before the box has its text, room is left for its scroll bar.
int ExplainWindow::FixedTwips(bool beforeText) const {
    constexpr int kLargest = 200, kSmallest = 160;
    RECT area{};
    SendMessageW(text_, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&area));
    int width = area.right - area.left - 2;
    if (beforeText) {
        width -= GetSystemMetrics(SM_CXVSCROLL);
    }
    const HDC dc = GetDC(text_);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    // The advance of the face's characters, for a size of 100 pixels.
    LOGFONTW probe{};
    probe.lfHeight = -100;
    probe.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    lstrcpynW(probe.lfFaceName, kFixedFace, LF_FACESIZE);
    const HFONT font = CreateFontIndirectW(&probe);
    const HGDIOBJ previous = SelectObject(dc, font);
    SIZE digit{};
    GetTextExtentPoint32W(dc, L"0", 1, &digit);
    SelectObject(dc, previous);
    DeleteObject(font);
    ReleaseDC(text_, dc);
    if (digit.cx <= 0 || fixedColumns_ == 0 || dpi <= 0) {
        return kLargest;
    }
    // Columns · advance · size / 100 ≤ width, the size in twips = pixels · 1440 / dpi.
    const double pixels = 100.0 * width / (static_cast<double>(fixedColumns_) * digit.cx);
    return std::clamp(static_cast<int>(pixels * 1440 / dpi) / 10 * 10, kSmallest, kLargest);
}

void ExplainWindow::FitFixedLines() {
    if (fixed_.empty()) {
        return;
    }
    const int twips = FixedTwips(false);
    if (twips == fixedTwips_) {
        return;
    }
    fixedTwips_ = twips;
    KeepingPlace([&] {
        for (const auto& [from, to] : fixed_) {
            Format(text_, from, to, Face(kFixedFace, twips, FIXED_PITCH | FF_MODERN));
        }
    });
}

// Marks or unmarks a step's notebook lines, from their first character to
// their end.
void ExplainWindow::MarkNotebook(std::size_t step, bool marked) {
    if (step == explain::kNoStep ||
        std::none_of(notebook_.begin(), notebook_.end(), [step](const NotebookLine& line) { return line.step == step; })) {
        return;
    }
    KeepingPlace([&] {
        for (const NotebookLine& line : notebook_) {
            if (line.step == step) {
                Format(text_, line.mark, line.to, Marked(marked));
            }
        }
    });
}

// A click that leaves the caret on a notebook line of a step selects it.
void ExplainWindow::ClickedText() {
    CHARRANGE selection{};
    SendMessageW(text_, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
    if (selection.cpMin != selection.cpMax || selection.cpMin < 0) {
        return;
    }
    const auto at = static_cast<std::size_t>(selection.cpMin);
    for (const NotebookLine& line : notebook_) {
        if (line.from <= at && at <= line.to) {
            if (line.step != explain::kNoStep) {
                Select(line.step, From::kText);
            }
            return;
        }
    }
}

// Esc hides the view; Ctrl+C with nothing selected copies all of it; Tab
// goes on to the next control, as dialog navigation moves, and tabbing in
// keeps the pupil's place rather than selecting everything.
LRESULT CALLBACK ExplainWindow::TextProcedure(HWND text, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR data) {
    auto* self = reinterpret_cast<ExplainWindow*>(data);
    switch (message) {
        case WM_GETDLGCODE:
            return DefSubclassProc(text, message, wParam, lParam) & ~(DLGC_WANTTAB | DLGC_WANTALLKEYS | DLGC_HASSETSEL);
        case WM_KEYDOWN:
            if (wParam == VK_ESCAPE) {
                self->Hide();
                return 0;
            }
            break;
        case WM_CHAR:
            if (wParam == 0x1B) {
                return 0;
            }
            if (wParam == 0x03) {
                CHARRANGE selection{};
                SendMessageW(text, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
                if (selection.cpMin == selection.cpMax) {
                    self->CopyAll();
                    return 0;
                }
            }
            break;
        case WM_LBUTTONUP: {
            const LRESULT result = DefSubclassProc(text, message, wParam, lParam);
            self->ClickedText();
            return result;
        }
        case WM_GETOBJECT:
            self->screenReader_ = true;
            self->names_.Apply();
            break;
        default:
            break;
    }
    return DefSubclassProc(text, message, wParam, lParam);
}

}  // namespace zelvane::win32
