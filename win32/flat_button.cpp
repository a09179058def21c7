#include "flat_button.h"

#include <algorithm>
#include <iterator>

#include "win32_description.h"

namespace zelvane::win32 {

void DrawFlatButton(const DRAWITEMSTRUCT& item, int index, HFONT font, int dpi) {
    const HDC dc = item.hDC;
    const bool unavailable = item.itemState & ODS_DISABLED;
    const bool pressed = item.itemState & ODS_SELECTED;
    RECT rect = item.rcItem;

    // Flat, in the button's own colour; grey while unavailable.
    const COLORREF fill = Colour(unavailable ? form::kUnavailableButton : form::kCommand1[index].colour);
    SetDCBrushColor(dc, fill);
    FillRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    FrameRect(dc, &rect, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const int unit = std::max(1, MulDiv(1, dpi, USER_DEFAULT_SCREEN_DPI));
    if (pressed) {
        // Pressed: a shadow along the top and left edges inside the frame,
        // and the caption one step down and to the right.
        SetDCBrushColor(dc, RGB(GetRValue(fill) / 2, GetGValue(fill) / 2, GetBValue(fill) / 2));
        RECT top{rect.left + 1, rect.top + 1, rect.right - 1, rect.top + 1 + 2 * unit};
        RECT left{rect.left + 1, rect.top + 1, rect.left + 1 + 2 * unit, rect.bottom - 1};
        FillRect(dc, &top, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        FillRect(dc, &left, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }

    wchar_t caption[64];
    GetWindowTextW(item.hwndItem, caption, static_cast<int>(std::size(caption)));
    RECT textRect = rect;
    if (pressed) {
        OffsetRect(&textRect, unit, unit);
    }
    const HGDIOBJ previousFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Colour(unavailable ? form::kUnavailableButtonText : form::kButtonText));
    DrawTextW(dc, caption, -1, &textRect, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, previousFont);

    if ((item.itemState & ODS_FOCUS) && !(item.itemState & ODS_NOFOCUSRECT)) {
        RECT focus = rect;
        InflateRect(&focus, -3 * unit, -3 * unit);
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, fill);
        DrawFocusRect(dc, &focus);
    }
}

}  // namespace zelvane::win32
