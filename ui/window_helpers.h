// Small drawing and placement helpers shared by the program's dialogs.
#pragma once
#include <windows.h>

// A one-pixel line from (x1, y) to (x2, y) in the button shadow colour and
// one pixel below it in the button highlight colour: an etched rule.
void DrawEtchedLine(HDC dc, int x1, int x2, int y);
// The same with co-ordinates in dialog units of dialog, converted to its
// client pixels so that the rule follows the layout at any font size.
void DrawEtchedLineInUnits(HWND dialog, HDC dc, int x1, int x2, int y);

// The window rectangle of control in the client co-ordinates of dialog.
RECT RectInDialog(HWND dialog, HWND control);

// Moves child, keeping its size, so that it is centred over parent.
void CenterOver(HWND parent, HWND child);

// The height of the pages' headings (the characters' height in pixels).
constexpr LONG kHeadingHeight = -12;

// A bold font of face at height (negative: the characters' height in
// pixels), for headings and titles; the caller owns it.
HFONT CreateBoldFont(const char* face, LONG height);

// A page's heading and the height, in dialog units, of the etched rule drawn
// through it: on both sides of the heading's text, from left to right.
struct HeadingRule {
    int Heading;
    int Y;
};
// Sets font on the headings of rules.
void SetHeadingFont(HWND page, HFONT font, const HeadingRule* rules, size_t count);
void DrawHeadingRules(HWND page, HDC dc, HFONT font, const HeadingRule* rules, size_t count,
                      int left, int right);
