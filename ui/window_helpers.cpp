// Etched rules, placement and centring.
#include "ui/window_helpers.h"

#include "platform/handles.h"
#include "text/text.h"

namespace {

// The gap between a heading's text and its rule, in dialog units.
constexpr int kHeadingGap = 2;

void DrawLine(HDC dc, int x1, int x2, int y, int colour) {
    PenOwner pen(CreatePen(PS_SOLID, 1, GetSysColor(colour)));
    HGDIOBJ previous = SelectObject(dc, pen.get());
    MoveToEx(dc, x1, y, nullptr);
    LineTo(dc, x2, y);
    SelectObject(dc, previous);
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

HFONT CreateBoldFont(const char* face, LONG height) {
    LOGFONTA font = {};
    font.lfHeight = height;
    font.lfWeight = FW_BOLD;
    CopyTextBounded(face, font.lfFaceName, LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

void SetHeadingFont(HWND page, HFONT font, const HeadingRule* rules, size_t count) {
    for (size_t i = 0; i < count; ++i)
        SendDlgItemMessageA(page, rules[i].Heading, WM_SETFONT, reinterpret_cast<WPARAM>(font),
                            FALSE);
}

void DrawHeadingRules(HWND page, HDC dc, HFONT font, const HeadingRule* rules, size_t count,
                      int left, int right) {
    RECT gap = {kHeadingGap, 0, 0, 0};
    MapDialogRect(page, &gap);
    for (size_t i = 0; i < count; ++i) {
        HWND heading = GetDlgItem(page, rules[i].Heading);
        const RECT bounds = RectInDialog(page, heading);
        // The right piece starts after the heading's text, which may be
        // narrower than its control.
        char text[kTextSize] = {};
        GetWindowTextA(heading, text, kTextSize);
        SIZE extent = {};
        HGDIOBJ previous = SelectObject(dc, font);
        GetTextExtentPoint32A(dc, text, static_cast<int>(TextLength(text)), &extent);
        SelectObject(dc, previous);
        RECT line = {left, rules[i].Y, right, 0};
        MapDialogRect(page, &line);
        DrawEtchedLine(dc, line.left, bounds.left - gap.left, line.top);
        DrawEtchedLine(dc, bounds.left + extent.cx + gap.left, line.right, line.top);
    }
}
