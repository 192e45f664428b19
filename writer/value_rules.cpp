// The value rules of both writers.
#include "writer/value_rules.h"

#include "platform/registry.h"
#include "text/system_text.h"
#include "text/text.h"

#include <vector>

namespace {

constexpr char kNewClassSuffix[] = "File";

} // namespace

std::string ClassesKeyPath(const std::string& name, const char* subKey) {
    char path[kRegistryPathSize];
    return ClassesPath(name.c_str(), subKey, path) ? path : "";
}

std::string FindClassIn(HKEY hive, const std::string& extension) {
    RegKey key;
    char fileClass[kTextSize];
    return OpenClassesKey(hive, extension.c_str(), nullptr, KEY_QUERY_VALUE, &key) ==
                       ERROR_SUCCESS &&
                   LookupFileClass(extension.c_str(), key.get(), fileClass) && fileClass[0]
               ? fileClass
               : "";
}

bool NewClassName(const char* extension, char* fileClass) {
    if (IsLinkName(extension))
        return JoinTextsBounded(fileClass, kTextSize, {extension});
    if (extension[0] && JoinTextsBounded(fileClass, kTextSize, {extension + 1, kNewClassSuffix}) &&
        FitsBuffer(fileClass, kTextSize))
        return true;
    FillWords(fileClass, kTextSize, 0);
    return false;
}

std::string CreateExtensionClass(RegistryWrites& writes, HKEY hive, const std::string& extension) {
    char fileClass[kTextSize];
    const std::string classPath =
        NewClassName(extension.c_str(), fileClass) ? ClassesKeyPath(fileClass) : "";
    if (classPath.empty())
        return "";
    if (IsLinkName(extension.c_str())) {
        // A link type is its own class; the value makes it one.
        writes.SetText(hive, classPath, kUrlProtocolValue, "");
        return fileClass;
    }
    writes.SetText(hive, ClassesKeyPath(extension), nullptr, fileClass);
    writes.CreateKey(hive, classPath);
    return fileClass;
}

void WriteOptionalText(RegistryWrites& writes, HKEY hive, const std::string& path, const char* name,
                       const TextField& field) {
    if (field.Present())
        writes.SetText(hive, path, name, field.Text);
    else
        writes.DeleteValue(hive, path, name);
}

void WriteEditFlags(RegistryWrites& writes, HKEY hive, const std::string& classPath,
                    const NumberField& flags) {
    const DWORD bits = flags.Present() ? flags.Value : 0;
    if (bits > 0)
        writes.SetValue(hive, classPath, kEditFlagsValue, REG_DWORD, &bits, sizeof bits);
    else
        writes.DeleteValue(hive, classPath, kEditFlagsValue);
}

bool BackUpFriendlyTypeName(RegistryWrites& writes, HKEY hive, const std::string& classPath) {
    RegKey key;
    DWORD size = 0;
    if (RegistryOpenKey(hive, classPath.c_str(), KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS ||
        RegistryQueryValue(key.get(), kFriendlyTypeNameValue, nullptr, nullptr, &size) !=
            ERROR_SUCCESS)
        return false;
    std::vector<BYTE> bytes(size ? size : 1);
    if (RegistryQueryValue(key.get(), kFriendlyTypeNameValue, nullptr, bytes.data(), &size) ==
        ERROR_SUCCESS) {
        writes.SetValue(hive, classPath, kFriendlyTypeNameBackupValue, REG_SZ, bytes.data(), size);
        writes.DeleteValue(hive, classPath, kFriendlyTypeNameValue);
    }
    return true;
}

DWORD CommandValueType(const std::string& command) {
    const size_t program = !command.empty() && command[0] == '"' ? 1 : 0;
    return command.size() > program && command[program] == '%' ? REG_EXPAND_SZ : REG_SZ;
}
