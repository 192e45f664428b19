// Reading the console program's arguments.
#include "cli/command_line.h"

#include "resources/cli_texts.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "text/text.h"

#include <algorithm>
#include <cstring>

namespace {

// What a command takes: options with a value, options without one, and how
// many operands (at least, at most).
struct CommandForm {
    const char* Name;
    const char* Help;
    std::vector<std::string> Valued;
    std::vector<std::string> Switches;
    size_t MinOperands;
    size_t MaxOperands;
};

const std::vector<CommandForm>& Forms() {
    static const std::vector<CommandForm> forms = {
        {"list", kCliHelpList, {"--format", "--group"}, {"--links"}, 0, 1},
        {"show", kCliHelpShow, {"--format"}, {}, 1, 1},
        {"set",
         kCliHelpSet,
         {"--description", "--icon", "--perceived", "--content", "--program", "--args", "--action",
          "--command", "--name", "--default-action", "--remove-action"},
         {"--dry-run"},
         1,
         1},
        {"delete", kCliHelpDelete, {}, {}, 1, 1},
        {"restore", kCliHelpRestore, {}, {}, 1, 1},
        {"export", kCliHelpExport, {}, {"--all"}, 1, SIZE_MAX},
        {"defaults export", kCliHelpDefaultsExport, {"--only"}, {}, 1, 1},
        {"defaults check", kCliHelpDefaultsCheck, {"--format"}, {}, 1, 1},
        {"problems", kCliHelpProblems, {"--format", "--kind", "--mend"}, {"--dry-run"}, 0, 0},
    };
    return forms;
}

const CommandForm* FormOf(const std::string& command) {
    for (const CommandForm& form : Forms())
        if (command == form.Name)
            return &form;
    return nullptr;
}

bool Holds(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

bool IsHelp(const std::string& argument) {
    return argument == "--help" || argument == "-h" || argument == "/?";
}

bool ReadFormat(const std::string& text, OutputFormat* format) {
    const struct {
        const char* name;
        OutputFormat format;
    } formats[] = {{"text", OutputFormat::Text},
                   {"csv", OutputFormat::Csv},
                   {"tsv", OutputFormat::Tsv},
                   {"json", OutputFormat::Json}};
    for (const auto& known : formats)
        if (text == known.name) {
            *format = known.format;
            return true;
        }
    return false;
}

// The options and operands after the command.
void ReadRest(const CommandForm& form, const std::vector<std::string>& arguments, size_t at,
              Invocation* invocation) {
    for (; at < arguments.size(); ++at) {
        const std::string& argument = arguments[at];
        if (IsHelp(argument)) {
            invocation->Help = true;
            continue;
        }
        if (argument == "--machine") {
            invocation->Mode = RunMode::Admin;
            continue;
        }
        if (argument.size() < 2 || argument.compare(0, 2, "--") != 0) {
            invocation->Operands.push_back(argument);
            continue;
        }
        const size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (Holds(form.Switches, name) && equals == std::string::npos) {
            invocation->Flags.insert(name);
        } else if (Holds(form.Valued, name)) {
            if (equals == std::string::npos && at + 1 >= arguments.size()) {
                invocation->Error = name + kCliNoValue;
                return;
            }
            invocation->Values[name] =
                equals == std::string::npos ? arguments[++at] : argument.substr(equals + 1);
        } else {
            invocation->Error = kCliUnknownOption + argument + " (" + form.Name + ")";
            return;
        }
    }
    const auto format = invocation->Values.find("--format");
    if (format != invocation->Values.end() && !ReadFormat(format->second, &invocation->Format))
        invocation->Error = kCliBadFormat;
    else if (!invocation->Help && (invocation->Operands.size() < form.MinOperands ||
                                   invocation->Operands.size() > form.MaxOperands))
        invocation->Error = kCliOperands + std::string(form.Name) + kCliHelpHint;
}

} // namespace

Invocation ReadInvocation(const std::vector<std::string>& arguments) {
    Invocation invocation;
    size_t at = 0;
    // --machine and the help may come before the command too.
    for (; at < arguments.size() && (arguments[at] == "--machine" || IsHelp(arguments[at])); ++at) {
        if (arguments[at] == "--machine")
            invocation.Mode = RunMode::Admin;
        else
            invocation.Help = true;
    }
    if (at == arguments.size()) {
        invocation.Help = true;
        return invocation;
    }
    invocation.Command = arguments[at++];
    if (invocation.Command == "defaults" && at < arguments.size() && !IsHelp(arguments[at]))
        invocation.Command += " " + arguments[at++];
    const CommandForm* form = FormOf(invocation.Command);
    if (invocation.Command == "defaults" && at < arguments.size() && IsHelp(arguments[at])) {
        invocation.Help = true;
        return invocation;
    }
    if (!form) {
        invocation.Error = kCliUnknownCommand + invocation.Command;
        return invocation;
    }
    ReadRest(*form, arguments, at, &invocation);
    return invocation;
}

bool ExtensionOperand(const std::string& text, std::string* extension, std::string* error) {
    if (!text.empty() && text.back() == ':') {
        std::string scheme = text.substr(0, text.size() - 1);
        if (!IsUrlScheme(scheme.c_str()) ||
            scheme.size() > static_cast<size_t>(kNameCharacters - 1)) {
            *error = "\"" + text + "\"" + kCliBadScheme;
            return false;
        }
        for (char& c : scheme)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        *extension = scheme;
        return true;
    }
    const std::string name = !text.empty() && text[0] == '.' ? text.substr(1) : text;
    if (name.empty()) {
        *error = kCliEmptyName;
        return false;
    }
    if (name.find_first_of(kRefusedNameCharacters) != std::string::npos) {
        *error = "\"" + text + "\"" + kCliRefusedName;
        return false;
    }
    if (CharacterCount(name.c_str()) > kNameCharacters - 1) {
        *error = "\"" + text + "\"" + kCliLongName;
        return false;
    }
    *extension = "." + name;
    return true;
}

std::string HelpText(const std::string& command) {
    if (command == "defaults")
        return std::string(kCliHelpDefaultsExport) + "\n" + kCliHelpDefaultsCheck;
    const CommandForm* form = FormOf(command);
    return form ? form->Help : kCliHelp;
}
