// The action dialog: verb, display name, program and arguments, DDE.
#include "editor/action_dialog.h"

#include "details/actions.h"
#include "details/command_rules.h"
#include "records/app_state.h"
#include "resources/resource.h"
#include "resources/texts.h"
#include "text/text.h"
#include "ui/window_helpers.h"

#include <string>

namespace {

struct ActionDialogState {
    const ActionsRecord* Actions;
    ActionRecord* Action;
    bool IsNew;
};
ActionDialogState Dialog;

constexpr int kVerbCharacters = 255; // the registry's longest key name

std::string ReadField(HWND dialog, int id) {
    char text[kTextSize] = {};
    GetDlgItemTextA(dialog, id, text, kTextSize);
    TrimText(text);
    return text;
}

void OnInitDialog(HWND dialog) {
    const ActionRecord& action = *Dialog.Action;
    SetWindowTextA(dialog, Dialog.IsNew ? kCaptionNewAction : kCaptionEditAction);
    for (int id : {IDC_ACTION_NAME, IDC_ACTION_PROGRAM, IDC_ACTION_ARGS, IDC_ACTION_DDEAPP,
                   IDC_ACTION_DDETOPIC, IDC_ACTION_DDECOMMAND})
        SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, kNameCharacters, 0);
    SendDlgItemMessageA(dialog, IDC_ACTION_VERB, EM_LIMITTEXT, kVerbCharacters, 0);
    SendDlgItemMessageA(dialog, IDC_ACTION_VERB, EM_SETREADONLY, !Dialog.IsNew, 0);
    char program[kTextSize], arguments[kTextSize];
    SplitProgramAndArguments(action.Command.c_str(), program, arguments);
    const struct {
        int id;
        const char* text;
    } fields[] = {{IDC_ACTION_VERB, action.Verb.c_str()},
                  {IDC_ACTION_NAME, action.DisplayName.c_str()},
                  {IDC_ACTION_PROGRAM, program},
                  {IDC_ACTION_ARGS, arguments},
                  {IDC_ACTION_DDEAPP, action.DdeApplication.c_str()},
                  {IDC_ACTION_DDETOPIC, action.DdeTopic.c_str()},
                  {IDC_ACTION_DDECOMMAND, action.DdeCommand.c_str()}};
    for (const auto& field : fields)
        SetDlgItemTextA(dialog, field.id, field.text);
    const int first = Dialog.IsNew ? IDC_ACTION_VERB : IDC_ACTION_NAME;
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
    MessageBoxA(dialog, text.c_str(), Dialog.IsNew ? kCaptionNewAction : kCaptionEditAction,
                MB_OK | MB_ICONEXCLAMATION);
    SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, field)), TRUE);
    return false;
}

// The fields into the action; false (and the reason said) where they cannot be.
bool TakeFields(HWND dialog) {
    ActionRecord taken = *Dialog.Action;
    if (Dialog.IsNew) {
        taken.Verb = ReadField(dialog, IDC_ACTION_VERB);
        switch (CheckActionName(*Dialog.Actions, taken.Verb)) {
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
    taken.DisplayName = ReadField(dialog, IDC_ACTION_NAME);
    taken.Command = command;
    taken.DdeApplication = ReadField(dialog, IDC_ACTION_DDEAPP);
    taken.DdeTopic = ReadField(dialog, IDC_ACTION_DDETOPIC);
    taken.DdeCommand = ReadField(dialog, IDC_ACTION_DDECOMMAND);
    const ActionRecord& old = *Dialog.Action;
    taken.DisplayChanged |= taken.DisplayName != old.DisplayName || Dialog.IsNew;
    taken.CommandChanged |= taken.Command != old.Command || Dialog.IsNew;
    taken.DdeChanged |= taken.DdeApplication != old.DdeApplication ||
                        taken.DdeTopic != old.DdeTopic || taken.DdeCommand != old.DdeCommand;
    taken.Shown = ShownActionText(taken.MuiVerb, taken.DisplayName, taken.Verb);
    *Dialog.Action = taken;
    return true;
}

INT_PTR CALLBACK ActionDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
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

bool RunActionDialog(HWND owner, const ActionsRecord& actions, ActionRecord* action, bool isNew) {
    Dialog = {&actions, action, isNew};
    return DialogBoxParamA(AppState.Instance, MAKEINTRESOURCEA(IDD_ACTION), owner, ActionDialogProc,
                           0) == IDOK;
}
