// The merged classes view of platform/registry.h and its checked text reads,
// seeded and read back with the raw Win32 calls; the keys an export gathers.
#include "export/export_keys.h"
#include "platform/registry.h"
#include "platform/registry_write.h"
#include "text/system_text.h"
#include "text/text.h"

#include "harness/kvt.h"

#include <string>
#include <vector>

namespace {

using MergedView = kvt::RegistryTest;

std::string Read(HKEY key, const char* name) {
    char buffer[kTextSize];
    memset(buffer, 'x', sizeof buffer);
    if (RegistryReadText(key, name, buffer, sizeof buffer) == ERROR_SUCCESS)
        return buffer;
    EXPECT_EQ('\0', buffer[0]) << "a failed read leaves the buffer empty";
    return "<absent>";
}

std::vector<std::string> SubKeys(HKEY key, DWORD size = MAX_PATH) {
    std::vector<std::string> names;
    std::vector<char> name(size);
    for (DWORD index = 0;; ++index) {
        DWORD length = size;
        const LONG status = RegistryEnumKey(key, index, name.data(), &length);
        if (status == ERROR_NO_MORE_ITEMS)
            return names;
        names.push_back(status == ERROR_SUCCESS ? name.data() : "<too long>");
    }
}

TEST_F(MergedView, AnswersAsOneHiveWithTheUsersValuesFirst) {
    kvt::Seed(R"(
[HKLM\Software\Classes\kvtboth]
@="machine"
"Machine"="m"
[HKLM\Software\Classes\kvtboth\Beta]
[HKLM\Software\Classes\kvtboth\delta]
[HKCU\Software\Classes\kvtboth]
@="user"
"Long"=")" + std::string(300, 'u') +
              R"("
[HKCU\Software\Classes\kvtboth\alpha]
[HKCU\Software\Classes\kvtboth\BETA]
[HKCU\Software\Classes\kvtboth\)" +
              std::string(60, 'n') + R"(]
)");
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegistryOpenKey(HKEY_CLASSES_ROOT, "kvtboth", KEY_READ, key.put()));
    EXPECT_EQ("user", Read(key.get(), nullptr));
    EXPECT_EQ("m", Read(key.get(), "Machine"));
    EXPECT_EQ("<absent>", Read(key.get(), "Long")) << "the user's too long value is not replaced";
    EXPECT_EQ((std::vector<std::string>{"alpha", "BETA", "delta", std::string(60, 'n')}),
              SubKeys(key.get()));
    EXPECT_EQ((std::vector<std::string>{"alpha", "BETA", "delta", "<too long>"}),
              SubKeys(key.get(), 50))
        << "a name too long for the buffer is reported, never cut";
    DWORD subKeys = 0, values = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegistryQueryInfo(key.get(), &subKeys, &values));
    EXPECT_EQ(4u, subKeys);
    EXPECT_EQ(3u, values) << "the default, Machine and Long, each once";
    EXPECT_EQ(1, RegistryKeyExists(HKEY_CLASSES_ROOT, "KVTBOTH\\delta"));
}

TEST_F(MergedView, ChecksEveryTextItReads) {
    const struct {
        DWORD type;
        std::string data; // as stored, terminator and all
        std::string read;
    } rows[] = {
        {REG_SZ, std::string("text/plain\0", 11), "text/plain"},
        {REG_EXPAND_SZ, std::string("%TEMP%\0", 7), "%TEMP%"},
        {REG_SZ, "abc", "abc"},
        {REG_SZ, std::string(260, 'a') + '\0', std::string(260, 'a')},
        {REG_SZ, std::string(261, 'b'), "<absent>"},
        {REG_SZ, kvt::Repeat("Ж", 258) + "📄" + '\0', kvt::Repeat("Ж", 258) + "📄"},
        {REG_SZ, kvt::Repeat("Ж", 259) + "📄" + '\0', "<absent>"},
        {REG_SZ, std::string(4000, 'c'), "<absent>"},
        {REG_BINARY, std::string("abc\0", 4), "<absent>"},
        {REG_MULTI_SZ, std::string("a\0b\0\0", 5), "<absent>"},
    };
    for (const auto& row : rows) {
        HKEY raw = nullptr;
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\kvttext", 0, nullptr, 0, KEY_WRITE,
                        nullptr, &raw, nullptr);
        const std::string stored = row.data + 'x'; // no zero after the data's end
        RegSetValueExA(raw, "Value", 0, row.type, reinterpret_cast<const BYTE*>(stored.data()),
                       static_cast<DWORD>(row.data.size()));
        RegCloseKey(raw);
        RegKey key;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegistryOpenKey(HKEY_CLASSES_ROOT, "kvttext", KEY_QUERY_VALUE, key.put()));
        EXPECT_EQ(row.read, Read(key.get(), "Value")) << row.data.substr(0, 20);
    }
}

// Names come in the registry's own order (that of one key holding them all),
// each once, in any script; "-" and "ß" are characters, not ignored or "ss".
TEST_F(MergedView, NamesComeInTheRegistrysOrderEachOnce) {
    const std::vector<std::string> machine = {".kvta",  "-.kvtdash", ".kvtß", ".kvtД", ".kvtΩ",
                                              ".kvt文", ".kvt📄",     ".kvtÉ", ".kvtǅ"};
    const std::vector<std::string> user = {".KVTA", ".kvtss", "kvt'q",  "kvtq", ".kvtд",
                                           ".kvtя", ".kvt_x", ".kvtＡ", ".kvté"};
    // One key holds every name, in the user's spelling, as the merged view has it.
    std::string seed;
    for (const auto* names : {&user, &machine})
        for (const std::string& name : *names)
            seed += (names == &user ? "[HKCU" : "[HKLM") + std::string("\\Software\\Classes\\") +
                    name + "]\n[HKLM\\Software\\kvtorder\\" + name + "]\n";
    kvt::Seed(seed);
    RegKey root;
    ASSERT_EQ(ERROR_SUCCESS,
              RegistryOpenKey(HKEY_CLASSES_ROOT, nullptr, KEY_ENUMERATE_SUB_KEYS, root.put()));
    std::vector<std::string> ours;
    for (const std::string& name : SubKeys(root.get(), kKeyNameSize))
        if (RegistryNameKey(name.c_str()).find(RegistryNameKey("kvt")) != std::wstring::npos)
            ours.push_back(name);
    RegKey order;
    RegistryOpenKey(HKEY_LOCAL_MACHINE, "Software\\kvtorder", KEY_READ, order.put());
    EXPECT_EQ(SubKeys(order.get(), kKeyNameSize), ours) << "the registry's own order";
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, "Software\\kvtorder");
}

// A walk over sub-keys ends where the visitor says so; trees of any depth
// are copied whole, types and bytes intact, and deleted whole.
TEST_F(MergedView, WalksCopiesAndDeletesWholeTrees) {
    // 200 levels: a path longer than the system's single calls take.
    HKEY level = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes\\kvtdeep", 0, nullptr, 0, KEY_ALL_ACCESS,
                    nullptr, &level, nullptr);
    std::string deep = "kvtdeep";
    for (int depth = 0; depth < 200; ++depth) {
        HKEY next = nullptr;
        RegCreateKeyExA(level, "level", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &next, nullptr);
        RegCloseKey(level);
        level = next;
        deep += "\\level";
    }
    RegCloseKey(level);
    // At the bottom, and beside the first level: names in other scripts, and
    // texts no code page keeps (a lone surrogate, an odd number of bytes).
    const std::string odd = R"(]
"Flags"=hex:03,00,10,00
"Значение"=hex(1):61,00,00,d8,62,00,00,00
@=hex(2):78,00,79
)";
    const std::string machine = "\\Software\\Classes\\" + deep,
                      copied = "\\Software\\Classes\\kvtcopy";
    kvt::Seed("[HKLM" + machine + odd + "[HKLM\\Software\\Classes\\kvtdeep\\📄 Печать" + odd +
              "[HKCU\\Software\\Classes\\kvtdeep\\b]\n[HKCU\\Software\\Classes\\kvtdeep\\a]\n");
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegistryOpenKey(HKEY_CLASSES_ROOT, "kvtdeep", KEY_READ, key.put()));
    std::vector<std::string> names;
    RegistryForEachSubKey(key.get(), [&](const char* name) {
        names.push_back(name);
        return false;
    });
    EXPECT_EQ(std::vector<std::string>{"a"}, names);
    RegistryWrites writes({KeyOf(HKEY_CURRENT_USER, "Software\\Classes\\kvtcopy")});
    ASSERT_TRUE(writes.CopyTree(HKEY_CLASSES_ROOT, "kvtdeep", HKEY_CURRENT_USER,
                                "Software\\Classes\\kvtcopy"));
    EXPECT_REGISTRY("[HKCU" + copied + deep.substr(7) + odd + "[HKCU" + copied + "\\📄 Печать" +
                    odd + "[HKCU" + copied + "\\a]");
    EXPECT_EQ(ERROR_SUCCESS,
              RegistryDeleteTree(HKEY_LOCAL_MACHINE, ("Software\\Classes\\" + deep).c_str()));
    EXPECT_EQ(ERROR_SUCCESS, RegistryDeleteTree(HKEY_CURRENT_USER, "Software\\Classes\\kvtcopy"));
    EXPECT_FALSE(kvt::KeyExists(HKEY_CURRENT_USER, "Software\\Classes\\kvtcopy"));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegistryDeleteTree(HKEY_CURRENT_USER, "Software\\"));
}

// An export reads each key once, however many extensions or spellings name
// it, and gathers nothing once stopped.
TEST_F(MergedView, AnExportReadsEachKeyOnceAndNothingOnceStopped) {
    kvt::Seed(R"(
[HKCU\Software\Classes\.kvtone]
@="kvtshared"
[HKCU\Software\Classes\.kvttwo]
@="KVTSHARED"
[HKCU\Software\Classes\kvtshared\shell\open\command]
@="notepad.exe %1"
[HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts\.kvttwo\OpenWithList]
"a"="notepad.exe"
)");
    const std::vector<std::string> names = {".kvtone", ".kvttwo", ".KVTONE"};
    std::vector<std::string> paths;
    for (const ExportedKey& key : GatherExportKeys(HKEY_CURRENT_USER, names, nullptr))
        paths.push_back(ProgramText(key.Path.c_str(), key.Path.size()));
    EXPECT_EQ((std::vector<std::string>{
                  "Software\\Classes\\.kvtone", "Software\\Classes\\kvtshared",
                  "Software\\Classes\\.kvttwo",
                  "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.kvttwo"}),
              paths);
    size_t told = 0;
    EXPECT_TRUE(GatherExportKeys(HKEY_CURRENT_USER, names,
                                 [&](size_t done, size_t total, const std::string& name) {
                                     return ++told && done < 1 && total == 3 && name == ".kvtone";
                                 })
                    .empty());
    EXPECT_EQ(2u, told);
}

} // namespace
