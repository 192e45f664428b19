// The actions of a file type and the rules over them.
#include "details/actions.h"

#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/shell.h"
#include "records/extension_record.h"
#include "text/system_text.h"

#include <algorithm>

namespace {

constexpr char kShellKey[] = "shell";
constexpr char kOpenVerb[] = "open";
constexpr char kMuiVerbValue[] = "MUIVerb";

// A value of an open key as text; "" where it is absent or too long to keep.
std::string ReadValueText(HKEY key, const char* subKey, const char* name) {
    RegKey below;
    if (subKey && RegistryOpenKey(key, subKey, KEY_QUERY_VALUE, below.put()) != ERROR_SUCCESS)
        return "";
    char text[kTextSize];
    return RegistryReadText(subKey ? below.get() : key, name, text, kTextSize) == ERROR_SUCCESS
               ? text
               : "";
}

ActionRecord ReadAction(HKEY shell, const char* verb) {
    ActionRecord action;
    RegKey key;
    if (RegistryOpenKey(shell, verb, KEY_READ, key.put()) != ERROR_SUCCESS)
        return action;
    action.Verb = verb;
    action.Stored = true;
    action.DisplayName = ReadValueText(key.get(), nullptr, nullptr);
    action.Command = ReadValueText(key.get(), "command", nullptr);
    action.DdeCommand = ReadValueText(key.get(), "ddeexec", nullptr);
    action.DdeApplication = ReadValueText(key.get(), "ddeexec\\Application", nullptr);
    action.DdeTopic = ReadValueText(key.get(), "ddeexec\\Topic", nullptr);
    action.MuiVerb = ReadValueText(key.get(), nullptr, kMuiVerbValue);
    action.Shown = ShownActionText(action.MuiVerb, action.DisplayName, action.Verb);
    return action;
}

// The action the shell takes when the "shell" key names none.
int UnnamedDefault(const ActionsRecord& actions) {
    const int open = FindAction(actions, kOpenVerb);
    return open >= 0 ? open : actions.Verbs.empty() ? -1 : 0;
}

} // namespace

void ReadExtensionActions(HKEY root, ActionsRecord* actions) {
    *actions = ActionsRecord();
    const bool machine = root == HKEY_LOCAL_MACHINE;
    RegKey extension;
    char fileClass[kTextSize];
    if ((machine ? OpenClassesKey(root, CurrentExtension, nullptr, KEY_QUERY_VALUE, &extension)
                 : RegistryOpenKey(root, CurrentExtension, KEY_QUERY_VALUE, extension.put())) !=
            ERROR_SUCCESS ||
        !LookupFileClass(extension.get(), fileClass) || !IsKeyName(fileClass))
        return;
    actions->Class = fileClass;
    RegKey shell;
    if ((machine ? OpenClassesKey(root, fileClass, kShellKey, KEY_READ, &shell)
                 : RegistryOpenKey(root, (std::string(fileClass) + "\\" + kShellKey).c_str(),
                                   KEY_READ, shell.put())) != ERROR_SUCCESS)
        return;
    actions->Default = actions->StoredDefault = ReadValueText(shell.get(), nullptr, nullptr);
    RegistryForEachSubKey(shell.get(), [&](const char* verb) {
        ActionRecord action = ReadAction(shell.get(), verb);
        if (action.Stored)
            actions->Verbs.push_back(action);
        return true;
    });
}

std::string ShownActionText(const std::string& muiVerb, const std::string& displayName,
                            const std::string& verb) {
    std::string text;
    if (muiVerb.empty() || !ShellResolveText(muiVerb, &text))
        text = !displayName.empty() ? displayName : verb;
    std::string shown;
    for (size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '&')
            shown += text[at];
        else if (at + 1 < text.size() && text[at + 1] == '&')
            shown += text[++at];
    }
    return shown;
}

bool IsOpenVerb(const std::string& verb) {
    return CompareNoCase(verb.c_str(), kOpenVerb) == 0;
}

int FindAction(const ActionsRecord& actions, const std::string& verb) {
    for (size_t index = 0; index < actions.Verbs.size(); ++index)
        if (CompareNoCase(actions.Verbs[index].Verb.c_str(), verb.c_str()) == 0)
            return static_cast<int>(index);
    return -1;
}

int DefaultAction(const ActionsRecord& actions) {
    const int named = actions.Default.empty() ? -1 : FindAction(actions, actions.Default);
    return named >= 0 ? named : UnnamedDefault(actions);
}

bool DefaultIsMissing(const ActionsRecord& actions) {
    return !actions.Default.empty() && FindAction(actions, actions.Default) < 0;
}

void SetDefaultAction(ActionsRecord* actions, int index) {
    if (index < 0 || index >= static_cast<int>(actions->Verbs.size()))
        return;
    actions->Default = index == UnnamedDefault(*actions) ? "" : actions->Verbs[index].Verb;
}

void RemoveAction(ActionsRecord* actions, int index) {
    if (index < 0 || index >= static_cast<int>(actions->Verbs.size()))
        return;
    const ActionRecord& action = actions->Verbs[index];
    if (action.Stored)
        actions->Removed.push_back(action.Verb);
    if (CompareNoCase(actions->Default.c_str(), action.Verb.c_str()) == 0)
        actions->Default.clear();
    actions->Verbs.erase(actions->Verbs.begin() + index);
}

ActionNameRefusal CheckActionName(const ActionsRecord& actions, const std::string& verb) {
    if (verb.empty())
        return ActionNameRefusal::Empty;
    if (verb.find('\\') != std::string::npos)
        return ActionNameRefusal::Backslash;
    return FindAction(actions, verb) >= 0 ? ActionNameRefusal::Taken : ActionNameRefusal::None;
}
