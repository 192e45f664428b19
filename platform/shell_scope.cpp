// The read scope of the shell services: what the merged view answered while
// a scope lasts, and the modules it keeps loaded.
#include "platform/shell.h"

#include "platform/handles.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "platform/shell_parts.h"
#include "text/system_text.h"

#include <shlwapi.h>

#include <map>
#include <string>

namespace shell_parts {

namespace {

// What the merged view answered while a ShellReadScope is open on this
// thread, by path and value name in the registry's order (its names compare
// without regard to case).
struct ReadMemo {
    int depth = 0;
    unsigned number = 0;
    std::map<std::wstring, std::pair<bool, std::string>> texts;
    std::map<std::wstring, bool> keys;
    // Modules loaded for their icons (null: not loadable), freed with the scope.
    std::map<std::wstring, ModuleOwner> modules;
};
thread_local ReadMemo t_memo;

std::wstring MemoKey(const std::string& path, const char* name, HKEY root = HKEY_CLASSES_ROOT) {
    std::wstring key = root == HKEY_CLASSES_ROOT ? L"" : L"\x1";
    key += RegistryNameKey(path.c_str());
    key += L'\0';
    if (name)
        key += RegistryNameKey(name);
    return key;
}

bool ReadTextNow(HKEY root, const std::string& path, const char* name, std::string* text) {
    RegKey key;
    if (RegistryOpenKey(root, path.c_str(), KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return false;
    char buffer[BufferFor(1023)];
    if (RegistryReadText(key.get(), name, buffer, sizeof buffer) != ERROR_SUCCESS)
        return false;
    *text = buffer;
    return true;
}

bool ReadText(HKEY root, const std::string& path, const char* name, std::string* text) {
    if (t_memo.depth == 0)
        return ReadTextNow(root, path, name, text);
    const std::wstring key = MemoKey(path, name, root);
    auto known = t_memo.texts.find(key);
    if (known == t_memo.texts.end()) {
        std::string read;
        const bool found = ReadTextNow(root, path, name, &read);
        known = t_memo.texts.emplace(key, std::make_pair(found, read)).first;
    }
    if (known->second.first)
        *text = known->second.second;
    return known->second.first;
}

} // namespace

bool ReadClassesText(const std::string& path, const char* name, std::string* text) {
    return ReadText(HKEY_CLASSES_ROOT, path, name, text);
}

bool ReadUserText(const std::string& path, const char* name, std::string* text) {
    return ReadText(HKEY_CURRENT_USER, path, name, text);
}

bool AssociatedClass(const std::string& extension, std::string* className, bool* chosen) {
    char path[kRegistryPathSize];
    std::string progId;
    *chosen = UserChoicePath(extension.c_str(), path) &&
              ReadUserText(path, kProgIdValue, &progId) && !progId.empty() &&
              ClassesKeyExists(progId);
    if (*chosen) {
        *className = progId;
        return true;
    }
    if (IsLinkName(extension.c_str())) {
        *className = extension;
        return ClassesKeyExists(extension);
    }
    return ReadClassesText(extension, nullptr, className) && !className->empty();
}

std::string UpperTypeName(const std::string& extension) {
    // A link type's registration names it "URL:" and its scheme by custom.
    if (IsLinkName(extension.c_str()))
        return "URL:" + extension;
    std::string name = extension.substr(extension.empty() ? 0 : 1);
    if (!name.empty())
        CharUpperBuffA(&name[0], static_cast<DWORD>(name.size()));
    return name + " File";
}

bool ClassesKeyExists(const std::string& path) {
    if (t_memo.depth == 0)
        return RegistryKeyExists(HKEY_CLASSES_ROOT, path.c_str()) != 0;
    const std::wstring key = MemoKey(path, nullptr);
    auto known = t_memo.keys.find(key);
    if (known == t_memo.keys.end())
        known =
            t_memo.keys.emplace(key, RegistryKeyExists(HKEY_CLASSES_ROOT, path.c_str()) != 0).first;
    return known->second;
}

unsigned ReadScopeNumber() {
    return t_memo.depth ? t_memo.number : 0;
}

HMODULE ScopedModule(const std::string& file) {
    const std::wstring key = MemoKey(file, nullptr);
    auto known = t_memo.modules.find(key);
    if (known == t_memo.modules.end())
        known = t_memo.modules
                    .emplace(key, LoadLibraryExA(file.c_str(), nullptr,
                                                 LOAD_LIBRARY_AS_DATAFILE |
                                                     LOAD_LIBRARY_AS_IMAGE_RESOURCE))
                    .first;
    return known->second.get();
}

std::string FileNamePart(const std::string& path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string Expand(const std::string& text) {
    char expanded[kTextSize];
    ExpandText(text.c_str(), expanded);
    return expanded;
}

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

} // namespace shell_parts

using shell_parts::t_memo;

bool ShellResolveText(const std::string& text, std::string* resolved) {
    if (text.empty() || text[0] != '@') {
        *resolved = text;
        return !text.empty();
    }
    const std::string expanded = shell_parts::Expand(text);
    wchar_t found[1024] = {};
    if (expanded.empty() ||
        FAILED(SHLoadIndirectString(WideText(expanded.c_str()).c_str(), found, 1024, nullptr)) ||
        !found[0] || found[0] == L'@')
        return false;
    *resolved = ProgramText(found, wcslen(found));
    return true;
}

ShellReadScope::ShellReadScope() {
    static thread_local unsigned scopes = 0;
    if (t_memo.depth++ == 0)
        t_memo.number = ++scopes ? scopes : ++scopes;
}

ShellReadScope::~ShellReadScope() {
    if (--t_memo.depth == 0) {
        t_memo.texts.clear();
        t_memo.keys.clear();
        t_memo.modules.clear();
    }
}
