// Files on disk as the shell finds them, each looked up once per check. The
// work is done in the system's wide text, so that no path is cut or changed.
#include "checks/file_lookup.h"

#include "platform/registry.h"
#include "text/system_text.h"
#include "text/text.h"

#include <algorithm>
#include <cwchar>

namespace {

constexpr char kAppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
constexpr wchar_t kProgramExtension[] = L".exe";
constexpr wchar_t kLibraryExtension[] = L".dll";
constexpr wchar_t kBlanks[] = L" \t";

std::wstring Trimmed(const std::wstring& text) {
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::wstring::npos)
        return L"";
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

// The text inside the opening quote of text, up to the closing one or the end.
std::wstring InsideQuotes(const std::wstring& text) {
    return text.substr(1, text.find(L'"', 1) - 1);
}

// Empty when the system cannot expand it.
std::wstring Expanded(const std::wstring& text) {
    const DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    std::wstring expanded(size, L'\0');
    if (size == 0 || ExpandEnvironmentStringsW(text.c_str(), &expanded[0], size) == 0)
        return L"";
    expanded.resize(wcslen(expanded.c_str()));
    return expanded;
}

// "%1", "%L": the file opened runs itself, or is its own icon.
bool IsTheFileItself(const std::wstring& token) {
    return token.size() == 2 && token[0] == L'%' &&
           ((token[1] >= L'0' && token[1] <= L'9') || token[1] == L'L' || token[1] == L'l');
}

// A variable expansion left as it was ("%NAME%"): the shell's environment
// may define it where this process's does not. Placeholders such as %1 and
// %* are no variables.
bool HasUndefinedVariable(const std::wstring& text) {
    for (size_t open = text.find(L'%'); open != std::wstring::npos;
         open = text.find(L'%', open + 1)) {
        const size_t close = text.find(L'%', open + 1);
        if (close == std::wstring::npos)
            return false;
        const std::wstring name = text.substr(open + 1, close - open - 1);
        if (!name.empty() && name.find_first_of(L" \t\"") == std::wstring::npos &&
            !(name[0] >= L'0' && name[0] <= L'9') && name[0] != L'*' && name[0] != L'~')
            return true;
    }
    return false;
}

bool IsBare(const std::wstring& name) {
    return name.find_first_of(L"\\/:") == std::wstring::npos;
}

bool HasExtension(const std::wstring& name) {
    const size_t dot = name.rfind(L'.');
    return dot != std::wstring::npos && name.find(L'\\', dot) == std::wstring::npos;
}

bool IsRundll(const std::wstring& program) {
    const size_t slash = program.find_last_of(L"\\/");
    const wchar_t* file = program.c_str() + (slash == std::wstring::npos ? 0 : slash + 1);
    return _wcsicmp(file, L"rundll32.exe") == 0 || _wcsicmp(file, L"rundll32") == 0;
}

// "0", "-203": the index or resource id after an icon file's comma.
bool IsIconIndex(const std::wstring& text) {
    const std::wstring index = Trimmed(text);
    const size_t digits = !index.empty() && index[0] == L'-' ? 1 : 0;
    return index.size() > digits &&
           index.find_first_not_of(L"0123456789", digits) == std::wstring::npos;
}

// Only a file that is surely not there counts as missing: a folder this
// process may not read (packaged apps' programs), a drive without its disk
// or a share that does not answer now may well hold it.
bool IsSurelyAbsent(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
           error == ERROR_INVALID_NAME || error == ERROR_BAD_PATHNAME || error == ERROR_DIRECTORY;
}

} // namespace

bool FileLookup::IsFile(const std::wstring& path) {
    const std::wstring key = RegistryNameKey(path);
    auto known = files_.find(key);
    if (known == files_.end()) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        const bool file = attributes == INVALID_FILE_ATTRIBUTES
                              ? !IsSurelyAbsent(GetLastError())
                              : !(attributes & FILE_ATTRIBUTE_DIRECTORY);
        known = files_.emplace(key, file).first;
    }
    return known->second;
}

bool FileLookup::OnSearchPath(const std::wstring& name, const wchar_t* extension) {
    const std::wstring key = RegistryNameKey(name) + L"|" + (extension ? extension : L"");
    auto known = names_.find(key);
    if (known != names_.end())
        return known->second;
    std::wstring found(MAX_PATH, L'\0');
    DWORD length = SearchPathW(nullptr, name.c_str(), extension, static_cast<DWORD>(found.size()),
                               &found[0], nullptr);
    if (length >= found.size()) {
        found.assign(length, L'\0');
        length = SearchPathW(nullptr, name.c_str(), extension, length, &found[0], nullptr);
    }
    const bool there = length > 0 && length < found.size() && IsFile(found.substr(0, length));
    names_.emplace(key, there);
    return there;
}

// The program registered under App Paths by its file name, for the user or
// for the machine.
bool FileLookup::InAppPaths(const std::wstring& name) {
    const std::wstring file = HasExtension(name) ? name : name + kProgramExtension;
    const std::string path = kAppPathsKey + ProgramText(file.c_str(), file.size());
    for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        RegKey key;
        char program[kTextSize];
        if (RegistryOpenKey(hive, path.c_str(), KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS ||
            RegistryReadText(key.get(), nullptr, program, kTextSize) != ERROR_SUCCESS)
            continue;
        std::wstring registered = Trimmed(WideText(program));
        if (!registered.empty() && registered[0] == L'"')
            registered = InsideQuotes(registered);
        registered = Expanded(registered);
        if (!registered.empty() && IsFile(registered))
            return true;
    }
    return false;
}

bool FileLookup::Locate(const std::wstring& name, const wchar_t* extension) {
    if (IsBare(name))
        return OnSearchPath(name, extension);
    return IsFile(name) || (extension && !HasExtension(name) && IsFile(name + extension));
}

FileLookup::Found FileLookup::FindProgram(const std::wstring& text) {
    const std::wstring name = Expanded(text);
    if (name.empty() || HasUndefinedVariable(name))
        return Found::CannotTell;
    const bool there = Locate(name, kProgramExtension) || (IsBare(name) && InAppPaths(name));
    return there ? Found::Yes : Found::No;
}

// The library of rundll32's arguments: in quotes, or up to a comma or blank.
bool FileLookup::LibraryMissing(const std::wstring& arguments) {
    const std::wstring rest = Trimmed(arguments);
    const std::wstring library =
        Trimmed(!rest.empty() && rest[0] == L'"' ? InsideQuotes(rest)
                                                 : rest.substr(0, rest.find_first_of(L", \t")));
    if (library.empty())
        return false;
    const std::wstring name = Expanded(library);
    return !name.empty() && !HasUndefinedVariable(name) && !Locate(name, kLibraryExtension);
}

bool FileLookup::ProgramMissing(const std::string& command) {
    const std::wstring line = Trimmed(WideText(command.c_str()));
    if (line.empty())
        return false;
    std::wstring program;
    size_t end = 0;
    Found found = Found::No;
    if (line[0] == L'"') {
        program = InsideQuotes(line);
        end = std::min(line.size(), program.size() + 2);
        if (IsTheFileItself(program))
            return false;
        found = FindProgram(program);
    } else {
        if (IsTheFileItself(line.substr(0, line.find_first_of(kBlanks))))
            return false;
        for (size_t blank = line.find_first_of(kBlanks);;
             blank = line.find_first_of(kBlanks, blank + 1)) {
            end = blank == std::wstring::npos ? line.size() : blank;
            program = line.substr(0, end);
            found = FindProgram(program);
            if (found != Found::No || blank == std::wstring::npos)
                break;
        }
    }
    if (found == Found::Yes && IsRundll(program))
        return LibraryMissing(line.substr(end));
    return found == Found::No;
}

bool FileLookup::NamedProgramMissing(const std::string& name) {
    const std::wstring text = Trimmed(WideText(name.c_str()));
    return !text.empty() && FindProgram(text) == Found::No;
}

bool FileLookup::IconFileMissing(const std::string& location) {
    const std::wstring text = Trimmed(WideText(location.c_str()));
    if (text.empty() || text[0] == L'@')
        return false;
    std::wstring file = text;
    const size_t comma = text.rfind(L',');
    if (text[0] == L'"')
        file = InsideQuotes(text);
    else if (comma != std::wstring::npos && IsIconIndex(text.substr(comma + 1)))
        file = Trimmed(text.substr(0, comma));
    if (file.empty() || IsTheFileItself(file))
        return false;
    const std::wstring name = Expanded(file);
    return !name.empty() && !HasUndefinedVariable(name) && !Locate(name, nullptr);
}
