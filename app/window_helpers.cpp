// Etched rules, placement and centring.
#include "app/window_helpers.h"

namespace {

void DrawLine(HDC dc, int x1, int x2, int y, int colour) {
    HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(colour));
    HGDIOBJ previous = SelectObject(dc, pen);
    MoveToEx(dc, x1, y, nullptr);
    LineTo(dc, x2, y);
    SelectObject(dc, previous);
    DeleteObject(pen);
}

} // namespace

void DrawEtchedLine(HDC dc, int x1, int x2, int y) {
    DrawLine(dc, x1, x2, y, COLOR_BTNSHADOW);
    DrawLine(dc, x1, x2, y + 1, COLOR_BTNHIGHLIGHT);
}

void DrawEtchedLineInUnits(HWND dialog, HDC dc, int x1, int x2, int y) {
    RECT line = {x1, y, x2, y};
    MapDialogRect(dialog, &line);
    DrawEtchedLine(dc, line.left, line.right, line.top);
}

RECT RectInDialog(HWND dialog, HWND control) {
    RECT rect = {};
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void CenterOver(HWND parent, HWND child) {
    RECT outer, inner;
    GetWindowRect(parent, &outer);
    GetWindowRect(child, &inner);
    const int parentWidth = outer.right - outer.left;
    const int parentHeight = outer.bottom - outer.top;
    const int childWidth = inner.right - inner.left;
    const int childHeight = inner.bottom - inner.top;
    MoveWindow(child, outer.left + (parentWidth / 2 - childWidth / 2),
               outer.top + (parentHeight / 2 - childHeight / 2), childWidth, childHeight, FALSE);
}
