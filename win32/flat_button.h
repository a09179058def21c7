// The owner-drawn buttons of the form, painted flat in their own colours.
#pragma once

#include <windows.h>

namespace zelvane::win32 {

// Paints Command1(index) flat in its colour (grey while unavailable) with a
// black frame, a black caption in the form's font, a shadow and a shifted
// caption while pressed, and a dotted focus mark. `dpi` scales the strokes.
void DrawFlatButton(const DRAWITEMSTRUCT& item, int index, HFONT font, int dpi);

}  // namespace zelvane::win32
