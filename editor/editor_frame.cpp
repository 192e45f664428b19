// The editor frame: creates and fills the pages, switches between them, and
// on Save hands the record as read and as edited to the writer of the mode.
#include "editor/editor_frame.h"

#include "details/actions.h"
#include "editor/editor.h"
#include "platform/registry_layout.h"
#include "platform/registry_write.h"
#include "platform/shell.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "ui/app_ui.h"
#include "ui/list_items.h"
#include "ui/please_wait.h"
#include "writer/apply_edits.h"

#include <commctrl.h>
#include <shellapi.h>

#include <string>

namespace {

struct PageTemplate {
    const char* tab;
    int dialog;
    DLGPROC procedure;
};
const PageTemplate kPages[kEditorPageCount] = {{kTabGeneral, IDD_GENERAL, GeneralPageProc},
                                               {kTabOpensWith, IDD_OPENSWITH, OpensWithPageProc},
                                               {kTabEditFlags, IDD_EDITFLAGS, EditFlagsPageProc},
                                               {kTabActions, IDD_ACTIONS, ActionsPageProc}};

// The editor whose keys the filter below reads: one at a time, as it is modal.
HWND KeysEditor;
HookOwner KeyFilter;

void CreatePages(Editor& editor) {
    for (int index = 0; index < kEditorPageCount; ++index) {
        TCITEMA tab = {};
        tab.mask = TCIF_TEXT;
        tab.pszText = const_cast<char*>(kPages[index].tab);
        SendMessageA(editor.Tabs, TCM_INSERTITEMA, index, reinterpret_cast<LPARAM>(&tab));
    }
    for (int index = 0; index < kEditorPageCount; ++index)
        editor.Pages[index] = CreateDialogParamA(
            AppUi.Instance, MAKEINTRESOURCEA(kPages[index].dialog), editor.Window,
            kPages[index].procedure, reinterpret_cast<LPARAM>(&editor));
    ShowWindow(editor.Pages[kGeneralPage], SW_SHOWDEFAULT);
    editor.PageIndex = kGeneralPage;
}

// What the pages hold that is not yet in the record.
void CollectPages(Editor& editor) {
    CollectGeneralPage(editor);
    CollectOpensWithPage(editor);
}

void ShowPage(Editor& editor, int index) {
    switch (index) {
    case kGeneralPage:
        ShowGeneralPage(editor);
        break;
    case kOpensWithPage:
        ShowOpensWithPage(editor);
        break;
    case kEditFlagsPage:
        ShowEditFlagsPage(editor);
        break;
    default:
        ShowActionsPage(editor);
        break;
    }
}

// The page at index in place of the one shown; what the person typed on that
// one goes into the record first, so that the new one shows it.
void SwitchToPage(Editor& editor, int index) {
    if (index < 0 || index >= kEditorPageCount || index == editor.PageIndex)
        return;
    CollectPages(editor);
    ShowWindow(editor.Pages[editor.PageIndex], SW_HIDE);
    editor.PageIndex = index;
    SendMessageA(editor.Tabs, TCM_SETCURSEL, index, 0);
    ShowPage(editor, index);
    ShowWindow(editor.Pages[index], SW_SHOWDEFAULT);
}

// Ctrl+Tab and Ctrl+Page Down go to the next page, Ctrl+Shift+Tab and
// Ctrl+Page Up to the one before, as in every property sheet; a modal
// dialog's own loop would take Tab for moving between controls.
LRESULT CALLBACK FilterEditorKeys(int code, WPARAM wParam, LPARAM lParam) {
    auto* message = reinterpret_cast<MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && message->message == WM_KEYDOWN && KeysEditor &&
        GetKeyState(VK_CONTROL) < 0 && message->hwnd &&
        GetAncestor(message->hwnd, GA_ROOT) == KeysEditor) {
        const WPARAM key = message->wParam;
        const bool back = key == VK_PRIOR || (key == VK_TAB && GetKeyState(VK_SHIFT) < 0);
        if (key == VK_TAB || key == VK_NEXT || key == VK_PRIOR) {
            Editor& editor = EditorOf(KeysEditor);
            SwitchToPage(editor,
                         (editor.PageIndex + (back ? kEditorPageCount - 1 : 1)) % kEditorPageCount);
            return TRUE;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void FillByMode(Editor& editor) {
    const uint32_t mode = editor.Save.EditorMode;
    const std::string& extension = editor.Save.Read.Extension;
    const char* title = mode == kEditorCustomize ? kTextCustomizeTitle
                        : mode == kEditorEdit    ? kTextEditTitle
                                                 : kTextCreateTitle;
    SetWindowTextA(GetDlgItem(editor.Window, IDC_EDITOR_SAVE),
                   mode == kEditorCreate ? kTextCreateButton : kTextSaveButton);
    SetWindowTextA(editor.Window, (title + extension).c_str());
}

void OnInitDialog(HWND window, LPARAM parameter) {
    Editor& editor = TakeEditor(window, parameter);
    editor.Window = window;
    editor.Tabs = GetDlgItem(window, IDC_EDITOR_TABS);
    CreatePages(editor);
    FillByMode(editor);
    for (int index = 0; index < kEditorPageCount; ++index)
        ShowPage(editor, index);
    KeysEditor = window;
    KeyFilter.reset(
        SetWindowsHookExA(WH_MSGFILTER, FilterEditorKeys, nullptr, GetCurrentThreadId()));
    // Opened on an action: the Actions page, with that action selected.
    const int action =
        editor.StartAction.empty() ? -1 : FindAction(editor.Save.Edited, editor.StartAction);
    if (action >= 0) {
        HWND actions = GetDlgItem(editor.Pages[kActionsPage], IDC_ACTIONS_LIST);
        SetListItemState(actions, action, LVIS_SELECTED | LVIS_FOCUSED);
        SwitchToPage(editor, kActionsPage);
        SetFocus(actions);
        return;
    }
    HWND description = GetDlgItem(editor.Pages[kGeneralPage], IDC_GENERAL_DESCRIPTION);
    SetFocus(description);
    SendMessageA(description, EM_SETSEL, 0, -1);
}

void Close(Editor& editor) {
    SendMessageA(editor.Window, WM_CLOSE, 0, 0);
}

// A saved program, arguments or DDE change nothing while the user's own
// choice of class decides: the user may remove the choice (its key alone).
// Where Windows protects it, its settings are offered instead.
void OfferToRemoveUserChoice(Editor& editor, const ChangedFlags& changed) {
    const std::string& extension = editor.Save.Edited.Extension;
    std::string chosen;
    if (!(changed.Program || changed.Args || changed.DdeApplication || changed.DdeTopic ||
          changed.DdeCommand) ||
        !ShellUserChoice(extension.c_str(), &chosen))
        return;
    const bool link = IsLinkName(extension.c_str());
    const std::string question = (link ? kTextLinkChoiceQuestionStart + extension + ":"
                                       : kTextChoiceQuestionStart + extension) +
                                 kTextChoiceQuestionMiddle + chosen + kTextChoiceQuestionEnd;
    if (MessageBoxA(editor.Window, question.c_str(), extension.c_str(),
                    MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const ChangeOutcome removed = RemoveUserChoice(extension);
    if (removed.Done())
        return;
    const std::string refused =
        kTextChoiceRefusedStart + extension + kTextChoiceRefusedReason +
        KeyDisplayName(removed.Refused.Hive, removed.Refused.Path) + kTextRefusedReason +
        SystemMessage(static_cast<DWORD>(removed.Refused.Status)) + kTextChoiceRefusedEnd;
    if (MessageBoxA(editor.Window, refused.c_str(), extension.c_str(), MB_YESNO | MB_ICONWARNING) ==
        IDYES)
        ShellExecuteA(editor.Window, kReadmeVerb, kDefaultAppsSettings, nullptr, nullptr, SW_SHOW);
}

void OnSave(Editor& editor) {
    CollectPages(editor);
    const ChangedFlags changed = ChangesOf(editor.Save);
    if (!AnyChanged(changed)) {
        Close(editor);
        return;
    }
    const ChangeOutcome outcome = ApplyEdits(editor.Save, editor.Mode);
    if (!outcome.Done()) {
        // The editor stays open with everything the person typed.
        MessageBoxA(editor.Window, DescribeRefusal(outcome).c_str(), kCaptionRefused,
                    MB_OK | MB_ICONHAND);
        return;
    }
    editor.Saved = true;
    if (editor.Mode == RunMode::User)
        OfferToRemoveUserChoice(editor, changed);
    RunShellRefresh(editor.Window);
    Close(editor);
}

void OnCancel(Editor& editor) {
    CollectPages(editor);
    if (AnyChanged(ChangesOf(editor.Save)) &&
        MessageBoxA(editor.Window, kTextSaveChanges, editor.Save.Read.Extension.c_str(),
                    MB_YESNO) == IDYES) {
        OnSave(editor);
        return;
    }
    Close(editor);
}

// The editor ends once, also when Cancel leads to Save.
void OnClose(Editor& editor) {
    if (editor.Closed)
        return;
    editor.Closed = true;
    KeyFilter.reset();
    KeysEditor = nullptr;
    EndDialog(editor.Window, 0);
}

void OnCommand(Editor& editor, WPARAM wParam) {
    if (HIWORD(wParam) != BN_CLICKED)
        return;
    if (LOWORD(wParam) == IDC_EDITOR_SAVE)
        OnSave(editor);
    // Escape is Cancel.
    else if (LOWORD(wParam) == IDC_EDITOR_CANCEL || LOWORD(wParam) == IDCANCEL)
        OnCancel(editor);
}

INT_PTR OnNotify(Editor& editor, const NMHDR* header) {
    if (header->hwndFrom != editor.Tabs || header->code != TCN_SELCHANGE)
        return FALSE;
    const int selected = static_cast<int>(SendMessageA(editor.Tabs, TCM_GETCURSEL, 0, 0));
    SwitchToPage(editor, selected);
    return TRUE;
}

// The system scales the controls; the frame takes the rectangle given.
void OnDpiChanged(HWND window, LPARAM lParam) {
    const auto* suggested = reinterpret_cast<const RECT*>(lParam);
    SetWindowPos(window, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK EditorFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(window, lParam);
        // The focus was given to the description.
        return FALSE;
    case WM_COMMAND:
        OnCommand(EditorOf(window), wParam);
        return TRUE;
    case WM_NOTIFY:
        return OnNotify(EditorOf(window), reinterpret_cast<const NMHDR*>(lParam));
    case WM_DPICHANGED:
        OnDpiChanged(window, lParam);
        return TRUE;
    case WM_CLOSE:
        OnClose(EditorOf(window));
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

bool RunPropertyEditor(HWND owner, uint32_t editorMode, const FileType& read, RunMode mode,
                       const std::string& action) {
    Editor editor;
    editor.Mode = mode;
    editor.StartAction = action;
    editor.Save.EditorMode = editorMode;
    editor.Save.Read = read;
    editor.Save.Edited = read;
    // The user's own extension may lose a value of its own; a new one is the
    // user's own too.
    editor.NoneAllowed = mode == RunMode::User &&
                         (editorMode == kEditorCreate || (read.InUserHive && !read.InMachineHive));
    DialogBoxParamA(AppUi.Instance, MAKEINTRESOURCEA(IDD_EDITOR), owner, EditorFrameProc,
                    reinterpret_cast<LPARAM>(&editor));
    return editor.Saved;
}
