// The readers of a file type.
#include "details/readers.h"

#include "details/command_rules.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/shell.h"
#include "text/system_text.h"

#include <shlwapi.h>

#include <string>

namespace {

constexpr char kShellKey[] = "shell";
constexpr char kMuiVerbValue[] = "MUIVerb";
constexpr char kDelegateExecuteValue[] = "DelegateExecute";
constexpr char kDropTargetKey[] = "DropTarget";
// Names of the Open With list are letters; longer ones are no entries of it.
constexpr DWORD kListNameSize = 8;

// A value of an open key as a field of the given source; absent where it is
// not there, not text, or too long to be written back whole.
TextField ReadField(HKEY key, const char* subKey, const char* name, Source from,
                    size_t size = kTextSize) {
    TextField field;
    RegKey below;
    if (!key ||
        (subKey && RegistryOpenKey(key, subKey, KEY_QUERY_VALUE, below.put()) != ERROR_SUCCESS))
        return field;
    char text[kTextSize];
    if (RegistryReadText(subKey ? below.get() : key, name, text, kTextSize) == ERROR_SUCCESS &&
        FitsBuffer(text, size))
        field = {text, from};
    return field;
}

// A key of the classes read as the merged view reads it: the user's half,
// where it holds the value, else the machine's.
struct ClassesKey {
    RegKey user;
    RegKey machine;

    ClassesKey(RunMode mode, const std::string& name) {
        if (mode == RunMode::User)
            OpenClassesKey(HKEY_CURRENT_USER, name.c_str(), nullptr, KEY_READ, &user);
        OpenClassesKey(HKEY_LOCAL_MACHINE, name.c_str(), nullptr, KEY_READ, &machine);
    }
    bool Exists() const { return user || machine; }
    // A value the user's half holds is read from there alone, as the merged
    // view reads it, also where it cannot be read as text.
    TextField Read(const char* subKey, const char* name, size_t size = kTextSize) const {
        RegKey below;
        HKEY half = user.get();
        if (half && subKey &&
            RegistryOpenKey(half, subKey, KEY_QUERY_VALUE, below.put()) == ERROR_SUCCESS)
            half = below.get();
        else if (subKey)
            half = nullptr;
        DWORD bytes = 0;
        if (half &&
            RegistryQueryValue(half, name, nullptr, nullptr, &bytes) != ERROR_FILE_NOT_FOUND)
            return ReadField(half, nullptr, name, Source::User, size);
        return ReadField(machine.get(), subKey, name, Source::Machine, size);
    }
};

// The hive a field of the merged view comes from, where it is the user's
// class or the machine's that holds it.
Source SourceOf(const std::string& name) {
    return HasClassesKey(HKEY_CURRENT_USER, name.c_str()) ? Source::User : Source::Machine;
}

FileAction ReadAction(HKEY shell, const char* verb, Source from) {
    FileAction action;
    RegKey key;
    if (RegistryOpenKey(shell, verb, KEY_READ, key.put()) != ERROR_SUCCESS)
        return action;
    action.Verb = verb;
    action.From = from;
    action.DisplayName = ReadField(key.get(), nullptr, nullptr, from);
    action.MuiVerb = ReadField(key.get(), nullptr, kMuiVerbValue, from);
    action.Command = ReadField(key.get(), "command", nullptr, from);
    action.HasDde = RegistryKeyExists(key.get(), "ddeexec") != 0;
    action.DdeCommand = ReadField(key.get(), "ddeexec", nullptr, from);
    action.DdeApplication = ReadField(key.get(), "ddeexec\\Application", nullptr, from);
    action.DdeTopic = ReadField(key.get(), "ddeexec\\Topic", nullptr, from);
    RegKey command;
    DWORD size = 0;
    action.Delegated =
        RegistryKeyExists(key.get(), kDropTargetKey) ||
        (RegistryOpenKey(key.get(), "command", KEY_QUERY_VALUE, command.put()) == ERROR_SUCCESS &&
         RegistryQueryValue(command.get(), kDelegateExecuteValue, nullptr, nullptr, &size) ==
             ERROR_SUCCESS);
    return action;
}

// The class lookup on the extension key as the mode sees it: its default
// value, else the first name under "OpenWithProgIDs".
void ReadClass(RunMode mode, FileType* type) {
    const ClassesKey extension(mode, type->Extension);
    type->ContentType = extension.Read(nullptr, kContentTypeValue);
    type->PerceivedType = extension.Read(nullptr, kPerceivedTypeValue);
    type->Class = extension.Read(nullptr, nullptr);
    if (type->Class.Present())
        return;
    RegKey merged;
    char fileClass[kTextSize];
    const HKEY root = mode == RunMode::User ? HKEY_CLASSES_ROOT : nullptr;
    if (root && RegistryOpenKey(root, type->Extension.c_str(), KEY_QUERY_VALUE, merged.put()) !=
                    ERROR_SUCCESS)
        return;
    const HKEY key = root ? merged.get() : extension.machine.get();
    if (LookupFileClass(key, fileClass))
        type->Class = {fileClass, root ? SourceOf(type->Extension) : Source::Machine};
}

// The EditFlags of the class in the hive the extension comes from: the
// user's where the user's hive has the extension, else the machine's.
void ReadEditFlags(RunMode mode, FileType* type) {
    const HKEY hive =
        mode == RunMode::User && type->InUserHive ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    RegKey extension, classKey;
    char fileClass[kTextSize];
    DWORD bits = 0, size = sizeof bits;
    if (OpenClassesKey(hive, type->Extension.c_str(), nullptr, KEY_QUERY_VALUE, &extension) ==
            ERROR_SUCCESS &&
        LookupFileClass(extension.get(), fileClass) &&
        OpenClassesKey(hive, fileClass, nullptr, KEY_QUERY_VALUE, &classKey) == ERROR_SUCCESS &&
        RegistryQueryValue(classKey.get(), kEditFlagsValue, nullptr, &bits, &size) == ERROR_SUCCESS)
        type->EditFlags = {bits, hive == HKEY_CURRENT_USER ? Source::User : Source::Machine};
}

// The user's Open With list of the extension, in the order its "MRUList"
// gives; a list without one in the order its values are stored.
void ReadOpenWithList(FileType* type) {
    char path[kRegistryPathSize];
    RegKey list;
    DWORD count = 0;
    if (!OpenWithListPath(type->Extension.c_str(), path) ||
        RegistryOpenKey(HKEY_CURRENT_USER, path, KEY_QUERY_VALUE, list.put()) != ERROR_SUCCESS ||
        RegistryQueryInfo(list.get(), nullptr, &count) != ERROR_SUCCESS)
        return;
    char order[kTextSize];
    if (RegistryReadText(list.get(), kMruListValue, order, kTextSize) == ERROR_SUCCESS) {
        for (const char* letter = order; *letter; ++letter) {
            const char name[2] = {*letter, 0};
            char application[kTextSize];
            if (RegistryReadText(list.get(), name, application, kTextSize) == ERROR_SUCCESS &&
                application[0])
                type->OpenWithList.push_back(application);
        }
        return;
    }
    for (DWORD index = 0; index < count; ++index) {
        char name[kListNameSize] = {};
        char application[kTextSize] = {};
        DWORD nameLength = kListNameSize, dataSize = kTextSize - 1;
        if (RegistryEnumValue(list.get(), index, name, &nameLength, nullptr, application,
                              &dataSize) == ERROR_SUCCESS &&
            application[0])
            type->OpenWithList.push_back(application);
    }
}

// User mode: what a double-click runs, from the shell's answers on the class
// that decides. Without a program the shell can name, there is none.
void ReadOpensUser(FileType* type) {
    const ASSOCF flags = ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_INIT_DEFAULTTOSTAR;
    const char* extension = type->Extension.c_str();
    const Source from = type->InUserHive ? Source::User : Source::Machine;
    FileOpener& opens = type->Opens;
    char answer[kTextSize];
    DWORD length = kTextSize;
    if (FAILED(
            ShellAssocQuery(flags, ASSOCSTR_FRIENDLYAPPNAME, extension, nullptr, answer, &length)))
        return;
    opens.Name = {answer, from};
    char command[kTextSize];
    length = kTextSize;
    const bool hasCommand =
        SUCCEEDED(ShellAssocQuery(flags, ASSOCSTR_COMMAND, extension, nullptr, command, &length));
    if (hasCommand)
        opens.Command = {command, from};
    length = kTextSize;
    if (SUCCEEDED(
            ShellAssocQuery(flags, ASSOCSTR_EXECUTABLE, extension, nullptr, answer, &length))) {
        opens.Program = {answer, from};
        if (hasCommand)
            opens.Arguments = {ShellCommandArguments(command), from};
    }
    length = kTextSize;
    opens.HasDde =
        SUCCEEDED(ShellAssocQuery(flags, ASSOCSTR_DDECOMMAND, extension, nullptr, answer, &length));
    const std::string decides =
        type->UserChoice.Present() ? type->UserChoice.Text : type->Class.Text;
    RegKey classKey;
    if (RegistryOpenKey(HKEY_CLASSES_ROOT, decides.c_str(), KEY_READ, classKey.put()) ==
        ERROR_SUCCESS)
        opens.Verb = DefaultVerbOf(classKey.get());
}

void ReadUser(FileType* type) {
    // The readers ask the shell many questions about the same class and verbs.
    ShellReadScope scope;
    ReadClass(RunMode::User, type);
    const std::string& name = type->Class.Text;
    const ClassesKey classKey(RunMode::User, name);
    type->ClassExists = type->Class.Present() && IsKeyName(name.c_str()) && classKey.Exists();
    if (type->ClassExists) {
        type->Description = classKey.Read(nullptr, nullptr);
        ReadActions(HKEY_CLASSES_ROOT, name, type);
    }
    // The whole type name, or none where it is too long to edit and save
    // back whole.
    const std::string typeName = ShellTypeName(type->Extension.c_str());
    if (FitsBuffer(typeName.c_str(), kTextSize))
        type->TypeName = {typeName, type->ClassExists ? SourceOf(name) : Source::Machine};
    std::string chosen;
    if (ShellUserChoice(type->Extension.c_str(), &chosen) && FitsBuffer(chosen.c_str(), kTextSize))
        type->UserChoice = {chosen, Source::User};
    char location[kTextSize];
    DWORD length = kTextSize;
    // A location too long to keep counts as absent: a save would write it
    // back cut.
    if (SUCCEEDED(ShellAssocQuery(ASSOCF_INIT_DEFAULTTOSTAR, ASSOCSTR_DEFAULTICON,
                                  type->Extension.c_str(), nullptr, location, &length)) &&
        FitsBuffer(location, kNameSize))
        type->IconLocation = {location, type->ClassExists ? SourceOf(name) : Source::Machine};
    ReadEditFlags(RunMode::User, type);
    ReadOpensUser(type);
    ReadOpenWithList(type);
}

void ReadAdmin(FileType* type) {
    ReadClass(RunMode::Admin, type);
    const std::string& name = type->Class.Text;
    RegKey classKey;
    if (!type->Class.Present() || OpenClassesKey(HKEY_LOCAL_MACHINE, name.c_str(), nullptr,
                                                 KEY_READ, &classKey) != ERROR_SUCCESS)
        return;
    type->ClassExists = true;
    type->Description = ReadField(classKey.get(), nullptr, nullptr, Source::Machine);
    type->TypeName = type->Description;
    type->IconLocation =
        ReadField(classKey.get(), kDefaultIconKey, nullptr, Source::Machine, kNameSize);
    ReadEditFlags(RunMode::Admin, type);
    ReadActions(HKEY_LOCAL_MACHINE, name, type);
    FileOpener& opens = type->Opens;
    opens.Verb = DefaultVerbOf(classKey.get());
    if (opens.Verb.empty())
        return;
    const std::string verbKey = std::string(kShellKey) + "\\" + opens.Verb;
    opens.HasDde = RegistryKeyExists(classKey.get(), (verbKey + "\\ddeexec").c_str()) != 0;
    opens.Command =
        ReadField(classKey.get(), (verbKey + "\\command").c_str(), nullptr, Source::Machine);
    if (!opens.Command.Present())
        return;
    char command[kTextSize];
    CopyTextBounded(opens.Command.Text.c_str(), command, kTextSize);
    OpenCommandParts parts;
    SplitCommandText(command, &parts);
    opens.Program = {parts.Program, Source::Machine};
    if (parts.Arguments[0] || parts.IsRundll)
        opens.Arguments = {parts.Arguments, Source::Machine};
    char friendly[kTextSize] = {};
    DWORD length = kTextSize;
    if (!parts.IsRundll)
        ShellAssocQuery(ASSOCF_OPEN_BYEXENAME, ASSOCSTR_FRIENDLYAPPNAME, parts.Program, nullptr,
                        friendly, &length);
    opens.Name = {parts.IsRundll ? parts.Program : friendly, Source::Machine};
}

} // namespace

FileType ReadFileType(const std::string& extension, RunMode mode) {
    FileType type = NewFileType(extension);
    type.InUserHive = mode == RunMode::User && HasClassesKey(HKEY_CURRENT_USER, extension.c_str());
    type.InMachineHive = HasClassesKey(HKEY_LOCAL_MACHINE, extension.c_str()) != 0;
    if (mode == RunMode::User)
        ReadUser(&type);
    else
        ReadAdmin(&type);
    return type;
}

FileType NewFileType(const std::string& extension) {
    FileType type;
    type.Extension = extension;
    return type;
}

void ReadActions(HKEY root, const std::string& classPath, FileType* type) {
    const bool merged = root == HKEY_CLASSES_ROOT;
    RegKey shell;
    if (!IsKeyName(classPath.c_str()) ||
        (merged
             ? RegistryOpenKey(root, (classPath + "\\" + kShellKey).c_str(), KEY_READ, shell.put())
             : OpenClassesKey(root, classPath.c_str(), kShellKey, KEY_READ, &shell)) !=
            ERROR_SUCCESS)
        return;
    const Source hive = merged ? Source::User : Source::Machine;
    type->DefaultVerb =
        ReadField(shell.get(), nullptr, nullptr, merged ? SourceOf(classPath) : hive);
    RegistryForEachSubKey(shell.get(), [&](const char* verb) {
        Source from = Source::Machine;
        if (merged) {
            char path[kRegistryPathSize];
            from = ClassesPath(classPath.c_str(), (std::string(kShellKey) + "\\" + verb).c_str(),
                               path) &&
                           RegistryKeyExists(HKEY_CURRENT_USER, path)
                       ? Source::User
                       : Source::Machine;
        }
        FileAction action = ReadAction(shell.get(), verb, from);
        if (!action.Verb.empty())
            type->Actions.push_back(action);
        return true;
    });
}

std::string DefaultVerbOf(HKEY classKey) {
    char named[kTextSize];
    RegKey shell;
    if (RegistryOpenKey(classKey, kShellKey, KEY_READ, shell.put()) != ERROR_SUCCESS)
        return "";
    if (RegistryReadText(shell.get(), nullptr, named, kTextSize) == ERROR_SUCCESS && named[0] &&
        RegistryKeyExists(shell.get(), named))
        return named;
    if (RegistryKeyExists(shell.get(), "open"))
        return "open";
    std::string first;
    RegistryForEachSubKey(shell.get(), [&](const char* name) {
        first = name;
        return false;
    });
    return first;
}
