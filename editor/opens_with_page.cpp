// The Opens-with page (dialog 1700, tab "Open"): the program of the "open"
// action chosen from the registered applications, its arguments, its DDE
// settings, and the user's "Recently Used" programs with their pop-up menu.
#include "details/actions.h"
#include "details/applications.h"
#include "details/command_rules.h"
#include "details/pane.h"
#include "editor/editor.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/shell.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "text/text.h"
#include "ui/app_ui.h"
#include "ui/list_items.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

// The rules through the bold headings, in dialog units of the template.
constexpr HeadingRule kHeadingRules[] = {
    {IDC_OPENSWITH_HEADER, 5}, {IDC_OPENSWITH_DDE_HEADER, 97}, {IDC_OPENSWITH_RECENT_HEADER, 153}};
constexpr int kRuleStart = 2;
constexpr int kRuleEnd = 296;

// The DDE edits, each with its field of the "open" action, its changed flag
// and the shell's answer for it.
struct DdeEdit {
    int Id;
    TextField FileAction::*Field;
    uint32_t ChangedFlags::*Changed;
    ASSOCSTR Answer;
};
const DdeEdit kDdeEdits[] = {
    {IDC_OPENSWITH_DDECOMMAND, &FileAction::DdeCommand, &ChangedFlags::DdeCommand,
     ASSOCSTR_DDECOMMAND},
    {IDC_OPENSWITH_DDEAPP, &FileAction::DdeApplication, &ChangedFlags::DdeApplication,
     ASSOCSTR_DDEAPPLICATION},
    {IDC_OPENSWITH_DDETOPIC, &FileAction::DdeTopic, &ChangedFlags::DdeTopic, ASSOCSTR_DDETOPIC}};

struct ProgramItem {
    char Text[kTextSize];
    int Image;
    LPARAM Data;
};

HWND Control(const Editor& editor, int id) {
    return GetDlgItem(editor.Pages[kOpensWithPage], id);
}

bool ReadComboItem(HWND combo, int index, ProgramItem* program) {
    FillWords(program->Text, kTextSize, 0);
    COMBOBOXEXITEMA item = {};
    item.mask = CBEIF_TEXT | CBEIF_IMAGE | CBEIF_LPARAM;
    item.iItem = index;
    item.pszText = program->Text;
    item.cchTextMax = kTextSize;
    if (!SendMessageA(combo, CBEM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return false;
    program->Image = item.iImage;
    program->Data = item.lParam;
    return true;
}

int ComboCount(HWND combo) {
    return static_cast<int>(SendMessageA(combo, CB_GETCOUNT, 0, 0));
}

bool ReadRecentRow(HWND list, int row, char* text, LPARAM* data) {
    FillWords(text, kTextSize, 0);
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = text;
    item.cchTextMax = kTextSize;
    if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return false;
    *data = item.lParam;
    return true;
}

// The list sorts the new row into place; on success the row owns data.
bool InsertRecentRow(HWND list, const char* text, int image, LPARAM data) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
    item.iItem = ListCount(list);
    item.pszText = const_cast<char*>(text);
    item.iImage = image;
    item.lParam = data;
    return SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) != -1;
}

void SizeRecentColumn(HWND list) {
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
}

// On success the menu item owns data.
bool InsertProgramMenuItem(HMENU menu, UINT position, UINT command, const char* text, LPARAM data) {
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_DATA | MIIM_STRING;
    item.wID = command;
    item.dwItemData = static_cast<ULONG_PTR>(data);
    item.dwTypeData = const_cast<char*>(text);
    return InsertMenuItemA(menu, position, TRUE, &item) != FALSE;
}

bool ReadProgramMenuItem(HMENU menu, UINT item, BOOL byPosition, char* text, LPARAM* data) {
    FillWords(text, kTextSize, 0);
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_DATA | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = kTextSize;
    if (!GetMenuItemInfoA(menu, item, byPosition, &info))
        return false;
    *data = static_cast<LPARAM>(info.dwItemData);
    return true;
}

void DeleteProgramMenuItemAt(HMENU menu, int position) {
    char text[kTextSize];
    LPARAM data = 0;
    if (ReadProgramMenuItem(menu, static_cast<UINT>(position), TRUE, text, &data))
        FreeItemData(data);
    DeleteMenu(menu, static_cast<UINT>(position), MF_BYPOSITION);
}

// The lowest command no item of "Add Program" has, and never that of
// "Remove". Among count + 2 numbers at least one is free; one pass over the
// items finds it, where asking the menu number by number would take a pass
// per number.
UINT UnusedCommand(HMENU menu) {
    const int count = GetMenuItemCount(menu);
    std::vector<bool> used(static_cast<size_t>(count > 0 ? count : 0) + 2);
    for (int position = 0; position < count; ++position) {
        const UINT command = GetMenuItemID(menu, position);
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

// Every registered application with an open (or edit) command, in reverse
// order of the registry's, each with its program's name and icon.
void FillProgramCombo(HWND combo) {
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
        if (SendMessageA(combo, CBEM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)) == -1)
            FreeItemData(item.lParam);
    }
}

// The record's programs that have a name to show.
void FillRecentList(HWND list, const std::vector<std::string>& programs) {
    for (const std::string& application : programs) {
        char friendly[kTextSize];
        if (!ProgramFriendlyName(application.c_str(), friendly))
            continue;
        char* data = CopyForItemData(application.c_str());
        if (data && !InsertRecentRow(list, friendly, ApplicationIconIndex(application.c_str()),
                                     reinterpret_cast<LPARAM>(data)))
            FreeItemData(reinterpret_cast<LPARAM>(data));
    }
}

// "Add Program": every program of the combo, each with a copy of its own: a
// program moves between the menu and the list, while the combo keeps its item.
HMENU BuildAddProgramMenu(HWND combo) {
    HMENU menu = CreatePopupMenu();
    for (int index = 0, count = ComboCount(combo); index < count; ++index) {
        ProgramItem program;
        if (!ReadComboItem(combo, index, &program) || !program.Data)
            continue;
        char* data = CopyForItemData(reinterpret_cast<const char*>(program.Data));
        const UINT command = static_cast<UINT>(index) < IDM_RECENT_REMOVE
                                 ? static_cast<UINT>(index)
                                 : static_cast<UINT>(index) + 1;
        if (data && !InsertProgramMenuItem(menu, static_cast<UINT>(GetMenuItemCount(menu)), command,
                                           program.Text, reinterpret_cast<LPARAM>(data)))
            FreeItemData(reinterpret_cast<LPARAM>(data));
    }
    return menu;
}

// The programs the list shows leave "Add Program".
void PruneAddProgramMenu(HMENU menu, HWND list) {
    if (!menu || GetMenuItemCount(menu) <= 0 || ListCount(list) <= 0)
        return;
    // One pass over each side: the list and the menu can both hold thousands.
    std::unordered_set<std::wstring> listed;
    for (int row = 0, rows = ListCount(list); row < rows; ++row) {
        char rowText[kTextSize];
        LPARAM rowData = 0;
        if (ReadRecentRow(list, row, rowText, &rowData))
            listed.insert(RegistryNameKey(rowText));
    }
    for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position) {
        char itemText[kTextSize];
        LPARAM itemData = 0;
        if (ReadProgramMenuItem(menu, static_cast<UINT>(position), TRUE, itemText, &itemData) &&
            listed.count(RegistryNameKey(itemText)))
            DeleteProgramMenuItemAt(menu, position);
    }
}

void SetUpRecentList(Editor& editor) {
    HWND list = Control(editor, IDC_OPENSWITH_RECENTLIST);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_SUBITEM;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    // Explorer keeps a list of programs for files alone.
    const bool link = IsLinkName(editor.Save.Read.Extension.c_str());
    if (editor.Mode == RunMode::Admin || link) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.pszText = const_cast<char*>(link ? kTextNotForLinkTypes : kTextNotInAdminMode);
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        EnableWindow(list, FALSE);
    } else {
        FillRecentList(list, editor.Save.Read.OpenWithList);
        editor.RecentMenu.reset(CreatePopupMenu());
        AppendMenuA(editor.RecentMenu.get(), MF_STRING, IDM_RECENT_REMOVE, kMenuRemove);
        editor.AddProgramMenu = BuildAddProgramMenu(Control(editor, IDC_OPENSWITH_PROGRAMCOMBO));
        AppendMenuA(editor.RecentMenu.get(), MF_POPUP,
                    reinterpret_cast<UINT_PTR>(editor.AddProgramMenu), kMenuAddProgram);
        PruneAddProgramMenu(editor.AddProgramMenu, list);
        EnableWindow(list, TRUE);
    }
    SizeRecentColumn(list);
}

void OnInitDialog(HWND page, LPARAM parameter) {
    Editor& editor = TakeEditor(page, parameter);
    // The frame learns the page's handle only once it is made.
    editor.Pages[kOpensWithPage] = page;
    StartPageLook(page, &editor.Looks[kOpensWithPage], kHeadingRules, std::size(kHeadingRules),
                  kRuleStart, kRuleEnd);
    SendDlgItemMessageA(page, IDC_OPENSWITH_RECENTLIST, LVM_SETIMAGELIST, LVSIL_SMALL,
                        reinterpret_cast<LPARAM>(AppUi.SmallSystemImages));
    SendDlgItemMessageA(page, IDC_OPENSWITH_PROGRAMCOMBO, CBEM_SETIMAGELIST, 0,
                        reinterpret_cast<LPARAM>(AppUi.SmallSystemImages));
    // An edit takes no more than a command keeps whole.
    for (int id : {IDC_OPENSWITH_ARGS, IDC_OPENSWITH_DDECOMMAND, IDC_OPENSWITH_DDEAPP,
                   IDC_OPENSWITH_DDETOPIC})
        SendDlgItemMessageA(page, id, EM_LIMITTEXT, kNameCharacters, 0);
    FillProgramCombo(GetDlgItem(page, IDC_OPENSWITH_PROGRAMCOMBO));
    SetUpRecentList(editor);
}

// The item data of the combo, the list and "Add Program" are released, and
// the controls emptied; the menu that held "Add Program" goes with the editor.
void ReleaseItemData(Editor& editor) {
    HWND combo = Control(editor, IDC_OPENSWITH_PROGRAMCOMBO);
    for (int index = 0, count = ComboCount(combo); index < count; ++index) {
        ProgramItem program;
        if (ReadComboItem(combo, index, &program))
            FreeItemData(program.Data);
    }
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    HWND list = Control(editor, IDC_OPENSWITH_RECENTLIST);
    for (int row = 0, count = ListCount(list); row < count; ++row)
        FreeItemData(ListItemData(list, row));
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    if (editor.AddProgramMenu && IsMenu(editor.AddProgramMenu))
        for (int position = GetMenuItemCount(editor.AddProgramMenu) - 1; position >= 0; --position)
            DeleteProgramMenuItemAt(editor.AddProgramMenu, position);
    editor.AddProgramMenu = nullptr;
    editor.RecentMenu.reset();
}

void OnDestroy(Editor& editor) {
    ReleaseItemData(editor);
    SetPaneIcon(Control(editor, IDC_OPENSWITH_PROGRAMICON), nullptr);
}

const FileAction* FindOpen(const FileType& type) {
    const int open = FindAction(type, "open");
    return open >= 0 ? &type.Actions[open] : nullptr;
}

// The program and arguments of the "open" action's command; both empty
// where it has none.
void SplitOpenCommand(const FileType& type, char* program, char* arguments) {
    const FileAction* open = FindOpen(type);
    FillWords(program, kTextSize, 0);
    FillWords(arguments, kTextSize, 0);
    if (open && open->Command.Present())
        SplitProgramAndArguments(open->Command.Text.c_str(), program, arguments);
}

// The chosen application: its program (its command's folder, expanded, and
// its key's name) with its command's arguments becomes the "open" command.
void ChooseProgram(Editor& editor) {
    HWND combo = Control(editor, IDC_OPENSWITH_PROGRAMCOMBO);
    const int index = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
    ProgramItem program;
    if (index < 0 || !ReadComboItem(combo, index, &program) || !program.Data)
        return;
    const char* application = reinterpret_cast<const char*>(program.Data);
    RegKey applications;
    RegistryOpenKey(HKEY_CLASSES_ROOT, kApplicationsKey, KEY_READ, applications.put());
    char command[kTextSize], expanded[kTextSize], folder[kTextSize], path[kTextSize];
    if (!ReadApplicationCommand(applications.get(), application, kOpenCommandKey, command))
        FillWords(command, kTextSize, 0);
    ExpandedFolderOf(command, expanded, folder);
    char joined[kTextSize];
    if (!JoinTextsBounded(path, kTextSize, {folder, application}) ||
        !JoinProgramAndArguments(path, command[0] ? PathGetArgsA(command) : "", joined))
        return;
    FileAction& open = OpenActionOf(&editor.Save.Edited);
    open.Command = {joined, Source::Typed};
    editor.Save.Changed.Program = 1;
    ShowOpensWithPage(editor);
}

// The menu for row (-1: none) at screen: a right-click's row is the one under
// the cursor, the keyboard's the selected one.
void ShowRecentListMenu(Editor& editor, int row, POINT screen) {
    editor.RightClickedRow = row;
    EnableMenuItem(editor.RecentMenu.get(), IDM_RECENT_REMOVE,
                   MF_BYCOMMAND | (row >= 0 ? MF_ENABLED : MF_DISABLED));
    TrackPopupMenu(editor.RecentMenu.get(), 0, screen.x, screen.y, 0, editor.Pages[kOpensWithPage],
                   nullptr);
}

BOOL OnContextMenu(Editor& editor, HWND control, LPARAM position) {
    HWND list = Control(editor, IDC_OPENSWITH_RECENTLIST);
    if (!editor.RecentMenu || control != list || !IsKeyboardMenu(position))
        return FALSE;
    const int row = ListView_GetNextItem(control, -1, LVNI_SELECTED);
    ShowRecentListMenu(editor, row, ListRowMenuPoint(control, row));
    return TRUE;
}

// The row's program leaves the record's list and goes back to the top of
// "Add Program", with its data.
void RemoveRecentRow(Editor& editor) {
    HWND list = Control(editor, IDC_OPENSWITH_RECENTLIST);
    char text[kTextSize];
    LPARAM data = 0;
    const int row = editor.RightClickedRow;
    editor.RightClickedRow = -1;
    if (row < 0 || !ReadRecentRow(list, row, text, &data))
        return;
    std::vector<std::string>& programs = editor.Save.Edited.OpenWithList;
    programs.erase(std::remove_if(programs.begin(), programs.end(),
                                  [&](const std::string& program) {
                                      return CompareNoCase(program.c_str(),
                                                           reinterpret_cast<const char*>(data)) ==
                                             0;
                                  }),
                   programs.end());
    if (!InsertProgramMenuItem(editor.AddProgramMenu, 0, UnusedCommand(editor.AddProgramMenu), text,
                               data))
        FreeItemData(data);
    SendMessageA(list, LVM_DELETEITEM, row, 0);
    SizeRecentColumn(list);
    editor.Save.Changed.OpenWithList = 1;
}

// The chosen "Add Program" item becomes a row, with its data, and the most
// recent program of the record's list.
void AddRecentProgram(Editor& editor, UINT command) {
    HWND list = Control(editor, IDC_OPENSWITH_RECENTLIST);
    char text[kTextSize];
    LPARAM data = 0;
    if (!editor.AddProgramMenu ||
        !ReadProgramMenuItem(editor.AddProgramMenu, command, FALSE, text, &data) || !data)
        return;
    const char* application = reinterpret_cast<const char*>(data);
    if (!InsertRecentRow(list, text, ApplicationIconIndex(application), data))
        return;
    std::vector<std::string>& programs = editor.Save.Edited.OpenWithList;
    programs.insert(programs.begin(), application);
    DeleteMenu(editor.AddProgramMenu, command, MF_BYCOMMAND);
    SizeRecentColumn(list);
    editor.Save.Changed.OpenWithList = 1;
}

void OnCommand(Editor& editor, WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDC_OPENSWITH_PROGRAMCOMBO && HIWORD(wParam) == CBN_SELCHANGE) {
        ChooseProgram(editor);
        return;
    }
    // Menu commands carry no control.
    if (HIWORD(wParam) != 0 || lParam != 0)
        return;
    if (LOWORD(wParam) == IDM_RECENT_REMOVE)
        RemoveRecentRow(editor);
    else
        AddRecentProgram(editor, LOWORD(wParam));
}

void OnNotify(Editor& editor, const NMHDR* header) {
    if (header->idFrom != IDC_OPENSWITH_RECENTLIST || header->code != NM_RCLICK ||
        !editor.RecentMenu)
        return;
    POINT cursor;
    GetCursorPos(&cursor);
    HWND list = Control(editor, IDC_OPENSWITH_RECENTLIST);
    ShowRecentListMenu(editor, ListRowAt(list, CursorIn(list)), cursor);
}

// What a DDE edit shows: the stored text; in user mode, where the action has
// DDE and the person has not touched it, the shell's answer, which names a
// default application and topic where the keys name none.
std::string ShownDde(const Editor& editor, const FileAction* open, const DdeEdit& edit) {
    if (!open)
        return "";
    const TextField& field = open->*edit.Field;
    if (editor.Mode == RunMode::Admin || !open->HasDde || open->From == Source::Typed ||
        editor.Save.Changed.*edit.Changed)
        return field.Text;
    char answer[kTextSize] = {};
    DWORD length = kTextSize;
    ShellAssocQuery(ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_INIT_DEFAULTTOSTAR, edit.Answer,
                    editor.Save.Read.Extension.c_str(), open->Verb.c_str(), answer, &length);
    return answer;
}

void SetEditText(HWND edit, const std::string& text) {
    SetWindowTextA(edit, text.c_str());
    SendMessageA(edit, EM_SETMODIFY, FALSE, 0);
}

} // namespace

INT_PTR CALLBACK OpensWithPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        OnInitDialog(page, lParam);
        return FALSE;
    }
    if (!GetWindowLongPtrA(page, DWLP_USER))
        return FALSE;
    Editor& editor = EditorOf(page);
    if (RunCommonPageMessage(page, message, &editor.Looks[kOpensWithPage]))
        return TRUE;
    switch (message) {
    case WM_COMMAND:
        OnCommand(editor, wParam, lParam);
        return TRUE;
    case WM_NOTIFY:
        OnNotify(editor, reinterpret_cast<const NMHDR*>(lParam));
        return TRUE;
    case WM_CONTEXTMENU:
        return OnContextMenu(editor, reinterpret_cast<HWND>(wParam), lParam);
    case WM_DESTROY:
        OnDestroy(editor);
        return TRUE;
    default:
        return FALSE;
    }
}

void ShowOpensWithPage(Editor& editor) {
    const FileType& edited = editor.Save.Edited;
    char program[kTextSize], arguments[kTextSize];
    SplitOpenCommand(edited, program, arguments);
    char folder[kTextSize] = {}, file[kTextSize] = {}, name[kTextSize] = {};
    const bool creating = editor.Save.EditorMode == kEditorCreate;
    const char* none = creating ? "" : kTextUnknown;
    if (program[0]) {
        DirectoryOf(program, folder);
        if (FileNameOf(program, file) != 0)
            CopyTextBounded(program, file, kTextSize);
        if (!ProgramFriendlyName(program, name))
            CopyTextBounded(file, name, kTextSize);
    }
    SetDlgItemTextA(editor.Pages[kOpensWithPage], IDC_OPENSWITH_OPENSWITH,
                    program[0] ? name : none);
    SetDlgItemTextA(editor.Pages[kOpensWithPage], IDC_OPENSWITH_PROGRAMFILE,
                    program[0] ? file : none);
    SetDlgItemTextA(editor.Pages[kOpensWithPage], IDC_OPENSWITH_PROGRAMPATH,
                    program[0] ? folder : none);
    SetPaneIcon(Control(editor, IDC_OPENSWITH_PROGRAMICON),
                program[0] ? ImageList_GetIcon(AppUi.LargeSystemImages,
                                               ProgramIconIndex(program, 0), ILD_TRANSPARENT)
                           : nullptr);
    SetEditText(Control(editor, IDC_OPENSWITH_ARGS), arguments);
    for (const DdeEdit& edit : kDdeEdits)
        SetEditText(Control(editor, edit.Id), ShownDde(editor, FindOpen(edited), edit));
}

void CollectOpensWithPage(Editor& editor) {
    HWND args = Control(editor, IDC_OPENSWITH_ARGS);
    FileType& edited = editor.Save.Edited;
    auto textOf = [](HWND edit) {
        char text[kNameSize] = {};
        GetWindowTextA(edit, text, kNameSize);
        TrimText(text);
        return std::string(text);
    };
    if (SendMessageA(args, EM_GETMODIFY, 0, 0)) {
        char program[kTextSize], old[kTextSize], command[kTextSize];
        SplitOpenCommand(edited, program, old);
        editor.Save.Changed.Args = 1;
        // Arguments need a program to make a command; one that does not fit
        // is not made, never cut.
        if (program[0] && JoinProgramAndArguments(program, textOf(args).c_str(), command))
            OpenActionOf(&edited).Command = {command, Source::Typed};
        SendMessageA(args, EM_SETMODIFY, FALSE, 0);
    }
    bool touched = false;
    for (const DdeEdit& edit : kDdeEdits)
        if (SendMessageA(Control(editor, edit.Id), EM_GETMODIFY, 0, 0)) {
            editor.Save.Changed.*edit.Changed = 1;
            touched = true;
        }
    if (!touched)
        return;
    // The three are written together, with the texts the page shows.
    FileAction& open = OpenActionOf(&edited);
    for (const DdeEdit& edit : kDdeEdits) {
        HWND control = Control(editor, edit.Id);
        open.*edit.Field = {textOf(control), Source::Typed};
        SendMessageA(control, EM_SETMODIFY, FALSE, 0);
    }
    open.HasDde = true;
}
