// Applying the editor's edits in admin mode, for every user of the machine.
#include "app/app_state.h"
#include "details/extension_record.h"
#include "editor/editor_state.h"
#include "platform/registry.h"
#include "text/text.h"
#include "writer/apply_edits.h"
#include "writer/shell_refresh.h"
#include "writer/value_rules.h"

#include <commctrl.h>

namespace {

constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE;

// The extension's values; 1 with its class (found, or made for a new
// extension) in fileClass.
int WriteExtensionValues(char* fileClass) {
    FillWords(fileClass, kTextSize, 0);
    RegKey extension;
    if (!CreateClassesKey(HKEY_LOCAL_MACHINE, CurrentExtension, nullptr, kReadWrite,
                          extension.put()))
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
    if (!CreateClassesKey(HKEY_LOCAL_MACHINE, fileClass, nullptr, kReadWrite, classKey.put()))
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
        CreateClassesKey(HKEY_LOCAL_MACHINE, fileClass, kDefaultIconKey, kReadWrite, icon.put()))
        WriteText(icon.get(), nullptr, IconLocation);
}

void WriteOpenCommand(const char* fileClass) {
    char command[kTextSize];
    RegKey key;
    if ((Changed.Program || Changed.Args) && ComposeOpenCommand(command) &&
        CreateClassesKey(HKEY_LOCAL_MACHINE, fileClass, kOpenCommandKey, KEY_WRITE, key.put()))
        WriteCommandValue(key.get(), command);
}

// The new extension in the list, selected, focused and visible.
void ShowNewExtension() {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.pszText = CurrentExtension;
    const LRESULT row =
        SendMessageA(AppState.ExtensionList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    SetFocus(AppState.ExtensionList);
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(AppState.ExtensionList, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
    SendMessageA(AppState.ExtensionList, LVM_ENSUREVISIBLE, row, FALSE);
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
        WriteOpenCommand(fileClass);
        if (Changed.DdeApplication || Changed.DdeTopic || Changed.DdeCommand)
            WriteDdeKeys(HKEY_LOCAL_MACHINE, fileClass);
    }
    if (EditorMode == kEditorCreate) {
        ShowNewExtension();
        RunShellRefresh(nullptr);
    }
}
