// The worksheet's core for the web page: a handful of C functions the page's
// script calls. The script keeps no rule of its own; it moves field texts
// between the page and the form state held here, clicks, and shows the
// Add-parts flag. Texts cross as UTF-8.
//
// The window's description (captions, places, colours, font, tab indices,
// help texts) is handed to the page as one JSON text built from the shared
// tables, so the page writes no text and no number of its own.
#include <cstdint>
#include <string>
#include <string_view>

#include "description_json.h"
#include "form_state.h"
#include "utf.h"
#include "zelvane_config.h"

#ifdef __EMSCRIPTEN__
#include <emscripten/emscripten.h>
#define ZELVANE_EXPORT extern "C" EMSCRIPTEN_KEEPALIVE
#else
#define ZELVANE_EXPORT extern "C"
#endif

namespace {

zelvane::FormState form;
std::string returned;  // the last text handed to the page; valid until the next call

bool ValidField(int index) { return index >= 0 && index < zelvane::kText2Count; }

}  // namespace

// The window's description as JSON (UTF-8, NUL-terminated).
ZELVANE_EXPORT const char* zelvane_description() {
    static const std::string json = zelvane::web::DescriptionJson(ZELVANE_PUBLISHER_URL);
    return json.c_str();
}

// The form's Load event.
ZELVANE_EXPORT void zelvane_load() { zelvane::OnFormLoad(form); }

// The user changed the text of Text2(index).
ZELVANE_EXPORT void zelvane_set_text(int index, const char* utf8) {
    if (ValidField(index) && utf8) {
        form.SetText2(index, zelvane::web::FromUtf8(utf8));
    }
}

// The text of Text2(index) as UTF-8.
ZELVANE_EXPORT const char* zelvane_text(int index) {
    returned = ValidField(index) ? zelvane::web::ToUtf8(form.Text2(index)) : std::string();
    return returned.c_str();
}

// A click on Command1(index).
ZELVANE_EXPORT void zelvane_click(int index) {
    if (index >= INT16_MIN && index <= INT16_MAX) {
        zelvane::OnCommandClick(form, static_cast<std::int16_t>(index));
    }
}

// Whether Command1(index) can be clicked.
ZELVANE_EXPORT int zelvane_enabled(int index) {
    return index >= 0 && index < zelvane::kCommand1Count && form.Command1Enabled(index) ? 1 : 0;
}
