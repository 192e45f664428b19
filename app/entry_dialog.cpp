// The name entry dialog (3000).
#include "app/entry_dialog.h"

#include "catalogue/catalogue.h"
#include "details/readers.h"
#include "editor/editor_frame.h"
#include "platform/handles.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/text.h"
#include "ui/app_ui.h"
#include "ui/window_helpers.h"

#include <string>

namespace {

// "." + name must fit a name buffer.
constexpr int kNameLimit = kNameCharacters - 1;
// The etched line between the entry and the buttons, in dialog units.
constexpr int kRuleLeft = 4;
constexpr int kRuleRight = 204;
constexpr int kRuleTop = 22;

enum class EntryRole { NewExtension, Find };

// What the main window does once the entry has closed.
enum class EntryOutcome { Nothing, FocusTree, FocusList, Create };

// The entry's own state, reached through its DWLP_USER.
struct EntryState {
    EntryRole Role = EntryRole::NewExtension;
    const CatalogueView* Catalogue = nullptr;
    EntryOutcome Outcome = EntryOutcome::Nothing;
    std::string Name; // the name typed, with its leading "."
};

EntryState& StateOf(HWND dialog) {
    return *reinterpret_cast<EntryState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void OnInitDialog(HWND dialog, LPARAM parameter) {
    SetWindowLongPtrA(dialog, DWLP_USER, parameter);
    SetWindowTextA(dialog, StateOf(dialog).Role == EntryRole::NewExtension ? kCaptionNewExtension
                                                                           : kCaptionFindExtension);
    HWND edit = GetDlgItem(dialog, IDC_ENTRY_NAME);
    SendMessageA(edit, EM_LIMITTEXT, kNameLimit, 0);
    // A wide procedure: the typed characters reach it as the system's own
    // UTF-16, unchanged by any code page, so letters of every script pass.
    // The edit keeps the procedure it had in its user data.
    SetWindowLongPtrW(
        edit, GWLP_USERDATA,
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ExtensionNameFilter)));
}

void Close(HWND dialog, EntryOutcome outcome) {
    StateOf(dialog).Outcome = outcome;
    SendMessageA(dialog, WM_CLOSE, 0, 0);
}

// The trimmed name, with its dot; false (and the message) when the entry is
// blank.
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
    char name[kNameSize] = {};
    name[0] = '.';
    CopyTextBounded(text, name + 1, kNameSize - 1);
    StateOf(dialog).Name = name;
    return true;
}

// Selects the extension when the catalogue holds it; false when it is not
// registered for the mode.
bool SelectRegistered(HWND dialog) {
    const EntryState& state = StateOf(dialog);
    HWND control = SelectInCatalogue(*state.Catalogue, state.Name.c_str());
    if (control)
        Close(dialog,
              control == state.Catalogue->Tree ? EntryOutcome::FocusTree : EntryOutcome::FocusList);
    return control != nullptr;
}

void AskToCreate(HWND dialog) {
    const std::string question =
        kTextNotFoundStart + StateOf(dialog).Name + kTextNotFoundEnd + kTextCreateQuestion;
    const int answer =
        MessageBoxA(dialog, question.c_str(), kCaptionNotFound, MB_YESNO | MB_ICONINFORMATION);
    Close(dialog, answer == IDYES ? EntryOutcome::Create : EntryOutcome::Nothing);
}

void OnAccept(HWND dialog) {
    if (!TakeName(dialog) || SelectRegistered(dialog))
        return;
    if (StateOf(dialog).Role == EntryRole::NewExtension)
        Close(dialog, EntryOutcome::Create);
    else
        AskToCreate(dialog);
}

void OnPaint(HWND dialog) {
    PaintScope paint(dialog);
    DrawEtchedLineInUnits(dialog, paint.dc(), kRuleRight, kRuleLeft, kRuleTop);
}

INT_PTR CALLBACK EntryProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog, lParam);
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

// A new extension is created in the editor; once saved it takes its place
// in the catalogue, selected.
void Create(MainWindow& main, const std::string& name) {
    const CatalogueView& catalogue = main.Catalogue;
    if (RunPropertyEditor(main.Window, kEditorCreate, NewFileType(name), catalogue.Mode)) {
        if (catalogue.Mode == RunMode::User)
            ShowNewUserExtension(catalogue, name.c_str());
        else
            ShowNewMachineExtension(catalogue, name.c_str());
    }
    SetFocus(catalogue.Mode == RunMode::Admin ? catalogue.List : catalogue.Tree);
}

void RunEntry(MainWindow& main, EntryRole role) {
    EntryState state;
    state.Role = role;
    state.Catalogue = &main.Catalogue;
    DialogBoxParamA(AppUi.Instance, MAKEINTRESOURCEA(IDD_ENTRY), main.Window, EntryProc,
                    reinterpret_cast<LPARAM>(&state));
    switch (state.Outcome) {
    case EntryOutcome::FocusTree:
        SetFocus(main.Catalogue.Tree);
        break;
    case EntryOutcome::FocusList:
        SetFocus(main.Catalogue.List);
        break;
    case EntryOutcome::Create:
        Create(main, state.Name);
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
    return CallWindowProcW(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(edit, GWLP_USERDATA)), edit,
                           message, wParam, lParam);
}

void RunNewExtensionDialog(MainWindow& main) {
    RunEntry(main, EntryRole::NewExtension);
}

void RunFindDialog(MainWindow& main) {
    RunEntry(main, EntryRole::Find);
}
