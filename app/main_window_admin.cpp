// The admin-mode main window (dialog 1200): the machine's extensions in one
// list and the details of the current one, read from HKEY_LOCAL_MACHINE.
#include "app/entry_dialog.h"
#include "app/main_window.h"
#include "app/main_window_shared.h"
#include "catalogue/catalogue.h"
#include "editor/editor_frame.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "ui/app_ui.h"
#include "ui/please_wait.h"
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
                                           {IDM_NEWLINKTYPE, kMenuNewLinkType, kKeyNewLinkType},
                                           {IDM_DELETE, kMenuDelete, kKeyDelete}};

void OnInitDialog(HWND dialog, LPARAM parameter) {
    MainWindow& main = TakeMainWindow(dialog, parameter);
    main.Catalogue.StatusBar = GetDlgItem(dialog, IDC_ADMIN_STATUS);
    main.Catalogue.List = GetDlgItem(dialog, IDC_ADMIN_LIST);
    main.Catalogue.Links = GetDlgItem(dialog, IDC_ADMIN_LINKS);
    main.ListTabs = GetDlgItem(dialog, IDC_ADMIN_SYSTEMTAB);
    SetMainWindowIcons(dialog);
    main.Pane = TakeDetailsPaneAdmin(dialog);
    InsertCaptionTab(main.ListTabs, kTextSystemGroup, kImage16SystemTab);
    InsertCaptionTab(main.ListTabs, kTextLinksTab, -1);
    PrepareCatalogue(&main.Catalogue);
    main.ListMenu.reset(BuildContextMenu(kListMenu, std::size(kListMenu)));
    StartMainWindowKeys(dialog);
    StartCatalogueLoad(main.Catalogue);
}

void ShowListItem(MainWindow& main, int index) {
    TakeListItem(main, index);
    ShowExtension(main, main.CurrentExtension);
}

// A saved edit shows at once: the pane reads what the save wrote. With an
// action, the editor opens on it.
void OnEdit(MainWindow& main, const std::string& action = "") {
    if (RunPropertyEditor(main.Window, kEditorEdit, ReadCurrent(main), RunMode::Admin, action))
        ShowListItem(main, main.CurrentListIndex);
}

void OnNewType(MainWindow& main, bool link) {
    if (link)
        RunNewLinkTypeDialog(main);
    else
        RunNewExtensionDialog(main);
    ShowStatusCounts(main.Catalogue);
    SetFocus(ShownList(main));
}

// The loud warning, then the extension and its class go for every user; the
// row before it is selected.
void OnDelete(MainWindow& main) {
    // What was asked about is what goes, whatever the focus shows meanwhile.
    const std::string extension = main.CurrentExtension;
    const int row = main.CurrentListIndex;
    const std::string question =
        kTextAdminDeleteWarning + extension + kTextAdminDeleteConsequence + kTextContinueQuestion;
    if (MessageBoxA(main.Window, question.c_str(), kTextDeleteCaption, MB_YESNO | MB_ICONHAND) !=
            IDYES ||
        !ChangeDone(main, DeleteExtensionAdmin(extension)))
        return;
    RunShellRefresh(nullptr);
    main.CurrentListIndex = RemoveListRow(ShownList(main), row);
    ShowStatusCounts(main.Catalogue);
}

INT_PTR OnListNotify(MainWindow& main, const NMHDR* header) {
    switch (header->code) {
    case LVN_ITEMCHANGING: {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        if (change->uNewState == (LVIS_SELECTED | LVIS_FOCUSED))
            ShowListItem(main, change->iItem);
        return FALSE;
    }
    case NM_SETFOCUS:
        ShowListItem(main, main.CurrentListIndex);
        return TRUE;
    case NM_DBLCLK:
        if (ListItemAtCursor(main) >= 0)
            OnEdit(main);
        return TRUE;
    case NM_RCLICK:
        TrackMenuAtCursor(main, main.ListMenu.get());
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR OnNotify(MainWindow& main, const NMHDR* header) {
    if (header->hwndFrom == ShownList(main))
        return OnListNotify(main, header);
    if (header->hwndFrom == main.ListTabs && header->code == TCN_SELCHANGE) {
        ShowListTab(main, static_cast<int>(SendMessageA(main.ListTabs, TCM_GETCURSEL, 0, 0)));
        return TRUE;
    }
    return FALSE;
}

// The type the Problems window names becomes the current one; for an action,
// its editor opens on it.
void OnProblems(MainWindow& main) {
    std::string action;
    if (RunProblems(main, &action) && !action.empty())
        OnEdit(main, action);
}

void RunCommand(MainWindow& main, WPARAM command) {
    if (RunSharedCommand(main, command))
        return;
    switch (command) {
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
        OnDelete(main);
        break;
    case IDM_PROBLEMS:
        OnProblems(main);
        break;
    case IDM_OPENSELECTED:
    case IDM_DELETESELECTED:
        // Only on a row the list has selected.
        if (ListView_GetNextItem(ShownList(main), -1, LVNI_SELECTED) < 0)
            break;
        if (command == IDM_OPENSELECTED)
            OnEdit(main);
        else
            OnDelete(main);
        break;
    default:
        break;
    }
}

} // namespace

INT_PTR CALLBACK AdminMainWindowProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
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
        FollowDpiChange(dialog, wParam, lParam);
        ShowListItem(main, main.CurrentListIndex);
        return TRUE;
    case WM_COMMAND:
        // From a menu (0) or a key (1).
        if (HIWORD(wParam) <= 1)
            RunCommand(main, LOWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(main, reinterpret_cast<const NMHDR*>(lParam));
    case WM_CONTEXTMENU:
        return OnListKeyboardMenu(main, reinterpret_cast<HWND>(wParam), lParam);
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
