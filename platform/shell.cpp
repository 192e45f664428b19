// Association answers, type names and icons computed from the merged classes
// view, with Windows' rules.
#include "platform/shell.h"

#include "platform/registry.h"
#include "platform/registry_layout.h"

#include <shlobj.h>

#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace {

// A name without extension: the shell answers for it with its generic icons.
constexpr char kUntypedFileName[] = "KvelUntyped";

// A program found in a command line; end is where its text ends there.
struct CommandProgram {
    bool found = false;
    std::string path;
    size_t end = 0;
};

// What the merged view answered while a ShellReadScope is open on this
// thread, by path and value name in ASCII lower case (the registry's names
// compare without regard to case).
struct ReadMemo {
    int depth = 0;
    std::map<std::string, std::pair<bool, std::string>> texts;
    std::map<std::string, bool> keys;
    // Modules loaded for their icons (null: not loadable), freed with the scope.
    std::map<std::string, HMODULE> modules;
    // Programs found in command lines, by command line.
    std::map<std::string, CommandProgram> programs;
};
thread_local ReadMemo t_memo;

std::string MemoKey(const std::string& path, const char* name) {
    std::string key = path;
    key += '\0';
    if (name)
        key += name;
    for (char& c : key)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return key;
}

bool ReadClassesTextNow(const std::string& path, const char* name, std::string* text) {
    RegKey key;
    if (RegistryOpenKey(HKEY_CLASSES_ROOT, path.c_str(), KEY_QUERY_VALUE, key.put()) !=
        ERROR_SUCCESS)
        return false;
    char buffer[1024];
    if (RegistryReadText(key.get(), name, buffer, sizeof buffer) != ERROR_SUCCESS)
        return false;
    *text = buffer;
    return true;
}

// Reads the default (or a named) value of HKEY_CLASSES_ROOT\path as text.
bool ReadClassesText(const std::string& path, const char* name, std::string* text) {
    if (t_memo.depth == 0)
        return ReadClassesTextNow(path, name, text);
    const std::string key = MemoKey(path, name);
    auto known = t_memo.texts.find(key);
    if (known == t_memo.texts.end()) {
        std::string read;
        const bool found = ReadClassesTextNow(path, name, &read);
        known = t_memo.texts.emplace(key, std::make_pair(found, read)).first;
    }
    if (known->second.first)
        *text = known->second.second;
    return known->second.first;
}

bool ClassesKeyExists(const std::string& path) {
    if (t_memo.depth == 0)
        return RegistryKeyExists(HKEY_CLASSES_ROOT, path.c_str()) != 0;
    const std::string key = MemoKey(path, nullptr);
    auto known = t_memo.keys.find(key);
    if (known == t_memo.keys.end())
        known =
            t_memo.keys.emplace(key, RegistryKeyExists(HKEY_CLASSES_ROOT, path.c_str()) != 0).first;
    return known->second;
}

std::string FileNamePart(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Expand(const std::string& text) {
    char buffer[MAX_PATH * 4];
    DWORD length = ExpandEnvironmentStringsA(text.c_str(), buffer, sizeof buffer);
    if (length == 0 || length > sizeof buffer)
        return text;
    return buffer;
}

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
    bool hasClass = ReadClassesText(assoc, nullptr, &className) && !className.empty();
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
    char first[MAX_PATH] = {};
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
    char found[MAX_PATH] = {};
    const DWORD length = SearchPathA(nullptr, name.c_str(), nullptr, sizeof found, found, nullptr);
    // A result that does not fit returns the size it needs and leaves the
    // buffer unwritten.
    if (length == 0 || length >= sizeof found)
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

const CommandProgram& FindProgramOfCommand(const std::string& command, CommandProgram* read) {
    if (t_memo.depth == 0)
        return *read = FindProgramOfCommandNow(command);
    auto known = t_memo.programs.find(command);
    if (known == t_memo.programs.end())
        known = t_memo.programs.emplace(command, FindProgramOfCommandNow(command)).first;
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

// A file as last seen: its size and time of last write.
struct FileStamp {
    FILETIME written = {};
    DWORD sizeHigh = 0;
    DWORD sizeLow = 0;
};

FileStamp StampFrom(const WIN32_FILE_ATTRIBUTE_DATA& data) {
    FileStamp stamp;
    stamp.written = data.ftLastWriteTime;
    stamp.sizeHigh = data.nFileSizeHigh;
    stamp.sizeLow = data.nFileSizeLow;
    return stamp;
}

bool StampOf(const std::string& file, FileStamp* stamp) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data))
        return false;
    *stamp = StampFrom(data);
    return true;
}

bool SameStamp(const FileStamp& a, const FileStamp& b) {
    return CompareFileTime(&a.written, &b.written) == 0 && a.sizeHigh == b.sizeHigh &&
           a.sizeLow == b.sizeLow;
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
std::map<std::string, KnownDescription> g_descriptions; // by path in lower case

bool ProgramDescription(const std::string& file, std::string* description) {
    FileStamp stamp;
    if (PathIsRelativeA(file.c_str()) || !StampOf(file, &stamp))
        return VersionDescription(file, description);
    std::string key = file;
    CharLowerBuffA(&key[0], static_cast<DWORD>(key.size()));
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
    std::string executable;
    if (source.byProgram) {
        if (ReadClassesText(source.key, kFriendlyAppNameValue, name) && !name->empty())
            return true;
        if (!QueryExecutable(source, verb, &executable))
            return false;
    } else {
        if (!QueryExecutable(source, verb, &executable))
            return false;
        const std::string application =
            std::string(kApplicationsKey) + "\\" + FileNamePart(executable);
        if (ReadClassesText(application, kFriendlyAppNameValue, name) && !name->empty())
            return true;
    }
    if (!ProgramDescription(executable, name))
        *name = FileTitle(executable);
    return !name->empty();
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

// The extension a file-info request is about: a bare ".ext", else the
// extension of the path ("" when it has none).
std::string ExtensionOf(const char* path) {
    if (!path)
        return "";
    if (path[0] == '.' && !strchr(path, '\\'))
        return path;
    const char* extension = PathFindExtensionA(path);
    return extension ? extension : "";
}

std::string UpperTypeName(const std::string& extension) {
    std::string name = extension.substr(1);
    CharUpperBuffA(&name[0], static_cast<DWORD>(name.size()));
    return name + " File";
}

// The file of an icon location ("file", "file,index", quoted or not),
// expanded; index gets the number after the last comma (0 without one).
std::string IconFileOf(const std::string& location, int* index) {
    std::string file = Expand(location);
    *index = 0;
    size_t comma = file.find_last_of(',');
    if (comma != std::string::npos) {
        *index = atoi(file.c_str() + comma + 1);
        file = file.substr(0, comma);
    }
    if (file.size() >= 2 && file.front() == '"' && file.back() == '"')
        file = file.substr(1, file.size() - 2);
    return file;
}

// An icon file whose directory and images lie within the file.
bool IsWholeIconFile(HANDLE file, DWORD size) {
    struct {
        WORD reserved, type, count;
    } header = {};
    DWORD read = 0;
    if (!ReadFile(file, &header, sizeof header, &read, nullptr) || read != sizeof header ||
        header.reserved != 0 || (header.type != 1 && header.type != 2) || header.count == 0)
        return false;
    for (WORD entry = 0; entry < header.count; ++entry) {
        BYTE record[16];
        if (!ReadFile(file, record, sizeof record, &read, nullptr) || read != sizeof record)
            return false;
        DWORD bytes = 0, offset = 0;
        memcpy(&bytes, record + 8, sizeof bytes);
        memcpy(&offset, record + 12, sizeof offset);
        if (offset > size || bytes > size - offset)
            return false;
    }
    return true;
}

// Whether the system's icon readers can be given file: an icon file whose
// images lie within it, or a program or library whose image loads whole.
// Given a truncated program, the readers of some systems (Wine's) read past
// the end of the file and fault. The last answer is kept per file, size and
// time of writing, since the details pane asks twice per selection.
bool IsWholeIconSource(const std::string& file) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (file.empty() || !GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return false;
    const FileStamp stamp = StampFrom(data);
    static std::mutex lock;
    static std::string lastFile;
    static FileStamp lastStamp;
    static bool lastAnswer = false;
    std::lock_guard<std::mutex> guard(lock);
    if (lstrcmpiA(file.c_str(), lastFile.c_str()) == 0 && SameStamp(stamp, lastStamp))
        return lastAnswer;
    bool whole = false;
    if (lstrcmpiA(PathFindExtensionA(file.c_str()), ".ico") == 0) {
        HANDLE handle = CreateFileA(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            whole = data.nFileSizeHigh == 0 && IsWholeIconFile(handle, data.nFileSizeLow);
            CloseHandle(handle);
        }
    } else if (HMODULE module =
                   LoadLibraryExA(file.c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE)) {
        whole = true;
        FreeLibrary(module);
    }
    lastFile = file;
    lastStamp = stamp;
    lastAnswer = whole;
    return whole;
}

// Inside a scope a program or library read for an icon stays loaded until
// the scope ends: the details pane reads its large and its small icon from
// the same file, and mapping the file is most of the cost of reading one.
HMODULE ScopedIconModule(const std::string& file) {
    const std::string key = MemoKey(file, nullptr);
    auto kept = t_memo.modules.find(key);
    if (kept != t_memo.modules.end())
        return kept->second;
    HMODULE module = LoadLibraryExA(file.c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    t_memo.modules[key] = module;
    return module;
}

// The name of an icon group as LoadImageA takes it: a number or a text.
struct IconGroupName {
    std::string text;
    WORD id = 0;
    const char* get() const { return text.empty() ? MAKEINTRESOURCEA(id) : text.c_str(); }
};

struct IconGroupSearch {
    int wanted = 0;
    int seen = 0;
    bool found = false;
    IconGroupName name;
};

BOOL CALLBACK FindIconGroup(HMODULE, LPCSTR, LPSTR name, LONG_PTR context) {
    auto* search = reinterpret_cast<IconGroupSearch*>(context);
    if (search->seen++ != search->wanted)
        return TRUE;
    if (IS_INTRESOURCE(name))
        search->name.id = static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
    else
        search->name.text = name;
    search->found = true;
    return FALSE;
}

// The icon of module that an icon location's index names, as the system's
// icon reader takes it: from 0 up the position among the module's icon groups,
// below 0 the group's resource number.
HICON IconOfModule(HMODULE module, int index, int size) {
    IconGroupSearch search;
    if (index < -0xFFFF)
        return nullptr; // no resource number is that large
    if (index < 0) {
        search.name.id = static_cast<WORD>(-index);
    } else {
        search.wanted = index;
        EnumResourceNamesA(module, RT_GROUP_ICON, FindIconGroup,
                           reinterpret_cast<LONG_PTR>(&search));
        if (!search.found)
            return nullptr;
    }
    return static_cast<HICON>(LoadImageA(module, search.name.get(), IMAGE_ICON, size, size, 0));
}

// Whether the icon location names a file that is there but cannot be read
// whole; a location naming no file at all is harmless.
bool NamesBrokenFile(const std::string& location) {
    if (location.empty() || location[0] == '%')
        return false;
    int index = 0;
    const std::string file = IconFileOf(location, &index);
    if (file.empty() || file.size() >= MAX_PATH ||
        GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES)
        return false;
    return !IsWholeIconSource(file);
}

// The DefaultIcon of an extension's class in the machine's own classes, where
// the shell of some systems (Wine's) looks.
std::string MachineIconLocation(const std::string& extension) {
    RegKey key;
    char text[1024];
    if (RegistryOpenKey(HKEY_LOCAL_MACHINE, (std::string(kClassesKey) + "\\" + extension).c_str(),
                        KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS ||
        RegistryReadText(key.get(), nullptr, text, sizeof text) != ERROR_SUCCESS || !text[0])
        return "";
    RegKey icon;
    if (RegistryOpenKey(HKEY_LOCAL_MACHINE,
                        (std::string(kClassesKey) + "\\" + text + "\\" + kDefaultIconKey).c_str(),
                        KEY_QUERY_VALUE, icon.put()) != ERROR_SUCCESS ||
        RegistryReadText(icon.get(), nullptr, text, sizeof text) != ERROR_SUCCESS)
        return "";
    return text;
}

// Whether the shell may be asked for the icon of path: it reads the icon
// named by the DefaultIcon of the extension's class, as the merged view or
// the machine's own classes give it, or, for a class whose icon is each
// file's own ("%1"), the file itself unless only its attributes count.
bool MayAskShellForIcon(const char* path, UINT flags, const std::string& extension) {
    if (!(flags & (SHGFI_ICON | SHGFI_SYSICONINDEX)) || extension.size() < 2)
        return true;
    std::string className, merged;
    if (ReadClassesText(extension, nullptr, &className) && !className.empty())
        ReadClassesText(className + "\\" + kDefaultIconKey, nullptr, &merged);
    for (const std::string& location : {merged, MachineIconLocation(extension)}) {
        if (NamesBrokenFile(location))
            return false;
        if (!location.empty() && location[0] == '%' && !(flags & SHGFI_USEFILEATTRIBUTES) &&
            GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES && !IsWholeIconSource(path))
            return false;
    }
    return true;
}

// Asks the shell, about a file without a type of its own in place of a path
// whose icon the shell must not read.
DWORD_PTR AskShell(const char* path, DWORD attributes, SHFILEINFOA* info, UINT flags,
                   const std::string& extension) {
    if (MayAskShellForIcon(path, flags, extension))
        return SHGetFileInfoA(path, attributes, info, sizeof *info, flags);
    return SHGetFileInfoA(kUntypedFileName, FILE_ATTRIBUTE_NORMAL, info, sizeof *info,
                          flags | SHGFI_USEFILEATTRIBUTES);
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

const char* ShellCommandArguments(const char* command) {
    CommandProgram read;
    const CommandProgram& program = FindProgramOfCommand(command, &read);
    if (!program.found)
        return PathGetArgsA(command);
    const char* arguments = command + program.end;
    return *arguments == ' ' ? arguments + 1 : arguments;
}

DWORD_PTR ShellGetFileInfo(const char* path, DWORD attributes, SHFILEINFOA* info, UINT flags) {
    const std::string extension = ExtensionOf(path);
    if (!info)
        return SHGetFileInfoA(path, attributes, info, sizeof *info, flags);
    if (!(flags & SHGFI_USEFILEATTRIBUTES) || !(flags & (SHGFI_TYPENAME | SHGFI_ICON)) ||
        extension.size() < 2 || extension == ".")
        return AskShell(path, attributes, info, flags, extension);

    std::string className;
    bool hasClass = ReadClassesText(extension, nullptr, &className) && !className.empty();
    HICON icon = nullptr;
    if (flags & SHGFI_ICON) {
        const int size = GetSystemMetrics((flags & SHGFI_SMALLICON) ? SM_CXSMICON : SM_CXICON);
        std::string location;
        if (hasClass && ReadClassesText(className + "\\" + kDefaultIconKey, nullptr, &location))
            icon = ShellLoadIconLocation(location.c_str(), size);
    }
    // The shell is asked only for what the merged view cannot give: the
    // system image index and the other answers, or an icon the view lacks.
    // Its answers cost milliseconds each, as it looks for the icon again.
    const UINT servedFlags =
        SHGFI_USEFILEATTRIBUTES | SHGFI_TYPENAME | SHGFI_ICON | SHGFI_SMALLICON | SHGFI_LARGEICON;
    const bool askShell = (flags & ~servedFlags) || ((flags & SHGFI_ICON) && !icon);
    DWORD_PTR result = 1;
    if (askShell)
        result = AskShell(path, attributes, info, flags, extension);

    if (flags & SHGFI_TYPENAME) {
        std::string description;
        if (!(hasClass && ReadClassesText(className, nullptr, &description) &&
              !description.empty()))
            description = UpperTypeName(extension);
        lstrcpynA(info->szTypeName, description.c_str(), sizeof info->szTypeName);
    }
    if (flags & SHGFI_ICON) {
        if (!askShell) {
            info->hIcon = icon;
        } else if (icon) {
            if (info->hIcon)
                DestroyIcon(info->hIcon);
            info->hIcon = icon;
        } else if (!info->hIcon) {
            const int size = GetSystemMetrics((flags & SHGFI_SMALLICON) ? SM_CXSMICON : SM_CXICON);
            info->hIcon = ShellGenericDocumentIcon(size);
        }
    }
    return result ? result : 1;
}

HICON ShellLoadIconLocation(const char* location, int size) {
    if (!location || !*location)
        return nullptr;
    // What is left of a variable after expansion, such as "%1" (each file
    // its own icon), names no file.
    const std::string expanded = Expand(location);
    if (expanded[0] == '%')
        return nullptr;
    int index = 0;
    const std::string file = IconFileOf(location, &index);
    const bool hasIndex = expanded.find(',') != std::string::npos;
    if (file.empty() || file.size() >= MAX_PATH || !IsWholeIconSource(file))
        return nullptr;
    if (!hasIndex && lstrcmpiA(PathFindExtensionA(file.c_str()), ".ico") == 0)
        return static_cast<HICON>(
            LoadImageA(nullptr, file.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
    if (t_memo.depth > 0)
        if (HMODULE module = ScopedIconModule(file))
            return IconOfModule(module, index, size);
    HICON icon = nullptr;
    UINT found = PrivateExtractIconsA(file.c_str(), index, size, size, &icon, nullptr, 1, 0);
    if (found == 0 || found == 0xFFFFFFFF)
        return nullptr;
    return icon;
}

HICON ShellGenericDocumentIcon(int size) {
    HICON icon = nullptr;
    UINT found = PrivateExtractIconsA("shell32.dll", 0, size, size, &icon, nullptr, 1, 0);
    if (found == 0 || found == 0xFFFFFFFF)
        return static_cast<HICON>(
            CopyImage(LoadIconA(nullptr, IDI_APPLICATION), IMAGE_ICON, size, size, 0));
    return icon;
}

ShellReadScope::ShellReadScope() {
    ++t_memo.depth;
}

ShellReadScope::~ShellReadScope() {
    if (--t_memo.depth == 0) {
        t_memo.texts.clear();
        t_memo.keys.clear();
        t_memo.programs.clear();
        for (auto& kept : t_memo.modules)
            if (kept.second)
                FreeLibrary(kept.second);
        t_memo.modules.clear();
    }
}
