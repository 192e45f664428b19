// The editor frame: creates and fills the pages, switches between them, and
// on Save hands what the user changed to the writer of the run mode.
#include "editor/editor_frame.h"

#include "editor/actions_page.h"
#include "platform/handles.h"
#include "records/app_state.h"
#include "details/readers.h"
#include "records/extension_record.h"
#include "editor/edit_flags_page.h"
#include "records/editor_state.h"
#include "editor/general_page.h"
#include "editor/opens_with_page.h"
#include "platform/shell.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "text/text.h"
#include "writer/apply_edits.h"
#include "writer/undo.h"
#include "writer/value_rules.h"
#include "ui/please_wait.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

namespace {

constexpr int kPageCount = 4;

struct PageTemplate {
    const char* tab;
    int dialog;
    DLGPROC procedure;
};
const PageTemplate kPages[kPageCount] = {{kTabGeneral, IDD_GENERAL, GeneralPageProc},
                                         {kTabOpensWith, IDD_OPENSWITH, OpensWithPageProc},
                                         {kTabEditFlags, IDD_EDITFLAGS, EditFlagsPageProc},
                                         {kTabActions, IDD_ACTIONS, ActionsPageProc}};

// The texts collected on Save: an edit of a page, its buffer in EditBuffer
// (kNameSize bytes) and its changed flag.
struct CollectedEdit {
    HWND* edit;
    char* buffer;
    DWORD* changed;
};
const CollectedEdit kCollectedEdits[] = {
    {&GeneralPage.Description, EditBuffer.Description, &Changed.Description},
    {&OpensWithPage.Args, EditBuffer.Args, &Changed.Args},
    {&OpensWithPage.DdeApplication, EditBuffer.DdeApplication, &Changed.DdeApplication},
    {&OpensWithPage.DdeTopic, EditBuffer.DdeTopic, &Changed.DdeTopic},
    {&OpensWithPage.DdeCommand, EditBuffer.DdeCommand, &Changed.DdeCommand}};

HWND EditorTabs;
HWND EditorPages[kPageCount];
int EditorPageIndex;
// The Recently Used list's pop-up menu, with "Add Program" in it.
MenuOwner RecentMenu;
// Set when the editor has released its pages' item data and ended, so that
// it ends once also when Cancel leads to Save.
bool EditorClosed;

void CopyPaneText(HWND from, HWND to) {
    char text[kTextSize] = {};
    SendMessageA(from, WM_GETTEXT, kTextSize, reinterpret_cast<LPARAM>(text));
    SendMessageA(to, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
}

// The page shows the pane's icon; the pane stays its owner.
void HandOverIcon(HWND from, HWND to) {
    SetEditorIcon(to, reinterpret_cast<HICON>(SendMessageA(from, STM_GETICON, 0, 0)));
}

// The description the editor edits is the class's own: in user mode the pane
// shows the shell's type name, which a "FriendlyTypeName" or the user's
// choice of class can make another.
void CopyDescriptionToEditor() {
    if (AppState.AdminMode) {
        CopyPaneText(DetailsPane.FileType, GeneralPage.Description);
        return;
    }
    const std::string description = ShellClassDescription(CurrentExtension);
    SetWindowTextA(GeneralPage.Description,
                   FitsBuffer(description.c_str(), kTextSize) ? description.c_str() : kTextUnknown);
}

void CopyPaneToEditor() {
    CopyPaneText(DetailsPane.IconFile, GeneralPage.IconFile);
    CopyPaneText(DetailsPane.IconPath, GeneralPage.IconPath);
    CopyDescriptionToEditor();
    CopyPaneText(DetailsPane.PerceivedType, GeneralPage.PerceivedCurrent);
    CopyPaneText(DetailsPane.ContentType, GeneralPage.ContentCurrent);
    CopyPaneText(DetailsPane.OpensWith, OpensWithPage.OpensWith);
    CopyPaneText(DetailsPane.ProgramFile, OpensWithPage.ProgramFile);
    CopyPaneText(DetailsPane.ProgramPath, OpensWithPage.ProgramPath);
    CopyPaneText(DetailsPane.Args, OpensWithPage.Args);
    if (ExtensionRecord.HasArgs == 0)
        SetWindowTextA(OpensWithPage.Args, "");
    HandOverIcon(DetailsPane.LargeIcon, GeneralPage.LargeIcon);
    HandOverIcon(DetailsPane.SmallIcon, GeneralPage.SmallIcon);
    HandOverIcon(DetailsPane.ProgramIcon, OpensWithPage.ProgramIcon);
}

void ReadDdeUserField(ASSOCSTR kind, HWND edit) {
    char text[kTextSize] = {};
    DWORD length = kTextSize;
    ShellAssocQuery(ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_INIT_DEFAULTTOSTAR, kind, CurrentExtension,
                    nullptr, text, &length);
    SetWindowTextA(edit, text);
}

// The DDE settings of user mode, as the shell sees them through the merged view.
void ReadDdeUser() {
    ReadDdeUserField(ASSOCSTR_DDECOMMAND, OpensWithPage.DdeCommand);
    ReadDdeUserField(ASSOCSTR_DDEAPPLICATION, OpensWithPage.DdeApplication);
    ReadDdeUserField(ASSOCSTR_DDETOPIC, OpensWithPage.DdeTopic);
}

void FillExisting(HKEY editFlagsHive) {
    CopyPaneToEditor();
    QueryEditFlags(kEditFlagsFill, editFlagsHive);
    if (ExtensionRecord.HasDde != 1)
        return;
    if (AppState.AdminMode)
        ReadDdeMachine();
    else
        ReadDdeUser();
}

void CreatePages(HWND editor) {
    for (int index = 0; index < kPageCount; ++index) {
        TCITEMA tab = {};
        tab.mask = TCIF_TEXT;
        tab.pszText = const_cast<char*>(kPages[index].tab);
        SendMessageA(EditorTabs, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&tab));
    }
    for (int index = 0; index < kPageCount; ++index)
        EditorPages[index] =
            CreateDialogParamA(AppState.Instance, MAKEINTRESOURCEA(kPages[index].dialog), editor,
                               kPages[index].procedure, 0);
    ShowWindow(EditorPages[0], SW_SHOWDEFAULT);
    EditorPageIndex = 0;
    Changed.OpenWithList = 0;
}

// Title and contents by mode.
void FillByMode(HWND editor) {
    char title[2 * kNameSize] = {};
    const HWND save = GetDlgItem(editor, IDC_EDITOR_SAVE);
    switch (EditorMode) {
    case kEditorCustomize:
        JoinTexts(2, title, kTextCustomizeTitle, CurrentExtension);
        SetWindowTextA(save, kTextSaveButton);
        // A customisation starts from the machine's flags.
        FillExisting(HKEY_LOCAL_MACHINE);
        break;
    case kEditorEdit:
        JoinTexts(2, title, kTextEditTitle, CurrentExtension);
        SetWindowTextA(save, kTextSaveButton);
        FillExisting(AppState.AdminMode ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER);
        break;
    default:
        JoinTexts(2, title, kTextCreateTitle, NewExtensionName);
        SetWindowTextA(save, kTextCreateButton);
        break;
    }
    SetWindowTextA(editor, title);
}

void FillRecentUsed(HWND editor) {
    HWND list = OpensWithPage.RecentList;
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_SUBITEM;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    if (AppState.AdminMode) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.pszText = const_cast<char*>(kTextNotInAdminMode);
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        EnableWindow(list, FALSE);
    } else {
        // A new extension has no programs of its own yet; the list must not
        // show those of the extension selected in the main window.
        if (EditorMode != kEditorCreate)
            FillRecentList();
        RecentMenu.reset(CreatePopupMenu());
        RecentListMenu = RecentMenu.get();
        AppendMenuA(RecentListMenu, MF_STRING, IDM_RECENT_REMOVE, kMenuRemove);
        BuildAddProgramMenu(RecentListMenu);
        PruneAddProgramMenu();
        DrawMenuBar(editor);
        EnableWindow(list, TRUE);
    }
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
}

// An edit takes no more than its buffer in EditBuffer keeps, so that Save
// never writes a typed text cut short. A longer text the pane hands over
// stays whole until the user shortens it.
void LimitCollectedEdits() {
    for (const CollectedEdit& edit : kCollectedEdits)
        SendMessageA(*edit.edit, EM_LIMITTEXT, kNameCharacters, 0);
}

void OnInitDialog(HWND editor, DWORD mode) {
    EditorMode = mode;
    EditorClosed = false;
    EditorTabs = GetDlgItem(editor, IDC_EDITOR_TABS);
    CreatePages(editor);
    LimitCollectedEdits();
    FillByMode(editor);
    FillPerceivedTypes();
    FillContentTypes();
    FillProgramCombo();
    FillRecentUsed(editor);
    FillActions();
    SetFocus(GeneralPage.Description);
    SendMessageA(GeneralPage.Description, EM_SETSEL, 0, -1);
    EditorDiscarded = 1;
}

void OnTabChange() {
    ShowWindow(EditorPages[EditorPageIndex], SW_HIDE);
    const int selected = static_cast<int>(SendMessageA(EditorTabs, TCM_GETCURSEL, 0, 0));
    EditorPageIndex = selected >= 0 && selected < kPageCount ? selected : 0;
    ShowWindow(EditorPages[EditorPageIndex], SW_SHOWDEFAULT);
}

void RefreshTextFlags() {
    for (const CollectedEdit& edit : kCollectedEdits)
        *edit.changed = SendMessageA(*edit.edit, EM_GETMODIFY, 0, 0) ? 1 : 0;
}

// The five edit texts into EditBuffer, trimmed, with their changed flags.
void CollectEdits() {
    for (const CollectedEdit& edit : kCollectedEdits) {
        FillWords(edit.buffer, kNameSize, 0);
        SendMessageA(*edit.edit, WM_GETTEXT, kNameSize, reinterpret_cast<LPARAM>(edit.buffer));
        TrimText(edit.buffer);
    }
    RefreshTextFlags();
}

// A saved program, arguments or DDE change nothing while the user's own
// choice of class decides: the user may remove the choice (its key alone).
// Where Windows protects it, its settings are offered instead.
void OfferToRemoveUserChoice(HWND editor) {
    std::string chosen;
    if (!(Changed.Program || Changed.Args || Changed.DdeApplication || Changed.DdeTopic ||
          Changed.DdeCommand) ||
        !ShellUserChoice(CurrentExtension, &chosen))
        return;
    const std::string question = kTextChoiceQuestionStart + std::string(CurrentExtension) +
                                 kTextChoiceQuestionMiddle + chosen + kTextChoiceQuestionEnd;
    if (MessageBoxA(editor, question.c_str(), CurrentExtension, MB_YESNO | MB_ICONQUESTION) !=
        IDYES)
        return;
    BeginChange(kUndoRemoveChoice + std::string(CurrentExtension), CurrentExtension,
                {FileExtsKey(CurrentExtension)});
    const LONG removed = RemoveUserChoice(CurrentExtension);
    EndChange();
    if (removed == ERROR_SUCCESS)
        return;
    const std::string refused =
        kTextChoiceRefusedStart + std::string(CurrentExtension) + kTextChoiceRefusedEnd;
    if (MessageBoxA(editor, refused.c_str(), CurrentExtension, MB_YESNO | MB_ICONWARNING) == IDYES)
        ShellExecuteA(editor, kReadmeVerb, kDefaultAppsSettings, nullptr, nullptr, SW_SHOW);
}

// The keys a Save may touch are recorded before it writes, for Undo.
void BeginSave() {
    const bool creating = EditorMode == kEditorCreate;
    const char* extension = creating ? NewExtensionName : CurrentExtension;
    char newClass[kTextSize];
    NewClassName(extension, newClass);
    const char* command = creating                         ? kMenuNewExtension
                          : EditorMode == kEditorCustomize ? kMenuCustomize
                                                           : kMenuEdit;
    BeginChange(command + std::string(" ") + extension, extension,
                ExtensionKeys(AppState.AdminMode ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                              extension, newClass));
}

void OnSave(HWND editor) {
    EditorDiscarded = 0;
    CollectEdits();
    if (AnyChanged()) {
        BeginSave();
        if (AppState.AdminMode)
            ApplyEditsAdmin();
        else
            ApplyEditsUser();
        EndChange();
        if (!AppState.AdminMode)
            OfferToRemoveUserChoice(editor);
        RunShellRefresh(editor);
    } else
        EditorDiscarded = 1;
    SendMessageA(editor, WM_CLOSE, 0, 0);
}

void OnCancel(HWND editor) {
    RefreshTextFlags();
    if (AnyChanged() &&
        MessageBoxA(editor, kTextSaveChanges, CurrentExtension, MB_YESNO) == IDYES) {
        OnSave(editor);
        return;
    }
    EditorDiscarded = 1;
    SendMessageA(editor, WM_CLOSE, 0, 0);
}

void OnClose(HWND editor) {
    if (EditorClosed)
        return;
    EditorClosed = true;
    ReleaseOpensWithItemData();
    RecentListMenu = nullptr;
    RecentMenu.reset();
    EndDialog(editor, 0);
}

void OnCommand(HWND editor, WPARAM wParam) {
    if (HIWORD(wParam) != BN_CLICKED)
        return;
    if (LOWORD(wParam) == IDC_EDITOR_SAVE)
        OnSave(editor);
    // Escape is Cancel.
    else if (LOWORD(wParam) == IDC_EDITOR_CANCEL || LOWORD(wParam) == IDCANCEL)
        OnCancel(editor);
}

INT_PTR CALLBACK EditorFrameProc(HWND editor, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(editor, static_cast<DWORD>(lParam));
        // The focus was given to the description.
        return FALSE;
    case WM_COMMAND:
        OnCommand(editor, wParam);
        return TRUE;
    case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->hwndFrom != EditorTabs || header->code != TCN_SELCHANGE)
            return FALSE;
        OnTabChange();
        return TRUE;
    }
    case WM_DPICHANGED: {
        // The system scales the controls; the frame takes the rectangle given.
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        SetWindowPos(editor, nullptr, suggested->left, suggested->top,
                     suggested->right - suggested->left, suggested->bottom - suggested->top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        return TRUE;
    }
    case WM_CLOSE:
        OnClose(editor);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

void RunPropertyEditor(DWORD mode) {
    DialogBoxParamA(AppState.Instance, MAKEINTRESOURCEA(IDD_EDITOR), AppState.MainWindow,
                    EditorFrameProc, static_cast<LPARAM>(mode));
}
