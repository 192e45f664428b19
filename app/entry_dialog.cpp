// The name entry dialog (3000).
#include "app/entry_dialog.h"

#include "platform/handles.h"
#include "records/app_state.h"
#include "catalogue/catalogue.h"
#include "ui/window_helpers.h"
#include "records/extension_record.h"
#include "editor/editor_frame.h"
#include "records/editor_state.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/text.h"

namespace {

// "." + name must fit NewExtensionName.
constexpr int kNameLimit = kNameCharacters - 1;
// The etched line between the entry and the buttons, in dialog units.
constexpr int kRuleLeft = 4;
constexpr int kRuleRight = 204;
constexpr int kRuleTop = 22;

enum class EntryRole { NewExtension, Find };

// What the main window does once the entry has closed.
enum class EntryOutcome { Nothing, FocusTree, FocusList, Create };

struct EntryState {
    EntryRole Role;
    EntryOutcome Outcome;
    WNDPROC EditProc;
};
EntryState Entry;

void OnInitDialog(HWND dialog) {
    SetWindowTextA(dialog, Entry.Role == EntryRole::NewExtension ? kCaptionNewExtension
                                                                 : kCaptionFindExtension);
    HWND edit = GetDlgItem(dialog, IDC_ENTRY_NAME);
    SendMessageA(edit, EM_LIMITTEXT, kNameLimit, 0);
    // A wide procedure: the typed characters reach it as the system's own
    // UTF-16, unchanged by any code page, so letters of every script pass.
    Entry.EditProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ExtensionNameFilter)));
}

void Close(HWND dialog, EntryOutcome outcome) {
    Entry.Outcome = outcome;
    SendMessageA(dialog, WM_CLOSE, 0, 0);
}

// The trimmed name into NewExtensionName; false (and the message) when the
// entry is blank.
bool TakeName(HWND dialog) {
    char text[kTextSize] = {};
    GetDlgItemTextA(dialog, IDC_ENTRY_NAME, text, kTextSize);
    const bool empty = text[0] == '\0';
    if (empty || TrimText(text) == 0) {
        MessageBoxA(dialog, kTextEmptyName, nullptr, MB_OK | MB_ICONINFORMATION);
        if (!empty)
            SetDlgItemTextA(dialog, IDC_ENTRY_NAME, text);
        SetFocus(GetDlgItem(dialog, IDC_ENTRY_NAME));
        return false;
    }
    FillWords(NewExtensionName, kNameSize, 0);
    NewExtensionName[0] = '.';
    CopyTextBounded(text, NewExtensionName + 1, kNameSize - 1);
    return true;
}

// Selects the extension when the catalogue holds it; false when it is not
// registered for the mode.
bool SelectRegistered(HWND dialog) {
    if (!AppState.AdminMode && HasUserClass(NewExtensionName)) {
        SelectInTree(NewExtensionName);
        Close(dialog, EntryOutcome::FocusTree);
        return true;
    }
    if (HasMachineClass(NewExtensionName)) {
        SelectInList(NewExtensionName);
        Close(dialog, EntryOutcome::FocusList);
        return true;
    }
    return false;
}

void AskToCreate(HWND dialog) {
    char question[kTextSize + 64] = {};
    JoinTexts(4, question, kTextNotFoundStart, NewExtensionName, kTextNotFoundEnd,
              kTextCreateQuestion);
    int answer = MessageBoxA(dialog, question, kCaptionNotFound, MB_YESNO | MB_ICONINFORMATION);
    Close(dialog, answer == IDYES ? EntryOutcome::Create : EntryOutcome::Nothing);
}

void OnAccept(HWND dialog) {
    if (!TakeName(dialog) || SelectRegistered(dialog))
        return;
    if (Entry.Role == EntryRole::NewExtension)
        Close(dialog, EntryOutcome::Create);
    else
        AskToCreate(dialog);
}

void OnPaint(HWND dialog) {
    PaintScope paint(dialog);
    DrawEtchedLineInUnits(dialog, paint.dc(), kRuleRight, kRuleLeft, kRuleTop);
}

INT_PTR CALLBACK EntryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return TRUE;
    case WM_COMMAND:
        if (HIWORD(wParam) != 0)
            return FALSE;
        if (LOWORD(wParam) == IDC_ENTRY_OK)
            OnAccept(dialog);
        else if (LOWORD(wParam) == IDC_ENTRY_CANCEL || LOWORD(wParam) == IDCANCEL)
            SendMessageA(dialog, WM_CLOSE, 0, 0);
        return TRUE;
    case WM_PAINT:
        OnPaint(dialog);
        return TRUE;
    case WM_CLOSE:
        EndDialog(dialog, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

void FocusCatalogue() {
    SetFocus(AppState.AdminMode ? AppState.ExtensionList : AppState.ExtensionTree);
}

void RunEntry(EntryRole role) {
    Entry = {role, EntryOutcome::Nothing, nullptr};
    DialogBoxParamA(AppState.Instance, MAKEINTRESOURCEA(IDD_ENTRY), AppState.MainWindow, EntryProc,
                    0);
    switch (Entry.Outcome) {
    case EntryOutcome::FocusTree:
        SetFocus(AppState.ExtensionTree);
        break;
    case EntryOutcome::FocusList:
        SetFocus(AppState.ExtensionList);
        break;
    case EntryOutcome::Create:
        RunPropertyEditor(kEditorCreate);
        FocusCatalogue();
        break;
    case EntryOutcome::Nothing:
        break;
    }
}

} // namespace

LRESULT CALLBACK ExtensionNameFilter(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CHAR:
        for (const char* refused = kRefusedNameCharacters; *refused; ++refused)
            if (wParam == static_cast<WPARAM>(*refused))
                return 0;
        break;
    case WM_RBUTTONUP:
    case WM_PASTE:
        return 0;
    default:
        break;
    }
    return CallWindowProcW(Entry.EditProc, edit, message, wParam, lParam);
}

void RunNewExtensionDialog() {
    RunEntry(EntryRole::NewExtension);
}

void RunFindDialog() {
    RunEntry(EntryRole::Find);
}
