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

enum class EntryRole { NewExtension, NewLinkType, Find };

// What the main window does once the entry has closed.
enum class EntryOutcome { Nothing, Select, Create };

// The entry's own state, reached through its DWLP_USER.
struct EntryState {
    EntryRole Role = EntryRole::NewExtension;
    const CatalogueView* Catalogue = nullptr;
    EntryOutcome Outcome = EntryOutcome::Nothing;
    std::string Name; // the name typed, with its leading "." (a link type's scheme as it is)
};

EntryState& StateOf(HWND dialog) {
    return *reinterpret_cast<EntryState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void OnInitDialog(HWND dialog, LPARAM parameter) {
    SetWindowLongPtrA(dialog, DWLP_USER, parameter);
    const EntryRole role = StateOf(dialog).Role;
    SetWindowTextA(dialog, role == EntryRole::NewExtension  ? kCaptionNewExtension
                           : role == EntryRole::NewLinkType ? kCaptionNewLinkType
                                                            : kCaptionFindExtension);
    HWND edit = GetDlgItem(dialog, IDC_ENTRY_NAME);
    SendMessageA(edit, EM_LIMITTEXT, kNameLimit, 0);
    // A scheme is checked whole when the entry is accepted.
    if (role == EntryRole::NewLinkType)
        return;
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

// A scheme typed with or without its ":", in small letters as schemes are
// registered; false (and the rule) where it is not one.
bool TakeScheme(HWND dialog, const char* text) {
    std::string scheme = text;
    if (scheme.back() == ':')
        scheme.pop_back();
    if (!IsUrlScheme(scheme.c_str()) || scheme.size() > static_cast<size_t>(kNameLimit)) {
        MessageBoxA(dialog, kTextBadScheme, nullptr, MB_OK | MB_ICONINFORMATION);
        SetFocus(GetDlgItem(dialog, IDC_ENTRY_NAME));
        return false;
    }
    for (char& c : scheme)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    StateOf(dialog).Name = scheme;
    return true;
}

// The trimmed name, with its dot (a link type's scheme); false (and the
// message) when the entry is blank or no scheme.
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
    if (StateOf(dialog).Role == EntryRole::NewLinkType)
        return TakeScheme(dialog, text);
    char name[kNameSize] = {};
    name[0] = '.';
    CopyTextBounded(text, name + 1, kNameSize - 1);
    StateOf(dialog).Name = name;
    return true;
}

// Closes the dialog to select the type when the mode has it registered;
// false when it has not.
bool SelectRegistered(HWND dialog) {
    const EntryState& state = StateOf(dialog);
    if (!IsRegisteredType(state.Catalogue->Mode, state.Name.c_str()))
        return false;
    Close(dialog, EntryOutcome::Select);
    return true;
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
    if (StateOf(dialog).Role != EntryRole::Find)
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
    if (!RunPropertyEditor(main.Window, kEditorCreate, NewFileType(name), catalogue.Mode)) {
        SetFocus(catalogue.Mode == RunMode::Admin ? ShownList(main) : catalogue.Tree);
        return;
    }
    if (catalogue.Mode == RunMode::User) {
        ShowNewUserExtension(catalogue, name.c_str());
        SetFocus(catalogue.Tree);
        return;
    }
    ShowNewMachineExtension(catalogue, name.c_str());
    ShowListTab(main, ListTabOf(name.c_str()));
}

void RunEntry(MainWindow& main, EntryRole role) {
    EntryState state;
    state.Role = role;
    state.Catalogue = &main.Catalogue;
    DialogBoxParamA(AppUi.Instance, MAKEINTRESOURCEA(IDD_ENTRY), main.Window, EntryProc,
                    reinterpret_cast<LPARAM>(&state));
    switch (state.Outcome) {
    case EntryOutcome::Select:
        SelectType(main, state.Name);
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

void RunNewLinkTypeDialog(MainWindow& main) {
    RunEntry(main, EntryRole::NewLinkType);
}

void RunFindDialog(MainWindow& main) {
    RunEntry(main, EntryRole::Find);
}
