// "set": a file type's values changed from the command line, through the
// property editor's writers and rules.
#include "cli/commands.h"

#include "cli/console.h"
#include "details/actions.h"
#include "details/command_rules.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "resources/cli_texts.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "writer/apply_edits.h"

#include <string>

namespace {

std::string Shown(const TextField& field) {
    return field.Present() ? "\"" + field.Text + "\"" : "(none)";
}

// A text option that fits the values a type keeps whole; false (and why
// said) where it does not.
bool Fits(const std::string& name, const std::string& text, size_t size = kNameSize) {
    if (FitsBuffer(text.c_str(), size))
        return true;
    SayError(name + kCliTooLong);
    return false;
}

// An option's text as a field; "" takes the value away.
TextField Optional(const std::string& text) {
    return text.empty() ? TextField() : TextField{text, Source::Typed};
}

// The "open" action's command from --program and --args, each in place of
// what the command holds.
bool TakeOpenCommand(const Invocation& invocation, FileType* type) {
    const auto program = invocation.Values.find("--program");
    const auto args = invocation.Values.find("--args");
    if (program == invocation.Values.end() && args == invocation.Values.end())
        return true;
    const int found = FindAction(*type, "open");
    char oldProgram[kTextSize] = {}, oldArguments[kTextSize] = {}, command[kTextSize];
    if (found >= 0 && type->Actions[found].Command.Present())
        SplitProgramAndArguments(type->Actions[found].Command.Text.c_str(), oldProgram,
                                 oldArguments);
    const std::string path =
        program != invocation.Values.end() ? program->second : std::string(oldProgram);
    const std::string arguments =
        args != invocation.Values.end() ? args->second : std::string(oldArguments);
    if (path.empty()) {
        SayError(type->Extension + kCliNoProgram);
        return false;
    }
    if (!JoinProgramAndArguments(path.c_str(), arguments.c_str(), command)) {
        SayError("--program" + std::string(kCliTooLong));
        return false;
    }
    if (found < 0) {
        FileAction open;
        open.Verb = "open";
        open.From = Source::Typed;
        type->Actions.push_back(open);
    }
    type->Actions[found >= 0 ? found : type->Actions.size() - 1].Command = {command, Source::Typed};
    return true;
}

// --action VERB with --command and --name: an action added or changed.
bool TakeAction(const Invocation& invocation, FileType* type) {
    const auto verb = invocation.Values.find("--action");
    const auto command = invocation.Values.find("--command");
    const auto name = invocation.Values.find("--name");
    if (verb == invocation.Values.end()) {
        if (command == invocation.Values.end() && name == invocation.Values.end())
            return true;
        SayError(kCliCommandWithoutAction);
        return false;
    }
    const ActionNameRefusal refusal = CheckActionName(*type, verb->second);
    if (refusal == ActionNameRefusal::Empty || refusal == ActionNameRefusal::Backslash) {
        SayError(kCliBadVerb);
        return false;
    }
    if ((command != invocation.Values.end() && !Fits("--command", command->second, kTextSize)) ||
        (name != invocation.Values.end() && !Fits("--name", name->second)))
        return false;
    int found = FindAction(*type, verb->second);
    if (found < 0) {
        FileAction action;
        action.Verb = verb->second;
        action.From = Source::Typed;
        type->Actions.push_back(action);
        found = static_cast<int>(type->Actions.size()) - 1;
    }
    FileAction& action = type->Actions[found];
    if (command != invocation.Values.end())
        action.Command = {command->second, Source::Typed};
    if (name != invocation.Values.end())
        action.DisplayName = Optional(name->second);
    return true;
}

// In user mode an action of the machine's class stays whatever the user's
// copy holds: the merged classes show it still.
bool IsMachineAction(const FileType& type, RunMode mode, const std::string& verb) {
    RegKey key;
    return mode == RunMode::User &&
           OpenClassesKey(HKEY_LOCAL_MACHINE, type.Class.Text.c_str(), ("shell\\" + verb).c_str(),
                          KEY_QUERY_VALUE, &key) == ERROR_SUCCESS;
}

bool TakeActionChoices(const Invocation& invocation, FileType* type) {
    const auto removed = invocation.Values.find("--remove-action");
    if (removed != invocation.Values.end()) {
        const int found = FindAction(*type, removed->second);
        if (found < 0) {
            SayError(type->Extension + kCliNoSuchAction + removed->second);
            return false;
        }
        if (IsMachineAction(*type, invocation.Mode, removed->second)) {
            SayError(kTextMachineActionStart + removed->second + kTextMachineActionEnd);
            return false;
        }
        RemoveAction(type, found);
    }
    const auto chosen = invocation.Values.find("--default-action");
    if (chosen != invocation.Values.end()) {
        const int found = FindAction(*type, chosen->second);
        if (found < 0) {
            SayError(type->Extension + kCliNoSuchAction + chosen->second);
            return false;
        }
        SetDefaultAction(type, found);
    }
    return true;
}

// The options into the record; false (and why said) where one cannot be.
bool TakeOptions(const Invocation& invocation, FileType* type) {
    if (IsLinkName(type->Extension.c_str()) &&
        (invocation.Values.count("--content") || invocation.Values.count("--perceived"))) {
        SayError(type->Extension + kCliLinkHasNoFileTypes);
        return false;
    }
    for (const auto& [option, field] : {std::pair{"--description", &type->Description},
                                        {"--icon", &type->IconLocation},
                                        {"--content", &type->ContentType}}) {
        const auto value = invocation.Values.find(option);
        if (value == invocation.Values.end())
            continue;
        if (!Fits(option, value->second))
            return false;
        *field = option == std::string("--description") ? TextField{value->second, Source::Typed}
                                                        : Optional(value->second);
    }
    const auto perceived = invocation.Values.find("--perceived");
    if (perceived != invocation.Values.end()) {
        std::string known;
        for (const char* name : kPerceivedTypes)
            if (CompareNoCase(name, perceived->second.c_str()) == 0)
                known = name;
        if (known.empty() && !perceived->second.empty()) {
            std::string names;
            for (const char* name : kPerceivedTypes)
                names += std::string(names.empty() ? "" : ", ") + name;
            SayError(kCliBadPerceived + names);
            return false;
        }
        type->PerceivedType = Optional(known);
    }
    return TakeOpenCommand(invocation, type) && TakeAction(invocation, type) &&
           TakeActionChoices(invocation, type);
}

// What the save would change, a line each.
std::string Differences(const FileType& read, const FileType& edited) {
    std::string lines;
    auto line = [&](const std::string& name, const TextField& was, const TextField& is) {
        if (was != is)
            lines += name + ": " + Shown(was) + " -> " + Shown(is) + "\n";
    };
    line("Description", read.Description, edited.Description);
    line("IconLocation", read.IconLocation, edited.IconLocation);
    line("PerceivedType", read.PerceivedType, edited.PerceivedType);
    line("ContentType", read.ContentType, edited.ContentType);
    line("DefaultAction", read.DefaultVerb, edited.DefaultVerb);
    for (const FileAction& action : read.Actions)
        if (FindAction(edited, action.Verb) < 0)
            lines += "Actions[" + action.Verb + "]: removed\n";
    for (const FileAction& action : edited.Actions) {
        const int found = FindAction(read, action.Verb);
        const FileAction none;
        const FileAction& before = found >= 0 ? read.Actions[found] : none;
        line("Actions[" + action.Verb + "].Command", before.Command, action.Command);
        line("Actions[" + action.Verb + "].Name", before.DisplayName, action.DisplayName);
    }
    return lines;
}

} // namespace

int RunSet(const Invocation& invocation) {
    FileTypeSave save;
    if (!ReadOperandType(invocation, &save.Read))
        return kExitBadInput;
    const FileType& read = save.Read;
    save.EditorMode =
        invocation.Mode == RunMode::Admin || read.InUserHive ? kEditorEdit : kEditorCustomize;
    save.Edited = read;
    if (!TakeOptions(invocation, &save.Edited))
        return kExitBadInput;
    const ChangedFlags changed = ChangesOf(save);
    if (!AnyChanged(changed)) {
        SayError(read.Extension + kCliNothingToChange);
        return kExitFindings;
    }
    if (invocation.Flags.count("--dry-run")) {
        WriteOutput(Differences(read, save.Edited));
        return kExitDone;
    }
    if (!MayWriteMode(invocation))
        return kExitRefused;
    const ChangeOutcome outcome = ApplyEdits(save, invocation.Mode);
    if (!outcome.Done()) {
        SayError(DescribeRefusal(outcome));
        return kExitRefused;
    }
    AnnounceChange();
    SayError(kCliSaved + read.Extension);
    if (read.UserChoice.Present() && (changed.Program || changed.Args))
        SayError(read.Extension + kCliChoiceDecides + read.UserChoice.Text + kCliChoiceDecidesEnd);
    return kExitDone;
}
