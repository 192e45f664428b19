// The Actions page: the list of the class's verbs and its four buttons.
#include "editor/actions_page.h"

#include "details/actions.h"
#include "editor/action_dialog.h"
#include "editor/opens_with_page.h"
#include "platform/handles.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "records/app_state.h"
#include "records/editor_state.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "ui/list_items.h"
#include "ui/window_helpers.h"

#include <commctrl.h>

#include <iterator>
#include <string>

namespace {

constexpr HeadingRule kHeadingRules[] = {{IDC_ACTIONS_HEADER, 5}};
constexpr int kRuleLeft = 2;
constexpr int kRuleRight = 296;
// The columns' shares of the list's width, in percent.
constexpr int kColumnShares[] = {34, 20, 46};

FontOwner HeadingFont;
HWND ActionsPage;
HWND ActionList;

int SelectedAction() {
    return ListView_GetNextItem(ActionList, -1, LVNI_SELECTED);
}

void EnableButtons() {
    const int selected = SelectedAction();
    EnableWindow(GetDlgItem(ActionsPage, IDC_ACTIONS_EDIT), selected >= 0);
    EnableWindow(GetDlgItem(ActionsPage, IDC_ACTIONS_REMOVE), selected >= 0);
    EnableWindow(GetDlgItem(ActionsPage, IDC_ACTIONS_DEFAULT),
                 selected >= 0 &&
                     (selected != DefaultAction(Actions) || DefaultIsMissing(Actions)));
}

void SetCell(int row, int column, const std::string& text) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(ActionList, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
}

// The list from Actions, the row at select selected; the "open" action as
// the Opens-with page holds it.
void ShowActions(int select) {
    const int open = FindAction(Actions, "open");
    if (open >= 0)
        ReadOpenActionFromPage(&Actions.Verbs[open]);
    SendMessageA(ActionList, LVM_DELETEALLITEMS, 0, 0);
    const int defaultAction = DefaultAction(Actions);
    for (int row = 0; row < static_cast<int>(Actions.Verbs.size()); ++row) {
        const ActionRecord& action = Actions.Verbs[row];
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = row;
        item.pszText = const_cast<char*>(action.Shown.c_str());
        item.iImage =
            row == defaultAction && !DefaultIsMissing(Actions) ? kImage16Added : I_IMAGENONE;
        SendMessageA(ActionList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        SetCell(row, 1, action.Verb);
        SetCell(row, 2, action.Command);
    }
    const std::string missing =
        DefaultIsMissing(Actions)
            ? kTextMissingDefaultStart + Actions.Default + kTextMissingDefaultEnd
            : "";
    SetDlgItemTextA(ActionsPage, IDC_ACTIONS_MISSING, missing.c_str());
    if (select >= static_cast<int>(Actions.Verbs.size()))
        select = static_cast<int>(Actions.Verbs.size()) - 1;
    if (select >= 0)
        SetListItemState(ActionList, select, LVIS_SELECTED | LVIS_FOCUSED);
    EnableButtons();
}

void Changes(int select) {
    Changed.Actions = 1;
    ShowActions(select);
}

void OnNew() {
    ActionRecord action;
    if (!RunActionDialog(ActionsPage, Actions, &action, true))
        return;
    Actions.Verbs.push_back(action);
    if (IsOpenVerb(action.Verb))
        ShowOpenActionInPage(action, true);
    Changes(static_cast<int>(Actions.Verbs.size()) - 1);
}

void OnEdit() {
    const int selected = SelectedAction();
    if (selected < 0)
        return;
    ActionRecord action = Actions.Verbs[selected];
    if (!RunActionDialog(ActionsPage, Actions, &action, false))
        return;
    Actions.Verbs[selected] = action;
    if (IsOpenVerb(action.Verb))
        ShowOpenActionInPage(action, true);
    Changes(selected);
}

// In user mode an action of the machine's class stays whatever the user's
// copy holds: the merged classes show it still.
bool IsMachineAction(const std::string& verb) {
    RegKey key;
    return !AppState.AdminMode &&
           OpenClassesKey(HKEY_LOCAL_MACHINE, Actions.Class.c_str(), ("shell\\" + verb).c_str(),
                          KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
}

void OnRemove() {
    const int selected = SelectedAction();
    if (selected < 0)
        return;
    const std::string verb = Actions.Verbs[selected].Verb;
    if (IsMachineAction(verb)) {
        const std::string text = kTextMachineActionStart + verb + kTextMachineActionEnd;
        MessageBoxA(ActionsPage, text.c_str(), kTabActions, MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (IsOpenVerb(verb))
        ForgetOpenActionChanges();
    RemoveAction(&Actions, selected);
    Changes(selected);
}

void OnSetDefault() {
    const int selected = SelectedAction();
    if (selected < 0)
        return;
    SetDefaultAction(&Actions, selected);
    Changes(selected);
}

void OnInitDialog(HWND page) {
    ActionsPage = page;
    ActionList = GetDlgItem(page, IDC_ACTIONS_LIST);
    Changed.Actions = 0;
    ShowHeadings(page, &HeadingFont, kHeadingRules, std::size(kHeadingRules));
    SendMessageA(ActionList, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT,
                 LVS_EX_FULLROWSELECT);
    SendMessageA(ActionList, LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(AppState.Images16));
    RECT client;
    GetClientRect(ActionList, &client);
    for (int column = 0; column < static_cast<int>(std::size(kColumnShares)); ++column) {
        LVCOLUMNA header = {};
        header.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        header.pszText = const_cast<char*>(kActionColumns[column]);
        header.cx = (client.right - GetSystemMetrics(SM_CXVSCROLL)) * kColumnShares[column] / 100;
        header.iSubItem = column;
        SendMessageA(ActionList, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&header));
    }
    EnableButtons();
}

INT_PTR OnNotify(const NMHDR* header) {
    if (header->hwndFrom != ActionList)
        return FALSE;
    switch (header->code) {
    case LVN_ITEMCHANGED:
        EnableButtons();
        return TRUE;
    case NM_DBLCLK:
        OnEdit();
        return TRUE;
    case LVN_KEYDOWN:
        if (reinterpret_cast<const NMLVKEYDOWN*>(header)->wVKey == VK_DELETE)
            OnRemove();
        return TRUE;
    default:
        return FALSE;
    }
}

void OnCommand(WPARAM wParam) {
    if (HIWORD(wParam) != BN_CLICKED)
        return;
    switch (LOWORD(wParam)) {
    case IDC_ACTIONS_NEW:
        OnNew();
        break;
    case IDC_ACTIONS_EDIT:
        OnEdit();
        break;
    case IDC_ACTIONS_REMOVE:
        OnRemove();
        break;
    case IDC_ACTIONS_DEFAULT:
        OnSetDefault();
        break;
    default:
        break;
    }
}

void OnPaint(HWND page) {
    PaintScope paint(page);
    DrawHeadingRules(page, paint.dc(), HeadingFont.get(), kHeadingRules, std::size(kHeadingRules),
                     kRuleLeft, kRuleRight);
}

} // namespace

INT_PTR CALLBACK ActionsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(page);
        return FALSE;
    case WM_COMMAND:
        OnCommand(wParam);
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_SHOWWINDOW:
        // Shown again: the "open" action may have changed on the Opens-with page.
        if (wParam)
            ShowActions(SelectedAction());
        return FALSE;
    case WM_DPICHANGED_AFTERPARENT:
        // The heading at the new scale.
        ShowHeadings(page, &HeadingFont, kHeadingRules, std::size(kHeadingRules));
        InvalidateRect(page, nullptr, TRUE);
        return TRUE;
    case WM_PAINT:
        OnPaint(page);
        return TRUE;
    case WM_DESTROY:
        HeadingFont.reset();
        return TRUE;
    default:
        return FALSE;
    }
}

void FillActions() {
    if (EditorMode == kEditorCreate)
        Actions = ActionsRecord();
    else
        ReadExtensionActions(AppState.AdminMode ? HKEY_LOCAL_MACHINE : HKEY_CLASSES_ROOT, &Actions);
    // The Opens-with page holds the "open" action, whatever action the pane
    // showed the program of.
    const int open = FindAction(Actions, "open");
    if (open >= 0)
        ShowOpenActionInPage(Actions.Verbs[open], false);
    ShowActions(DefaultAction(Actions));
}
