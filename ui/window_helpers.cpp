// Etched rules, headings, placement, the window's scale, the program chooser.
#include "ui/window_helpers.h"

#include "platform/handles.h"
#include "resources/texts.h"
#include "text/text.h"

#include <commdlg.h>

namespace {

// The gap between a heading's text and its rule, in dialog units.
constexpr int kHeadingGap = 2;

void FillLine(HDC dc, int x1, int x2, int y, int width, int colour) {
    RECT line = {x1, y, x2, y + width};
    FillRect(dc, &line, GetSysColorBrush(colour));
}

// The system's per-window answers, where it has them (Windows 10 1607 and
// later, and Wine).
template <typename Function> Function User32(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

} // namespace

UINT WindowDpi(HWND window) {
    static const auto forWindow = User32<UINT(WINAPI*)(HWND)>("GetDpiForWindow");
    if (forWindow && window)
        if (const UINT dpi = forWindow(window))
            return dpi;
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

int ScaleToDpi(int pixels, UINT dpi) {
    return MulDiv(pixels, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI);
}

int MetricForDpi(int index, UINT dpi) {
    static const auto forDpi = User32<int(WINAPI*)(int, UINT)>("GetSystemMetricsForDpi");
    return forDpi ? forDpi(index, dpi) : GetSystemMetrics(index);
}

void DrawEtchedLine(HDC dc, int x1, int x2, int y, int width) {
    FillLine(dc, x1, x2, y, width, COLOR_BTNSHADOW);
    FillLine(dc, x1, x2, y + width, width, COLOR_BTNHIGHLIGHT);
}

void DrawEtchedLineInUnits(HWND dialog, HDC dc, int x1, int x2, int y) {
    RECT line = {x1, y, x2, y};
    MapDialogRect(dialog, &line);
    DrawEtchedLine(dc, line.left, line.right, line.top, ScaleToDpi(1, WindowDpi(dialog)));
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

bool ChooseProgramFile(HWND owner, char* path) {
    OPENFILENAMEA request = {};
    request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    request.hwndOwner = owner;
    request.lpstrFilter = kTextProgramsFilter;
    request.lpstrFile = path;
    request.nMaxFile = kTextSize;
    request.lpstrTitle = kTextBrowseForPrograms;
    request.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    return GetOpenFileNameA(&request) != 0;
}

HFONT CreateBoldFont(HWND window, const char* face, LONG height) {
    LOGFONTA font = {};
    font.lfHeight = ScaleToDpi(height, WindowDpi(window));
    font.lfWeight = FW_BOLD;
    CopyTextBounded(face, font.lfFaceName, LF_FACESIZE);
    return CreateFontIndirectA(&font);
}

void ShowHeadings(HWND page, FontOwner* font, const HeadingRule* rules, size_t count) {
    FontOwner previous(font->release());
    font->reset(CreateBoldFont(page, kHeadingFace, kHeadingHeight));
    for (size_t i = 0; i < count; ++i)
        SendDlgItemMessageA(page, rules[i].Heading, WM_SETFONT,
                            reinterpret_cast<WPARAM>(font->get()), FALSE);
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
        const int width = ScaleToDpi(1, WindowDpi(page));
        DrawEtchedLine(dc, line.left, bounds.left - gap.left, line.top, width);
        DrawEtchedLine(dc, bounds.left + extent.cx + gap.left, line.right, line.top, width);
    }
}
