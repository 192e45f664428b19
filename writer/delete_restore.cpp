// Delete and restore.
#include "writer/delete_restore.h"

#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "text/text.h"
#include "writer/undo.h"
#include "writer/value_rules.h"

#include <string>

namespace {

// The class key goes with its extension unless another extension still uses it.
void DeleteExtensionAndClass(HKEY hive, const std::string& extension, const char* fileClass,
                             RegistryWrites& writes) {
    const std::string classPath = ClassesKeyPath(fileClass);
    if (!classPath.empty() && !IsClassSharedWith(hive, fileClass, extension.c_str()))
        writes.DeleteTree(hive, classPath);
    const std::string path = ClassesKeyPath(extension);
    if (!path.empty())
        writes.DeleteTree(hive, path);
}

bool NamesClass(HKEY classes, const char* extension, const char* fileClass) {
    RegKey key;
    if (RegistryOpenKey(classes, extension, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return false;
    char text[kTextSize];
    if (RegistryReadText(key.get(), nullptr, text, kTextSize) == ERROR_SUCCESS &&
        CompareNoCase(text, fileClass) == 0)
        return true;
    RegKey progIds;
    if (RegistryOpenKey(key.get(), kOpenWithProgIds, KEY_QUERY_VALUE, progIds.put()) !=
        ERROR_SUCCESS)
        return false;
    for (DWORD index = 0;; ++index) {
        DWORD length = kTextSize;
        LONG status =
            RegistryEnumValue(progIds.get(), index, text, &length, nullptr, nullptr, nullptr);
        if (status == ERROR_SUCCESS && CompareNoCase(text, fileClass) == 0)
            return true;
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA)
            return false;
    }
}

} // namespace

int IsClassSharedWith(HKEY hive, const char* fileClass, const char* extension) {
    RegKey classes;
    if (RegistryOpenKey(hive, kClassesKey, KEY_READ, classes.put()) != ERROR_SUCCESS)
        return 0;
    int shared = 0;
    RegistryForEachSubKey(classes.get(), [&](const char* name) {
        shared = name[0] == '.' && CompareNoCase(name, extension) != 0 &&
                 NamesClass(classes.get(), name, fileClass);
        return !shared;
    });
    return shared;
}

ChangeOutcome DeleteOrRestoreUser(int mode, const std::string& extension) {
    // The user's class is the default value alone: an override made by this
    // program always has one. A link type is its own class.
    char fileClass[kTextSize] = {};
    RegKey key;
    if (IsLinkName(extension.c_str()))
        CopyTextBounded(extension.c_str(), fileClass, kTextSize);
    else if (OpenClassesKey(HKEY_CURRENT_USER, extension.c_str(), nullptr, KEY_QUERY_VALUE, &key) ==
             ERROR_SUCCESS)
        RegistryReadText(key.get(), nullptr, fileClass, kTextSize);
    return MakeChange(std::string(mode == kDeleteUserExtension ? kMenuDelete : kMenuRestore) + " " +
                          extension,
                      extension, ExtensionKeys(HKEY_CURRENT_USER, extension.c_str(), nullptr),
                      [&](RegistryWrites& writes) {
                          DeleteExtensionAndClass(HKEY_CURRENT_USER, extension, fileClass, writes);
                      });
}

ChangeOutcome DeleteExtensionAdmin(const std::string& extension) {
    char fileClass[kTextSize] = {};
    RegKey key;
    if (OpenClassesKey(HKEY_LOCAL_MACHINE, extension.c_str(), nullptr, KEY_QUERY_VALUE, &key) ==
        ERROR_SUCCESS)
        LookupFileClass(extension.c_str(), key.get(), fileClass);
    return MakeChange(std::string(kMenuDelete) + " " + extension, extension,
                      ExtensionKeys(HKEY_LOCAL_MACHINE, extension.c_str(), nullptr),
                      [&](RegistryWrites& writes) {
                          DeleteExtensionAndClass(HKEY_LOCAL_MACHINE, extension, fileClass, writes);
                      });
}
