// Association answers computed from the merged classes view, with Windows'
// rules.
#include "platform/shell.h"

#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/shell_parts.h"
#include "text/system_text.h"

#include <shlwapi.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

using namespace shell_parts;

// A program found in a command line; end is where its text ends there.
struct CommandProgram {
    bool found = false;
    std::string path;
    size_t end = 0;
};

// Where an association query looks: the key that carries the verbs and the
// DefaultIcon, and a fall-back key for the verbs ("*").
struct AssocSource {
    std::string key;
    std::string verbFallback;
    bool byProgram = false;
    std::string program; // the name or path a by-program query was given
};

bool FindSource(ASSOCF flags, const char* assoc, AssocSource* source) {
    if (!assoc || !*assoc)
        return false;
    const bool defaultToStar = (flags & ASSOCF_INIT_DEFAULTTOSTAR) != 0;
    if (flags & ASSOCF_INIT_BYEXENAME) {
        source->byProgram = true;
        source->program = assoc;
        const std::string file = FileNamePart(assoc);
        source->key = std::string(kApplicationsKey) + "\\" + file;
        return !file.empty();
    }
    std::string className;
    bool chosen = false;
    const bool hasClass = AssociatedClass(assoc, &className, &chosen);
    if (defaultToStar)
        source->verbFallback = "*";
    if (!hasClass) {
        if (flags & ASSOCF_INIT_IGNOREUNKNOWN)
            return false;
        if (!ClassesKeyExists(assoc) && !defaultToStar)
            return false;
        source->key = ClassesKeyExists(assoc) ? assoc : "*";
        return true;
    }
    source->key = className;
    return true;
}

// The first sub-key of a key of the merged view, in the registry's order.
bool FirstSubKey(const std::string& path, std::string* name) {
    RegKey key;
    char first[kKeyNameSize] = {};
    DWORD length = sizeof first;
    if (RegistryOpenKey(HKEY_CLASSES_ROOT, path.c_str(), KEY_READ, key.put()) != ERROR_SUCCESS ||
        RegistryEnumKey(key.get(), 0, first, &length) != ERROR_SUCCESS)
        return false;
    *name = first;
    return true;
}

// The verb sub-key path below key: the verb asked for; without one, the verb
// the "shell" key's default value names when it is there, else "open" when
// it is there, else the first verb.
std::string VerbPath(const std::string& key, const char* verb) {
    const std::string shell = key + "\\shell";
    if (verb && *verb)
        return shell + "\\" + verb;
    std::string named;
    if (ReadClassesText(shell, nullptr, &named) && !named.empty() &&
        ClassesKeyExists(shell + "\\" + named))
        return shell + "\\" + named;
    if (ClassesKeyExists(shell + "\\open") || !FirstSubKey(shell, &named))
        return shell + "\\open";
    return shell + "\\" + named;
}

bool FindVerb(const AssocSource& source, const char* verb, std::string* verbPath) {
    std::string path = VerbPath(source.key, verb);
    if (ClassesKeyExists(path + "\\command") || ClassesKeyExists(path + "\\ddeexec")) {
        *verbPath = path;
        return true;
    }
    if (source.verbFallback.empty())
        return false;
    path = VerbPath(source.verbFallback, verb);
    if (!ClassesKeyExists(path + "\\command") && !ClassesKeyExists(path + "\\ddeexec"))
        return false;
    *verbPath = path;
    return true;
}

// The file that name stands for: the name itself when it has a folder, else
// the first of that name on the search path. A folder is no program.
bool FindProgramFile(const std::string& name, std::string* path) {
    if (name.empty())
        return false;
    char found[kTextSize] = {};
    const DWORD length = SearchPathA(nullptr, name.c_str(), nullptr, sizeof found, found, nullptr);
    // A result that does not fit returns the size it needs and leaves the
    // buffer unwritten.
    if (length == 0 || length >= sizeof found || !FitsBuffer(found, sizeof found))
        return false;
    const DWORD attributes = GetFileAttributesA(found);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    *path = found;
    return true;
}

// The program a command line runs, as the shell finds it: the text inside
// the opening quotes; or, unquoted, the text up to each blank in turn,
// shortest first, then the whole line, until one names an existing file.
// Each run's variables are expanded, as Windows expands a command stored as
// REG_EXPAND_SZ.
CommandProgram FindProgramOfCommandNow(const std::string& command) {
    CommandProgram program;
    if (!command.empty() && command[0] == '"') {
        const size_t close = command.find('"', 1);
        program.end = close == std::string::npos ? command.size() : close + 1;
        program.found = FindProgramFile(Expand(command.substr(1, close - 1)), &program.path);
        return program;
    }
    for (size_t blank = command.find(' '); blank != std::string::npos;
         blank = command.find(' ', blank + 1)) {
        program.end = blank;
        if (blank > 0 && FindProgramFile(Expand(command.substr(0, blank)), &program.path)) {
            program.found = true;
            return program;
        }
    }
    program.end = command.size();
    program.found = FindProgramFile(Expand(command), &program.path);
    return program;
}

// Inside a read scope the program of each command line is looked for once.
thread_local unsigned t_programsScope = 0;
thread_local std::map<std::string, CommandProgram> t_programs;

const CommandProgram& FindProgramOfCommand(const std::string& command, CommandProgram* read) {
    const unsigned scope = ReadScopeNumber();
    if (scope == 0)
        return *read = FindProgramOfCommandNow(command);
    if (scope != t_programsScope) {
        t_programs.clear();
        t_programsScope = scope;
    }
    auto known = t_programs.find(command);
    if (known == t_programs.end())
        known = t_programs.emplace(command, FindProgramOfCommandNow(command)).first;
    return known->second;
}

bool FindProgramOfCommand(const std::string& command, std::string* path) {
    CommandProgram read;
    const CommandProgram& program = FindProgramOfCommand(command, &read);
    if (program.found)
        *path = program.path;
    return program.found;
}

bool QueryCommand(const AssocSource& source, const char* verb, std::string* command) {
    std::string verbPath;
    return FindVerb(source, verb, &verbPath) &&
           ReadClassesText(verbPath + "\\command", nullptr, command) && !command->empty();
}

// The program of the verb's command. A by-program query names the program
// itself: the file it names, else the program of its application key's verb.
bool QueryExecutable(const AssocSource& source, const char* verb, std::string* executable) {
    if (source.byProgram && FindProgramOfCommand("\"" + source.program + "\"", executable))
        return true;
    std::string command;
    return QueryCommand(source, verb, &command) && FindProgramOfCommand(command, executable);
}

bool VersionDescription(const std::string& file, std::string* description) {
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
    if (size == 0)
        return false;
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoA(file.c_str(), 0, size, block.data()))
        return false;
    struct Translation {
        WORD language;
        WORD codePage;
    }* translations = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translations), &length))
        return false;
    // The first language that has a description.
    for (UINT entry = 0; entry < length / sizeof(Translation); ++entry) {
        char query[64];
        wsprintfA(query, "\\StringFileInfo\\%04x%04x\\FileDescription",
                  translations[entry].language, translations[entry].codePage);
        char* text = nullptr;
        UINT textLength = 0;
        if (VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&text), &textLength) &&
            text && *text) {
            *description = text;
            return true;
        }
    }
    return false;
}

// Programs' descriptions as read from their files, kept as the shell keeps
// them: reading the version block maps the file twice, which costs more than
// the rest of a selection's details together. An entry holds while the file
// keeps its size and time of last write.
struct KnownDescription {
    FileStamp stamp;
    bool found = false;
    std::string description;
};

std::mutex g_descriptionLock;
std::map<std::wstring, KnownDescription> g_descriptions; // by RegistryNameKey of the path

bool ProgramDescription(const std::string& file, std::string* description) {
    FileStamp stamp;
    if (PathIsRelativeA(file.c_str()) || !StampOf(file, &stamp))
        return VersionDescription(file, description);
    const std::wstring key = RegistryNameKey(file.c_str());
    {
        std::lock_guard<std::mutex> lock(g_descriptionLock);
        auto known = g_descriptions.find(key);
        if (known != g_descriptions.end() && SameStamp(known->second.stamp, stamp)) {
            if (known->second.found)
                *description = known->second.description;
            return known->second.found;
        }
    }
    KnownDescription read;
    read.stamp = stamp;
    read.found = VersionDescription(file, &read.description);
    if (read.found)
        *description = read.description;
    std::lock_guard<std::mutex> lock(g_descriptionLock);
    g_descriptions[key] = read;
    return read.found;
}

// The file name of a path without its folder and extension.
std::string FileTitle(const std::string& path) {
    const std::string file = FileNamePart(path);
    const size_t dot = file.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);
}

// The name of the program: the application key's "FriendlyAppName", else the
// description in the program's version block, else its file title. There is
// none when the program is not on disk, unless its application key names it.
bool QueryFriendlyName(const AssocSource& source, const char* verb, std::string* name) {
    std::string executable, text;
    // A packaged app's class names its program itself; its verbs have no command.
    if (!source.byProgram &&
        ReadClassesText(source.key + "\\" + kPackagedApplicationNameKey,
                        kPackagedApplicationNameValue, &text) &&
        ShellResolveText(text, name))
        return true;
    if (source.byProgram) {
        if (ReadClassesText(source.key, kFriendlyAppNameValue, &text) &&
            ShellResolveText(text, name))
            return true;
        if (!QueryExecutable(source, verb, &executable))
            return false;
    } else {
        if (!QueryExecutable(source, verb, &executable))
            return false;
        const std::string application =
            std::string(kApplicationsKey) + "\\" + FileNamePart(executable);
        if (ReadClassesText(application, kFriendlyAppNameValue, &text) &&
            ShellResolveText(text, name))
            return true;
    }
    if (!ProgramDescription(executable, name))
        *name = FileTitle(executable);
    return !name->empty();
}

// The type name: the class's "FriendlyTypeName", resolved, else its description.
bool QueryTypeName(const AssocSource& source, std::string* name) {
    std::string text;
    if (ReadClassesText(source.key, kFriendlyTypeNameValue, &text) && ShellResolveText(text, name))
        return true;
    return ReadClassesText(source.key, nullptr, name) && !name->empty();
}

bool QueryDde(const AssocSource& source, const char* verb, ASSOCSTR kind, std::string* text) {
    std::string verbPath;
    if (!FindVerb(source, verb, &verbPath))
        return false;
    std::string dde = verbPath + "\\ddeexec";
    if (!ClassesKeyExists(dde))
        return false;
    switch (kind) {
    case ASSOCSTR_DDECOMMAND:
        text->clear();
        ReadClassesText(dde, nullptr, text);
        return true;
    case ASSOCSTR_DDEAPPLICATION: {
        if (ReadClassesText(dde + "\\Application", nullptr, text) && !text->empty())
            return true;
        std::string executable;
        if (!QueryExecutable(source, verb, &executable))
            return false;
        std::string file = FileNamePart(executable);
        *text = file.substr(0, file.find_last_of('.'));
        return !text->empty();
    }
    case ASSOCSTR_DDETOPIC:
        if (!ReadClassesText(dde + "\\Topic", nullptr, text) || text->empty())
            *text = "System";
        return true;
    default:
        return false;
    }
}

bool Answer(ASSOCF flags, ASSOCSTR kind, const char* assoc, const char* verb, std::string* text) {
    AssocSource source;
    if (!FindSource(flags, assoc, &source))
        return false;
    switch (kind) {
    case ASSOCSTR_COMMAND:
        return QueryCommand(source, verb, text);
    case ASSOCSTR_EXECUTABLE:
        return QueryExecutable(source, verb, text);
    case ASSOCSTR_FRIENDLYAPPNAME:
        return QueryFriendlyName(source, verb, text);
    case ASSOCSTR_FRIENDLYDOCNAME:
        return QueryTypeName(source, text);
    case ASSOCSTR_DDECOMMAND:
    case ASSOCSTR_DDEAPPLICATION:
    case ASSOCSTR_DDETOPIC:
        return QueryDde(source, verb, kind, text);
    case ASSOCSTR_DEFAULTICON:
        return ReadClassesText(source.key + "\\" + kDefaultIconKey, nullptr, text) &&
               !text->empty();
    default:
        return false;
    }
}

} // namespace

HRESULT ShellAssocQuery(ASSOCF flags, ASSOCSTR kind, const char* assoc, const char* verb, char* out,
                        DWORD* length) {
    if (!out || !length || *length == 0)
        return E_INVALIDARG;
    memset(out, 0, *length);
    std::string text;
    if (!Answer(flags, kind, assoc, verb, &text))
        return HRESULT_FROM_WIN32(ERROR_NO_ASSOCIATION);
    if (text.size() + 1 > *length) {
        *length = static_cast<DWORD>(text.size() + 1);
        return E_POINTER;
    }
    memcpy(out, text.c_str(), text.size() + 1);
    *length = static_cast<DWORD>(text.size() + 1);
    return S_OK;
}

std::string ShellTypeName(const char* extension) {
    std::string name;
    if (Answer(ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_FRIENDLYDOCNAME, extension, nullptr, &name))
        return name;
    return UpperTypeName(extension ? extension : "");
}

bool ShellUserChoice(const char* extension, std::string* className) {
    std::string associated;
    bool chosen = false;
    if (!extension || !AssociatedClass(extension, &associated, &chosen) || !chosen)
        return false;
    *className = associated;
    return true;
}

bool ShellDefaultVerb(const char* extension, std::string* verb) {
    AssocSource source;
    std::string verbPath;
    if (!FindSource(ASSOCF_INIT_IGNOREUNKNOWN | ASSOCF_INIT_DEFAULTTOSTAR, extension, &source) ||
        !FindVerb(source, nullptr, &verbPath))
        return false;
    *verb = verbPath.substr(verbPath.rfind('\\') + 1);
    return true;
}

const char* ShellCommandArguments(const char* command) {
    CommandProgram read;
    const CommandProgram& program = FindProgramOfCommand(command, &read);
    if (!program.found)
        return PathGetArgsA(command);
    const char* arguments = command + program.end;
    return *arguments == ' ' ? arguments + 1 : arguments;
}
