// The shared window description in Win32's types.
#pragma once

#include <windows.h>

#include "form_description.h"

namespace zelvane::win32 {

inline COLORREF Colour(form::Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }

}  // namespace zelvane::win32
