// Where file associations live in the registry: paths, class keys and the
// class lookup.
#include "platform/registry_layout.h"

#include "text/text.h"

namespace {

constexpr char kClassesPrefix[] = "Software\\Classes\\";
constexpr char kOpenWithListSuffix[] = "\\OpenWithList";

} // namespace

int IsKeyName(const char* name) {
    if (!name || !name[0])
        return 0;
    for (; *name; ++name)
        if (*name == '\\')
            return 0;
    return 1;
}

bool IsLinkName(const char* name) {
    return IsKeyName(name) && name[0] != '.';
}

bool ClassesPath(const char* name, const char* subKey, char* path) {
    FillWords(path, kRegistryPathSize, 0);
    if (!IsKeyName(name))
        return false;
    if (subKey)
        return JoinTextsBounded(path, kRegistryPathSize, {kClassesPrefix, name, "\\", subKey});
    return JoinTextsBounded(path, kRegistryPathSize, {kClassesPrefix, name});
}

bool OpenWithListPath(const char* extension, char* path) {
    FillWords(path, kRegistryPathSize, 0);
    return IsKeyName(extension) && !IsLinkName(extension) &&
           JoinTextsBounded(path, kRegistryPathSize,
                            {kFileExtsKey, "\\", extension, kOpenWithListSuffix});
}

bool UserEntryPath(const char* name, char* path) {
    FillWords(path, kRegistryPathSize, 0);
    return IsKeyName(name) &&
           JoinTextsBounded(path, kRegistryPathSize,
                            {IsLinkName(name) ? kUrlAssociationsKey : kFileExtsKey, "\\", name});
}

bool UserChoicePath(const char* name, char* path) {
    char entry[kRegistryPathSize];
    return UserEntryPath(name, entry) &&
           JoinTextsBounded(path, kRegistryPathSize, {entry, "\\", kUserChoiceKey});
}

LONG OpenClassesKey(HKEY hive, const char* name, const char* subKey, REGSAM access, RegKey* key) {
    char path[kRegistryPathSize];
    if (!ClassesPath(name, subKey, path)) {
        key->put();
        return ERROR_INVALID_NAME;
    }
    return RegistryOpenKey(hive, path, access, key->put());
}

int HasClassesKey(HKEY hive, const char* name) {
    char path[kRegistryPathSize];
    return ClassesPath(name, nullptr, path) ? RegistryKeyExists(hive, path) : 0;
}

int LookupFileClass(const char* name, HKEY extensionKey, char* fileClass) {
    FillWords(fileClass, kTextSize, 0);
    if (!extensionKey)
        return 0;
    if (IsLinkName(name))
        return JoinTextsBounded(fileClass, kTextSize, {name}) ? 1 : 0;
    if (RegistryReadText(extensionKey, nullptr, fileClass, kTextSize) == ERROR_SUCCESS)
        return 1;
    RegKey progIds;
    if (RegistryOpenKey(extensionKey, kOpenWithProgIds, KEY_QUERY_VALUE, progIds.put()) !=
        ERROR_SUCCESS)
        return 0;
    DWORD length = kTextSize;
    if (RegistryEnumValue(progIds.get(), 0, fileClass, &length, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS)
        FillWords(fileClass, kTextSize, 0);
    return 1;
}

int HasLinkClass(HKEY hive, const char* name) {
    RegKey key;
    return OpenClassesKey(hive, name, nullptr, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS &&
                   RegistryQueryValue(key.get(), kUrlProtocolValue, nullptr, nullptr, nullptr) ==
                       ERROR_SUCCESS
               ? 1
               : 0;
}
