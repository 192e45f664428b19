// Applying the editor's edits in user mode.
#include "records/app_state.h"
#include "records/extension_record.h"
#include "records/editor_state.h"
#include "catalogue/catalogue.h"
#include "details/actions.h"
#include "platform/registry.h"
#include "resources/texts.h"
#include "text/system_text.h"
#include "text/text.h"
#include "ui/list_items.h"
#include "writer/apply_edits.h"
#include "writer/value_rules.h"

#include <commctrl.h>

#include <initializer_list>

namespace {

constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE;
// Value names may be this long; each one is removed from the Open With list.
constexpr DWORD kValueNameSize = 16384;
// The Open With list names its values a, b, c ... up to the last character.
constexpr int kFirstListName = 'a';
constexpr int kListNameCount = 256 - kFirstListName;
static_assert(kListNameCount < static_cast<int>(kTextSize), "the order fits its buffer");

// 1 when Customize made the class: every property is then written from what
// the editor shows, changed or not.
DWORD ClassCreated;

void ReadControlText(HWND control, char* text, size_t size) {
    FillWords(text, size, 0);
    SendMessageA(control, WM_GETTEXT, size, reinterpret_cast<LPARAM>(text));
}

// Texts that only stand for a missing value.
bool IsPlaceholder(const char* text) {
    return !text[0] || CompareNoCase(text, kTextUnknown) == 0 ||
           CompareNoCase(text, kTextNoneMarker) == 0;
}

// Customize: the extension and its class, as the merged view shows them,
// become the user's own.
void PrepareUserCopy() {
    RegKey extension;
    if (!CreateClassesKey(HKEY_CURRENT_USER, CurrentExtension, nullptr, kReadWrite, &extension))
        return;
    RegistryCopyTree(HKEY_CLASSES_ROOT, CurrentExtension, extension.get());
    char fileClass[kTextSize];
    if (FindExtensionClass(extension.get(), fileClass)) {
        RegKey classKey;
        if (CreateClassesKey(HKEY_CURRENT_USER, fileClass, nullptr, KEY_WRITE, &classKey))
            RegistryCopyTree(HKEY_CLASSES_ROOT, fileClass, classKey.get());
        return;
    }
    if (CreateExtensionClass(HKEY_CURRENT_USER, extension.get(), CurrentExtension, fileClass))
        ClassCreated = 1;
}

void CreateNewExtension() {
    FillWords(CurrentExtension, kNameSize, 0);
    CopyTextBounded(NewExtensionName, CurrentExtension, kNameSize);
    RegKey extension;
    char fileClass[kTextSize];
    if (CreateClassesKey(HKEY_CURRENT_USER, CurrentExtension, nullptr, KEY_WRITE, &extension))
        CreateExtensionClass(HKEY_CURRENT_USER, extension.get(), CurrentExtension, fileClass);
}

// A made class takes the shown value unless the text stands for none. The
// whole text is written, also where it is longer than the buffer that keeps
// it: the value copied from the machine must not be cut short.
void WriteShownValue(HKEY extension, const char* name, HWND current, char* buffer, size_t size) {
    char shown[kTextSize] = {};
    ReadControlText(current, shown, kTextSize);
    FillWords(buffer, size, 0);
    CopyTextBounded(shown, buffer, size);
    if (!IsPlaceholder(shown))
        WriteText(extension, name, shown);
}

// "Content Type" and "PerceivedType"; 1 with the class in fileClass.
int WriteExtensionValues(char* fileClass) {
    FillWords(fileClass, kTextSize, 0);
    RegKey extension;
    if (!CreateClassesKey(HKEY_CURRENT_USER, CurrentExtension, nullptr, kReadWrite, &extension))
        return 0;
    if (Changed.ContentType)
        WriteOptionalText(extension.get(), kContentTypeValue, EditBuffer.ContentType);
    if (ClassCreated)
        WriteShownValue(extension.get(), kContentTypeValue, GeneralPage.ContentCurrent,
                        EditBuffer.ContentType, sizeof EditBuffer.ContentType);
    if (Changed.PerceivedType)
        WriteOptionalText(extension.get(), kPerceivedTypeValue, EditBuffer.PerceivedType);
    if (ClassCreated)
        WriteShownValue(extension.get(), kPerceivedTypeValue, GeneralPage.PerceivedCurrent,
                        EditBuffer.PerceivedType, sizeof EditBuffer.PerceivedType);
    return FindExtensionClass(extension.get(), fileClass);
}

// The class the merged view names for the extension gets the backup too,
// where the user's hive has that class and it is not the one just backed
// up: the backup is made from the user's own value, in the user's key.
void BackUpMergedFriendlyTypeName(const char* backedUpClass) {
    char mergedClass[kTextSize] = {};
    {
        RegKey extension;
        if (RegistryOpenKey(HKEY_CLASSES_ROOT, CurrentExtension, KEY_READ, extension.put()) !=
                ERROR_SUCCESS ||
            RegistryReadText(extension.get(), nullptr, mergedClass, kTextSize) != ERROR_SUCCESS)
            return;
    }
    RegKey classKey;
    if (CompareNoCase(mergedClass, backedUpClass) != 0 &&
        OpenClassesKey(HKEY_CURRENT_USER, mergedClass, nullptr, kReadWrite, &classKey) ==
            ERROR_SUCCESS)
        BackUpFriendlyTypeName(classKey.get());
}

void WriteClassValues(const char* fileClass) {
    RegKey classKey;
    if (!CreateClassesKey(HKEY_CURRENT_USER, fileClass, nullptr, kReadWrite, &classKey))
        return;
    WriteEditFlags(classKey.get());
    if (!Changed.Description && !ClassCreated)
        return;
    // The edit's own text, untrimmed.
    ReadControlText(GeneralPage.Description, EditBuffer.Description, sizeof EditBuffer.Description);
    WriteText(classKey.get(), nullptr, EditBuffer.Description);
    if (BackUpFriendlyTypeName(classKey.get()))
        BackUpMergedFriendlyTypeName(fileClass);
}

// The key is made on every save, whether or not a location is written.
void WriteDefaultIcon(const char* fileClass) {
    RegKey icon;
    if (!CreateClassesKey(HKEY_CURRENT_USER, fileClass, kDefaultIconKey, KEY_WRITE, &icon))
        return;
    if (Changed.Icon || (ClassCreated && IconLocation[0]))
        WriteText(icon.get(), nullptr, IconLocation);
}

// The class for the command and DDE keys: the user's extension key's default
// value alone; 0 when it has none.
int ReadUserDefaultClass(char* fileClass) {
    FillWords(fileClass, kTextSize, 0);
    RegKey extension;
    return OpenClassesKey(HKEY_CURRENT_USER, CurrentExtension, nullptr, KEY_READ, &extension) ==
               ERROR_SUCCESS &&
           RegistryReadText(extension.get(), nullptr, fileClass, kTextSize) == ERROR_SUCCESS &&
           fileClass[0];
}

void WriteOpenCommand() {
    if (!Changed.Program && !Changed.Args && !ClassCreated)
        return;
    char fileClass[kTextSize], command[kTextSize];
    RegKey key;
    if (ReadUserDefaultClass(fileClass) && ComposeOpenCommand(command) &&
        CreateClassesKey(HKEY_CURRENT_USER, fileClass, kOpenCommandKey, KEY_WRITE, &key))
        WriteCommandValue(key.get(), command);
}

void WriteDde() {
    const bool changed = Changed.DdeApplication || Changed.DdeTopic || Changed.DdeCommand;
    // A made class gets DDE keys only for DDE settings it shows: empty keys
    // would make the extension look as if it used DDE.
    const bool shown =
        EditBuffer.DdeApplication[0] || EditBuffer.DdeTopic[0] || EditBuffer.DdeCommand[0];
    if (!changed && !(ClassCreated && shown))
        return;
    char fileClass[kTextSize];
    if (ReadUserDefaultClass(fileClass))
        WriteDdeKeys(HKEY_CURRENT_USER, fileClass);
}

// The actions go into the user's own copy of the class, made as Customize
// makes it where the user's hive has none.
void WriteActions() {
    char fileClass[kTextSize];
    RegKey extension;
    if (!Changed.Actions ||
        OpenClassesKey(HKEY_CURRENT_USER, CurrentExtension, nullptr, KEY_READ, &extension) !=
            ERROR_SUCCESS ||
        !FindExtensionClass(extension.get(), fileClass))
        return;
    RegKey classKey;
    if (!HasUserClass(fileClass) &&
        CreateClassesKey(HKEY_CURRENT_USER, fileClass, nullptr, kReadWrite, &classKey))
        RegistryCopyTree(HKEY_CLASSES_ROOT, fileClass, classKey.get());
    // A default cleared in the user's class would let the machine's name
    // another: the action the shell takes unnamed is named instead.
    RegKey machineShell;
    char named[kTextSize];
    if (Actions.Default.empty() && Actions.Default != Actions.StoredDefault &&
        OpenClassesKey(HKEY_LOCAL_MACHINE, fileClass, "shell", KEY_QUERY_VALUE, &machineShell) ==
            ERROR_SUCCESS &&
        RegistryReadText(machineShell.get(), nullptr, named, kTextSize) == ERROR_SUCCESS &&
        named[0] && DefaultAction(Actions) >= 0)
        Actions.Default = Actions.Verbs[DefaultAction(Actions)].Verb;
    ApplyActions(HKEY_CURRENT_USER, fileClass);
}

void RemoveAllValues(HKEY key) {
    DWORD count = 0;
    if (RegistryQueryInfo(key, nullptr, &count) != ERROR_SUCCESS)
        return;
    static char name[kValueNameSize];
    for (DWORD index = count; index-- > 0;) {
        FillWords(name, kValueNameSize, 0);
        DWORD length = kValueNameSize;
        if (RegistryEnumValue(key, index, name, &length, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS)
            RegistryDeleteValue(key, name);
    }
}

// The user's Open With list of the extension becomes the rows of the
// Recently Used list, in their order; each value holds the row's program
// file name (its application key name).
void RewriteOpenWithList() {
    const int rows = ListCount(OpensWithPage.RecentList);
    if (rows <= 0)
        return;
    char path[kRegistryPathSize];
    RegKey list;
    if (!OpenWithListPath(CurrentExtension, path) ||
        RegistryCreateKey(HKEY_CURRENT_USER, path, KEY_QUERY_VALUE | KEY_SET_VALUE, list.put()) !=
            ERROR_SUCCESS)
        return;
    RemoveAllValues(list.get());
    char order[kTextSize] = {};
    int written = 0;
    for (int row = 0; row < rows && written < kListNameCount; ++row) {
        const auto* application =
            reinterpret_cast<const char*>(ListItemData(OpensWithPage.RecentList, row));
        if (!application)
            continue;
        const char name[2] = {static_cast<char>(kFirstListName + written), 0};
        WriteText(list.get(), name, application);
        order[written++] = name[0];
    }
    WriteText(list.get(), kMruListValue, order);
}

} // namespace

LONG RemoveUserChoice(const char* extension) {
    char path[kRegistryPathSize];
    return UserChoicePath(extension, path) ? RegistryDeleteTree(HKEY_CURRENT_USER, path)
                                           : ERROR_INVALID_NAME;
}

void ApplyEditsUser() {
    ClassCreated = 0;
    if (EditorMode == kEditorCustomize)
        PrepareUserCopy();
    else if (EditorMode == kEditorCreate)
        CreateNewExtension();
    char fileClass[kTextSize];
    if (WriteExtensionValues(fileClass)) {
        WriteClassValues(fileClass);
        WriteDefaultIcon(fileClass);
    }
    // Actions first: a removed "open" then gives way to one the Opens-with
    // page sets again.
    WriteActions();
    WriteOpenCommand();
    WriteDde();
    if (Changed.OpenWithList || ClassCreated)
        RewriteOpenWithList();
    if (EditorMode == kEditorCreate)
        ShowNewUserExtension();
}
