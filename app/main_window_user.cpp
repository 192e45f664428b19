// The user-mode main window (dialog 1000): the catalogue in a list and a
// tree, the details of the current extension, two context menus.
#include "records/app_state.h"
#include "catalogue/catalogue.h"
#include "app/main_window.h"
#include "app/entry_dialog.h"
#include "app/main_window_shared.h"
#include "details/pane.h"
#include "details/readers.h"
#include "records/extension_record.h"
#include "editor/editor_frame.h"
#include "records/editor_state.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/text.h"
#include "ui/list_items.h"
#include "writer/delete_restore.h"

#include <commctrl.h>

#include <iterator>
#include <string>

namespace {

constexpr int kTreeMenuSwitchPosition = 2;
constexpr DWORD kLogonNameSize = BufferFor(256);
// The details pane of the template, in dialog units.
constexpr int kPaneLeft = 268;
constexpr int kPaneRight = 524;

void SetUpTabs(HWND dialog) {
    InsertCaptionTab(GetDlgItem(dialog, IDC_MAIN_SYSTEMTAB), kTextSystemGroup, kImage16SystemTab);
    char logonName[kLogonNameSize] = {};
    DWORD length = kLogonNameSize;
    GetUserNameA(logonName, &length);
    InsertCaptionTab(GetDlgItem(dialog, IDC_MAIN_USERTAB), logonName, kImage16UserTab);
}

constexpr MenuEntryTemplate kListMenu[] = {{IDM_CUSTOMIZE, kMenuCustomize, kKeyEnter},
                                           {IDM_NEWEXTENSION, kMenuNewExtension, kKeyNewExtension}};
// The tree's menu holds "Search" at position 2 until the first right-click
// puts "Restore" or "Delete" there.
constexpr MenuEntryTemplate kTreeMenu[] = {{IDM_EDIT, kMenuEdit, kKeyEnter},
                                           {IDM_NEWEXTENSION, kMenuNewExtension, kKeyNewExtension}};

void BuildMenus() {
    TakeContextMenus(BuildContextMenu(kListMenu, std::size(kListMenu)),
                     BuildContextMenu(kTreeMenu, std::size(kTreeMenu)));
}

void OnInitDialog(HWND dialog) {
    AppState.MainWindow = dialog;
    AppState.StatusBar = GetDlgItem(dialog, IDC_MAIN_STATUS);
    SetMainWindowIcons(dialog);
    TakeDetailsPaneUser(dialog);
    SetUpTabs(dialog);
    AppState.ExtensionList = GetDlgItem(dialog, IDC_MAIN_LIST);
    AppState.ExtensionTree = GetDlgItem(dialog, IDC_MAIN_TREE);
    InsertGroupItems();
    PrepareExtensionList(AppState.ExtensionList);
    BuildMenus();
    StartMainWindowKeys(dialog);
    StartCatalogueLoad();
}

void ShowSelected(HKEY editFlagsHive) {
    ShowDetails();
    ShowEditFlagsTest(editFlagsHive);
}

// --- The list ("System")

void ShowListItem(int index) {
    TakeListItem(index);
    ShowSelected(HKEY_LOCAL_MACHINE);
}

void OnCustomize(HWND) {
    // A machine-wide extension has no user value that "[ NONE ]" could remove.
    ExtensionRecord.NoneAllowed = 0;
    RunPropertyEditor(kEditorCustomize);
    if (EditorMode == kEditorCustomize && EditorDiscarded == 0) {
        MoveToCustomized();
        ShowStatusCounts();
    }
}

void OnListItemChanging(const NMLISTVIEW* change) {
    if (change->uNewState == (LVIS_SELECTED | LVIS_FOCUSED))
        ShowListItem(change->iItem);
}

void OnListDoubleClick(HWND dialog) {
    if (ListItemAtCursor() >= 0)
        OnCustomize(dialog);
}

INT_PTR OnListNotify(HWND dialog, const NMHDR* header) {
    switch (header->code) {
    case LVN_ITEMCHANGING:
        OnListItemChanging(reinterpret_cast<const NMLISTVIEW*>(header));
        return FALSE;
    case NM_SETFOCUS:
        ShowListItem(AppState.CurrentListIndex);
        return TRUE;
    case NM_DBLCLK:
        OnListDoubleClick(dialog);
        return TRUE;
    case NM_RCLICK:
        TrackMenuAtCursor(dialog, AppState.ListMenu);
        return TRUE;
    default:
        return FALSE;
    }
}

// --- The tree ("User Customized", "User Defined")

HTREEITEM TreeNext(UINT relation, HTREEITEM item) {
    return TreeRelative(AppState.ExtensionTree, relation, item);
}

// CurrentExtension from an item of the tree.
void TakeTreeItem(HTREEITEM item) {
    ReadTreeItemText(AppState.ExtensionTree, item, CurrentExtension, kNameSize);
}

// The item under the cursor, or null when the click hit none. The row of an
// item is all of it: its text, its icon, its indent and the space right of
// its text.
HTREEITEM TreeItemAtCursor() {
    TVHITTESTINFO hit = {};
    hit.pt = CursorIn(AppState.ExtensionTree);
    SendMessageA(AppState.ExtensionTree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    return (hit.flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON | TVHT_ONITEMRIGHT))
               ? hit.hItem
               : nullptr;
}

void SetNoneAllowed(HTREEITEM item) {
    ExtensionRecord.NoneAllowed = TreeNext(TVGN_PARENT, item) == AppState.CustomizedRoot ? 0 : 1;
}

void OnTreeSelection() {
    HTREEITEM caret = TreeNext(TVGN_CARET, nullptr);
    if (!caret || !TreeNext(TVGN_PARENT, caret)) {
        ClearDetails();
        return;
    }
    TakeTreeItem(caret);
    AppState.CurrentTreeItem = caret;
    ShowSelected(HKEY_CURRENT_USER);
}

// A saved edit shows at once: the pane reads what the save wrote.
void OnEdit(HWND) {
    RunPropertyEditor(kEditorEdit);
    if (EditorDiscarded == 0)
        ShowSelected(HKEY_CURRENT_USER);
}

void OnTreeDoubleClick(HWND dialog) {
    HTREEITEM item = TreeItemAtCursor();
    if (!item)
        return;
    TakeTreeItem(item);
    if (!TreeNext(TVGN_PARENT, item))
        return;
    SetNoneAllowed(item);
    OnEdit(dialog);
}

// "Restore" for a "User Customized" item, "Delete" for a "User Defined" one.
void SwitchTreeMenuEntry(HTREEITEM item) {
    SetNoneAllowed(item);
    const bool customized = ExtensionRecord.NoneAllowed == 0;
    DeleteMenu(AppState.TreeMenu, kTreeMenuSwitchPosition, MF_BYPOSITION);
    InsertMenuA(AppState.TreeMenu, kTreeMenuSwitchPosition, MF_BYPOSITION | MF_STRING,
                customized ? IDM_RESTORE : IDM_DELETE,
                (std::string(customized ? kMenuRestore : kMenuDelete) + kKeyDelete).c_str());
}

// The tree's menu for item (a right-click's or the keyboard's), at screen.
void OnTreeMenu(HWND dialog, HTREEITEM item, POINT screen) {
    if (!item)
        return;
    TakeTreeItem(item);
    AppState.CurrentTreeItem = item;
    if (!TreeNext(TVGN_PARENT, item)) {
        ClearDetails();
        return;
    }
    SwitchTreeMenuEntry(item);
    ShowSelected(HKEY_CURRENT_USER);
    TrackMenuAt(dialog, AppState.TreeMenu, screen);
}

INT_PTR OnContextMenu(HWND dialog, HWND control, LPARAM position) {
    if (control != AppState.ExtensionTree || !IsKeyboardMenu(position))
        return OnListKeyboardMenu(dialog, control, position);
    HTREEITEM selected = TreeNext(TVGN_CARET, nullptr);
    OnTreeMenu(dialog, selected, TreeItemMenuPoint(control, selected));
    return TRUE;
}

INT_PTR OnTreeNotify(HWND dialog, const NMHDR* header) {
    switch (header->code) {
    case TVN_SELCHANGEDA:
    case NM_SETFOCUS:
        OnTreeSelection();
        return TRUE;
    case NM_DBLCLK:
        OnTreeDoubleClick(dialog);
        return TRUE;
    case NM_RCLICK: {
        POINT cursor;
        GetCursorPos(&cursor);
        OnTreeMenu(dialog, TreeItemAtCursor(), cursor);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

// --- Commands

void OnNewExtension(HWND) {
    RunNewExtensionDialog();
    ShowStatusCounts();
}

void OnDelete(HWND) {
    DeleteOrRestoreUser(kDeleteUserExtension, kTextDeletePrompt, kTextDeleteCaption);
    ShowStatusCounts();
}

void OnRestore(HWND) {
    DeleteOrRestoreUser(kRestoreMachineExtension, kTextRestorePrompt, kTextRestoreCaption);
    ShowStatusCounts();
}

// Enter and Delete act on the focused control's selection: Enter as a
// double-click does, Delete as the tree's Delete or Restore does.
void OnSelectedKey(HWND dialog, WPARAM command) {
    const HTREEITEM item = TreeNext(TVGN_CARET, nullptr);
    if (GetFocus() != AppState.ExtensionTree) {
        if (command == IDM_OPENSELECTED &&
            ListView_GetNextItem(AppState.ExtensionList, -1, LVNI_SELECTED) >= 0)
            OnCustomize(dialog);
        return;
    }
    if (!item || !TreeNext(TVGN_PARENT, item))
        return;
    TakeTreeItem(item);
    AppState.CurrentTreeItem = item;
    SetNoneAllowed(item);
    if (command == IDM_OPENSELECTED)
        OnEdit(dialog);
    else if (ExtensionRecord.NoneAllowed == 0)
        OnRestore(dialog);
    else
        OnDelete(dialog);
}

void RunCommand(HWND dialog, WPARAM command) {
    if (RunSharedCommand(dialog, command))
        return;
    switch (command) {
    case IDM_CUSTOMIZE:
        OnCustomize(dialog);
        break;
    case IDM_EDIT:
        OnEdit(dialog);
        break;
    case IDM_NEWEXTENSION:
        OnNewExtension(dialog);
        break;
    case IDM_DELETE:
        OnDelete(dialog);
        break;
    case IDM_RESTORE:
        OnRestore(dialog);
        break;
    case IDM_OPENSELECTED:
    case IDM_DELETESELECTED:
        OnSelectedKey(dialog, command);
        break;
    default:
        break;
    }
}

INT_PTR OnNotify(HWND dialog, const NMHDR* header) {
    if (header->hwndFrom == AppState.ExtensionList)
        return OnListNotify(dialog, header);
    if (header->hwndFrom == AppState.ExtensionTree)
        return OnTreeNotify(dialog, header);
    return FALSE;
}

} // namespace

INT_PTR CALLBACK UserMainWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case kCatalogueLoadedMessage:
        FillCatalogue(lParam);
        return TRUE;
    case WM_DPICHANGED:
        FollowDpiChange(dialog, wParam, lParam);
        if (GetFocus() == AppState.ExtensionTree)
            OnTreeSelection();
        else
            ShowListItem(AppState.CurrentListIndex);
        return TRUE;
    case WM_COMMAND:
        // From a menu (0) or a key (1).
        if (HIWORD(wParam) <= 1)
            RunCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(dialog, reinterpret_cast<const NMHDR*>(lParam));
    case WM_CONTEXTMENU:
        return OnContextMenu(dialog, reinterpret_cast<HWND>(wParam), lParam);
    case WM_PAINT:
        PaintDetailsRules(dialog, kPaneLeft, kPaneRight);
        return TRUE;
    case WM_CLOSE:
        StopMainWindowKeys();
        TakeContextMenus(nullptr, nullptr);
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}
