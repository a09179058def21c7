// The core's field rule in the form's edit boxes: typed characters (a
// character outside the BMP arriving in two halves), pastes and any other
// change of a field cut to what the rule keeps.
#include "zelvane_window.h"

#include <commctrl.h>

#include "field_input.h"
#include "form_description.h"
#include "wide_text.h"
#include "zelvane_window_shared.h"

namespace zelvane::win32 {
namespace {

std::size_t MaxLength(int index) {
    return static_cast<std::size_t>(form::kText2[static_cast<std::size_t>(index)].maxLength);
}

// The plain text on the clipboard, up to its first NUL; false when there is
// none or the clipboard is busy.
bool ClipboardText(HWND owner, std::wstring& text) {
    if (!IsClipboardFormatAvailable(CF_UNICODETEXT) || !OpenClipboard(owner)) {
        return false;
    }
    bool found = false;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* units = static_cast<const wchar_t*>(GlobalLock(data))) {
            const std::size_t size = GlobalSize(data) / sizeof(wchar_t);
            text.assign(units, std::wstring_view(units, size).find(L'\0') == std::wstring_view::npos
                                   ? size
                                   : std::wstring_view(units, size).find(L'\0'));
            GlobalUnlock(data);
            found = true;
        }
    }
    CloseClipboard();
    return found;
}

}  // namespace

// The fields apply the core's field rule. Typed characters and pastes are
// cut before the edit box sees them, so that its undo still works; any
// other change (an input method, undo, a message from outside) is cut after.
LRESULT CALLBACK ZelvaneWindow::FieldProcedure(HWND field, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR index,
                                               DWORD_PTR data) {
    auto* self = reinterpret_cast<ZelvaneWindow*>(data);
    const int i = static_cast<int>(index);
    const bool readOnly = form::kText2[index].readOnly;
    if (message == WM_CHAR && !readOnly) {
        const auto unit = static_cast<wchar_t>(wParam);
        wchar_t& pending = self->pendingHigh_[index];
        // A character outside the BMP arrives as two messages: the pair is
        // inserted as one character.
        if (unit >= 0xD800 && unit <= 0xDBFF) {
            if (pending) {
                self->Insert(i, std::wstring(1, pending));
            }
            pending = unit;
            return 0;
        }
        if (pending) {
            const wchar_t high = pending;
            pending = 0;
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                self->Insert(i, std::wstring{high, unit});
                return 0;
            }
            self->Insert(i, std::wstring(1, high));
        }
        // Control characters (Backspace, Ctrl+C, ...) are the box's own.
        if (unit >= 0x20 && unit != 0x7F && !self->Insert(i, std::wstring(1, unit), true)) {
            return 0;
        }
    } else if (message == WM_GETOBJECT) {
        self->names_.Apply();
    } else if (message == WM_CONTEXTMENU && i == kExpansion) {
        self->ShowExpansionMenu(field, lParam);
        return 0;
    } else if (message == WM_PASTE && !readOnly) {
        std::wstring text;
        if (ClipboardText(self->window_, text)) {
            self->Insert(i, text);
            return 0;
        }
    }
    return DefSubclassProc(field, message, wParam, lParam);
}

// Puts what the core's rule keeps of `text` in place of the selection of
// Text2(index), as one edit the box can undo. When all of it is kept and
// `boxMayType` holds, the box is left to type it itself: returns true then,
// having done nothing.
bool ZelvaneWindow::Insert(int index, std::wstring_view text, bool boxMayType) {
    const HWND field = text2_[static_cast<std::size_t>(index)];
    DWORD from = 0;
    DWORD to = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    const std::wstring kept = Wide(KeptInsertion(state_.Text2(index), from, to, Units(text), MaxLength(index)));
    if (boxMayType && kept == text) {
        return true;
    }
    if (!kept.empty() || from != to) {
        SendMessageW(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(kept.c_str()));
    }
    return false;
}

// Any change of a field: the core keeps what its rule keeps, and the field
// shows exactly that.
void ZelvaneWindow::Edited(int index) {
    const HWND field = text2_[static_cast<std::size_t>(index)];
    const std::wstring shown = WindowText(field);
    DWORD from = 0;
    DWORD caret = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&caret));
    const FieldRewrite rewrite = EditText2(state_, index, Units(shown), caret, MaxLength(index));
    if (rewrite.needed) {
        SetWindowTextW(field, Wide(rewrite.text).c_str());
        SendMessageW(field, EM_SETSEL, rewrite.caret, rewrite.caret);
    }
}

}  // namespace zelvane::win32
