#include "harness/registry_fixture.h"

#include <shlwapi.h>

namespace kvt {

namespace {

const char kFileExts[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

bool IsTestName(const std::string& name) {
    const char* text = name.c_str();
    while (*text == '.' || *text == '-')
        ++text;
    return StrCmpNIA(text, "kvt", 3) == 0;
}

void RemoveTestKeysBelow(HKEY hive, const std::string& path) {
    for (const std::string& name : SubKeyNames(hive, path))
        if (IsTestName(name))
            SHDeleteKeyA(hive, (path + "\\" + name).c_str());
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

bool ParseData(const std::string& data, DWORD* type, std::vector<BYTE>* bytes) {
    std::string text;
    size_t end = 0;
    auto textOf = [&](size_t start, DWORD kind) {
        if (!ParseQuoted(data, start, &text, &end) || end != data.size())
            return false;
        *type = kind;
        bytes->assign(text.begin(), text.end());
        bytes->push_back(0);
        return true;
    };
    if (data.compare(0, 1, "\"") == 0)
        return textOf(0, REG_SZ);
    if (data.compare(0, 7, "expand:") == 0)
        return textOf(7, REG_EXPAND_SZ);
    if (data.compare(0, 6, "dword:") == 0) {
        const DWORD value = strtoul(data.c_str() + 6, nullptr, 16);
        *type = REG_DWORD;
        bytes->assign(reinterpret_cast<const BYTE*>(&value),
                      reinterpret_cast<const BYTE*>(&value) + sizeof value);
        return true;
    }
    if (data.compare(0, 4, "hex:") == 0) {
        *type = REG_BINARY;
        bytes->clear();
        for (size_t at = 4; at < data.size(); at += 3)
            bytes->push_back(static_cast<BYTE>(strtoul(data.substr(at, 2).c_str(), nullptr, 16)));
        return true;
    }
    return false;
}

HKEY HiveOf(const std::string& path, std::string* rest) {
    const size_t slash = path.find('\\');
    const std::string hive = path.substr(0, slash);
    *rest = slash == std::string::npos ? "" : path.substr(slash + 1);
    if (hive == "HKLM" || hive == "HKEY_LOCAL_MACHINE")
        return HKEY_LOCAL_MACHINE;
    if (hive == "HKCU" || hive == "HKEY_CURRENT_USER")
        return HKEY_CURRENT_USER;
    return nullptr;
}

} // namespace

void Seed(const std::string& text) {
    HKEY hive = nullptr;
    std::string path;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        line.erase(0, line.find_first_not_of(" \t"));
        line.erase(line.find_last_not_of(" \t\r") + 1);
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            const bool remove = line.compare(0, 2, "[-") == 0;
            hive = HiveOf(line.substr(remove ? 2 : 1, line.size() - (remove ? 3 : 2)), &path);
            ASSERT_TRUE(hive && line.back() == ']') << "not a key: " << line;
            if (remove) {
                DeleteKey(hive, path);
                hive = nullptr;
            } else {
                CreateKey(hive, path);
            }
            continue;
        }
        ASSERT_TRUE(hive) << "a value outside a key: " << line;
        std::string name;
        size_t equals = 1;
        const bool isDefault = line[0] == '@';
        ASSERT_TRUE(isDefault || ParseQuoted(line, 0, &name, &equals)) << line;
        ASSERT_TRUE(equals < line.size() && line[equals] == '=') << line;
        DWORD type = REG_NONE;
        std::vector<BYTE> bytes;
        ASSERT_TRUE(ParseData(line.substr(equals + 1), &type, &bytes)) << line;
        SetBytes(hive, path, isDefault ? nullptr : name.c_str(), type, bytes);
    }
}

std::string Classes(const std::string& name) {
    return "Software\\Classes\\" + name;
}

std::string OpenWithListPath(const std::string& extension) {
    return std::string(kFileExts) + "\\" + extension + "\\OpenWithList";
}

std::string Value::Text() const {
    std::string text(data.begin(), data.end());
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

DWORD Value::Dword() const {
    DWORD value = 0;
    if (data.size() == sizeof value)
        memcpy(&value, data.data(), sizeof value);
    return value;
}

void CreateKey(HKEY hive, const std::string& path) {
    HKEY key = nullptr;
    LONG status =
        RegCreateKeyExA(hive, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    ASSERT_EQ(ERROR_SUCCESS, status) << "creating " << path;
    RegCloseKey(key);
}

void SetBytes(HKEY hive, const std::string& path, const char* name, DWORD type,
              const std::vector<BYTE>& data) {
    HKEY key = nullptr;
    LONG status =
        RegCreateKeyExA(hive, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    ASSERT_EQ(ERROR_SUCCESS, status) << "creating " << path;
    status = RegSetValueExA(key, name, 0, type, data.data(), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
    ASSERT_EQ(ERROR_SUCCESS, status) << "writing " << path << " " << (name ? name : "(default)");
}

void SetText(HKEY hive, const std::string& path, const char* name, const std::string& text,
             DWORD type) {
    std::vector<BYTE> data(text.begin(), text.end());
    data.push_back(0);
    SetBytes(hive, path, name, type, data);
}

void SetDword(HKEY hive, const std::string& path, const char* name, DWORD value) {
    std::vector<BYTE> data(sizeof value);
    memcpy(data.data(), &value, sizeof value);
    SetBytes(hive, path, name, REG_DWORD, data);
}

void DeleteKey(HKEY hive, const std::string& path) {
    SHDeleteKeyA(hive, path.c_str());
}

Value ReadValue(HKEY hive, const std::string& path, const char* name) {
    Value value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.data.resize(size);
        value.exists = RegQueryValueExA(key, name, nullptr, &value.type, value.data.data(),
                                        &size) == ERROR_SUCCESS;
        value.data.resize(size);
    }
    RegCloseKey(key);
    return value;
}

bool KeyExists(HKEY hive, const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::vector<std::string> SubKeyNames(HKEY hive, const std::string& path) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_ENUMERATE_SUB_KEYS, &key) != ERROR_SUCCESS)
        return names;
    char name[1024];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        LONG status = RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_SUCCESS)
            names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return names;
}

std::vector<std::string> ValueNames(HKEY hive, const std::string& path) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(hive, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return names;
    char name[16384];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        LONG status = RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_SUCCESS)
            names.emplace_back(name, length);
    }
    RegCloseKey(key);
    return names;
}

int CountExtensionKeys(HKEY hive, size_t maxLength) {
    int count = 0;
    for (const std::string& name : SubKeyNames(hive, "Software\\Classes"))
        if (!name.empty() && name[0] == '.' && name.size() <= maxLength)
            ++count;
    return count;
}

void SeedExtension(HKEY hive, const std::string& extension, const std::string& fileClass,
                   const std::string& description, const std::string& command) {
    SetText(hive, Classes(extension), nullptr, fileClass);
    SetText(hive, Classes(fileClass), nullptr, description);
    if (!command.empty())
        SetText(hive, Classes(fileClass + "\\shell\\open\\command"), nullptr, command);
}

void RemoveTestKeys() {
    for (HKEY hive : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        RemoveTestKeysBelow(hive, "Software\\Classes");
        RemoveTestKeysBelow(hive, "Software\\Classes\\Applications");
        RemoveTestKeysBelow(hive, "Software\\Classes\\MIME\\Database\\Content Type");
    }
    RemoveTestKeysBelow(HKEY_CURRENT_USER, kFileExts);
}

void ExpectText(HKEY hive, const std::string& path, const char* name, const std::string& expected,
                DWORD type) {
    Value value = ReadValue(hive, path, name);
    const char* hiveName = hive == HKEY_CURRENT_USER ? "HKCU" : "HKLM";
    ASSERT_TRUE(value.exists) << hiveName << "\\" << path << " value "
                              << (name ? name : "(default)") << " is missing";
    EXPECT_EQ(expected, value.Text()) << hiveName << "\\" << path << " " << (name ? name : "");
    EXPECT_EQ(type, value.type) << hiveName << "\\" << path << " " << (name ? name : "");
    EXPECT_EQ(expected.size() + 1, value.data.size()) << "written with its terminating zero";
}

void ExpectAbsentValue(HKEY hive, const std::string& path, const char* name) {
    Value value = ReadValue(hive, path, name);
    EXPECT_FALSE(value.exists) << path << " " << (name ? name : "(default)") << " holds \""
                               << value.Text() << "\"";
}

} // namespace kvt
