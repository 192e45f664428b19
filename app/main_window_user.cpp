// The user-mode main window (dialog 1000): the catalogue in a list and a
// tree, the details of the current extension, two context menus.
#include "app/entry_dialog.h"
#include "app/main_window.h"
#include "app/main_window_shared.h"
#include "catalogue/catalogue.h"
#include "editor/editor_frame.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/text.h"
#include "ui/app_ui.h"
#include "ui/list_items.h"
#include "ui/please_wait.h"
#include "writer/delete_restore.h"

#include <commctrl.h>

#include <iterator>
#include <string>

namespace {

constexpr int kTreeMenuSwitchPosition = 3;
constexpr DWORD kLogonNameSize = BufferFor(256);
// The details pane of the template, in dialog units.
constexpr int kPaneLeft = 268;
constexpr int kPaneRight = 524;

void SetUpTabs(HWND dialog) {
    InsertCaptionTab(GetDlgItem(dialog, IDC_MAIN_SYSTEMTAB), kTextSystemGroup, kImage16SystemTab);
    InsertCaptionTab(GetDlgItem(dialog, IDC_MAIN_SYSTEMTAB), kTextLinksTab, -1);
    char logonName[kLogonNameSize] = {};
    DWORD length = kLogonNameSize;
    GetUserNameA(logonName, &length);
    InsertCaptionTab(GetDlgItem(dialog, IDC_MAIN_USERTAB), logonName, kImage16UserTab);
}

constexpr MenuEntryTemplate kListMenu[] = {{IDM_CUSTOMIZE, kMenuCustomize, kKeyEnter},
                                           {IDM_NEWEXTENSION, kMenuNewExtension, kKeyNewExtension},
                                           {IDM_NEWLINKTYPE, kMenuNewLinkType, kKeyNewLinkType}};
// The tree's menu holds "Search" at position 3 until the first right-click
// puts "Restore" or "Delete" there.
constexpr MenuEntryTemplate kTreeMenu[] = {{IDM_EDIT, kMenuEdit, kKeyEnter},
                                           {IDM_NEWEXTENSION, kMenuNewExtension, kKeyNewExtension},
                                           {IDM_NEWLINKTYPE, kMenuNewLinkType, kKeyNewLinkType}};

void OnInitDialog(HWND dialog, LPARAM parameter) {
    MainWindow& main = TakeMainWindow(dialog, parameter);
    CatalogueView& catalogue = main.Catalogue;
    catalogue.StatusBar = GetDlgItem(dialog, IDC_MAIN_STATUS);
    catalogue.List = GetDlgItem(dialog, IDC_MAIN_LIST);
    catalogue.Links = GetDlgItem(dialog, IDC_MAIN_LINKS);
    catalogue.Tree = GetDlgItem(dialog, IDC_MAIN_TREE);
    main.ListTabs = GetDlgItem(dialog, IDC_MAIN_SYSTEMTAB);
    SetMainWindowIcons(dialog);
    main.Pane = TakeDetailsPaneUser(dialog);
    SetUpTabs(dialog);
    PrepareCatalogue(&catalogue);
    main.ListMenu.reset(BuildContextMenu(kListMenu, std::size(kListMenu)));
    main.TreeMenu.reset(BuildContextMenu(kTreeMenu, std::size(kTreeMenu)));
    StartMainWindowKeys(dialog);
    StartCatalogueLoad(catalogue);
}

// --- The lists ("System", "Links")

void ShowListItem(MainWindow& main, int index) {
    TakeListItem(main, index);
    ShowExtension(main, main.CurrentExtension);
}

// Customize, with the editor on action where one is given.
void OnCustomize(MainWindow& main, const std::string& action = "") {
    if (!RunPropertyEditor(main.Window, kEditorCustomize, ReadCurrent(main), RunMode::User, action))
        return;
    MoveToCustomized(main.Catalogue, main.CurrentListIndex, main.CurrentExtension.c_str());
    ShowStatusCounts(main.Catalogue);
}

void OnListItemChanging(MainWindow& main, const NMLISTVIEW* change) {
    if (change->uNewState == (LVIS_SELECTED | LVIS_FOCUSED))
        ShowListItem(main, change->iItem);
}

INT_PTR OnListNotify(MainWindow& main, const NMHDR* header) {
    switch (header->code) {
    case LVN_ITEMCHANGING:
        OnListItemChanging(main, reinterpret_cast<const NMLISTVIEW*>(header));
        return FALSE;
    case NM_SETFOCUS:
        ShowListItem(main, main.CurrentListIndex);
        return TRUE;
    case NM_DBLCLK:
        if (ListItemAtCursor(main) >= 0)
            OnCustomize(main);
        return TRUE;
    case NM_RCLICK:
        TrackMenuAtCursor(main, main.ListMenu.get());
        return TRUE;
    default:
        return FALSE;
    }
}

// --- The tree ("User Customized", "User Defined")

HTREEITEM TreeNext(const MainWindow& main, UINT relation, HTREEITEM item) {
    return TreeRelative(main.Catalogue.Tree, relation, item);
}

bool IsExtensionItem(const MainWindow& main, HTREEITEM item) {
    return item && TreeNext(main, TVGN_PARENT, item);
}

bool IsCustomized(const MainWindow& main, HTREEITEM item) {
    return TreeNext(main, TVGN_PARENT, item) == main.Catalogue.CustomizedRoot;
}

// The current extension from an item of the tree.
void TakeTreeItem(MainWindow& main, HTREEITEM item) {
    char text[kNameSize] = {};
    ReadTreeItemText(main.Catalogue.Tree, item, text, kNameSize);
    main.CurrentExtension = text;
    main.CurrentTreeItem = item;
}

// The item under the cursor, or null when the click hit none. The row of an
// item is all of it: its text, its icon, its indent and the space right of
// its text.
HTREEITEM TreeItemAtCursor(const MainWindow& main) {
    TVHITTESTINFO hit = {};
    hit.pt = CursorIn(main.Catalogue.Tree);
    SendMessageA(main.Catalogue.Tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
    return (hit.flags & (TVHT_ONITEM | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON | TVHT_ONITEMRIGHT))
               ? hit.hItem
               : nullptr;
}

void OnTreeSelection(MainWindow& main) {
    HTREEITEM caret = TreeNext(main, TVGN_CARET, nullptr);
    if (!IsExtensionItem(main, caret)) {
        ClearDetails(main.Pane);
        return;
    }
    TakeTreeItem(main, caret);
    ShowExtension(main, main.CurrentExtension);
}

// A saved edit shows at once: the pane reads what the save wrote.
void OnEdit(MainWindow& main, const std::string& action = "") {
    if (RunPropertyEditor(main.Window, kEditorEdit, ReadCurrent(main), RunMode::User, action))
        ShowExtension(main, main.CurrentExtension);
}

void OnTreeDoubleClick(MainWindow& main) {
    HTREEITEM item = TreeItemAtCursor(main);
    if (!IsExtensionItem(main, item))
        return;
    TakeTreeItem(main, item);
    OnEdit(main);
}

// "Restore" for a "User Customized" item, "Delete" for a "User Defined" one.
void SwitchTreeMenuEntry(MainWindow& main, HTREEITEM item) {
    const bool customized = IsCustomized(main, item);
    HMENU menu = main.TreeMenu.get();
    DeleteMenu(menu, kTreeMenuSwitchPosition, MF_BYPOSITION);
    InsertMenuA(menu, kTreeMenuSwitchPosition, MF_BYPOSITION | MF_STRING,
                customized ? IDM_RESTORE : IDM_DELETE,
                (std::string(customized ? kMenuRestore : kMenuDelete) + kKeyDelete).c_str());
}

// The tree's menu for item (a right-click's or the keyboard's), at screen.
void OnTreeMenu(MainWindow& main, HTREEITEM item, POINT screen) {
    if (!item)
        return;
    if (!IsExtensionItem(main, item)) {
        ClearDetails(main.Pane);
        return;
    }
    TakeTreeItem(main, item);
    SwitchTreeMenuEntry(main, item);
    ShowExtension(main, main.CurrentExtension);
    TrackMenuAt(main, main.TreeMenu.get(), screen);
}

INT_PTR OnContextMenu(MainWindow& main, HWND control, LPARAM position) {
    if (control != main.Catalogue.Tree || !IsKeyboardMenu(position))
        return OnListKeyboardMenu(main, control, position);
    HTREEITEM selected = TreeNext(main, TVGN_CARET, nullptr);
    OnTreeMenu(main, selected, TreeItemMenuPoint(control, selected));
    return TRUE;
}

INT_PTR OnTreeNotify(MainWindow& main, const NMHDR* header) {
    switch (header->code) {
    case TVN_SELCHANGEDA:
    case NM_SETFOCUS:
        OnTreeSelection(main);
        return TRUE;
    case NM_DBLCLK:
        OnTreeDoubleClick(main);
        return TRUE;
    case NM_RCLICK: {
        POINT cursor;
        GetCursorPos(&cursor);
        OnTreeMenu(main, TreeItemAtCursor(main), cursor);
        return TRUE;
    }
    default:
        return FALSE;
    }
}

// --- Commands

void OnNewType(MainWindow& main, bool link) {
    if (link)
        RunNewLinkTypeDialog(main);
    else
        RunNewExtensionDialog(main);
    ShowStatusCounts(main.Catalogue);
}

// Delete or Restore of the current tree item, once the question is answered
// Yes; the tree and list follow a change that was made.
void OnDeleteOrRestore(MainWindow& main, int mode) {
    // What was asked about is what changes: the focus coming back as the
    // question closes may show another item meanwhile.
    const std::string extension = main.CurrentExtension;
    const HTREEITEM item = main.CurrentTreeItem;
    const bool restore = mode == kRestoreMachineExtension;
    const std::string question =
        (restore ? kTextRestorePrompt : kTextDeletePrompt) + extension + kTextContinueQuestion;
    if (MessageBoxA(main.Window, question.c_str(),
                    restore ? kTextRestoreCaption : kTextDeleteCaption,
                    MB_YESNO | MB_ICONHAND) != IDYES ||
        !ChangeDone(main, DeleteOrRestoreUser(mode, extension)))
        return;
    if (restore) {
        MoveToList(main.Catalogue, item, extension.c_str());
        ShowListTab(main, ListTabOf(extension.c_str()));
    } else {
        RemoveTreeItem(main.Catalogue, item);
    }
    RunShellRefresh(nullptr);
    ShowStatusCounts(main.Catalogue);
}

// Enter and Delete act on the focused control's selection: Enter as a
// double-click does, Delete as the tree's Delete or Restore does.
void OnSelectedKey(MainWindow& main, WPARAM command) {
    const HTREEITEM item = TreeNext(main, TVGN_CARET, nullptr);
    if (GetFocus() != main.Catalogue.Tree) {
        if (command == IDM_OPENSELECTED &&
            ListView_GetNextItem(ShownList(main), -1, LVNI_SELECTED) >= 0)
            OnCustomize(main);
        return;
    }
    if (!IsExtensionItem(main, item))
        return;
    TakeTreeItem(main, item);
    if (command == IDM_OPENSELECTED)
        OnEdit(main);
    else
        OnDeleteOrRestore(main, IsCustomized(main, item) ? kRestoreMachineExtension
                                                         : kDeleteUserExtension);
}

// The type the Problems window names becomes the current one; for an action,
// its editor opens on it, as a double-click there opens it.
void OnProblems(MainWindow& main) {
    std::string action;
    HWND control = RunProblems(main, &action);
    if (control == main.Catalogue.Tree)
        OnTreeSelection(main);
    if (!control || action.empty())
        return;
    if (control == main.Catalogue.Tree)
        OnEdit(main, action);
    else
        OnCustomize(main, action);
}

void RunCommand(MainWindow& main, WPARAM command) {
    if (RunSharedCommand(main, command))
        return;
    switch (command) {
    case IDM_CUSTOMIZE:
        OnCustomize(main);
        break;
    case IDM_EDIT:
        OnEdit(main);
        break;
    case IDM_SEARCH:
        RunFindDialog(main);
        break;
    case IDM_NEWEXTENSION:
    case IDM_NEWLINKTYPE:
        OnNewType(main, command == IDM_NEWLINKTYPE);
        break;
    case IDM_DELETE:
        OnDeleteOrRestore(main, kDeleteUserExtension);
        break;
    case IDM_RESTORE:
        OnDeleteOrRestore(main, kRestoreMachineExtension);
        break;
    case IDM_OPENSELECTED:
    case IDM_DELETESELECTED:
        OnSelectedKey(main, command);
        break;
    case IDM_PROBLEMS:
        OnProblems(main);
        break;
    default:
        break;
    }
}

INT_PTR OnNotify(MainWindow& main, const NMHDR* header) {
    if (header->hwndFrom == ShownList(main))
        return OnListNotify(main, header);
    if (header->hwndFrom == main.ListTabs && header->code == TCN_SELCHANGE) {
        ShowListTab(main, static_cast<int>(SendMessageA(main.ListTabs, TCM_GETCURSEL, 0, 0)));
        return TRUE;
    }
    if (header->hwndFrom == main.Catalogue.Tree)
        return OnTreeNotify(main, header);
    return FALSE;
}

void OnDpiChanged(MainWindow& main, WPARAM wParam, LPARAM lParam) {
    FollowDpiChange(main.Window, wParam, lParam);
    if (GetFocus() == main.Catalogue.Tree)
        OnTreeSelection(main);
    else
        ShowListItem(main, main.CurrentListIndex);
}

} // namespace

INT_PTR CALLBACK UserMainWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        OnInitDialog(dialog, lParam);
        return TRUE;
    }
    if (!GetWindowLongPtrA(dialog, DWLP_USER))
        return FALSE;
    MainWindow& main = MainWindowOf(dialog);
    switch (message) {
    case kCatalogueLoadedMessage:
        FillCatalogue(main.Catalogue, lParam);
        return TRUE;
    case WM_DPICHANGED:
        OnDpiChanged(main, wParam, lParam);
        return TRUE;
    case WM_COMMAND:
        // From a menu (0) or a key (1).
        if (HIWORD(wParam) <= 1)
            RunCommand(main, LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(main, reinterpret_cast<const NMHDR*>(lParam));
    case WM_CONTEXTMENU:
        return OnContextMenu(main, reinterpret_cast<HWND>(wParam), lParam);
    case WM_PAINT:
        PaintDetailsRules(dialog, kPaneLeft, kPaneRight);
        return TRUE;
    case WM_CLOSE:
        CloseMainWindow(main);
        return TRUE;
    default:
        return FALSE;
    }
}
