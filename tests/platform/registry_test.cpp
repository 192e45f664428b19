// The merged classes view and the checked text reads of platform/registry.h,
// seeded and read back with the raw Win32 registry API.
#include "platform/registry.h"

#include "harness/registry_fixture.h"

#include <gtest/gtest.h>
#include <sddl.h>
#include <shlwapi.h>

#include <string>
#include <vector>

namespace {

using kvt::Classes;

void SeedText(HKEY hive, const std::string& path, const char* name, const std::string& text) {
    kvt::SetText(hive, Classes(path), name, text);
}

void SeedKey(HKEY hive, const std::string& path) {
    kvt::CreateKey(hive, Classes(path));
}

bool RawExists(HKEY hive, const std::string& path) {
    return kvt::KeyExists(hive, Classes(path));
}

std::string RawText(HKEY hive, const std::string& path, const char* name, DWORD* type = nullptr) {
    kvt::Value value = kvt::ReadValue(hive, Classes(path), name);
    if (!value.exists)
        return "<absent>";
    if (type)
        *type = value.type;
    return value.Text();
}

std::string ReadText(HKEY key, const char* name, DWORD size = 261) {
    std::vector<char> buffer(size, 'x');
    if (RegistryReadText(key, name, buffer.data(), size) != ERROR_SUCCESS) {
        EXPECT_EQ('\0', buffer[0]) << "a failed read leaves the buffer empty";
        return "<absent>";
    }
    return buffer.data();
}

std::vector<std::string> EnumKeys(HKEY key, DWORD nameSize = 260) {
    std::vector<std::string> names;
    std::vector<char> name(nameSize);
    for (DWORD index = 0;; ++index) {
        DWORD length = nameSize;
        LONG status = RegistryEnumKey(key, index, name.data(), &length);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status == ERROR_SUCCESS)
            names.emplace_back(name.data());
    }
    return names;
}

using MergedView = kvt::RegistryTest;

TEST_F(MergedView, KeyExistsWhenEitherHiveHasIt) {
    SeedKey(HKEY_LOCAL_MACHINE, ".kvtmachine");
    SeedKey(HKEY_CURRENT_USER, ".kvtuser");
    EXPECT_EQ(1, RegistryKeyExists(HKEY_CLASSES_ROOT, ".kvtmachine"));
    EXPECT_EQ(1, RegistryKeyExists(HKEY_CLASSES_ROOT, ".kvtuser"));
    EXPECT_EQ(1, RegistryKeyExists(HKEY_CLASSES_ROOT, ".KVTUSER"));
    EXPECT_EQ(0, RegistryKeyExists(HKEY_CLASSES_ROOT, ".kvtnowhere"));
    HKEY key = reinterpret_cast<HKEY>(1);
    EXPECT_NE(ERROR_SUCCESS, RegistryOpenKey(HKEY_CLASSES_ROOT, ".kvtnowhere", KEY_READ, &key));
    EXPECT_EQ(nullptr, key);
}

TEST_F(MergedView, UserValueWinsAndMissingUserValueFallsBackToMachine) {
    SeedText(HKEY_LOCAL_MACHINE, ".kvtboth", nullptr, "kvtmachineclass");
    SeedText(HKEY_LOCAL_MACHINE, ".kvtboth", "Content Type", "text/machine");
    SeedText(HKEY_LOCAL_MACHINE, ".kvtboth", "PerceivedType", "text");
    SeedText(HKEY_CURRENT_USER, ".kvtboth", nullptr, "kvtuserclass");
    SeedText(HKEY_CURRENT_USER, ".kvtboth", "Content Type", "text/user");

    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegistryOpenKey(HKEY_CLASSES_ROOT, ".kvtboth", KEY_QUERY_VALUE, key.put()));
    EXPECT_EQ("kvtuserclass", ReadText(key.get(), nullptr));
    EXPECT_EQ("kvtuserclass", ReadText(key.get(), ""));
    EXPECT_EQ("text/user", ReadText(key.get(), "Content Type"));
    EXPECT_EQ("text", ReadText(key.get(), "PerceivedType"));
    EXPECT_EQ("<absent>", ReadText(key.get(), "NoSuchValue"));

    DWORD subKeys = 99, values = 99;
    ASSERT_EQ(ERROR_SUCCESS, RegistryQueryInfo(key.get(), &subKeys, &values));
    EXPECT_EQ(0u, subKeys);
    EXPECT_EQ(3u, values) << "default, Content Type and PerceivedType, each once";
}

TEST_F(MergedView, ValueTheUserKeyLacksComesWhole) {
    SeedText(HKEY_LOCAL_MACHINE, ".kvtsplit", "Content Type", "text/from-the-machine");
    kvt::SetDword(HKEY_LOCAL_MACHINE, Classes(".kvtsplit"), "Number", 7);
    SeedText(HKEY_CURRENT_USER, ".kvtsplit", "PerceivedType", std::string(300, 'u'));
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegistryOpenKey(HKEY_CLASSES_ROOT, ".kvtsplit", KEY_QUERY_VALUE, key.put()));

    DWORD type = REG_NONE, size = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegistryQueryValue(key.get(), "Content Type", &type, nullptr, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(sizeof "text/from-the-machine", size);
    EXPECT_EQ("text/from-the-machine", ReadText(key.get(), "Content Type"));
    DWORD number = 0;
    size = sizeof number;
    ASSERT_EQ(ERROR_SUCCESS, RegistryQueryValue(key.get(), "Number", &type, &number, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(7u, number);

    // A user's value too long for the buffer is not replaced by the machine's.
    char buffer[261];
    size = sizeof buffer;
    EXPECT_EQ(ERROR_MORE_DATA,
              RegistryQueryValue(key.get(), "PerceivedType", &type, buffer, &size));
    EXPECT_EQ(301u, size);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegistryQueryValue(key.get(), "Nowhere", &type, buffer, &size));
}

TEST_F(MergedView, SubKeysEnumerateAsTheSortedUnion) {
    SeedKey(HKEY_LOCAL_MACHINE, "kvtroot\\Beta");
    SeedKey(HKEY_LOCAL_MACHINE, "kvtroot\\delta");
    SeedKey(HKEY_CURRENT_USER, "kvtroot\\alpha");
    SeedKey(HKEY_CURRENT_USER, "kvtroot\\BETA");
    SeedKey(HKEY_CURRENT_USER, "kvtroot\\Gamma");

    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegistryOpenKey(HKEY_CLASSES_ROOT, "kvtroot", KEY_READ, key.put()));
    std::vector<std::string> names = EnumKeys(key.get());
    ASSERT_EQ(4u, names.size());
    EXPECT_EQ("alpha", names[0]);
    EXPECT_EQ(0, lstrcmpiA("beta", names[1].c_str()));
    EXPECT_EQ("delta", names[2]);
    EXPECT_EQ("Gamma", names[3]);
    DWORD subKeys = 0;
    RegistryQueryInfo(key.get(), &subKeys, nullptr);
    EXPECT_EQ(4u, subKeys);
}

TEST_F(MergedView, RootEnumerationHoldsExtensionsOfBothHivesInOrder) {
    SeedKey(HKEY_LOCAL_MACHINE, ".kvtb");
    SeedKey(HKEY_CURRENT_USER, ".kvta");
    SeedKey(HKEY_CURRENT_USER, ".kvtc");
    RegKey root;
    ASSERT_EQ(ERROR_SUCCESS,
              RegistryOpenKey(HKEY_CLASSES_ROOT, nullptr, KEY_ENUMERATE_SUB_KEYS, root.put()));
    std::vector<std::string> names = EnumKeys(root.get(), 50);
    std::vector<std::string> ours;
    for (const std::string& name : names)
        if (StrCmpNIA(name.c_str(), ".kvt", 4) == 0)
            ours.push_back(name);
    EXPECT_EQ((std::vector<std::string>{".kvta", ".kvtb", ".kvtc"}), ours);
    for (size_t i = 1; i < names.size(); ++i)
        EXPECT_LE(lstrcmpiA(names[i - 1].c_str(), names[i].c_str()), 0) << names[i];
}

TEST_F(MergedView, NameTooLongForTheBufferIsReportedNotCut) {
    std::string name = ".kvt" + std::string(46, 'n'); // 50 characters
    SeedKey(HKEY_CURRENT_USER, "kvtlong\\" + name);
    SeedKey(HKEY_CURRENT_USER, "kvtlong\\.kvtshort");
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegistryOpenKey(HKEY_CLASSES_ROOT, "kvtlong", KEY_READ, key.put()));
    char buffer[50];
    DWORD length = sizeof buffer;
    EXPECT_EQ(ERROR_MORE_DATA, RegistryEnumKey(key.get(), 0, buffer, &length)) << "the long name";
    EXPECT_EQ('\0', buffer[0]);
    length = sizeof buffer;
    ASSERT_EQ(ERROR_SUCCESS, RegistryEnumKey(key.get(), 1, buffer, &length));
    EXPECT_STREQ(".kvtshort", buffer);
    EXPECT_EQ(9u, length);
}

// The view writes only the user's classes: where the user's hive has no key
// of the path, a value written or deleted through the view is refused, and a
// key created through it is the user's.
TEST_F(MergedView, WritesReachOnlyTheUsersClasses) {
    SeedText(HKEY_LOCAL_MACHINE, ".kvtw", "Content Type", "text/machine");
    {
        RegKey key;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegistryOpenKey(HKEY_CLASSES_ROOT, ".kvtw", KEY_READ | KEY_WRITE, key.put()));
        EXPECT_NE(ERROR_SUCCESS, RegistryWriteText(key.get(), "Content Type", REG_SZ, "text/one"));
        EXPECT_NE(ERROR_SUCCESS, RegistryDeleteValue(key.get(), "Content Type"));
    }
    EXPECT_NE(ERROR_SUCCESS, RegistryDeleteTree(HKEY_CLASSES_ROOT, ".kvtw"));
    EXPECT_EQ("text/machine", RawText(HKEY_LOCAL_MACHINE, ".kvtw", "Content Type"));
    EXPECT_FALSE(RawExists(HKEY_CURRENT_USER, ".kvtw"));

    SeedKey(HKEY_CURRENT_USER, ".kvtw");
    {
        RegKey key;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegistryCreateKey(HKEY_CLASSES_ROOT, ".kvtw", KEY_READ | KEY_WRITE, key.put()));
        RegistryWriteText(key.get(), "Content Type", REG_SZ, "text/two");
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegistryDeleteValue(key.get(), "NoSuchValue"));
    }
    EXPECT_EQ("text/two", RawText(HKEY_CURRENT_USER, ".kvtw", "Content Type"));
    EXPECT_EQ("text/machine", RawText(HKEY_LOCAL_MACHINE, ".kvtw", "Content Type"));
    {
        RegKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegistryCreateKey(HKEY_CLASSES_ROOT, "kvtnew\\shell\\open",
                                                   KEY_WRITE, key.put()));
    }
    EXPECT_TRUE(RawExists(HKEY_CURRENT_USER, "kvtnew\\shell\\open"));
    EXPECT_FALSE(RawExists(HKEY_LOCAL_MACHINE, "kvtnew"));
}

// A machine key the user may only read still gives its values to a key of
// the view opened for writing.
TEST_F(MergedView, AMachineHalfThatRefusesWritingIsStillRead) {
    SeedText(HKEY_LOCAL_MACHINE, "kvtlocked", "FriendlyTypeName", "machine");
    SeedKey(HKEY_CURRENT_USER, "kvtlocked");
    HKEY machine = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, Classes("kvtlocked").c_str(), 0,
                                           WRITE_DAC, &machine));
    PSECURITY_DESCRIPTOR readOnly = nullptr, full = nullptr;
    ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", 1,
                                                                     &readOnly, nullptr));
    ASSERT_TRUE(
        ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KA;;;WD)", 1, &full, nullptr));
    ASSERT_EQ(ERROR_SUCCESS, RegSetKeySecurity(machine, DACL_SECURITY_INFORMATION, readOnly));
    HKEY probe = nullptr;
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegOpenKeyExA(HKEY_LOCAL_MACHINE, Classes("kvtlocked").c_str(),
                                                 0, KEY_READ | KEY_WRITE, &probe));
    {
        RegKey key;
        ASSERT_EQ(ERROR_SUCCESS,
                  RegistryOpenKey(HKEY_CLASSES_ROOT, "kvtlocked", KEY_READ | KEY_WRITE, key.put()));
        EXPECT_EQ("machine", ReadText(key.get(), "FriendlyTypeName"));
        EXPECT_EQ(ERROR_SUCCESS, RegistryWriteText(key.get(), "Written", REG_SZ, "user"));
    }
    EXPECT_EQ("user", RawText(HKEY_CURRENT_USER, "kvtlocked", "Written"));
    RegSetKeySecurity(machine, DACL_SECURITY_INFORMATION, full);
    RegCloseKey(machine);
    LocalFree(readOnly);
    LocalFree(full);
}

// A walk over sub-keys ends at an error it cannot pass over, such as a key
// that may not be enumerated, and where the visitor says so.
TEST_F(MergedView, AWalkOverSubKeysEndsAtAnError) {
    SeedKey(HKEY_LOCAL_MACHINE, "kvtwalk\\b");
    SeedKey(HKEY_LOCAL_MACHINE, "kvtwalk\\a");
    HKEY raw = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, Classes("kvtwalk").c_str(), 0,
                                           KEY_QUERY_VALUE, &raw));
    int visits = 0;
    RegistryForEachSubKey(raw, [&](const char*) { return ++visits > 0; });
    RegCloseKey(raw);
    EXPECT_EQ(0, visits);
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS, RegistryOpenKey(HKEY_CLASSES_ROOT, "kvtwalk", KEY_READ, key.put()));
    std::vector<std::string> names;
    RegistryForEachSubKey(key.get(), [&](const char* name) {
        names.push_back(name);
        return false;
    });
    EXPECT_EQ(std::vector<std::string>{"a"}, names);
}

// Names come in the registry's order (each character upper-cased, then
// compared by code), each name once: "-" and "\xDF" are characters like any
// other, not ignored or spelled "ss" as a word sort would have them.
TEST_F(MergedView, NamesComeInTheRegistrysOrderEachOnce) {
    for (const char* name : {".kvta", "-.kvtdash", ".kvt\xDF", ".kvtz"})
        SeedKey(HKEY_LOCAL_MACHINE, name);
    for (const char* name : {".KVTA", ".kvtss", ".kvtb", "kvt'q", "kvtq"})
        SeedKey(HKEY_CURRENT_USER, name);
    RegKey root;
    ASSERT_EQ(ERROR_SUCCESS,
              RegistryOpenKey(HKEY_CLASSES_ROOT, nullptr, KEY_ENUMERATE_SUB_KEYS, root.put()));
    std::vector<std::string> ours;
    for (const std::string& name : EnumKeys(root.get()))
        if (name.find("kvt") != std::string::npos || name.find("KVT") != std::string::npos)
            ours.push_back(name);
    EXPECT_EQ((std::vector<std::string>{"-.kvtdash", ".KVTA", ".kvtb", ".kvtss", ".kvtz",
                                        ".kvt\xDF", "kvt'q", "kvtq"}),
              ours);
}

TEST_F(MergedView, CopyTreeCopiesTheUnionWithTypesAndBytes) {
    const DWORD flags = 0x00100003;
    const BYTE binary[] = {1, 2, 0, 4};
    SeedText(HKEY_LOCAL_MACHINE, "kvtclass", nullptr, "Machine description");
    kvt::SetDword(HKEY_LOCAL_MACHINE, Classes("kvtclass"), "EditFlags", flags);
    kvt::SetBytes(HKEY_LOCAL_MACHINE, Classes("kvtclass"), "Blob", REG_BINARY,
                  {binary, binary + sizeof binary});
    kvt::SetText(HKEY_LOCAL_MACHINE, Classes("kvtclass\\DefaultIcon"), nullptr,
                 "%SystemRoot%\\a.dll,1", REG_EXPAND_SZ);
    SeedText(HKEY_LOCAL_MACHINE, "kvtclass\\shell\\open\\command", nullptr, "m.exe %1");
    SeedText(HKEY_CURRENT_USER, "kvtclass", nullptr, "User description");
    SeedText(HKEY_CURRENT_USER, "kvtclass\\shell\\edit\\command", nullptr, "u.exe %1");

    HKEY destination = nullptr;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Classes\\kvtcopy", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &destination, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegistryCopyTree(HKEY_CLASSES_ROOT, "kvtclass", destination));
    RegCloseKey(destination);

    EXPECT_EQ("User description", RawText(HKEY_CURRENT_USER, "kvtcopy", nullptr));
    DWORD type = 0;
    EXPECT_EQ("%SystemRoot%\\a.dll,1",
              RawText(HKEY_CURRENT_USER, "kvtcopy\\DefaultIcon", nullptr, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), type);
    EXPECT_EQ("m.exe %1", RawText(HKEY_CURRENT_USER, "kvtcopy\\shell\\open\\command", nullptr));
    EXPECT_EQ("u.exe %1", RawText(HKEY_CURRENT_USER, "kvtcopy\\shell\\edit\\command", nullptr));

    DWORD copiedFlags = 0, size = sizeof copiedFlags;
    ASSERT_EQ(ERROR_SUCCESS,
              RegGetValueA(HKEY_CURRENT_USER, "Software\\Classes\\kvtcopy", "EditFlags",
                           RRF_RT_REG_DWORD, &type, &copiedFlags, &size));
    EXPECT_EQ(flags, copiedFlags);
    BYTE copiedBinary[8] = {};
    size = sizeof copiedBinary;
    ASSERT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_CURRENT_USER, "Software\\Classes\\kvtcopy", "Blob",
                                          RRF_RT_REG_BINARY, &type, copiedBinary, &size));
    ASSERT_EQ(sizeof binary, size);
    EXPECT_EQ(0, memcmp(binary, copiedBinary, sizeof binary));
}

TEST_F(MergedView, DeleteTreeRemovesAKeyWithEverythingBelowIt) {
    SeedText(HKEY_CURRENT_USER, "kvtgone\\shell\\open\\command", nullptr, "x.exe");
    SeedKey(HKEY_LOCAL_MACHINE, "kvtgone");
    EXPECT_EQ(ERROR_SUCCESS, RegistryDeleteTree(HKEY_CURRENT_USER, "Software\\Classes\\kvtgone"));
    EXPECT_FALSE(RawExists(HKEY_CURRENT_USER, "kvtgone"));
    EXPECT_TRUE(RawExists(HKEY_LOCAL_MACHINE, "kvtgone"));
}

struct TextCase {
    const char* label;
    DWORD type;
    std::vector<BYTE> data;
    std::string expected; // "<absent>" when the read must fail
};

void PrintTo(const TextCase& c, std::ostream* out) {
    *out << c.label;
}

class CheckedTextRead : public MergedView, public ::testing::WithParamInterface<TextCase> {};

std::vector<BYTE> Bytes(const std::string& text, bool terminated) {
    std::vector<BYTE> bytes(text.begin(), text.end());
    if (terminated)
        bytes.push_back(0);
    return bytes;
}

TEST_P(CheckedTextRead, EndsTerminatedOrCountsAsAbsent) {
    const TextCase& c = GetParam();
    SCOPED_TRACE(c.label);
    kvt::SetBytes(HKEY_LOCAL_MACHINE, Classes(".kvttext"), "Value", c.type, c.data);
    RegKey key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegistryOpenKey(HKEY_CLASSES_ROOT, ".kvttext", KEY_QUERY_VALUE, key.put()));
    EXPECT_EQ(c.expected, ReadText(key.get(), "Value"));
}

INSTANTIATE_TEST_SUITE_P(
    Values, CheckedTextRead,
    ::testing::Values(
        TextCase{"plain string", REG_SZ, Bytes("text/plain", true), "text/plain"},
        TextCase{"expand string", REG_EXPAND_SZ, Bytes("%TEMP%\\x", true), "%TEMP%\\x"},
        TextCase{"unterminated short string", REG_SZ, Bytes("abc", false), "abc"},
        TextCase{"260 characters and terminator fill 261 bytes", REG_SZ,
                 Bytes(std::string(260, 'a'), true), std::string(260, 'a')},
        TextCase{"261 bytes without terminator", REG_SZ, Bytes(std::string(261, 'b'), false),
                 "<absent>"},
        TextCase{"4000 bytes", REG_SZ, Bytes(std::string(4000, 'c'), true), "<absent>"},
        TextCase{"binary where a string is expected", REG_BINARY, Bytes("abc", true), "<absent>"},
        TextCase{"dword where a string is expected", REG_DWORD, {1, 0, 0, 0}, "<absent>"},
        TextCase{"multi-string", REG_MULTI_SZ, {'a', 0, 'b', 0, 0}, "<absent>"}),
    [](const ::testing::TestParamInfo<TextCase>& info) {
        return "Case" + std::to_string(info.index);
    });

} // namespace
