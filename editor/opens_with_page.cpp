// The Opens-with page: the program combo, the program's location, the DDE
// settings of the machine, and the Recently Used list with its pop-up menu.
#include "editor/opens_with_page.h"

#include "details/applications.h"
#include "details/command_rules.h"
#include "records/app_state.h"
#include "ui/window_helpers.h"
#include "records/extension_record.h"
#include "records/editor_state.h"
#include "platform/handles.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/shell.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "text/text.h"
#include "ui/list_items.h"
#include "writer/value_rules.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <initializer_list>
#include <iterator>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

// Names of the Open With list are read into 8 bytes: longer ones are skipped.
constexpr DWORD kRecentNameSize = 8;
// The rules through the bold headings, in dialog units of the template.
constexpr HeadingRule kHeadingRules[] = {
    {IDC_OPENSWITH_HEADER, 5}, {IDC_OPENSWITH_DDE_HEADER, 97}, {IDC_OPENSWITH_RECENT_HEADER, 153}};
constexpr int kRuleStart = 2;
constexpr int kRuleEnd = 296;

FontOwner HeadingFont;
HMENU AddProgramMenu;
int RightClickedRow = -1;

struct ProgramItem {
    char Text[kTextSize];
    int Image;
    LPARAM Data;
};

bool ReadComboItem(int index, ProgramItem* program) {
    FillWords(program->Text, kTextSize, 0);
    COMBOBOXEXITEMA item = {};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_LPARAM;
    item.iItem = index;
    item.pszText = program->Text;
    item.cchTextMax = kTextSize;
    if (!SendMessageA(OpensWithPage.ProgramCombo, CBEM_GETITEMA, 0,
                      reinterpret_cast<LPARAM>(&item)))
        return false;
    program->Image = item.iImage;
    program->Data = item.lParam;
    return true;
}

int ComboCount() {
    return static_cast<int>(SendMessageA(OpensWithPage.ProgramCombo, CB_GETCOUNT, 0, 0));
}

int RecentCount() {
    return static_cast<int>(SendMessageA(OpensWithPage.RecentList, LVM_GETITEMCOUNT, 0, 0));
}

bool ReadRecentRow(int row, char* text, LPARAM* data) {
    FillWords(text, kTextSize, 0);
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = text;
    item.cchTextMax = kTextSize;
    if (!SendMessageA(OpensWithPage.RecentList, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return false;
    *data = item.lParam;
    return true;
}

// The list sorts the new row into place; on success the row owns data.
bool InsertRecentRow(const char* text, int image, LPARAM data) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = RecentCount();
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    item.lParam = data;
    return SendMessageA(OpensWithPage.RecentList, LVM_INSERTITEMA, 0,
                        reinterpret_cast<LPARAM>(&item)) != -1;
}

void SizeRecentColumn() {
    SendMessageA(OpensWithPage.RecentList, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
}

// On success the menu item owns data.
bool InsertProgramMenuItem(UINT position, UINT command, const char* text, LPARAM data) {
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_DATA | MIIM_STRING;
    item.wID = command;
    item.dwItemData = static_cast<ULONG_PTR>(data);
    item.dwTypeData = const_cast<char*>(text);
    return InsertMenuItemA(AddProgramMenu, position, TRUE, &item) != FALSE;
}

bool ReadProgramMenuItem(UINT item, BOOL byPosition, char* text, LPARAM* data) {
    FillWords(text, kTextSize, 0);
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = kTextSize;
    if (!GetMenuItemInfoA(AddProgramMenu, item, byPosition, &info))
        return false;
    *data = static_cast<LPARAM>(info.dwItemData);
    return true;
}

void DeleteProgramMenuItemAt(int position) {
    char text[kTextSize];
    LPARAM data = 0;
    if (ReadProgramMenuItem(static_cast<UINT>(position), TRUE, text, &data))
        FreeItemData(data);
    DeleteMenu(AddProgramMenu, static_cast<UINT>(position), MF_BYPOSITION);
}

// The lowest command no item of "Add Program" has, and never that of
// "Remove". Among count + 2 numbers at least one is free; one pass over the
// items finds it, where asking the menu number by number would take a pass
// per number.
UINT UnusedCommand() {
    const int count = GetMenuItemCount(AddProgramMenu);
    std::vector<bool> used(static_cast<size_t>(count > 0 ? count : 0) + 2);
    for (int position = 0; position < count; ++position) {
        const UINT command = GetMenuItemID(AddProgramMenu, position);
        if (command < used.size())
            used[command] = true;
    }
    if (IDM_RECENT_REMOVE < used.size())
        used[IDM_RECENT_REMOVE] = true;
    UINT command = 0;
    while (used[command])
        ++command;
    return command;
}

void TakePageControls(HWND page) {
    OpensWithPage.ProgramCombo = GetDlgItem(page, IDC_OPENSWITH_PROGRAMCOMBO);
    OpensWithPage.ProgramIcon = GetDlgItem(page, IDC_OPENSWITH_PROGRAMICON);
    OpensWithPage.OpensWith = GetDlgItem(page, IDC_OPENSWITH_OPENSWITH);
    OpensWithPage.ProgramFile = GetDlgItem(page, IDC_OPENSWITH_PROGRAMFILE);
    OpensWithPage.ProgramPath = GetDlgItem(page, IDC_OPENSWITH_PROGRAMPATH);
    OpensWithPage.Args = GetDlgItem(page, IDC_OPENSWITH_ARGS);
    OpensWithPage.DdeApplication = GetDlgItem(page, IDC_OPENSWITH_DDEAPP);
    OpensWithPage.DdeTopic = GetDlgItem(page, IDC_OPENSWITH_DDETOPIC);
    OpensWithPage.DdeCommand = GetDlgItem(page, IDC_OPENSWITH_DDECOMMAND);
    OpensWithPage.RecentList = GetDlgItem(page, IDC_OPENSWITH_RECENTLIST);
}

void InitPage(HWND page) {
    ZeroPageChangedFlags();
    TakePageControls(page);
    AddProgramMenu = nullptr;
    RightClickedRow = -1;
    ShowHeadings(page, &HeadingFont, kHeadingRules, std::size(kHeadingRules));
    SendMessageA(OpensWithPage.RecentList, LVM_SETIMAGELIST, LVSIL_SMALL,
                 reinterpret_cast<LPARAM>(AppState.SmallSystemImages));
    SendMessageA(OpensWithPage.ProgramCombo, CBEM_SETIMAGELIST, 0,
                 reinterpret_cast<LPARAM>(AppState.SmallSystemImages));
}

// Every path the page ends on: the item data, the icon the page made and the
// heading font are released.
void EndPage() {
    ReleaseOpensWithItemData();
    SetEditorIcon(OpensWithPage.ProgramIcon, nullptr);
    HeadingFont.reset();
}

void PaintPage(HWND page) {
    PaintScope paint(page);
    DrawHeadingRules(page, paint.dc(), HeadingFont.get(), kHeadingRules, std::size(kHeadingRules),
                     kRuleStart, kRuleEnd);
}

// "Path:" and "Args:" of the application's open command; both empty without one.
void ShowProgramLocation(const char* application) {
    RegKey applications;
    RegistryOpenKey(HKEY_CLASSES_ROOT, kApplicationsKey, KEY_READ, applications.put());
    char command[kTextSize];
    if (!ReadApplicationCommand(applications.get(), application, kOpenCommandKey, command)) {
        SetWindowTextA(OpensWithPage.ProgramPath, "");
        SetWindowTextA(OpensWithPage.Args, "");
        return;
    }
    char expanded[kTextSize];
    char folder[kTextSize];
    ExpandedFolderOf(command, expanded, folder);
    SetWindowTextA(OpensWithPage.ProgramPath, folder);
    SetWindowTextA(OpensWithPage.Args, PathGetArgsA(command));
}

void ChooseProgram() {
    int index = static_cast<int>(SendMessageA(OpensWithPage.ProgramCombo, CB_GETCURSEL, 0, 0));
    ProgramItem program;
    if (index < 0 || !ReadComboItem(index, &program) || !program.Data)
        return;
    SetEditorIcon(OpensWithPage.ProgramIcon,
                  ImageList_GetIcon(AppState.LargeSystemImages, program.Image, ILD_TRANSPARENT));
    const char* application = reinterpret_cast<const char*>(program.Data);
    SetWindowTextA(OpensWithPage.ProgramFile, "");
    SetWindowTextA(OpensWithPage.OpensWith, program.Text);
    SetWindowTextA(OpensWithPage.ProgramFile, application);
    ShowProgramLocation(application);
    Changed.Program = 1;
}

// The menu for row (-1: none) at screen: a right-click's row is the one under
// the cursor, the keyboard's the selected one.
void ShowRecentListMenu(HWND page, int row, POINT screen) {
    RightClickedRow = row;
    EnableMenuItem(RecentListMenu, IDM_RECENT_REMOVE,
                   MF_BYCOMMAND | (RightClickedRow >= 0 ? MF_ENABLED : MF_DISABLED));
    TrackPopupMenu(RecentListMenu, 0, screen.x, screen.y, 0, page, nullptr);
}

void OnRecentListRightClick(HWND page) {
    POINT cursor;
    GetCursorPos(&cursor);
    ShowRecentListMenu(
        page, ListRowAt(OpensWithPage.RecentList, CursorIn(OpensWithPage.RecentList)), cursor);
}

BOOL OnContextMenu(HWND page, HWND control, LPARAM position) {
    if (!RecentListMenu || control != OpensWithPage.RecentList || !IsKeyboardMenu(position))
        return FALSE;
    const int row = ListView_GetNextItem(control, -1, LVNI_SELECTED);
    ShowRecentListMenu(page, row, ListRowMenuPoint(control, row));
    return TRUE;
}

// The row's program goes back to the top of "Add Program", with its data.
void RemoveRecentRow() {
    char text[kTextSize];
    LPARAM data = 0;
    const int row = RightClickedRow;
    RightClickedRow = -1;
    if (row < 0 || !ReadRecentRow(row, text, &data))
        return;
    if (!InsertProgramMenuItem(0, UnusedCommand(), text, data))
        FreeItemData(data);
    SendMessageA(OpensWithPage.RecentList, LVM_DELETEITEM, row, 0);
    SizeRecentColumn();
    Changed.OpenWithList = 1;
}

// The chosen "Add Program" item becomes a row, with its data.
void AddRecentProgram(UINT command) {
    char text[kTextSize];
    LPARAM data = 0;
    if (!AddProgramMenu || !ReadProgramMenuItem(command, FALSE, text, &data) || !data)
        return;
    const int image = ApplicationIconIndex(reinterpret_cast<const char*>(data));
    if (!InsertRecentRow(text, image, data))
        return;
    DeleteMenu(AddProgramMenu, command, MF_BYCOMMAND);
    SizeRecentColumn();
    Changed.OpenWithList = 1;
}

void OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDC_OPENSWITH_PROGRAMCOMBO && HIWORD(wParam) == CBN_SELCHANGE) {
        ChooseProgram();
        return;
    }
    // Menu commands carry no control.
    if (HIWORD(wParam) != 0 || lParam != 0)
        return;
    if (LOWORD(wParam) == IDM_RECENT_REMOVE)
        RemoveRecentRow();
    else
        AddRecentProgram(LOWORD(wParam));
}

void OnNotify(HWND page, const NMHDR* header) {
    if (header->idFrom == IDC_OPENSWITH_RECENTLIST && header->code == NM_RCLICK && RecentListMenu)
        OnRecentListRightClick(page);
}

} // namespace

INT_PTR CALLBACK OpensWithPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitPage(page);
        return FALSE;
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        return TRUE;
    case WM_NOTIFY:
        OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
        return TRUE;
    case WM_CONTEXTMENU:
        return OnContextMenu(page, reinterpret_cast<HWND>(wParam), lParam);
    case WM_DPICHANGED_AFTERPARENT:
        // The heading at the new scale.
        ShowHeadings(page, &HeadingFont, kHeadingRules, std::size(kHeadingRules));
        InvalidateRect(page, nullptr, TRUE);
        return TRUE;
    case WM_PAINT:
        PaintPage(page);
        return TRUE;
    case WM_CLOSE:
        HeadingFont.reset();
        EndDialog(page, 0);
        return TRUE;
    case WM_DESTROY:
        EndPage();
        return TRUE;
    default:
        return FALSE;
    }
}

void FillProgramCombo() {
    RegKey applications;
    DWORD count = 0;
    if (RegistryOpenKey(HKEY_CLASSES_ROOT, kApplicationsKey, KEY_READ, applications.put()) !=
            ERROR_SUCCESS ||
        RegistryQueryInfo(applications.get(), &count, nullptr) != ERROR_SUCCESS)
        return;
    for (DWORD index = count; index-- > 0;) {
        char application[kTextSize] = {};
        DWORD length = kTextSize;
        if (RegistryEnumKey(applications.get(), index, application, &length) != ERROR_SUCCESS)
            continue;
        char command[kTextSize];
        if (!ReadApplicationCommand(applications.get(), application, kOpenCommandKey, command) &&
            !ReadApplicationCommand(applications.get(), application, kEditCommandKey, command))
            continue;
        char path[kTextSize];
        char name[kTextSize];
        if (!ApplicationProgramPath(command, application, path) || !ProgramFriendlyName(path, name))
            continue;
        char* data = CopyForItemData(application);
        if (!data)
            continue;
        COMBOBOXEXITEMA item = {};
        item.mask =
            CBEIF_TEXT | CBEIF_IMAGE | CBEIF_SELECTEDIMAGE | CBEIF_LPARAM | CBEIF_DI_SETITEM;
        item.iItem = -1;
        item.pszText = name;
        item.iImage = item.iSelectedImage = ProgramIconIndex(path, SHGFI_USEFILEATTRIBUTES);
        item.lParam = reinterpret_cast<LPARAM>(data);
        if (SendMessageA(OpensWithPage.ProgramCombo, CBEM_INSERTITEMA, 0,
                         reinterpret_cast<LPARAM>(&item)) == -1)
            FreeItemData(item.lParam);
    }
}

void FillRecentList() {
    char path[kRegistryPathSize];
    RegKey list;
    DWORD count = 0;
    if (!OpenWithListPath(CurrentExtension, path) ||
        RegistryOpenKey(HKEY_CURRENT_USER, path, KEY_QUERY_VALUE, list.put()) != ERROR_SUCCESS ||
        RegistryQueryInfo(list.get(), nullptr, &count) != ERROR_SUCCESS)
        return;
    for (DWORD index = 0; index < count; ++index) {
        char name[kRecentNameSize] = {};
        char application[kTextSize] = {};
        DWORD nameLength = kRecentNameSize;
        DWORD dataSize = kTextSize;
        if (RegistryEnumValue(list.get(), index, name, &nameLength, nullptr, application,
                              &dataSize) != ERROR_SUCCESS ||
            CompareNoCase(name, kMruListValue) == 0)
            continue;
        application[kTextSize - 1] = '\0';
        char friendly[kTextSize];
        if (!ProgramFriendlyName(application, friendly))
            continue;
        char* data = CopyForItemData(application);
        if (data && !InsertRecentRow(friendly, ApplicationIconIndex(application),
                                     reinterpret_cast<LPARAM>(data)))
            FreeItemData(reinterpret_cast<LPARAM>(data));
    }
}

void BuildAddProgramMenu(HMENU popup) {
    AddProgramMenu = CreatePopupMenu();
    for (int index = 0, count = ComboCount(); index < count; ++index) {
        ProgramItem program;
        if (!ReadComboItem(index, &program) || !program.Data)
            continue;
        // The menu owns a copy of its own: a program moves between the menu
        // and the list, while the combo keeps its item.
        char* data = CopyForItemData(reinterpret_cast<const char*>(program.Data));
        const UINT command = static_cast<UINT>(index) < IDM_RECENT_REMOVE
                                 ? static_cast<UINT>(index)
                                 : static_cast<UINT>(index) + 1;
        if (data && !InsertProgramMenuItem(static_cast<UINT>(GetMenuItemCount(AddProgramMenu)),
                                           command, program.Text, reinterpret_cast<LPARAM>(data)))
            FreeItemData(reinterpret_cast<LPARAM>(data));
    }
    AppendMenuA(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(AddProgramMenu), kMenuAddProgram);
}

void PruneAddProgramMenu() {
    if (!AddProgramMenu || GetMenuItemCount(AddProgramMenu) <= 0 || RecentCount() <= 0)
        return;
    // One pass over each side: the list and the menu can both hold thousands.
    std::unordered_set<std::wstring> listed;
    for (int row = 0, rows = RecentCount(); row < rows; ++row) {
        char rowText[kTextSize];
        LPARAM rowData = 0;
        if (ReadRecentRow(row, rowText, &rowData))
            listed.insert(RegistryNameKey(rowText));
    }
    for (int position = GetMenuItemCount(AddProgramMenu) - 1; position >= 0; --position) {
        char itemText[kTextSize];
        LPARAM itemData = 0;
        if (ReadProgramMenuItem(static_cast<UINT>(position), TRUE, itemText, &itemData) &&
            listed.count(RegistryNameKey(itemText)))
            DeleteProgramMenuItemAt(position);
    }
}

void ReadDdeMachine() {
    char fileClass[kTextSize] = {};
    RegKey extension;
    RegKey classKey;
    if (OpenClassesKey(HKEY_LOCAL_MACHINE, CurrentExtension, nullptr, KEY_QUERY_VALUE,
                       &extension) == ERROR_SUCCESS &&
        LookupFileClass(extension.get(), fileClass) && fileClass[0])
        OpenClassesKey(HKEY_LOCAL_MACHINE, fileClass, nullptr, KEY_QUERY_VALUE, &classKey);
    const struct {
        const char* key;
        HWND edit;
    } fields[] = {{kDdeCommandKey, OpensWithPage.DdeCommand},
                  {kDdeApplicationKey, OpensWithPage.DdeApplication},
                  {kDdeTopicKey, OpensWithPage.DdeTopic}};
    for (const auto& field : fields) {
        char text[kTextSize] = {};
        RegKey key;
        if (classKey &&
            RegistryOpenKey(classKey.get(), field.key, KEY_QUERY_VALUE, key.put()) == ERROR_SUCCESS)
            RegistryReadText(key.get(), nullptr, text, kTextSize);
        SetWindowTextA(field.edit, text);
    }
}

void ReadOpenActionFromPage(ActionRecord* action) {
    char command[kTextSize] = {};
    action->Command = ComposeOpenCommand(command) ? command : "";
    for (auto [edit, text] : {std::pair{OpensWithPage.DdeCommand, &action->DdeCommand},
                              {OpensWithPage.DdeApplication, &action->DdeApplication},
                              {OpensWithPage.DdeTopic, &action->DdeTopic}}) {
        char shown[kTextSize] = {};
        GetWindowTextA(edit, shown, kTextSize);
        *text = shown;
    }
}

void ShowOpenActionInPage(const ActionRecord& action, bool asChange) {
    ActionRecord shown;
    ReadOpenActionFromPage(&shown);
    char program[kTextSize], arguments[kTextSize];
    SplitProgramAndArguments(action.Command.c_str(), program, arguments);
    char oldProgram[kTextSize], oldArguments[kTextSize];
    SplitProgramAndArguments(shown.Command.c_str(), oldProgram, oldArguments);
    if (CompareNoCase(program, oldProgram) != 0) {
        char folder[kTextSize] = {}, file[kTextSize] = {}, name[kTextSize] = {};
        DirectoryOf(program, folder);
        if (FileNameOf(program, file) != 0)
            CopyTextBounded(program, file, kTextSize);
        SetWindowTextA(OpensWithPage.ProgramPath, folder);
        SetWindowTextA(OpensWithPage.ProgramFile, file);
        if (!ProgramFriendlyName(program, name))
            CopyTextBounded(file, name, kTextSize);
        SetWindowTextA(OpensWithPage.OpensWith, name);
        SetEditorIcon(OpensWithPage.ProgramIcon,
                      ImageList_GetIcon(AppState.LargeSystemImages, ProgramIconIndex(program, 0),
                                        ILD_TRANSPARENT));
        Changed.Program = asChange ? 1 : Changed.Program;
    }
    const struct {
        HWND edit;
        const char *text, *old;
    } texts[] = {
        {OpensWithPage.Args, arguments, oldArguments},
        {OpensWithPage.DdeCommand, action.DdeCommand.c_str(), shown.DdeCommand.c_str()},
        {OpensWithPage.DdeApplication, action.DdeApplication.c_str(), shown.DdeApplication.c_str()},
        {OpensWithPage.DdeTopic, action.DdeTopic.c_str(), shown.DdeTopic.c_str()}};
    // As stored, the DDE stays as the page read it: the shell's answers, which
    // name a default application where the key names none.
    for (const auto& text : texts) {
        if (strcmp(text.text, text.old) == 0 || (!asChange && text.edit != OpensWithPage.Args))
            continue;
        SetWindowTextA(text.edit, text.text);
        SendMessageA(text.edit, EM_SETMODIFY, asChange, 0);
    }
}

void ForgetOpenActionChanges() {
    Changed.Program = 0;
    for (HWND edit : {OpensWithPage.Args, OpensWithPage.DdeCommand, OpensWithPage.DdeApplication,
                      OpensWithPage.DdeTopic})
        SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
}

void ReleaseOpensWithItemData() {
    for (int index = 0, count = ComboCount(); index < count; ++index) {
        ProgramItem program;
        if (ReadComboItem(index, &program))
            FreeItemData(program.Data);
    }
    SendMessageA(OpensWithPage.ProgramCombo, CB_RESETCONTENT, 0, 0);
    for (int row = 0, count = RecentCount(); row < count; ++row)
        FreeItemData(ListItemData(OpensWithPage.RecentList, row));
    SendMessageA(OpensWithPage.RecentList, LVM_DELETEALLITEMS, 0, 0);
    if (AddProgramMenu && IsMenu(AddProgramMenu))
        for (int position = GetMenuItemCount(AddProgramMenu) - 1; position >= 0; --position)
            DeleteProgramMenuItemAt(position);
    AddProgramMenu = nullptr;
}
