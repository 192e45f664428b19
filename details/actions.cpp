// The rules over a file type's actions.
#include "details/actions.h"

#include "platform/shell.h"
#include "text/system_text.h"

namespace {

constexpr char kOpenVerb[] = "open";

// The action the shell takes when the "shell" key names none.
int UnnamedDefault(const FileType& type) {
    const int open = FindAction(type, kOpenVerb);
    return open >= 0 ? open : type.Actions.empty() ? -1 : 0;
}

bool NamesDefault(const FileType& type) {
    return type.DefaultVerb.Present() && !type.DefaultVerb.Text.empty();
}

} // namespace

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

std::string ShownActionText(const FileAction& action) {
    return ShownActionText(action.MuiVerb.Text, action.DisplayName.Text, action.Verb);
}

bool IsOpenVerb(const std::string& verb) {
    return CompareNoCase(verb.c_str(), kOpenVerb) == 0;
}

int FindAction(const FileType& type, const std::string& verb) {
    for (size_t index = 0; index < type.Actions.size(); ++index)
        if (CompareNoCase(type.Actions[index].Verb.c_str(), verb.c_str()) == 0)
            return static_cast<int>(index);
    return -1;
}

int DefaultAction(const FileType& type) {
    const int named = NamesDefault(type) ? FindAction(type, type.DefaultVerb.Text) : -1;
    return named >= 0 ? named : UnnamedDefault(type);
}

bool DefaultIsMissing(const FileType& type) {
    return NamesDefault(type) && FindAction(type, type.DefaultVerb.Text) < 0;
}

void SetDefaultAction(FileType* type, int index) {
    if (index < 0 || index >= static_cast<int>(type->Actions.size()))
        return;
    if (index == UnnamedDefault(*type))
        type->DefaultVerb = TextField();
    else
        type->DefaultVerb = {type->Actions[index].Verb, Source::Typed};
}

void RemoveAction(FileType* type, int index) {
    if (index < 0 || index >= static_cast<int>(type->Actions.size()))
        return;
    if (CompareNoCase(type->DefaultVerb.Text.c_str(), type->Actions[index].Verb.c_str()) == 0)
        type->DefaultVerb = TextField();
    type->Actions.erase(type->Actions.begin() + index);
}

ActionNameRefusal CheckActionName(const FileType& type, const std::string& verb) {
    if (verb.empty())
        return ActionNameRefusal::Empty;
    if (verb.find('\\') != std::string::npos)
        return ActionNameRefusal::Backslash;
    return FindAction(type, verb) >= 0 ? ActionNameRefusal::Taken : ActionNameRefusal::None;
}
