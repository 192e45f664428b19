// Registry fixtures as .reg text, checked with the raw Win32 calls (never
// through the program's own registry layer).
#include "harness/kvt.h"

#include <shlwapi.h>

#include <regex>
#include <sstream>

namespace kvt {

namespace {

const char kFileExts[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

struct Value {
    bool exists = false;
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
};

Value Read(HKEY hive, const std::string& path, const char* name) {
    Value value;
    DWORD size = 0;
    if (RegGetValueA(hive, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &value.type, nullptr,
                     &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        value.exists = RegGetValueA(hive, path.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, nullptr,
                                    value.data.data(), &size) == ERROR_SUCCESS;
    }
    return value;
}

// Calls key(hive, path, removed) for each key line and value(hive, path,
// name, value) for each value line of the text.
void Walk(const std::string& text, const std::function<void(HKEY, const std::string&, bool)>& key,
          const std::function<void(HKEY, const std::string&, const char*, const Value&)>& value) {
    static const std::regex keyLine(R"(\[(-?)(HKLM|HKCU)\\(.*)\])");
    static const std::regex valueLine(
        R"re((@|"((?:[^"\\]|\\.)*)")=(-|dword:|hex:|expand:)?(.*))re");
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
            key(hive, path, part[1] == "-");
            continue;
        }
        ASSERT_TRUE(hive && std::regex_match(line, part, valueLine)) << "not a line: " << line;
        const std::string name = std::regex_replace(part[2].str(), escape, "$1");
        const std::string kind = part[3], data = part[4];
        Value parsed;
        parsed.exists = kind != "-";
        parsed.type = kind == "dword:"    ? REG_DWORD
                      : kind == "hex:"    ? REG_BINARY
                      : kind == "expand:" ? REG_EXPAND_SZ
                                          : REG_SZ;
        if (kind == "dword:") {
            const DWORD number = strtoul(data.c_str(), nullptr, 16);
            parsed.data.assign((const BYTE*)&number, (const BYTE*)&number + sizeof number);
        }
        for (size_t at = 0; kind == "hex:" && at < data.size(); at += 3)
            parsed.data.push_back(static_cast<BYTE>(strtoul(data.substr(at, 2).c_str(), 0, 16)));
        std::smatch string;
        if (parsed.exists && (kind.empty() || kind == "expand:")) {
            ASSERT_TRUE(std::regex_match(data, string, quoted)) << "not a text: " << line;
            const std::string unescaped = std::regex_replace(string[1].str(), escape, "$1");
            parsed.data.assign(unescaped.c_str(), unescaped.c_str() + unescaped.size() + 1);
        }
        value(hive, path, part[1] == "@" ? nullptr : name.c_str(), parsed);
    }
}

bool IsTestName(const std::string& name) {
    return StrCmpNIA(name.c_str() + name.find_first_not_of(".-!"), "kvt", 3) == 0;
}

void RemoveTestKeysBelow(HKEY hive, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return;
    std::vector<std::string> names;
    char name[1024];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != 0)
            break;
        if (IsTestName(name))
            names.push_back(name);
    }
    RegCloseKey(key);
    for (const std::string& test : names)
        SHDeleteKeyA(hive, (path + "\\" + test).c_str());
}

} // namespace

std::string RegText(const std::string& text) {
    std::string escaped;
    for (char c : text)
        escaped += c == '\\' || c == '"' ? std::string("\\") + c : std::string(1, c);
    return escaped;
}

void Seed(const std::string& text) {
    Walk(
        text,
        [](HKEY hive, const std::string& path, bool removed) {
            HKEY key = nullptr;
            if (removed)
                SHDeleteKeyA(hive, path.c_str());
            else
                ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(hive, path.c_str(), 0, nullptr, 0,
                                                         KEY_WRITE, nullptr, &key, nullptr))
                    << path;
            RegCloseKey(key);
        },
        [](HKEY hive, const std::string& path, const char* name, const Value& value) {
            ASSERT_EQ(ERROR_SUCCESS,
                      RegSetKeyValueA(hive, path.c_str(), name, value.type, value.data.data(),
                                      static_cast<DWORD>(value.data.size())))
                << path << " " << (name ? name : "@");
        });
}

void ExpectRegistry(const std::string& text) {
    Walk(
        text,
        [](HKEY hive, const std::string& path, bool removed) {
            EXPECT_EQ(!removed, KeyExists(hive, path)) << path;
        },
        [](HKEY hive, const std::string& path, const char* name, const Value& expected) {
            const Value found = Read(hive, path, name);
            const std::string where = path + " " + (name ? name : "@");
            EXPECT_EQ(expected.exists, found.exists)
                << where << ": " << ValueText(hive, path, name);
            if (expected.exists && found.exists) {
                EXPECT_EQ(expected.type, found.type) << where;
                EXPECT_EQ(std::string(expected.data.begin(), expected.data.end()),
                          std::string(found.data.begin(), found.data.end()))
                    << where;
            }
        });
}

std::string ValueText(HKEY hive, const std::string& path, const char* name) {
    const Value value = Read(hive, path, name);
    if (!value.exists)
        return "<absent>";
    std::string text(value.data.begin(), value.data.end());
    return text.substr(0, text.find('\0'));
}

bool KeyExists(HKEY hive, const std::string& path) {
    HKEY key = nullptr;
    const bool exists = RegOpenKeyExA(hive, path.c_str(), 0, KEY_QUERY_VALUE, &key) == 0;
    return RegCloseKey(key), exists;
}

void RemoveTestKeys() {
    for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        RemoveTestKeysBelow(hive, "Software\\Classes");
        RemoveTestKeysBelow(hive, "Software\\Classes\\Applications");
        RemoveTestKeysBelow(hive, "Software\\Classes\\MIME\\Database\\Content Type");
    }
    RemoveTestKeysBelow(HKEY_CURRENT_USER, kFileExts);
}

} // namespace kvt
