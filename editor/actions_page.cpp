// The Actions page (dialog 1900, tab "Actions"): the class's verbs as the
// shell lists them, the default one marked, and New, Edit, Remove and Set as
// Default. The "open" action is the Open page's too: both edit the same
// action of the record.
#include "details/actions.h"
#include "editor/action_dialog.h"
#include "editor/editor.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "ui/app_ui.h"
#include "ui/list_items.h"

#include <commctrl.h>

#include <iterator>
#include <string>

namespace {

constexpr HeadingRule kHeadingRules[] = {{IDC_ACTIONS_HEADER, 5}};
constexpr int kRuleLeft = 2;
constexpr int kRuleRight = 296;
// The columns' shares of the list's width, in percent.
constexpr int kColumnShares[] = {34, 20, 46};

HWND ListOf(HWND page) {
    return GetDlgItem(page, IDC_ACTIONS_LIST);
}

int SelectedAction(HWND page) {
    return ListView_GetNextItem(ListOf(page), -1, LVNI_SELECTED);
}

void EnableButtons(HWND page) {
    const FileType& edited = EditorOf(page).Save.Edited;
    const int selected = SelectedAction(page);
    EnableWindow(GetDlgItem(page, IDC_ACTIONS_EDIT), selected >= 0);
    EnableWindow(GetDlgItem(page, IDC_ACTIONS_REMOVE), selected >= 0);
    EnableWindow(GetDlgItem(page, IDC_ACTIONS_DEFAULT),
                 selected >= 0 && (selected != DefaultAction(edited) || DefaultIsMissing(edited)));
}

void SetCell(HWND list, int row, int column, const std::string& text) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

// The list from the record, the row at select selected.
void ShowActions(HWND page, int select) {
    const FileType& edited = EditorOf(page).Save.Edited;
    HWND list = ListOf(page);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    const int defaultAction = DefaultAction(edited);
    const int count = static_cast<int>(edited.Actions.size());
    for (int row = 0; row < count; ++row) {
        const FileAction& action = edited.Actions[row];
        const std::string shown = ShownActionText(action);
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = row;
        item.pszText = const_cast<char*>(shown.c_str());
        item.iImage =
            row == defaultAction && !DefaultIsMissing(edited) ? kImage16Added : I_IMAGENONE;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        SetCell(list, row, 1, action.Verb);
        SetCell(list, row, 2, action.Command.Text);
    }
    const std::string missing =
        DefaultIsMissing(edited)
            ? kTextMissingDefaultStart + edited.DefaultVerb.Text + kTextMissingDefaultEnd
            : "";
    SetDlgItemTextA(page, IDC_ACTIONS_MISSING, missing.c_str());
    if (select >= count)
        select = count - 1;
    if (select >= 0)
        SetListItemState(list, select, LVIS_SELECTED | LVIS_FOCUSED);
    EnableButtons(page);
}

void Changes(HWND page, int select) {
    EditorOf(page).Save.Changed.Actions = 1;
    ShowActions(page, select);
}

void OnNew(HWND page) {
    FileType& edited = EditorOf(page).Save.Edited;
    FileAction action;
    if (!RunActionDialog(page, edited, &action, true))
        return;
    edited.Actions.push_back(action);
    Changes(page, static_cast<int>(edited.Actions.size()) - 1);
}

void OnEdit(HWND page) {
    FileType& edited = EditorOf(page).Save.Edited;
    const int selected = SelectedAction(page);
    if (selected < 0)
        return;
    FileAction action = edited.Actions[selected];
    if (!RunActionDialog(page, edited, &action, false))
        return;
    edited.Actions[selected] = action;
    Changes(page, selected);
}

// In user mode an action of the machine's class stays whatever the user's
// copy holds: the merged classes show it still.
bool IsMachineAction(const Editor& editor, const std::string& verb) {
    RegKey key;
    return editor.Mode == RunMode::User &&
           OpenClassesKey(HKEY_LOCAL_MACHINE, editor.Save.Read.Class.Text.c_str(),
                          ("shell\\" + verb).c_str(), KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
}

void OnRemove(HWND page) {
    Editor& editor = EditorOf(page);
    const int selected = SelectedAction(page);
    if (selected < 0)
        return;
    const std::string verb = editor.Save.Edited.Actions[selected].Verb;
    if (IsMachineAction(editor, verb)) {
        const std::string text = kTextMachineActionStart + verb + kTextMachineActionEnd;
        MessageBoxA(page, text.c_str(), kTabActions, MB_OK | MB_ICONINFORMATION);
        return;
    }
    RemoveAction(&editor.Save.Edited, selected);
    Changes(page, selected);
}

void OnSetDefault(HWND page) {
    const int selected = SelectedAction(page);
    if (selected < 0)
        return;
    SetDefaultAction(&EditorOf(page).Save.Edited, selected);
    Changes(page, selected);
}

void OnInitDialog(HWND page, LPARAM parameter) {
    Editor& editor = TakeEditor(page, parameter);
    StartPageLook(page, &editor.Looks[kActionsPage], kHeadingRules, std::size(kHeadingRules),
                  kRuleLeft, kRuleRight);
    HWND list = ListOf(page);
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(AppUi.Images16));
    AddListColumns(list, kActionColumns, kColumnShares, static_cast<int>(std::size(kColumnShares)));
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
    if (header->hwndFrom != ListOf(page))
        return FALSE;
    switch (header->code) {
    case LVN_ITEMCHANGED:
        EnableButtons(page);
        return TRUE;
    case NM_DBLCLK:
        OnEdit(page);
        return TRUE;
    case LVN_KEYDOWN:
        if (reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == VK_DELETE)
            OnRemove(page);
        return TRUE;
    default:
        return FALSE;
    }
}

void OnCommand(HWND page, WPARAM wParam) {
    if (HIWORD(wParam) != BN_CLICKED)
        return;
    switch (LOWORD(wParam)) {
    case IDC_ACTIONS_NEW:
        OnNew(page);
        break;
    case IDC_ACTIONS_EDIT:
        OnEdit(page);
        break;
    case IDC_ACTIONS_REMOVE:
        OnRemove(page);
        break;
    case IDC_ACTIONS_DEFAULT:
        OnSetDefault(page);
        break;
    default:
        break;
    }
}

} // namespace

INT_PTR CALLBACK ActionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        OnInitDialog(page, lParam);
        return FALSE;
    }
    if (!GetWindowLongPtrA(page, DWLP_USER))
        return FALSE;
    if (RunCommonPageMessage(page, message, &EditorOf(page).Looks[kActionsPage]))
        return TRUE;
    switch (message) {
    case WM_COMMAND:
        OnCommand(page, wParam);
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
    default:
        return FALSE;
    }
}

void ShowActionsPage(Editor& editor) {
    HWND page = editor.Pages[kActionsPage];
    const int selected = SelectedAction(page);
    ShowActions(page, selected >= 0 ? selected : DefaultAction(editor.Save.Edited));
}
