// The admin-mode main window (dialog 1200): the machine's extensions in one
// list and the details of the current one, read from HKEY_LOCAL_MACHINE.
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
#include "writer/delete_restore.h"

#include <commctrl.h>

#include <iterator>
#include <string>

namespace {

// The details pane of the template, in dialog units.
constexpr int kPaneLeft = 134;
constexpr int kPaneRight = 390;

constexpr MenuEntryTemplate kListMenu[] = {{IDM_EDIT, kMenuEdit, kKeyEnter},
                                           {IDM_NEWEXTENSION, kMenuNewExtension, kKeyNewExtension},
                                           {IDM_DELETE, kMenuDelete, kKeyDelete}};

void OnInitDialog(HWND dialog) {
    AppState.MainWindow = dialog;
    AppState.StatusBar = GetDlgItem(dialog, IDC_ADMIN_STATUS);
    SetMainWindowIcons(dialog);
    TakeDetailsPaneAdmin(dialog);
    InsertCaptionTab(GetDlgItem(dialog, IDC_ADMIN_SYSTEMTAB), kTextSystemGroup, kImage16SystemTab);
    AppState.ExtensionList = GetDlgItem(dialog, IDC_ADMIN_LIST);
    AppState.ExtensionTree = nullptr;
    AppState.CustomizedRoot = nullptr;
    AppState.DefinedRoot = nullptr;
    ExtensionRecord.NoneAllowed = 0;
    PrepareExtensionList(AppState.ExtensionList);
    TakeContextMenus(BuildContextMenu(kListMenu, std::size(kListMenu)), nullptr);
    StartMainWindowKeys(dialog);
    StartCatalogueLoad();
}

void ShowListItem(int index) {
    TakeListItem(index);
    ReadDetailsAdminMode();
    ShowEditFlagsTest(HKEY_LOCAL_MACHINE);
}

// A saved edit shows at once: the pane reads what the save wrote.
void OnEdit(HWND) {
    RunPropertyEditor(kEditorEdit);
    if (EditorDiscarded == 0)
        ShowListItem(AppState.CurrentListIndex);
}

void OnNewExtension(HWND) {
    RunNewExtensionDialog();
    ShowStatusCounts();
    SetFocus(AppState.ExtensionList);
}

void OnDelete(HWND) {
    DeleteExtensionAdmin();
    ShowStatusCounts();
}

INT_PTR OnListNotify(HWND dialog, const NMHDR* header) {
    switch (header->code) {
    case LVN_ITEMCHANGING: {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        if (change->uNewState == (LVIS_SELECTED | LVIS_FOCUSED))
            ShowListItem(change->iItem);
        return FALSE;
    }
    case NM_SETFOCUS:
        ShowListItem(AppState.CurrentListIndex);
        return TRUE;
    case NM_DBLCLK:
        if (ListItemAtCursor() >= 0)
            OnEdit(dialog);
        return TRUE;
    case NM_RCLICK:
        TrackMenuAtCursor(dialog, AppState.ListMenu);
        return TRUE;
    default:
        return FALSE;
    }
}

void RunCommand(HWND dialog, WPARAM command) {
    if (RunSharedCommand(dialog, command))
        return;
    switch (command) {
    case IDM_EDIT:
        OnEdit(dialog);
        break;
    case IDM_NEWEXTENSION:
        OnNewExtension(dialog);
        break;
    case IDM_DELETE:
        OnDelete(dialog);
        break;
    case IDM_OPENSELECTED:
    case IDM_DELETESELECTED:
        // Only on a row the list has selected.
        if (ListView_GetNextItem(AppState.ExtensionList, -1, LVNI_SELECTED) < 0)
            break;
        if (command == IDM_OPENSELECTED)
            OnEdit(dialog);
        else
            OnDelete(dialog);
        break;
    default:
        break;
    }
}

} // namespace

INT_PTR CALLBACK AdminMainWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case kCatalogueLoadedMessage:
        FillCatalogue(lParam);
        return TRUE;
    case WM_DPICHANGED:
        FollowDpiChange(dialog, wParam, lParam);
        ShowListItem(AppState.CurrentListIndex);
        return TRUE;
    case WM_COMMAND:
        // From a menu (0) or a key (1).
        if (HIWORD(wParam) <= 1)
            RunCommand(dialog, LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        return header->hwndFrom == AppState.ExtensionList ? OnListNotify(dialog, header) : FALSE;
    }
    case WM_CONTEXTMENU:
        return OnListKeyboardMenu(dialog, reinterpret_cast<HWND>(wParam), lParam);
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
