// The Open-With program editor: lists, registers and removes applications.
#include "openwith/openwith_editor.h"

#include "details/applications.h"
#include "ui/app_ui.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/shell.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "text/text.h"
#include "ui/list_items.h"
#include "ui/window_helpers.h"
#include "writer/application_writes.h"

#include <commctrl.h>

#include <string>

namespace {

// A file name without extension: its icon is the shell's generic one.
constexpr char kGenericFileName[] = "PeekABoo";
constexpr UINT kSelectedAndFocused = LVIS_SELECTED | LVIS_FOCUSED;

// The last path chosen in the browse dialog, which the next browse offers.
char BrowsePath[kTextSize];

// The editor's own state, reached through its DWLP_USER.
struct OpenWithEditorState {
    RunMode Mode;
    HWND Window = nullptr;
    HWND ApplicationList = nullptr;
    // The row last selected or clicked; valid while "Delete" is enabled.
    int SelectedRow = -1;
};

OpenWithEditorState& StateOf(HWND dialog) {
    return *reinterpret_cast<OpenWithEditorState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

HKEY EditorHive(const OpenWithEditorState& state) {
    return state.Mode == RunMode::Admin ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// Appends a row whose item data is a heap copy of the application key name.
void AppendRow(HWND list, const char* text, int image, const char* keyName) {
    char* copy = CopyForItemData(keyName);
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = ListCount(list);
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    item.lParam = reinterpret_cast<LPARAM>(copy);
    if (SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) < 0)
        FreeItemData(item.lParam);
}

void EnableDelete(const OpenWithEditorState& state, BOOL enable) {
    EnableWindow(GetDlgItem(state.Window, IDC_OPENWITHEDITOR_DELETE), enable);
}

// A change the system refused is said, with the key and its reason.
bool Done(const OpenWithEditorState& state, const ChangeOutcome& outcome) {
    if (!outcome.Done())
        MessageBoxA(state.Window, DescribeRefusal(outcome).c_str(), kCaptionRefused,
                    MB_OK | MB_ICONHAND);
    return outcome.Done();
}

// Lists one application through the command of one verb; false when that
// command key does not open. Without a friendly name the row shows the
// program's path, unless the application must have a name to be listed.
bool ListApplication(HWND list, HKEY applications, const char* keyName, const char* commandKey,
                     bool needsFriendlyName) {
    char commandLine[kTextSize];
    if (!ReadApplicationCommand(applications, keyName, commandKey, commandLine))
        return false;
    char program[kTextSize];
    char name[kTextSize] = {};
    if (!ApplicationProgramPath(commandLine, keyName, program))
        return true;
    if (ProgramFriendlyName(program, name))
        AppendRow(list, name, ProgramIconIndex(program, SHGFI_USEFILEATTRIBUTES), keyName);
    else if (!needsFriendlyName)
        AppendRow(list, program, ProgramIconIndex(kGenericFileName, SHGFI_USEFILEATTRIBUTES),
                  keyName);
    return true;
}

void FillApplicationList(const OpenWithEditorState& state) {
    RegKey applications;
    if (RegistryOpenKey(EditorHive(state), kApplicationsPath, KEY_READ, applications.put()) !=
        ERROR_SUCCESS)
        return;
    DWORD count = 0;
    RegistryQueryInfo(applications.get(), &count, nullptr);
    for (DWORD index = 0; index < count; ++index) {
        char keyName[kTextSize] = {};
        DWORD length = kTextSize;
        if (RegistryEnumKey(applications.get(), index, keyName, &length) != ERROR_SUCCESS)
            continue;
        if (!ListApplication(state.ApplicationList, applications.get(), keyName, kOpenCommandKey,
                             false))
            ListApplication(state.ApplicationList, applications.get(), keyName, kEditCommandKey,
                            true);
    }
}

// The text a program's row carries: its friendly name, else its path.
void RowTextOf(const char* program, char* text) {
    if (!ProgramFriendlyName(program, text))
        CopyTextBounded(program, text, kTextSize);
}

// Selects and focuses the first row with this text (without regard to case);
// -1 when there is none.
int SelectRowWithText(HWND list, const char* text) {
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = text;
    int row = static_cast<int>(SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>(&find)));
    if (row < 0)
        return row;
    LVITEMA state = {};
    state.stateMask = kSelectedAndFocused;
    state.state = kSelectedAndFocused;
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    return row;
}

// "New": a program the user has registered already is only selected; any
// other is registered for the user and appended, selected and scrolled to.
void AddApplication(OpenWithEditorState& state) {
    if (!ChooseProgramFile(state.Window, BrowsePath))
        return;
    char fileName[kTextSize] = {};
    if (FileNameOf(BrowsePath, fileName) != 0)
        return;
    RegKey applications;
    RegistryOpenKey(HKEY_CURRENT_USER, kApplicationsPath, KEY_READ, applications.put());
    char text[kTextSize] = {};
    char commandLine[kTextSize];
    if (ReadApplicationCommand(applications.get(), fileName, kOpenCommandKey, commandLine)) {
        // Registered already: its row is selected, when its path makes one.
        char program[kTextSize];
        if (ApplicationProgramPath(commandLine, fileName, program)) {
            RowTextOf(program, text);
            SelectRowWithText(state.ApplicationList, text);
        }
        SetFocus(state.ApplicationList);
        return;
    }
    if (!Done(state, RegisterApplication(fileName, BrowsePath)))
        return;
    RowTextOf(BrowsePath, text);
    AppendRow(state.ApplicationList, text, ProgramIconIndex(BrowsePath, 0), fileName);
    int row = SelectRowWithText(state.ApplicationList, text);
    if (row >= 0)
        SendMessageA(state.ApplicationList, LVM_ENSUREVISIBLE, row, FALSE);
    SetFocus(state.ApplicationList);
}

// "Delete": the selected application's key goes with everything below it,
// without a question; its row goes once the key has.
void DeleteApplication(OpenWithEditorState& state) {
    const LPARAM keyName = ListItemData(state.ApplicationList, state.SelectedRow);
    // An empty name would name "Applications" itself.
    if (keyName && *reinterpret_cast<const char*>(keyName)) {
        const char* application = reinterpret_cast<const char*>(keyName);
        if (!Done(state, RemoveApplication(EditorHive(state), application)))
            return;
        SendMessageA(state.ApplicationList, LVM_DELETEITEM, state.SelectedRow, 0);
        FreeItemData(keyName);
    }
    state.SelectedRow = -1;
    EnableDelete(state, FALSE);
}

void OpenEditor(HWND dialog, LPARAM parameter) {
    SetWindowLongPtrA(dialog, DWLP_USER, parameter);
    OpenWithEditorState& state = StateOf(dialog);
    state.Window = dialog;
    state.ApplicationList = GetDlgItem(dialog, IDC_OPENWITHEDITOR_LIST);
    SendMessageA(state.ApplicationList, LVM_SETIMAGELIST, LVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(AppUi.LargeSystemImages));
    FillApplicationList(state);
}

void CloseEditor(const OpenWithEditorState& state) {
    HWND list = state.ApplicationList;
    for (int row = 0, count = ListCount(list); row < count; ++row)
        FreeItemData(ListItemData(list, row));
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    EndDialog(state.Window, 0);
}

// A click takes the row under the cursor; a click beside every row leaves
// nothing to delete.
void TakeRowAtCursor(OpenWithEditorState& state) {
    LVHITTESTINFO hit = {};
    GetCursorPos(&hit.pt);
    ScreenToClient(state.ApplicationList, &hit.pt);
    int row = static_cast<int>(
        SendMessageA(state.ApplicationList, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row >= 0)
        state.SelectedRow = row;
    EnableDelete(state, row >= 0);
}

INT_PTR NotifyFromList(OpenWithEditorState& state, const NMHDR* header) {
    switch (header->code) {
    case LVN_ITEMCHANGING: {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        if (change->uNewState == kSelectedAndFocused) {
            state.SelectedRow = change->iItem;
            EnableDelete(state, TRUE);
        }
        return FALSE; // let the change take place
    }
    case NM_CLICK:
    case NM_RCLICK:
        TakeRowAtCursor(state);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR RunEditorCommand(HWND dialog, WORD command) {
    switch (command) {
    case IDC_OPENWITHEDITOR_NEW:
        AddApplication(StateOf(dialog));
        return TRUE;
    case IDC_OPENWITHEDITOR_DELETE:
        DeleteApplication(StateOf(dialog));
        return TRUE;
    case IDC_OPENWITHEDITOR_CLOSE:
    case IDCANCEL: // Escape
        SendMessageA(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK OpenWithEditorProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OpenEditor(dialog, lParam);
        return TRUE;
    case WM_COMMAND:
        return HIWORD(wParam) == 0 ? RunEditorCommand(dialog, LOWORD(wParam)) : FALSE;
    case WM_NOTIFY:
        return wParam == IDC_OPENWITHEDITOR_LIST
                   ? NotifyFromList(StateOf(dialog), reinterpret_cast<const NMHDR*>(lParam))
                   : FALSE;
    case WM_CLOSE:
        CloseEditor(StateOf(dialog));
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void RunOpenWithEditor(HWND owner, RunMode mode) {
    OpenWithEditorState state;
    state.Mode = mode;
    DialogBoxParamA(AppUi.Instance, MAKEINTRESOURCEA(IDD_OPENWITHEDITOR), owner, OpenWithEditorProc,
                    reinterpret_cast<LPARAM>(&state));
}
