// Items of list views and tree views as the program's windows use them, and
// the item data they carry: application key names as zero-terminated heap
// copies on the process heap, owned by the control's owner until it releases
// them when its dialog closes.
#pragma once
#include <windows.h>
#include <commctrl.h>

// A heap copy of text for a control to hold (null when there is no room);
// FreeItemData releases it (null is allowed).
char* CopyForItemData(const char* text);
void FreeItemData(LPARAM data);

int ListCount(HWND list);
// A full-row report list's columns, each names[i] taking shares[i] percent of
// the width a vertical scroll bar leaves; extraStyle adds to the list's
// extended styles.
void AddListColumns(HWND list, const char* const* names, const int* shares, int count,
                    DWORD extraStyle = 0);
// The item data of a list row; 0 when there is no such row.
LPARAM ListItemData(HWND list, int row);
// The row under a point in the list's client co-ordinates; -1 for none.
int ListRowAt(HWND list, POINT point);
// Gives a row the state (and takes it from no other row).
void SetListItemState(HWND list, int row, UINT state);
// The row selected and focused, the list focused, the row in view.
void SelectListRow(HWND list, int row);

HTREEITEM TreeRelative(HWND tree, UINT relation, HTREEITEM item);
// A text item below parent, after after (TVI_SORT, TVI_LAST ...), with state
// (0 for none).
HTREEITEM InsertTreeItem(HWND tree, HTREEITEM parent, HTREEITEM after, const char* text,
                         UINT state);
void SelectTreeItem(HWND tree, HTREEITEM item);
// The item's text into text (size bytes, zero-filled first).
void ReadTreeItemText(HWND tree, HTREEITEM item, char* text, int size);

// The cursor position in a control's client co-ordinates.
POINT CursorIn(HWND control);
// A context menu asked for from the keyboard (Shift+F10, the menu key) comes
// without a position.
bool IsKeyboardMenu(LPARAM position);
// Where such a menu opens, in screen co-ordinates: below the row or item,
// else (-1 or null, or out of view) at the control's corner.
POINT ListRowMenuPoint(HWND list, int row);
POINT TreeItemMenuPoint(HWND tree, HTREEITEM item);
