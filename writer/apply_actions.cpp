// Writing the Actions page's changes into a class, in either mode.
#include "details/actions.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "records/editor_state.h"
#include "writer/apply_edits.h"
#include "writer/value_rules.h"

#include <string>
#include <utility>

namespace {

constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE;
constexpr char kShellKey[] = "shell";

// The default value of parent\subKey: text written, or deleted when empty.
void WriteDefaultOrNone(HKEY parent, const char* subKey, const std::string& text) {
    RegKey key;
    if (RegistryCreateKey(parent, subKey, kReadWrite, key.put()) != ERROR_SUCCESS)
        return;
    if (text.empty())
        RegistryDeleteValue(key.get(), nullptr);
    else
        WriteText(key.get(), nullptr, text.c_str());
}

void WriteAction(HKEY hive, const char* fileClass, const ActionRecord& action) {
    RegKey verb;
    if (!CreateClassesKey(hive, fileClass, (std::string(kShellKey) + "\\" + action.Verb).c_str(),
                          kReadWrite, &verb))
        return;
    if (action.DisplayChanged)
        WriteDefaultOrNone(verb.get(), nullptr, action.DisplayName);
    // The "open" action's command and DDE are the Opens-with page's, which
    // its own writer writes.
    if (IsOpenVerb(action.Verb))
        return;
    RegKey command;
    if (action.CommandChanged &&
        RegistryCreateKey(verb.get(), "command", kReadWrite, command.put()) == ERROR_SUCCESS)
        WriteCommandValue(command.get(), action.Command.c_str());
    if (!action.DdeChanged)
        return;
    if (action.DdeCommand.empty() && action.DdeApplication.empty() && action.DdeTopic.empty()) {
        RegistryDeleteTree(verb.get(), "ddeexec");
        return;
    }
    WriteDefaultOrNone(verb.get(), "ddeexec", action.DdeCommand);
    for (const auto& [key, text] : {std::pair{"ddeexec\\Application", &action.DdeApplication},
                                    {"ddeexec\\Topic", &action.DdeTopic}}) {
        if (text->empty())
            RegistryDeleteTree(verb.get(), key);
        else
            WriteDefaultOrNone(verb.get(), key, *text);
    }
}

} // namespace

void ApplyActions(HKEY hive, const char* fileClass) {
    if (!Changed.Actions || !IsKeyName(fileClass))
        return;
    for (const std::string& removed : Actions.Removed) {
        char path[kRegistryPathSize];
        if (ClassesPath(fileClass, (std::string(kShellKey) + "\\" + removed).c_str(), path))
            RegistryDeleteTree(hive, path);
    }
    for (const ActionRecord& action : Actions.Verbs)
        if (action.DisplayChanged || action.CommandChanged || action.DdeChanged || !action.Stored)
            WriteAction(hive, fileClass, action);
    RegKey shell;
    if (Actions.Default != Actions.StoredDefault &&
        CreateClassesKey(hive, fileClass, kShellKey, kReadWrite, &shell))
        WriteDefaultOrNone(shell.get(), nullptr, Actions.Default);
}
