// List and tree items, and the item data they carry.
#include "ui/list_items.h"

#include "platform/handles.h"
#include "text/text.h"

#include <windowsx.h>

char* CopyForItemData(const char* text) {
    const size_t length = TextLength(text);
    auto* copy = static_cast<char*>(AllocateHeapBlock(length + 1));
    if (copy)
        CopyBytes(text, copy, length);
    return copy;
}

void FreeItemData(LPARAM data) {
    if (data)
        FreeHeapBlock(reinterpret_cast<void*>(data));
}

int ListCount(HWND list) {
    return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

void AddListColumns(HWND list, const char* const* names, const int* shares, int count,
                    DWORD extraStyle) {
    const DWORD style = LVS_EX_FULLROWSELECT | extraStyle;
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, style, style);
    RECT client;
    GetClientRect(list, &client);
    for (int column = 0; column < count; ++column) {
        LVCOLUMNA header = {};
        header.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        header.pszText = const_cast<char*>(names[column]);
        header.cx = (client.right - GetSystemMetrics(SM_CXVSCROLL)) * shares[column] / 100;
        header.iSubItem = column;
        SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&header));
    }
}

LPARAM ListItemData(HWND list, int row) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return item.lParam;
}

int ListRowAt(HWND list, POINT point) {
    LVHITTESTINFO hit = {};
    hit.pt = point;
    return static_cast<int>(SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
}

void SetListItemState(HWND list, int row, UINT state) {
    LVITEMA item = {};
    item.state = state;
    item.stateMask = state;
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

void SelectListRow(HWND list, int row) {
    SetListItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED);
    SetFocus(list);
    SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
}

HTREEITEM TreeRelative(HWND tree, UINT relation, HTREEITEM item) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(item)));
}

HTREEITEM InsertTreeItem(HWND tree, HTREEITEM parent, HTREEITEM after, const char* text,
                         UINT state) {
    TVINSERTSTRUCTA insert = {};
    insert.hParent = parent;
    insert.hInsertAfter = after;
    insert.item.mask = TVIF_TEXT | (state ? TVIF_STATE : 0);
    insert.item.state = state;
    insert.item.stateMask = state;
    insert.item.pszText = const_cast<char*>(text);
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

void SelectTreeItem(HWND tree, HTREEITEM item) {
    SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
}

void ReadTreeItemText(HWND tree, HTREEITEM treeItem, char* text, int size) {
    FillWords(text, static_cast<size_t>(size), 0);
    TVITEMA item = {};
    item.mask = TVIF_TEXT;
    item.hItem = treeItem;
    item.pszText = text;
    item.cchTextMax = size;
    SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

POINT CursorIn(HWND control) {
    POINT point;
    GetCursorPos(&point);
    ScreenToClient(control, &point);
    return point;
}

bool IsKeyboardMenu(LPARAM position) {
    return GET_X_LPARAM(position) == -1 && GET_Y_LPARAM(position) == -1;
}

namespace {

// Below the left end of an item's rectangle, else the control's corner.
POINT MenuPointBelow(HWND control, const RECT* item) {
    POINT point = {item ? item->left : 0, item ? item->bottom : 0};
    ClientToScreen(control, &point);
    return point;
}

} // namespace

POINT ListRowMenuPoint(HWND list, int row) {
    RECT rect = {LVIR_LABEL, 0, 0, 0};
    const bool shown =
        row >= 0 && SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect));
    return MenuPointBelow(list, shown ? &rect : nullptr);
}

POINT TreeItemMenuPoint(HWND tree, HTREEITEM item) {
    RECT rect = {};
    const bool shown = item && TreeView_GetItemRect(tree, item, &rect, TRUE);
    return MenuPointBelow(tree, shown ? &rect : nullptr);
}
