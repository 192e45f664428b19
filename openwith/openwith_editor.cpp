// The Open-With program editor: lists, registers and removes applications.
#include "openwith/openwith_editor.h"

#include "details/applications.h"
#include "records/app_state.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/shell.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "text/text.h"
#include "ui/list_items.h"
#include "ui/window_helpers.h"
#include "writer/undo.h"

#include <commctrl.h>

#include <string>

namespace {

// The tail of a registered open command after the quoted program path.
constexpr char kOpenCommandArguments[] = "\" \"%1\"";
// A file name without extension: its icon is the shell's generic one.
constexpr char kGenericFileName[] = "PeekABoo";
constexpr UINT kSelectedAndFocused = LVIS_SELECTED | LVIS_FOCUSED;

// The last path chosen in the browse dialog, which the next browse offers.
char BrowsePath[kTextSize];

HWND OpenWithEditor;
HWND ApplicationList;
// The row last selected or clicked; valid while "Delete" is enabled.
int SelectedRow = -1;

HKEY EditorHive() {
    return AppState.AdminMode ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

// Appends source to the text in destination (size bytes); false, and nothing
// appended, when the result would not fit.
// Appends a row whose item data is a heap copy of the application key name.
void AppendRow(const char* text, int image, const char* keyName) {
    char* copy = CopyForItemData(keyName);
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = ListCount(ApplicationList);
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    item.lParam = reinterpret_cast<LPARAM>(copy);
    if (SendMessageA(ApplicationList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) < 0)
        FreeItemData(item.lParam);
}

void EnableDelete(BOOL enable) {
    EnableWindow(GetDlgItem(OpenWithEditor, IDC_OPENWITHEDITOR_DELETE), enable);
}

// Lists one application through the command of one verb; false when that
// command key does not open. Without a friendly name the row shows the
// program's path, unless the application must have a name to be listed.
bool ListApplication(HKEY applications, const char* keyName, const char* commandKey,
                     bool needsFriendlyName) {
    char commandLine[kTextSize];
    if (!ReadApplicationCommand(applications, keyName, commandKey, commandLine))
        return false;
    char program[kTextSize];
    char name[kTextSize] = {};
    if (!ApplicationProgramPath(commandLine, keyName, program))
        return true;
    if (ProgramFriendlyName(program, name))
        AppendRow(name, ProgramIconIndex(program, SHGFI_USEFILEATTRIBUTES), keyName);
    else if (!needsFriendlyName)
        AppendRow(program, ProgramIconIndex(kGenericFileName, SHGFI_USEFILEATTRIBUTES), keyName);
    return true;
}

void FillApplicationList() {
    RegKey applications;
    if (RegistryOpenKey(EditorHive(), kApplicationsPath, KEY_READ, applications.put()) !=
        ERROR_SUCCESS)
        return;
    DWORD count = 0;
    RegistryQueryInfo(applications.get(), &count, nullptr);
    for (DWORD index = 0; index < count; ++index) {
        char keyName[kTextSize] = {};
        DWORD length = kTextSize;
        if (RegistryEnumKey(applications.get(), index, keyName, &length) != ERROR_SUCCESS)
            continue;
        if (!ListApplication(applications.get(), keyName, kOpenCommandKey, false))
            ListApplication(applications.get(), keyName, kEditCommandKey, true);
    }
}

// The text a program's row carries: its friendly name, else its path.
void RowTextOf(const char* program, char* text) {
    if (!ProgramFriendlyName(program, text))
        CopyTextBounded(program, text, kTextSize);
}

// Selects and focuses the first row with this text (without regard to case);
// -1 when there is none.
int SelectRowWithText(const char* text) {
    LVFINDINFOA find = {};
    find.flags = LVFI_STRING;
    find.psz = text;
    int row = static_cast<int>(SendMessageA(ApplicationList, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                            reinterpret_cast<LPARAM>(&find)));
    if (row < 0)
        return row;
    LVITEMA state = {};
    state.stateMask = kSelectedAndFocused;
    state.state = kSelectedAndFocused;
    SendMessageA(ApplicationList, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    return row;
}

// Writes the user's registration of the program. Every key on the way is
// created, since a fresh profile has no "Applications" key of its own.
void RegisterProgram(const char* fileName, const char* programPath) {
    char commandLine[kTextSize] = {};
    if (!BuildOpenCommand(programPath, commandLine))
        return;
    RegKey applications;
    RegKey application;
    RegKey command;
    if (RegistryCreateKey(HKEY_CURRENT_USER, kApplicationsPath, KEY_CREATE_SUB_KEY,
                          applications.put()) != ERROR_SUCCESS ||
        RegistryCreateKey(applications.get(), fileName, KEY_CREATE_SUB_KEY, application.put()) !=
            ERROR_SUCCESS ||
        RegistryCreateKey(application.get(), kOpenCommandKey, KEY_WRITE, command.put()) !=
            ERROR_SUCCESS)
        return;
    RegistryWriteText(command.get(), nullptr, REG_SZ, commandLine);
}

// "New": a program the user has registered already is only selected; any
// other is registered for the user and appended, selected and scrolled to.
void AddApplication() {
    if (!ChooseProgramFile(OpenWithEditor, BrowsePath))
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
            SelectRowWithText(text);
        }
        SetFocus(ApplicationList);
        return;
    }
    BeginChange(kMenuAddProgram + std::string(" ") + fileName, "",
                {ApplicationKey(HKEY_CURRENT_USER, fileName)});
    RegisterProgram(fileName, BrowsePath);
    EndChange();
    RowTextOf(BrowsePath, text);
    AppendRow(text, ProgramIconIndex(BrowsePath, 0), fileName);
    int row = SelectRowWithText(text);
    if (row >= 0)
        SendMessageA(ApplicationList, LVM_ENSUREVISIBLE, row, FALSE);
    SetFocus(ApplicationList);
}

// "Delete": the selected application's key goes with everything below it,
// without a question.
void DeleteApplication() {
    LPARAM keyName = ListItemData(ApplicationList, SelectedRow);
    // An empty name would name "Applications" itself.
    if (keyName && *reinterpret_cast<const char*>(keyName)) {
        SendMessageA(ApplicationList, LVM_DELETEITEM, SelectedRow, 0);
        const char* application = reinterpret_cast<const char*>(keyName);
        BeginChange(kUndoDeleteProgram + std::string(application), "",
                    {ApplicationKey(EditorHive(), application)});
        RegKey applications;
        if (RegistryOpenKey(EditorHive(), kApplicationsPath, KEY_READ | KEY_WRITE,
                            applications.put()) == ERROR_SUCCESS)
            RegistryDeleteTree(applications.get(), application);
        EndChange();
        FreeItemData(keyName);
    }
    SelectedRow = -1;
    EnableDelete(FALSE);
}

void OpenEditor(HWND dialog) {
    OpenWithEditor = dialog;
    ApplicationList = GetDlgItem(dialog, IDC_OPENWITHEDITOR_LIST);
    SelectedRow = -1;
    SendMessageA(ApplicationList, LVM_SETIMAGELIST, LVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(AppState.LargeSystemImages));
    FillApplicationList();
}

void CloseEditor(HWND dialog) {
    for (int row = 0, count = ListCount(ApplicationList); row < count; ++row)
        FreeItemData(ListItemData(ApplicationList, row));
    SendMessageA(ApplicationList, LVM_DELETEALLITEMS, 0, 0);
    EndDialog(dialog, 0);
}

// A click takes the row under the cursor; a click beside every row leaves
// nothing to delete.
void TakeRowAtCursor() {
    LVHITTESTINFO hit = {};
    GetCursorPos(&hit.pt);
    ScreenToClient(ApplicationList, &hit.pt);
    int row = static_cast<int>(
        SendMessageA(ApplicationList, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    if (row >= 0)
        SelectedRow = row;
    EnableDelete(row >= 0);
}

INT_PTR NotifyFromList(const NMHDR* header) {
    switch (header->code) {
    case LVN_ITEMCHANGING: {
        const auto* change = reinterpret_cast<const NMLISTVIEW*>(header);
        if (change->uNewState == kSelectedAndFocused) {
            SelectedRow = change->iItem;
            EnableDelete(TRUE);
        }
        return FALSE; // let the change take place
    }
    case NM_CLICK:
    case NM_RCLICK:
        TakeRowAtCursor();
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR RunEditorCommand(HWND dialog, WORD command) {
    switch (command) {
    case IDC_OPENWITHEDITOR_NEW:
        AddApplication();
        return TRUE;
    case IDC_OPENWITHEDITOR_DELETE:
        DeleteApplication();
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
        OpenEditor(dialog);
        return TRUE;
    case WM_COMMAND:
        return HIWORD(wParam) == 0 ? RunEditorCommand(dialog, LOWORD(wParam)) : FALSE;
    case WM_NOTIFY:
        return wParam == IDC_OPENWITHEDITOR_LIST
                   ? NotifyFromList(reinterpret_cast<const NMHDR*>(lParam))
                   : FALSE;
    case WM_CLOSE:
        CloseEditor(dialog);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

bool BuildOpenCommand(const char* programPath, char* command) {
    if (JoinTextsBounded(command, kTextSize, {"\"", programPath, kOpenCommandArguments}) &&
        FitsBuffer(command, kTextSize))
        return true;
    FillWords(command, kTextSize, 0);
    return false;
}

void RunOpenWithEditor() {
    DialogBoxParamA(AppState.Instance, MAKEINTRESOURCEA(IDD_OPENWITHEDITOR), AppState.MainWindow,
                    OpenWithEditorProc, 0);
}
