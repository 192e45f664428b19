// Applying the editor's edits in admin mode, for every user of the machine.
#include "catalogue/catalogue.h"
#include "records/app_state.h"
#include "records/extension_record.h"
#include "records/editor_state.h"
#include "platform/registry.h"
#include "text/text.h"
#include "writer/apply_edits.h"
#include "ui/please_wait.h"
#include "writer/value_rules.h"

#include <commctrl.h>

namespace {

constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE;

// The extension's values; 1 with its class (found, or made for a new
// extension) in fileClass.
int WriteExtensionValues(char* fileClass) {
    FillWords(fileClass, kTextSize, 0);
    RegKey extension;
    if (!CreateClassesKey(HKEY_LOCAL_MACHINE, CurrentExtension, nullptr, kReadWrite, &extension))
        return 0;
    if (Changed.ContentType)
        WriteText(extension.get(), kContentTypeValue, EditBuffer.ContentType);
    if (Changed.PerceivedType)
        WriteText(extension.get(), kPerceivedTypeValue, EditBuffer.PerceivedType);
    if (EditorMode == kEditorCreate)
        return CreateExtensionClass(HKEY_LOCAL_MACHINE, extension.get(), CurrentExtension,
                                    fileClass);
    return FindExtensionClass(extension.get(), fileClass);
}

void WriteClassValues(const char* fileClass) {
    RegKey classKey;
    if (!CreateClassesKey(HKEY_LOCAL_MACHINE, fileClass, nullptr, kReadWrite, &classKey))
        return;
    WriteEditFlags(classKey.get());
    if (!Changed.Description)
        return;
    FillWords(EditBuffer.Description, sizeof EditBuffer.Description, 0);
    SendMessageA(GeneralPage.Description, WM_GETTEXT, sizeof EditBuffer.Description,
                 reinterpret_cast<LPARAM>(EditBuffer.Description));
    WriteText(classKey.get(), nullptr, EditBuffer.Description);
    BackUpFriendlyTypeName(classKey.get());
}

void WriteDefaultIcon(const char* fileClass) {
    RegKey icon;
    if (Changed.Icon &&
        CreateClassesKey(HKEY_LOCAL_MACHINE, fileClass, kDefaultIconKey, kReadWrite, &icon))
        WriteText(icon.get(), nullptr, IconLocation);
}

void WriteOpenCommand(const char* fileClass) {
    char command[kTextSize];
    RegKey key;
    if ((Changed.Program || Changed.Args) && ComposeOpenCommand(command) &&
        CreateClassesKey(HKEY_LOCAL_MACHINE, fileClass, kOpenCommandKey, KEY_WRITE, &key))
        WriteCommandValue(key.get(), command);
}

} // namespace

void ApplyEditsAdmin() {
    if (EditorMode == kEditorCreate) {
        FillWords(CurrentExtension, kNameSize, 0);
        CopyTextBounded(NewExtensionName, CurrentExtension, kNameSize);
    }
    char fileClass[kTextSize];
    // One class serves every class-level write; without one there are none.
    if (WriteExtensionValues(fileClass)) {
        WriteClassValues(fileClass);
        WriteDefaultIcon(fileClass);
        // Actions first: a removed "open" then gives way to one the
        // Opens-with page sets again.
        ApplyActions(HKEY_LOCAL_MACHINE, fileClass);
        WriteOpenCommand(fileClass);
        if (Changed.DdeApplication || Changed.DdeTopic || Changed.DdeCommand)
            WriteDdeKeys(HKEY_LOCAL_MACHINE, fileClass);
    }
    if (EditorMode == kEditorCreate) {
        ShowNewMachineExtension();
        RunShellRefresh(nullptr);
    }
}
