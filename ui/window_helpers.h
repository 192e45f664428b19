// Small helpers shared by the program's dialogs: drawing, placement, scale,
// and the choice of a program file.
#pragma once

#include <windows.h>

#include "platform/handles.h"

// Sent to a dialog's child windows once the dialog has followed a move to a
// monitor of another scale (Windows 10 1703 and later; the headers of the
// systems the program builds for do not name it).
#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

// The dots per inch of a window's monitor (the system's where the system
// cannot tell one window's), and what a size in pixels at 96 dots per inch
// is at dpi; a system metric (SM_CXICON ...) at dpi.
UINT WindowDpi(HWND window);
int ScaleToDpi(int pixels, UINT dpi);
int MetricForDpi(int index, UINT dpi);

// A line from (x1, y) to (x2, y) in the button shadow colour and below it one
// in the button highlight colour, each width pixels high: an etched rule.
void DrawEtchedLine(HDC dc, int x1, int x2, int y, int width);
// The same with co-ordinates in dialog units of dialog, converted to its
// client pixels so that the rule follows the layout at any font size.
void DrawEtchedLineInUnits(HWND dialog, HDC dc, int x1, int x2, int y);

// The system's Open dialog for a program (*.exe), over owner, starting from
// path (kTextSize bytes), which takes the chosen file; false on Cancel.
bool ChooseProgramFile(HWND owner, char* path);

// The window rectangle of control in the client co-ordinates of dialog.
RECT RectInDialog(HWND dialog, HWND control);

// Moves child, keeping its size, so that it is centred over parent.
void CenterOver(HWND parent, HWND child);

// The height of the pages' headings (the characters' height in pixels).
constexpr LONG kHeadingHeight = -12;

// A bold font of face at height (negative: the characters' height in
// pixels at 96 dots per inch), for headings and titles of window, at its
// monitor's dots per inch; the caller owns it.
HFONT CreateBoldFont(HWND window, const char* face, LONG height);

// A page's heading and the height, in dialog units, of the etched rule drawn
// through it: on both sides of the heading's text, from left to right.
struct HeadingRule {
    int Heading;
    int Y;
};
// The headings of rules in bold at the page's scale, their font held in font
// (the one it held before released once the headings have the new one).
void ShowHeadings(HWND page, FontOwner* font, const HeadingRule* rules, size_t count);
void DrawHeadingRules(HWND page, HDC dc, HFONT font, const HeadingRule* rules, size_t count,
                      int left, int right);
