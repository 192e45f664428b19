// Writing a save's actions into a class, in either mode.
#include "details/actions.h"
#include "writer/apply_edits.h"
#include "writer/value_rules.h"

namespace {

bool Shown(const TextField& field) {
    return field.Present() && !field.Text.empty();
}

bool HasDdeText(const FileAction& action) {
    return Shown(action.DdeCommand) || Shown(action.DdeApplication) || Shown(action.DdeTopic);
}

bool SameDde(const FileAction& a, const FileAction& b) {
    return a.DdeCommand == b.DdeCommand && a.DdeApplication == b.DdeApplication &&
           a.DdeTopic == b.DdeTopic;
}

// A default value: written where there is text, removed where there is none.
void WriteDefaultOrNone(RegistryWrites& writes, HKEY hive, const std::string& path,
                        const TextField& text) {
    if (Shown(text))
        writes.SetText(hive, path, nullptr, text.Text);
    else
        writes.DeleteValue(hive, path, nullptr);
}

// An action's DDE: all of it goes where none of it is left; else each key
// with its text, a key without text removed.
void WriteDde(const FileAction& action, HKEY hive, const std::string& verbPath,
              RegistryWrites& writes) {
    const std::string dde = verbPath + "\\ddeexec";
    if (!HasDdeText(action)) {
        writes.DeleteTree(hive, dde);
        return;
    }
    writes.CreateKey(hive, dde);
    WriteDefaultOrNone(writes, hive, dde, action.DdeCommand);
    for (const auto& [key, text] :
         {std::pair{"\\Application", &action.DdeApplication}, {"\\Topic", &action.DdeTopic}}) {
        if (Shown(*text))
            writes.SetText(hive, dde + key, nullptr, text->Text);
        else
            writes.DeleteTree(hive, dde + key);
    }
}

void WriteAction(const FileAction& action, const FileAction* before, const ChangedFlags& changed,
                 HKEY hive, const std::string& shellPath, RegistryWrites& writes) {
    // The "open" action's command and DDE are written again wherever a person
    // touched them on the Open page, even back to what they were.
    const bool open = IsOpenVerb(action.Verb);
    const bool display = !before || action.DisplayName != before->DisplayName;
    const bool command =
        !before || action.Command != before->Command || (open && (changed.Program || changed.Args));
    const bool dde = (!before && HasDdeText(action)) || (before && !SameDde(action, *before)) ||
                     (open && (changed.DdeApplication || changed.DdeTopic || changed.DdeCommand));
    if (!display && !command && !dde)
        return;
    const std::string verbPath = shellPath + "\\" + action.Verb;
    writes.CreateKey(hive, verbPath);
    if (display)
        WriteDefaultOrNone(writes, hive, verbPath, action.DisplayName);
    if (command && action.Command.Present())
        writes.SetText(hive, verbPath + "\\command", nullptr, action.Command.Text,
                       CommandValueType(action.Command.Text));
    if (dde)
        WriteDde(action, hive, verbPath, writes);
}

} // namespace

bool ActionsTouched(const ChangedFlags& changed) {
    return changed.Actions || changed.Program || changed.Args || changed.DdeApplication ||
           changed.DdeTopic || changed.DdeCommand;
}

void ApplyActions(const FileTypeSave& save, const ChangedFlags& changed, HKEY hive,
                  const std::string& fileClass, RegistryWrites& writes) {
    const std::string shellPath = ClassesKeyPath(fileClass, "shell");
    if (shellPath.empty())
        return;
    for (const FileAction& action : save.Read.Actions)
        if (FindAction(save.Edited, action.Verb) < 0)
            writes.DeleteTree(hive, shellPath + "\\" + action.Verb);
    for (const FileAction& action : save.Edited.Actions) {
        const int before = FindAction(save.Read, action.Verb);
        WriteAction(action, before >= 0 ? &save.Read.Actions[before] : nullptr, changed, hive,
                    shellPath, writes);
    }
    if (save.Edited.DefaultVerb == save.Read.DefaultVerb)
        return;
    writes.CreateKey(hive, shellPath);
    WriteDefaultOrNone(writes, hive, shellPath, save.Edited.DefaultVerb);
}
