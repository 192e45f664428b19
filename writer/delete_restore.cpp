// Delete and restore.
#include "writer/delete_restore.h"

#include "catalogue/catalogue.h"
#include "records/app_state.h"
#include "records/extension_record.h"
#include "platform/registry.h"
#include "platform/registry_layout.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "text/text.h"
#include "ui/please_wait.h"
#include "writer/undo.h"
#include "writer/value_rules.h"

#include <commctrl.h>

#include <string>

namespace {

bool Confirm(const char* text, const char* caption) {
    return MessageBoxA(AppState.MainWindow, text, caption, MB_YESNO | MB_ICONHAND) == IDYES;
}

void DeleteClassesKey(HKEY hive, const char* name) {
    char path[kRegistryPathSize];
    if (ClassesPath(name, nullptr, path))
        RegistryDeleteTree(hive, path);
}

// The class key goes with its extension unless another extension still uses it.
void DeleteExtensionAndClass(HKEY hive, const char* fileClass) {
    if (fileClass[0] && !IsClassSharedWith(hive, fileClass, CurrentExtension))
        DeleteClassesKey(hive, fileClass);
    DeleteClassesKey(hive, CurrentExtension);
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

void DeleteOrRestoreUser(int mode, const char* prompt, const char* caption) {
    char question[kTextSize + 128] = {};
    JoinTexts(3, question, prompt, CurrentExtension, kTextContinueQuestion);
    if (!Confirm(question, caption))
        return;
    BeginChange(std::string(mode == kDeleteUserExtension ? kMenuDelete : kMenuRestore) + " " +
                    CurrentExtension,
                CurrentExtension, ExtensionKeys(HKEY_CURRENT_USER, CurrentExtension, nullptr));

    // The user's class is the default value alone: an override made by this
    // program always has one.
    char fileClass[kTextSize] = {};
    RegKey extension;
    if (OpenClassesKey(HKEY_CURRENT_USER, CurrentExtension, nullptr, KEY_QUERY_VALUE, &extension) ==
        ERROR_SUCCESS)
        RegistryReadText(extension.get(), nullptr, fileClass, kTextSize);
    DeleteExtensionAndClass(HKEY_CURRENT_USER, fileClass);
    EndChange();

    if (mode == kDeleteUserExtension)
        RemoveCurrentTreeItem();
    else
        MoveToList();
    RunShellRefresh(nullptr);
}

void DeleteExtensionAdmin() {
    char question[kTextSize + 256] = {};
    JoinTexts(4, question, kTextAdminDeleteWarning, CurrentExtension, kTextAdminDeleteConsequence,
              kTextContinueQuestion);
    if (!Confirm(question, kTextDeleteCaption))
        return;
    BeginChange(std::string(kMenuDelete) + " " + CurrentExtension, CurrentExtension,
                ExtensionKeys(HKEY_LOCAL_MACHINE, CurrentExtension, nullptr));

    char fileClass[kTextSize] = {};
    RegKey extension;
    if (OpenClassesKey(HKEY_LOCAL_MACHINE, CurrentExtension, nullptr, KEY_QUERY_VALUE,
                       &extension) == ERROR_SUCCESS)
        LookupFileClass(extension.get(), fileClass);
    DeleteExtensionAndClass(HKEY_LOCAL_MACHINE, fileClass);
    EndChange();
    RunShellRefresh(nullptr);

    RemoveCurrentListRow();
}
