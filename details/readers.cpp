// The readers of a file type.
#include "details/readers.h"

#include "details/actions.h"
#include "details/command_rules.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/shell.h"
#include "text/system_text.h"

#include <shlwapi.h>

#include <algorithm>
#include <string>

namespace {

constexpr char kShellKey[] = "shell";
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

// --- Actions, from the "shell" key of each hive read whole once.

bool SameName(const std::wstring& a, const std::wstring& b) {
    return RegistryNameKey(a) == RegistryNameKey(b);
}

const RegistryTree* KeyBelow(const RegistryTree* tree, const wchar_t* name) {
    if (!tree)
        return nullptr;
    for (const RegistryTree& key : tree->Keys)
        if (SameName(key.Name, name))
            return &key;
    return nullptr;
}

const RegistryValue* ValueOf(const RegistryTree* tree, const wchar_t* name) {
    if (!tree)
        return nullptr;
    for (const RegistryValue& value : tree->Values)
        if (SameName(value.Name, name))
            return &value;
    return nullptr;
}

// A text value as the program's text, to its terminator; absent where it is
// not text or too long to be written back whole.
TextField TextOf(const RegistryValue* value, Source from) {
    if (!value || (value->Type != REG_SZ && value->Type != REG_EXPAND_SZ))
        return TextField();
    const auto* text = reinterpret_cast<const wchar_t*>(value->Data.data());
    const size_t units = value->Data.size() / sizeof(wchar_t);
    const size_t length = std::find(text, text + units, L'\0') - text;
    if (length > kTextCharacters)
        return TextField();
    return {ProgramText(text, length), from};
}

// One verb of the user's and of the machine's "shell" key (either may be
// null): each value read from the user's where it holds it, as the merged
// view reads it.
struct VerbHalves {
    const RegistryTree* user;
    const RegistryTree* machine;

    TextField Read(const wchar_t* path, const wchar_t* name) const {
        const RegistryTree* userKey = path ? KeyBelow(user, path) : user;
        const RegistryTree* machineKey = path ? KeyBelow(machine, path) : machine;
        if (const RegistryValue* value = ValueOf(userKey, name))
            return TextOf(value, Source::User);
        return TextOf(ValueOf(machineKey, name), Source::Machine);
    }
    const RegistryTree* Key(const wchar_t* path) const {
        const RegistryTree* found = KeyBelow(user, path);
        return found ? found : KeyBelow(machine, path);
    }
};

FileAction ReadAction(const std::wstring& verb, const VerbHalves& halves) {
    FileAction action;
    action.Verb = ProgramText(verb.c_str(), verb.size());
    action.From = halves.user ? Source::User : Source::Machine;
    action.DisplayName = halves.Read(nullptr, L"");
    action.MuiVerb = halves.Read(nullptr, L"MUIVerb");
    action.Command = halves.Read(L"command", L"");
    const RegistryTree* dde = halves.Key(L"ddeexec");
    action.HasDde = dde != nullptr;
    action.DdeCommand = halves.Read(L"ddeexec", L"");
    const VerbHalves ddeHalves = {KeyBelow(halves.user, L"ddeexec"),
                                  KeyBelow(halves.machine, L"ddeexec")};
    action.DdeApplication = ddeHalves.Read(L"Application", L"");
    action.DdeTopic = ddeHalves.Read(L"Topic", L"");
    const RegistryTree* command = halves.Key(L"command");
    action.Delegated = halves.Key(L"DropTarget") || ValueOf(command, L"DelegateExecute");
    return action;
}

// The class lookup on the extension key as the mode sees it: its default
// value, else the first name under "OpenWithProgIDs". A link type is its
// own class, and has no content or perceived type.
void ReadClass(RunMode mode, const ClassesKey& extension, FileType* type) {
    if (IsLinkName(type->Extension.c_str())) {
        if (extension.Exists())
            type->Class = {type->Extension, extension.user ? Source::User : Source::Machine};
        return;
    }
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
    if (LookupFileClass(type->Extension.c_str(), key, fileClass))
        type->Class = {fileClass, extension.user ? Source::User : Source::Machine};
}

// The EditFlags of the class in the hive the extension comes from: the
// user's where the user's hive has the extension, else the machine's. The
// class key the record read serves where that hive names the same class.
void ReadEditFlags(const ClassesKey& extension, const ClassesKey& classKey, FileType* type) {
    const bool user = type->InUserHive;
    const HKEY extensionKey = user ? extension.user.get() : extension.machine.get();
    const HKEY known = user ? classKey.user.get() : classKey.machine.get();
    RegKey opened;
    char fileClass[kTextSize];
    DWORD bits = 0, size = sizeof bits;
    if (!LookupFileClass(type->Extension.c_str(), extensionKey, fileClass))
        return;
    HKEY key = known && CompareNoCase(fileClass, type->Class.Text.c_str()) == 0 ? known : nullptr;
    if (!key && OpenClassesKey(user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, fileClass, nullptr,
                               KEY_QUERY_VALUE, &opened) == ERROR_SUCCESS)
        key = opened.get();
    if (key && RegistryQueryValue(key, kEditFlagsValue, nullptr, &bits, &size) == ERROR_SUCCESS)
        type->EditFlags = {bits, user ? Source::User : Source::Machine};
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
void ReadOpensUser(FileType* type, Source from) {
    const ASSOCF flags = ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_INIT_DEFAULTTOSTAR;
    const char* extension = type->Extension.c_str();
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
    ShellDefaultVerb(extension, &opens.Verb);
}

void ReadUser(FileType* type, bool whole) {
    // The readers ask the shell many questions about the same class and verbs.
    ShellReadScope scope;
    const ClassesKey extension(RunMode::User, type->Extension);
    type->InUserHive = static_cast<bool>(extension.user);
    type->InMachineHive = static_cast<bool>(extension.machine);
    ReadClass(RunMode::User, extension, type);
    const std::string& name = type->Class.Text;
    const ClassesKey classKey(RunMode::User, type->Class.Present() ? name : "");
    const Source from = classKey.user ? Source::User : Source::Machine;
    type->ClassExists = type->Class.Present() && classKey.Exists();
    if (type->ClassExists) {
        type->Description = classKey.Read(nullptr, nullptr);
        if (whole)
            ReadActions(HKEY_CLASSES_ROOT, name, type);
    }
    // The whole type name, or none where it is too long to edit and save
    // back whole.
    const std::string typeName = ShellTypeName(type->Extension.c_str());
    if (FitsBuffer(typeName.c_str(), kTextSize))
        type->TypeName = {typeName, from};
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
        type->IconLocation = {location, from};
    ReadEditFlags(extension, classKey, type);
    ReadOpensUser(type, from);
    if (whole)
        ReadOpenWithList(type);
}

void ReadAdmin(FileType* type) {
    const ClassesKey extension(RunMode::Admin, type->Extension);
    type->InMachineHive = static_cast<bool>(extension.machine);
    ReadClass(RunMode::Admin, extension, type);
    const std::string& name = type->Class.Text;
    const ClassesKey classKey(RunMode::Admin, type->Class.Present() ? name : "");
    if (!classKey.machine)
        return;
    type->ClassExists = true;
    type->Description = ReadField(classKey.machine.get(), nullptr, nullptr, Source::Machine);
    type->TypeName = type->Description;
    type->IconLocation =
        ReadField(classKey.machine.get(), kDefaultIconKey, nullptr, Source::Machine, kNameSize);
    ReadEditFlags(extension, classKey, type);
    ReadActions(HKEY_LOCAL_MACHINE, name, type);
    FileOpener& opens = type->Opens;
    const int verb = DefaultAction(*type);
    if (verb < 0)
        return;
    const FileAction& action = type->Actions[verb];
    opens.Verb = action.Verb;
    opens.HasDde = action.HasDde;
    opens.Command = action.Command;
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
    if (mode == RunMode::User)
        ReadUser(&type, true);
    else
        ReadAdmin(&type);
    return type;
}

FileType ReadFileTypeShown(const std::string& extension, RunMode mode) {
    FileType type = NewFileType(extension);
    if (mode == RunMode::User)
        ReadUser(&type, false);
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
    // A class may name a key below another ("Applications\x.exe"), as a
    // user's choice does; never the classes themselves.
    if (classPath.empty() || classPath[0] == '\\')
        return;
    const std::string path = std::string(kClassesKey) + "\\" + classPath + "\\" + kShellKey;
    RegistryTree user, machine;
    const bool hasUser = root == HKEY_CLASSES_ROOT &&
                         RegistryReadTree(HKEY_CURRENT_USER, path.c_str(), &user) == ERROR_SUCCESS;
    const bool hasMachine =
        RegistryReadTree(HKEY_LOCAL_MACHINE, path.c_str(), &machine) == ERROR_SUCCESS;
    if (!hasUser && !hasMachine)
        return;
    const VerbHalves shell = {hasUser ? &user : nullptr, hasMachine ? &machine : nullptr};
    type->DefaultVerb = shell.Read(nullptr, L"");
    // The verbs of both hives, each once, in the registry's order.
    std::vector<std::wstring> verbs;
    for (const RegistryTree* half : {shell.user, shell.machine})
        for (const RegistryTree& key : half ? half->Keys : std::vector<RegistryTree>())
            if (!KeyBelow(shell.user, key.Name.c_str()) || half == shell.user)
                verbs.push_back(key.Name);
    std::stable_sort(verbs.begin(), verbs.end(), [](const std::wstring& a, const std::wstring& b) {
        return RegistryNameKey(a) < RegistryNameKey(b);
    });
    for (const std::wstring& verb : verbs)
        type->Actions.push_back(ReadAction(
            verb, {KeyBelow(shell.user, verb.c_str()), KeyBelow(shell.machine, verb.c_str())}));
}
