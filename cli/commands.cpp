// The commands that list, show, delete, restore and export file types.
#include "cli/commands.h"

#include "catalogue/catalogue.h"
#include "cli/console.h"
#include "details/actions.h"
#include "details/readers.h"
#include "export/export_keys.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/shell.h"
#include "platform/whole_file.h"
#include "resources/cli_texts.h"
#include "text/system_text.h"
#include "writer/delete_restore.h"

#include <shlobj.h>

#include <cstdio>

namespace {

const char* TextOf(const TextField& field) {
    return field.Present() ? field.Text.c_str() : "";
}

// Whether name matches pattern, "*" any run and "?" any one character,
// letters compared as the registry compares names.
bool Matches(const std::wstring& name, const std::wstring& pattern, size_t n = 0, size_t p = 0) {
    if (p == pattern.size())
        return n == name.size();
    if (pattern[p] == L'*')
        return Matches(name, pattern, n, p + 1) ||
               (n < name.size() && Matches(name, pattern, n + 1, p));
    return n < name.size() && (pattern[p] == L'?' || pattern[p] == name[n]) &&
           Matches(name, pattern, n + 1, p + 1);
}

bool ReadGroup(const Invocation& invocation, int* group) {
    const auto value = invocation.Values.find("--group");
    *group = -1;
    if (value == invocation.Values.end())
        return true;
    const char* names[] = {"system", "customized", "defined"};
    for (int index = 0; index < 3; ++index)
        if (CompareNoCase(value->second.c_str(), names[index]) == 0)
            *group = index;
    return *group >= 0;
}

const char* GroupOf(const FileType& type) {
    return GroupName(!type.InUserHive     ? CatalogueGroup::System
                     : type.InMachineHive ? CatalogueGroup::Customized
                                          : CatalogueGroup::Defined);
}

Table ActionsTable(const FileType& type) {
    Table table{{"Verb", "Name", "Command", "DdeCommand", "DdeApplication", "DdeTopic", "Default"},
                {}};
    const int chosen = DefaultAction(type);
    for (size_t index = 0; index < type.Actions.size(); ++index) {
        const FileAction& action = type.Actions[index];
        table.Rows.push_back({action.Verb, ShownActionText(action), TextOf(action.Command),
                              TextOf(action.DdeCommand), TextOf(action.DdeApplication),
                              TextOf(action.DdeTopic),
                              static_cast<int>(index) == chosen ? "yes" : ""});
    }
    return table;
}

std::string FlagsText(const NumberField& flags) {
    char text[16] = "";
    if (flags.Present())
        snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(flags.Value));
    return text;
}

} // namespace

int RunInvocation(const Invocation& invocation) {
    if (!invocation.Error.empty()) {
        SayError(invocation.Error);
        return kExitBadInput;
    }
    if (invocation.Help) {
        WriteOutput(HelpText(invocation.Command));
        return kExitDone;
    }
    const struct {
        const char* name;
        int (*run)(const Invocation&);
    } commands[] = {{"list", RunList},
                    {"show", RunShow},
                    {"set", RunSet},
                    {"delete", RunDeleteOrRestore},
                    {"restore", RunDeleteOrRestore},
                    {"export", RunExport},
                    {"defaults export", RunDefaultsExport},
                    {"defaults check", RunDefaultsCheck},
                    {"problems", RunProblems}};
    for (const auto& command : commands)
        if (invocation.Command == command.name)
            return command.run(invocation);
    SayError(kCliUnknownCommand + invocation.Command);
    return kExitBadInput;
}

bool ReadOperandType(const Invocation& invocation, FileType* type) {
    std::string extension, error;
    if (!ExtensionOperand(invocation.Operands[0], &extension, &error)) {
        SayError(error);
        return false;
    }
    *type = ReadFileType(extension, invocation.Mode);
    if ((type->InUserHive || type->InMachineHive) &&
        (!IsLinkName(extension.c_str()) || IsRegisteredType(invocation.Mode, extension.c_str())))
        return true;
    SayError(extension + kCliNotRegistered);
    return false;
}

bool MayWriteMode(const Invocation& invocation) {
    RegKey key;
    if (invocation.Mode == RunMode::User ||
        RegistryOpenKey(HKEY_LOCAL_MACHINE, kClassesKey, KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
                        key.put()) == ERROR_SUCCESS)
        return true;
    SayError(kCliNoMachineRights);
    return false;
}

void AnnounceChange() {
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_IDLIST, nullptr, nullptr);
}

int RunList(const Invocation& invocation) {
    int group = -1;
    if (!ReadGroup(invocation, &group)) {
        SayError(kCliBadGroup);
        return kExitBadInput;
    }
    const std::wstring pattern =
        invocation.Operands.empty() ? L"*" : RegistryNameKey(invocation.Operands[0].c_str());
    const bool links = invocation.Flags.count("--links") != 0;
    Table table{{links ? "Scheme" : "Extension", "Group", "Class", "TypeName", "PerceivedType",
                 "ContentType", "Program", "Command", "DefaultAction", "UserChoice"},
                {}};
    // One scope for the whole list: a program or a class that many types
    // name is looked up once.
    ShellReadScope scope;
    for (const CatalogueEntry& entry :
         links ? ListLinkTypes(invocation.Mode) : ListCatalogue(invocation.Mode)) {
        if ((group >= 0 && static_cast<int>(entry.Group) != group) ||
            !Matches(RegistryNameKey(entry.Extension.c_str()), pattern))
            continue;
        const FileType type = ReadFileTypeShown(entry.Extension, invocation.Mode);
        table.Rows.push_back(
            {entry.Extension, GroupName(entry.Group), TextOf(type.Class), TextOf(type.TypeName),
             TextOf(type.PerceivedType), TextOf(type.ContentType), TextOf(type.Opens.Program),
             TextOf(type.Opens.Command), type.Opens.Verb, TextOf(type.UserChoice)});
    }
    WriteOutput(RenderTable(table, invocation.Format));
    return kExitDone;
}

int RunShow(const Invocation& invocation) {
    FileType type;
    if (!ReadOperandType(invocation, &type))
        return kExitBadInput;
    Table openWith{{"Program"}, {}};
    for (const std::string& program : type.OpenWithList)
        openWith.Rows.push_back({program});
    const std::vector<RecordField> record = {
        {"Extension", type.Extension, {}},
        {"Group", GroupOf(type), {}},
        {"Class", TextOf(type.Class), {}},
        {"Description", TextOf(type.Description), {}},
        {"TypeName", TextOf(type.TypeName), {}},
        {"PerceivedType", TextOf(type.PerceivedType), {}},
        {"ContentType", TextOf(type.ContentType), {}},
        {"IconLocation", TextOf(type.IconLocation), {}},
        {"EditFlags", FlagsText(type.EditFlags), {}},
        {"Program", TextOf(type.Opens.Program), {}},
        {"ProgramName", TextOf(type.Opens.Name), {}},
        {"Arguments", TextOf(type.Opens.Arguments), {}},
        {"Command", TextOf(type.Opens.Command), {}},
        {"DefaultAction", type.Opens.Verb, {}},
        {"Dde", type.Opens.HasDde ? "yes" : "no", {}},
        {"UserChoice", TextOf(type.UserChoice), {}},
        {"Actions", "", ActionsTable(type)},
        {"OpenWith", "", openWith},
    };
    WriteOutput(RenderRecord(record, invocation.Format));
    return kExitDone;
}

int RunDeleteOrRestore(const Invocation& invocation) {
    const bool restore = invocation.Command == "restore";
    if (restore && invocation.Mode == RunMode::Admin) {
        SayError(kCliRestoreMachine);
        return kExitBadInput;
    }
    FileType type;
    if (!ReadOperandType(invocation, &type))
        return kExitBadInput;
    const bool user = invocation.Mode == RunMode::User;
    if (user && restore != (type.InUserHive && type.InMachineHive)) {
        SayError(type.Extension + (restore ? kCliNotCustomized : kCliNotDefined));
        return kExitBadInput;
    }
    if (!user && !type.InMachineHive) {
        SayError(type.Extension + kCliNotRegistered);
        return kExitBadInput;
    }
    if (!MayWriteMode(invocation))
        return kExitRefused;
    const ChangeOutcome outcome =
        !user     ? DeleteExtensionAdmin(type.Extension)
        : restore ? DeleteOrRestoreUser(kRestoreMachineExtension, type.Extension)
                  : DeleteOrRestoreUser(kDeleteUserExtension, type.Extension);
    if (!outcome.Done()) {
        SayError(DescribeRefusal(outcome));
        return kExitRefused;
    }
    AnnounceChange();
    SayError((restore ? kCliRestored : kCliDeleted) + type.Extension);
    return kExitDone;
}

int RunExport(const Invocation& invocation) {
    const bool all = invocation.Flags.count("--all") != 0;
    const std::vector<std::string>& operands = invocation.Operands;
    if (all != (operands.size() == 1)) {
        SayError(kCliOperands + std::string("export") + kCliHelpHint);
        return kExitBadInput;
    }
    const HKEY hive = invocation.Mode == RunMode::Admin ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    std::vector<std::string> extensions;
    for (size_t at = 0; at + 1 < operands.size(); ++at) {
        std::string extension, error;
        if (!ExtensionOperand(operands[at], &extension, &error)) {
            SayError(error);
            return kExitBadInput;
        }
        extensions.push_back(extension);
    }
    if (all)
        extensions = ExportableExtensions(hive);
    const std::vector<ExportedKey> keys = GatherExportKeys(hive, extensions, nullptr);
    if (keys.empty()) {
        SayError(kCliNothingToExport);
        return kExitFindings;
    }
    const std::string& file = operands.back();
    if (!WriteWholeFile(file.c_str(), ComposeRegFile(keys))) {
        SayError(file + kCliNotWritten);
        return kExitRefused;
    }
    SayError(kCliWritten + file);
    return kExitDone;
}
