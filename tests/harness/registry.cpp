// Registry fixtures as .reg text, checked with the raw Win32 calls (never
// through the program's own registry layer).
#include "harness/kvt.h"

#include <sddl.h>
#include <shlwapi.h>

#include <regex>
#include <sstream>

namespace kvt {

namespace {

const char kFileExts[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";
const char kUrlAssociations[] =
    "Software\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations";

struct Value {
    bool exists = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

// A value as stored: texts as the registry keeps them, in UTF-16.
Value Read(HKEY hive, const std::string& path, const char* name) {
    Value value;
    HKEY key = nullptr;
    if (RegOpenKeyExW(hive, Wide(path).c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return value;
    const std::wstring valueName = name ? Wide(name) : L"";
    DWORD size = 0;
    if (RegQueryValueExW(key, valueName.c_str(), nullptr, &value.type, nullptr, &size) == 0) {
        value.data.resize(size);
        value.exists = RegQueryValueExW(key, valueName.c_str(), nullptr, nullptr, value.data.data(),
                                        &size) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return value;
}

// A value's data as a test shows it: a text to its terminator, other data raw.
std::string Narrow(const wchar_t* text, size_t units);

std::string Shown(const Value& value) {
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ)
        return std::string(value.data.begin(), value.data.end());
    return Narrow(reinterpret_cast<const wchar_t*>(value.data.data()), value.data.size() / 2);
}

// A text of the fixtures as the registry stores it: UTF-16 and its terminator.
std::vector<BYTE> StoredText(const std::string& text) {
    const std::wstring wide = Wide(text);
    const BYTE* bytes = reinterpret_cast<const BYTE*>(wide.c_str());
    return std::vector<BYTE>(bytes, bytes + (wide.size() + 1) * sizeof(wchar_t));
}

// A key line's kind: made, removed, or made to refuse what a test needs
// refused.
enum class KeyKind { Made, Removed, Volatile, Locked };

// Calls key(hive, path, kind) for each key line and value(hive, path, name,
// value) for each value line of the text.
void Walk(const std::string& text,
          const std::function<void(HKEY, const std::string&, KeyKind)>& key,
          const std::function<void(HKEY, const std::string&, const char*, const Value&)>& value) {
    static const std::regex keyLine(R"(\[(-?)(HKLM|HKCU)\\(.*)\]( volatile| locked)?)");
    static const std::regex valueLine(
        R"re((@|"((?:[^"\\]|\\.)*)")=(-|dword:|hex:|hex\(([0-9a-f]+)\):|expand:)?(.*))re");
    static const std::regex quoted(R"re("((?:[^"\\]|\\.)*)")re"), escape(R"(\\(.))");
    HKEY hive = nullptr;
    std::string path;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        line.erase(0, line.find_first_not_of(" \t"));
        line.erase(line.find_last_not_of(" \t\r") + 1);
        std::smatch part;
        if (line.empty() || line[0] == ';')
            continue;
        if (std::regex_match(line, part, keyLine)) {
            hive = part[2] == "HKLM" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
            path = part[3];
            key(hive, path,
                part[1] == "-"           ? KeyKind::Removed
                : part[4] == " volatile" ? KeyKind::Volatile
                : part[4] == " locked"   ? KeyKind::Locked
                                         : KeyKind::Made);
            continue;
        }
        ASSERT_TRUE(hive && std::regex_match(line, part, valueLine)) << "not a line: " << line;
        const std::string name = std::regex_replace(part[2].str(), escape, "$1");
        const std::string kind = part[3], data = part[5];
        const bool hex = kind.compare(0, 3, "hex") == 0;
        Value parsed;
        parsed.exists = kind != "-";
        parsed.type = kind == "dword:"    ? REG_DWORD
                      : kind == "hex:"    ? REG_BINARY
                      : hex               ? std::stoul(part[4].str(), nullptr, 16)
                      : kind == "expand:" ? REG_EXPAND_SZ
                                          : REG_SZ;
        if (kind == "dword:") {
            const DWORD number = strtoul(data.c_str(), nullptr, 16);
            parsed.data.assign((const BYTE*)&number, (const BYTE*)&number + sizeof number);
        }
        for (size_t at = 0; hex && at < data.size(); at += 3)
            parsed.data.push_back(static_cast<BYTE>(strtoul(data.substr(at, 2).c_str(), 0, 16)));
        std::smatch string;
        if (parsed.exists && (kind.empty() || kind == "expand:")) {
            ASSERT_TRUE(std::regex_match(data, string, quoted)) << "not a text: " << line;
            parsed.data = StoredText(std::regex_replace(string[1].str(), escape, "$1"));
        }
        value(hive, path, part[1] == "@" ? nullptr : name.c_str(), parsed);
    }
}

bool IsTestName(const std::string& name) {
    return StrCmpNIA(name.c_str() + name.find_first_not_of(".-!"), "kvt", 3) == 0;
}

// The UTF-8 form of units UTF-16 code units.
std::string Narrow(const wchar_t* text, size_t units) {
    std::string narrow(units * 3 + 1, '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, int(units), &narrow[0], int(narrow.size()), 0, 0);
    return narrow.c_str();
}

// Everything below key as stored; at the top, only the test's own keys.
void DumpKey(HKEY key, const std::string& indent, std::string* out, bool top = false) {
    std::vector<wchar_t> name(16384);
    std::vector<BYTE> data(1 << 16);
    for (DWORD index = 0, length, size, type; !top; ++index) {
        length = 16384, size = DWORD(data.size());
        if (RegEnumValueW(key, index, name.data(), &length, nullptr, &type, data.data(), &size))
            break;
        *out += indent + "\"" + Narrow(name.data(), length) + "\"=" + std::to_string(type) + ":" +
                std::string(data.begin(), data.begin() + size) + "\n";
    }
    for (DWORD index = 0, length = 256;
         !RegEnumKeyExW(key, index, name.data(), &length, 0, 0, 0, 0); ++index, length = 256) {
        HKEY child = nullptr;
        if (top && !IsTestName(Narrow(name.data(), length)))
            continue;
        *out += indent + "[" + Narrow(name.data(), length) + "]\n";
        if (!RegOpenKeyExW(key, name.data(), 0, KEY_READ, &child))
            DumpKey(child, indent + " ", out);
        RegCloseKey(child);
    }
}

// The names of the "kvt..." keys below an open key.
std::vector<std::string> TestNamesBelow(HKEY key) {
    std::vector<std::string> names;
    char name[1024];
    for (DWORD index = 0, length = sizeof name;
         key && !RegEnumKeyExA(key, index, name, &length, 0, 0, 0, 0);
         ++index, length = sizeof name)
        if (IsTestName(name))
            names.push_back(name);
    return names;
}

// Gives a key and everything below it to everyone again, as a locked key of
// a fixture was not.
void Unlock(HKEY hive, const std::wstring& path) {
    PSECURITY_DESCRIPTOR open = nullptr;
    HKEY key = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;GA;;;WD)", SDDL_REVISION_1,
                                                              &open, nullptr))
        return;
    if (!RegOpenKeyExW(hive, path.c_str(), 0, WRITE_DAC, &key)) {
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, open);
        RegCloseKey(key);
    }
    if (!RegOpenKeyExW(hive, path.c_str(), 0, KEY_READ, &key)) {
        wchar_t name[256];
        for (DWORD index = 0, length = 256; !RegEnumKeyExW(key, index, name, &length, 0, 0, 0, 0);
             ++index, length = 256)
            Unlock(hive, path + L"\\" + name);
        RegCloseKey(key);
    }
    LocalFree(open);
}

void RemoveTestKeysBelow(HKEY hive, const std::string& path) {
    HKEY key = nullptr;
    RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key);
    const std::vector<std::string> names = TestNamesBelow(key);
    RegCloseKey(key);
    for (const std::string& test : names) {
        const std::wstring below = Wide(path + "\\" + test);
        if (RegDeleteTreeW(hive, below.c_str()) != ERROR_SUCCESS) {
            Unlock(hive, below);
            RegDeleteTreeW(hive, below.c_str());
        }
    }
}

} // namespace

std::wstring Wide(const std::string& text) {
    std::wstring wide(MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    return wide.c_str();
}

std::string Repeat(const std::string& piece, int times) {
    std::string repeated;
    while (times-- > 0)
        repeated += piece;
    return repeated;
}

std::string RegText(const std::string& text) {
    std::string escaped;
    for (char c : text)
        escaped += c == '\\' || c == '"' ? std::string("\\") + c : std::string(1, c);
    return escaped;
}

void Seed(const std::string& text) {
    // Locks come last, once every key and value below them is in place.
    std::vector<std::pair<HKEY, std::string>> locks;
    Walk(
        text,
        [&](HKEY hive, const std::string& path, KeyKind kind) {
            HKEY key = nullptr;
            if (kind == KeyKind::Removed) {
                RegDeleteTreeW(hive, Wide(path).c_str());
                return;
            }
            // A volatile key's missing parents would be made volatile too.
            if (kind == KeyKind::Volatile)
                RegCloseKey((RegCreateKeyExW(hive, Wide(path.substr(0, path.rfind('\\'))).c_str(),
                                             0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
                             key));
            ASSERT_EQ(ERROR_SUCCESS,
                      RegCreateKeyExW(hive, Wide(path).c_str(), 0, nullptr,
                                      kind == KeyKind::Volatile ? REG_OPTION_VOLATILE : 0,
                                      KEY_WRITE, nullptr, &key, nullptr))
                << path;
            RegCloseKey(key);
            if (kind == KeyKind::Locked)
                locks.emplace_back(hive, path);
        },
        [](HKEY hive, const std::string& path, const char* name, const Value& value) {
            ASSERT_EQ(ERROR_SUCCESS,
                      RegSetKeyValueW(hive, Wide(path).c_str(), name ? Wide(name).c_str() : nullptr,
                                      value.type, value.data.data(),
                                      static_cast<DWORD>(value.data.size())))
                << path << " " << (name ? name : "@");
        });
    // A locked key refuses to be read, changed or removed, as a key of an
    // access rule does.
    PSECURITY_DESCRIPTOR locked = nullptr;
    if (locks.empty() || !ConvertStringSecurityDescriptorToSecurityDescriptorW(
                             L"D:(D;;SDGW;;;WD)(A;;GA;;;WD)", SDDL_REVISION_1, &locked, nullptr))
        return;
    for (const auto& [hive, path] : locks) {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(hive, Wide(path).c_str(), 0, WRITE_DAC, &key));
        EXPECT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, locked));
        RegCloseKey(key);
    }
    LocalFree(locked);
}

void ExpectRegistry(const std::string& text) {
    Walk(
        text,
        [](HKEY hive, const std::string& path, KeyKind kind) {
            EXPECT_EQ(kind != KeyKind::Removed, KeyExists(hive, path)) << path;
        },
        [](HKEY hive, const std::string& path, const char* name, const Value& expected) {
            const Value found = Read(hive, path, name);
            const std::string where = path + " " + (name ? name : "@");
            EXPECT_EQ(expected.exists, found.exists)
                << where << ": " << ValueText(hive, path, name);
            if (expected.exists && found.exists) {
                EXPECT_EQ(expected.type, found.type) << where;
                EXPECT_TRUE(expected.data == found.data)
                    << where << ": " << Shown(expected) << " expected, found " << Shown(found)
                    << " (" << found.data.size() << " bytes)";
            }
        });
}

std::string ValueText(HKEY hive, const std::string& path, const char* name) {
    const Value value = Read(hive, path, name);
    return value.exists ? Shown(value) : "<absent>";
}

bool KeyExists(HKEY hive, const std::string& path) {
    HKEY key = nullptr;
    const bool exists = RegOpenKeyExW(hive, Wide(path).c_str(), 0, KEY_QUERY_VALUE, &key) == 0;
    return RegCloseKey(key), exists;
}

std::string TestKeysBytes() {
    std::string bytes;
    for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        for (const char* path : {"Software\\Classes", "Software\\Classes\\Applications", kFileExts,
                                 kUrlAssociations}) {
            HKEY key = nullptr;
            if (!RegOpenKeyExW(hive, Wide(path).c_str(), 0, KEY_READ, &key))
                DumpKey(key, (hive == HKEY_CURRENT_USER ? "HKCU " : "HKLM ") + std::string(path),
                        &bytes, true);
            RegCloseKey(key);
        }
    return bytes;
}

void RemoveTestKeys() {
    for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        RemoveTestKeysBelow(hive, "Software\\Classes");
        RemoveTestKeysBelow(hive, "Software\\Classes\\Applications");
        RemoveTestKeysBelow(hive, "Software\\Classes\\MIME\\Database\\Content Type");
    }
    RemoveTestKeysBelow(HKEY_CURRENT_USER, kFileExts);
    RemoveTestKeysBelow(HKEY_CURRENT_USER, kUrlAssociations);
}

} // namespace kvt
