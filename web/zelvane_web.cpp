// The worksheet's core for the web page: a handful of C functions the page's
// script calls. The script keeps no rule of its own; it moves field texts
// between the page and the form state held here, clicks, and shows the
// Add-parts flag. What a field keeps of typed and pasted text is decided
// here, by the core's field rule.
//
// Field texts cross as UTF-16 code units, as JavaScript strings hold them:
// the page copies a string's units into memory it allocates, and reads a
// text the core hands back from the pointer and the unit count it is given.
// Every function catches what the core may throw (a text too large for the
// memory left) and reports it instead of tearing the page down.
//
// The window's description (captions, places, colours, font, tab indices,
// help texts, what Enter clicks) is handed to the page as one JSON text
// built from the shared tables, so the page writes no text and no number of
// its own.
#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#include "description_json.h"
#include "explain.h"
#include "explanation_json.h"
#include "field_input.h"
#include "form_state.h"
#include "zelvane_config.h"

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#define ZELVANE_EXPORT extern "C" EMSCRIPTEN_KEEPALIVE
#else
#define ZELVANE_EXPORT extern "C"
#endif

namespace {

zelvane::FormState form;
// The last text handed to the page, valid until the next call, and the
// caret that goes with it.
std::u16string returned;
int returnedCaret = 0;

// The explanation the page was last given, the fraction it was made for,
// and its texts: the JSON of its blocks, the step rows last asked for, and
// its plain text (made when first asked for: only a copy needs it).
std::optional<std::optional<zelvane::CalculatedFraction>> explained;
zelvane::explain::Document explanation;
std::string explanationJson;
std::string explanationRows;
std::string explanationText;
// The last selection asked for, as JSON.
std::string selectionJson;

bool ValidField(int index) { return index >= 0 && index < zelvane::kText2Count; }

std::u16string_view Units(const char16_t* units, int length) {
    return units && length > 0 ? std::u16string_view(units, static_cast<std::size_t>(length)) : std::u16string_view();
}

std::size_t MaxLength(int index) {
    return static_cast<std::size_t>(zelvane::form::kText2[static_cast<std::size_t>(index)].maxLength);
}

// Runs one call; -1 when the core ran out of memory on the way, in which
// case the form is as it was.
template <typename Call>
int Guarded(Call call) {
    try {
        return call();
    } catch (const std::bad_alloc&) {
        returned.clear();
        returned.shrink_to_fit();
        return -1;
    }
}

}  // namespace

// The window's description as JSON (UTF-8, NUL-terminated).
ZELVANE_EXPORT const char* zelvane_description() {
    static const std::string json = zelvane::web::DescriptionJson(ZELVANE_PUBLISHER_URL);
    return json.c_str();
}

// The form's Load event.
ZELVANE_EXPORT void zelvane_load() { zelvane::OnFormLoad(form); }

// The pupil changed Text2(index): it now shows `length` UTF-16 units with
// the caret at `caret`. Returns 0 when the field may keep what it shows, 1
// when the core's rule kept less (the field must show the returned text,
// with the returned caret), -1 when the core could not take the text (the
// field must show zelvane_text(index) again).
ZELVANE_EXPORT int zelvane_edit(int index, const char16_t* units, int length, int caret) {
    if (!ValidField(index)) {
        return -1;
    }
    return Guarded([&] {
        zelvane::FieldRewrite rewrite =
            zelvane::EditText2(form, index, Units(units, length), static_cast<std::size_t>(caret), MaxLength(index));
        returned = std::move(rewrite.text);
        returnedCaret = static_cast<int>(rewrite.caret);
        return rewrite.needed ? 1 : 0;
    });
}

// What Text2(index) keeps when `length` units at `units` replace its units
// [from, to): the returned text is the part of them that is kept. Changes
// nothing. Returns 0, or -1 when out of memory.
ZELVANE_EXPORT int zelvane_insertion(int index, int from, int to, const char16_t* units, int length) {
    if (!ValidField(index) || from < 0 || to < 0) {
        return -1;
    }
    return Guarded([&] {
        returned = zelvane::KeptInsertion(form.Text2(index), static_cast<std::size_t>(from),
                                          static_cast<std::size_t>(to), Units(units, length), MaxLength(index));
        returnedCaret = 0;
        return 0;
    });
}

// Puts the text of Text2(index) into the returned text; -1 when out of memory.
ZELVANE_EXPORT int zelvane_text(int index) {
    return Guarded([&] {
        returned = ValidField(index) ? zelvane::ToUtf16(form.Text2(index)) : std::u16string();
        returnedCaret = 0;
        return 0;
    });
}

// The returned text: where it starts, how many UTF-16 units it has, and the
// caret that goes with it.
ZELVANE_EXPORT const char16_t* zelvane_returned() { return returned.data(); }
ZELVANE_EXPORT int zelvane_returned_length() { return static_cast<int>(returned.size()); }
ZELVANE_EXPORT int zelvane_returned_caret() { return returnedCaret; }

// A click on Command1(index). Returns 0, or -1 when the core ran out of
// memory (the action is then abandoned, the form as it was).
ZELVANE_EXPORT int zelvane_click(int index) {
    if (index < INT16_MIN || index > INT16_MAX) {
        return 0;
    }
    return Guarded([&] {
        zelvane::OnCommandClick(form, static_cast<std::int16_t>(index));
        return 0;
    });
}

// Whether Command1(index) can be clicked.
ZELVANE_EXPORT int zelvane_enabled(int index) {
    return index >= 0 && index < zelvane::kCommand1Count && form.Command1Enabled(index) ? 1 : 0;
}

// Makes the explanation of the fraction last calculated, unless `ifChanged`
// and it was made for the same fraction already. Returns 1 when there is a
// new one (zelvane_explanation_json and _rows then give it), 0 when not,
// -1 when out of memory.
ZELVANE_EXPORT int zelvane_explain(int ifChanged) {
    if (ifChanged && explained && *explained == form.LastCalculation()) {
        return 0;
    }
    return Guarded([&] {
        explanation = zelvane::explain::Explain(form);
        explanationJson = zelvane::web::ExplanationJson(explanation);
        explanationText.clear();
        explained = form.LastCalculation();
        return 1;
    });
}

// The explanation last made: its blocks as JSON, the step rows from
// `first`, at most `count` of them (a row a line: the page makes the rows
// as they come into sight, 1/9967 has 9 967), and its whole plain text,
// each UTF-8. The rows are valid until the next call.
ZELVANE_EXPORT const char* zelvane_explanation_json() { return explanationJson.c_str(); }
ZELVANE_EXPORT const char* zelvane_explanation_rows(int first, int count) {
    const int result = Guarded([&] {
        explanationRows.clear();
        for (int i = std::max(first, 0); count > 0 && static_cast<std::size_t>(i) < explanation.steps.size(); ++i, --count) {
            explanationRows += zelvane::explain::StepText(explanation, static_cast<std::size_t>(i));
            explanationRows += '\n';
        }
        return 0;
    });
    if (result != 0) {
        explanationRows.clear();
    }
    return explanationRows.c_str();
}
ZELVANE_EXPORT const char* zelvane_explanation_text() {
    if (explanationText.empty() && !explanation.title.empty()) {
        Guarded([&] {
            explanationText = zelvane::explain::PlainText(explanation);
            return 0;
        });
    }
    return explanationText.c_str();
}

// The figures of the explanation last made (its "figures", in order) and a
// selected step: which step a click at (x, y), in figure units, selects
// (-1 for none), and what to draw over the figure while `step` is selected
// (a JSON array of shapes, UTF-8, valid until the next call; "[]" for none).
ZELVANE_EXPORT int zelvane_figure_step_at(int figure, double x, double y) {
    if (figure < 0 || static_cast<std::size_t>(figure) >= explanation.figures.size()) {
        return -1;
    }
    const std::size_t step =
        zelvane::explain::StepAt(explanation.figures[static_cast<std::size_t>(figure)], {x, y});
    return step == zelvane::explain::kNoStep ? -1 : static_cast<int>(step);
}
ZELVANE_EXPORT const char* zelvane_figure_selection(int figure, int step) {
    const int result = Guarded([&] {
        selectionJson = figure < 0 || step < 0
                            ? std::string("[]")
                            : zelvane::web::SelectionJson(explanation, static_cast<std::size_t>(figure),
                                                          static_cast<std::size_t>(step));
        return 0;
    });
    if (result != 0) {
        selectionJson = "[]";
    }
    return selectionJson.c_str();
}
