// The action dialog: verb, display name, program and arguments, DDE.
#include "editor/action_dialog.h"

#include "details/actions.h"
#include "details/command_rules.h"
#include "ui/app_ui.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/text.h"
#include "ui/window_helpers.h"

#include <string>

namespace {

// What the dialog works on, reached through its DWLP_USER.
struct ActionDialogState {
    const FileType* Type;
    FileAction* Action;
    bool IsNew;
};

ActionDialogState& StateOf(HWND dialog) {
    return *reinterpret_cast<ActionDialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

constexpr int kVerbCharacters = 255; // the registry's longest key name

std::string ReadField(HWND dialog, int id) {
    char text[kTextSize] = {};
    GetDlgItemTextA(dialog, id, text, kTextSize);
    TrimText(text);
    return text;
}

// A field as a person sees it: absent is empty.
const char* TextOf(const TextField& field) {
    return field.Present() ? field.Text.c_str() : "";
}

// What the person typed; empty is absent.
TextField FieldOf(const std::string& text) {
    return text.empty() ? TextField() : TextField{text, Source::Typed};
}

void OnInitDialog(HWND dialog, LPARAM parameter) {
    SetWindowLongPtrA(dialog, DWLP_USER, parameter);
    const ActionDialogState& state = StateOf(dialog);
    const FileAction& action = *state.Action;
    SetWindowTextA(dialog, state.IsNew ? kCaptionNewAction : kCaptionEditAction);
    for (int id : {IDC_ACTION_NAME, IDC_ACTION_PROGRAM, IDC_ACTION_ARGS, IDC_ACTION_DDEAPP,
                   IDC_ACTION_DDETOPIC, IDC_ACTION_DDECOMMAND})
        SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, kNameCharacters, 0);
    SendDlgItemMessageA(dialog, IDC_ACTION_VERB, EM_LIMITTEXT, kVerbCharacters, 0);
    SendDlgItemMessageA(dialog, IDC_ACTION_VERB, EM_SETREADONLY, !state.IsNew, 0);
    char program[kTextSize], arguments[kTextSize];
    SplitProgramAndArguments(TextOf(action.Command), program, arguments);
    const struct {
        int id;
        const char* text;
    } fields[] = {{IDC_ACTION_VERB, action.Verb.c_str()},
                  {IDC_ACTION_NAME, TextOf(action.DisplayName)},
                  {IDC_ACTION_PROGRAM, program},
                  {IDC_ACTION_ARGS, arguments},
                  {IDC_ACTION_DDEAPP, TextOf(action.DdeApplication)},
                  {IDC_ACTION_DDETOPIC, TextOf(action.DdeTopic)},
                  {IDC_ACTION_DDECOMMAND, TextOf(action.DdeCommand)}};
    for (const auto& field : fields)
        SetDlgItemTextA(dialog, field.id, field.text);
    const int first = state.IsNew ? IDC_ACTION_VERB : IDC_ACTION_NAME;
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, first)), TRUE);
}

void Browse(HWND dialog) {
    char path[kTextSize] = {};
    GetDlgItemTextA(dialog, IDC_ACTION_PROGRAM, path, kTextSize);
    if (ChooseProgramFile(dialog, path))
        SetDlgItemTextA(dialog, IDC_ACTION_PROGRAM, path);
}

// Says what is wrong and gives the field the focus; false.
bool Refuse(HWND dialog, const std::string& text, int field) {
    MessageBoxA(dialog, text.c_str(),
                StateOf(dialog).IsNew ? kCaptionNewAction : kCaptionEditAction,
                MB_OK | MB_ICONEXCLAMATION);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, field)), TRUE);
    return false;
}

// The fields into the action; false (and the reason said) where they cannot be.
bool TakeFields(HWND dialog) {
    const ActionDialogState& state = StateOf(dialog);
    FileAction taken = *state.Action;
    if (state.IsNew) {
        taken.Verb = ReadField(dialog, IDC_ACTION_VERB);
        taken.From = Source::Typed;
        switch (CheckActionName(*state.Type, taken.Verb)) {
        case ActionNameRefusal::Empty:
            return Refuse(dialog, kTextActionNameEmpty, IDC_ACTION_VERB);
        case ActionNameRefusal::Backslash:
            return Refuse(dialog, kTextActionNameBackslash, IDC_ACTION_VERB);
        case ActionNameRefusal::Taken:
            return Refuse(dialog, kTextActionNameTakenStart + taken.Verb + kTextActionNameTakenEnd,
                          IDC_ACTION_VERB);
        case ActionNameRefusal::None:
            break;
        }
    }
    const std::string program = ReadField(dialog, IDC_ACTION_PROGRAM);
    const std::string arguments = ReadField(dialog, IDC_ACTION_ARGS);
    char command[kTextSize] = {};
    if (!program.empty() && !JoinProgramAndArguments(program.c_str(), arguments.c_str(), command))
        return Refuse(dialog, kTextActionTooLong, IDC_ACTION_PROGRAM);
    // A field left as it was keeps its state; one typed into is the person's.
    auto take = [](TextField* field, const std::string& text) {
        if (text != TextOf(*field))
            *field = FieldOf(text);
    };
    take(&taken.DisplayName, ReadField(dialog, IDC_ACTION_NAME));
    take(&taken.Command, command);
    take(&taken.DdeApplication, ReadField(dialog, IDC_ACTION_DDEAPP));
    take(&taken.DdeTopic, ReadField(dialog, IDC_ACTION_DDETOPIC));
    take(&taken.DdeCommand, ReadField(dialog, IDC_ACTION_DDECOMMAND));
    taken.HasDde = taken.DdeApplication.Present() || taken.DdeTopic.Present() ||
                   taken.DdeCommand.Present() || (taken.HasDde && !state.IsNew);
    *state.Action = taken;
    return true;
}

INT_PTR CALLBACK ActionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog, lParam);
        return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDC_ACTION_BROWSE)
            Browse(dialog);
        else if (LOWORD(wParam) == IDOK && TakeFields(dialog))
            EndDialog(dialog, IDOK);
        else if (LOWORD(wParam) == IDCANCEL)
            EndDialog(dialog, IDCANCEL);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

bool RunActionDialog(HWND owner, const FileType& type, FileAction* action, bool isNew) {
    ActionDialogState state = {&type, action, isNew};
    return DialogBoxParamA(AppUi.Instance, MAKEINTRESOURCEA(IDD_ACTION), owner, ActionDialogProc,
                           reinterpret_cast<LPARAM>(&state)) == IDOK;
}
