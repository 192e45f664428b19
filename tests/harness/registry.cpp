// Registry fixtures as .reg text, checked with the raw Win32 calls (never
// through the program's own registry layer).
#include "harness/kvt.h"

#include <shlwapi.h>

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
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        value.exists = RegQueryValueExA(key, name, nullptr, &value.type, value.data.data(),
                                        &size) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return value;
}

// A quoted .reg text from its opening quote; end gets the position after it.
bool ParseQuoted(const std::string& line, size_t start, std::string* text, size_t* end) {
    if (start >= line.size() || line[start] != '"')
        return false;
    text->clear();
    for (size_t at = start + 1; at < line.size(); ++at) {
        if (line[at] == '"') {
            *end = at + 1;
            return true;
        }
        if (line[at] == '\\' && at + 1 < line.size())
            ++at;
        *text += line[at];
    }
    return false;
}

bool ParseData(const std::string& data, Value* value) {
    std::string text;
    size_t end = 0;
    value->exists = data != "-";
    const size_t colon = data.find(':');
    const std::string kind = colon == std::string::npos ? "" : data.substr(0, colon);
    if (!value->exists)
        return true;
    if (kind == "dword" || kind == "hex") {
        value->type = kind == "dword" ? REG_DWORD : REG_BINARY;
        const DWORD number = strtoul(data.c_str() + colon + 1, nullptr, 16);
        if (kind == "dword")
            value->data.assign(reinterpret_cast<const BYTE*>(&number),
                               reinterpret_cast<const BYTE*>(&number) + sizeof number);
        for (size_t at = colon + 1; kind == "hex" && at < data.size(); at += 3)
            value->data.push_back(static_cast<BYTE>(strtoul(data.substr(at, 2).c_str(), 0, 16)));
        return true;
    }
    const size_t start = kind == "expand" ? colon + 1 : 0;
    value->type = kind == "expand" ? REG_EXPAND_SZ : REG_SZ;
    if (!ParseQuoted(data, start, &text, &end) || end != data.size())
        return false;
    value->data.assign(text.begin(), text.end());
    value->data.push_back(0);
    return true;
}

HKEY HiveOf(const std::string& path, std::string* rest) {
    const size_t slash = path.find('\\');
    const std::string hive = path.substr(0, slash);
    *rest = slash == std::string::npos ? "" : path.substr(slash + 1);
    return hive == "HKLM" ? HKEY_LOCAL_MACHINE : hive == "HKCU" ? HKEY_CURRENT_USER : nullptr;
}

// Calls key(hive, path, removed) for each key line and value(hive, path,
// name, value) for each value line of the text.
void Walk(const std::string& text, const std::function<void(HKEY, const std::string&, bool)>& key,
          const std::function<void(HKEY, const std::string&, const char*, const Value&)>& value) {
    HKEY hive = nullptr;
    std::string path;
    for (size_t start = 0, end = 0; start < text.size(); start = end + 1) {
        end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        line.erase(0, line.find_first_not_of(" \t"));
        line.erase(line.find_last_not_of(" \t\r") + 1);
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            const bool removed = line.compare(0, 2, "[-") == 0;
            hive = HiveOf(line.substr(removed ? 2 : 1, line.size() - (removed ? 3 : 2)), &path);
            ASSERT_TRUE(hive && line.back() == ']') << "not a key: " << line;
            key(hive, path, removed);
            continue;
        }
        std::string name;
        size_t equals = 1;
        Value data;
        ASSERT_TRUE(hive && (line[0] == '@' || ParseQuoted(line, 0, &name, &equals)) &&
                    equals < line.size() && line[equals] == '=' &&
                    ParseData(line.substr(equals + 1), &data))
            << "not a value: " << line;
        value(hive, path, line[0] == '@' ? nullptr : name.c_str(), data);
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
            HKEY key = nullptr;
            RegOpenKeyExA(hive, path.c_str(), 0, KEY_WRITE, &key);
            ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, value.type, value.data.data(),
                                                    static_cast<DWORD>(value.data.size())))
                << path << " " << (name ? name : "@");
            RegCloseKey(key);
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
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
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
