// Applying a save in user mode: every key written lies below
// HKEY_CURRENT_USER; the merged view is only read.
#include "details/actions.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "text/system_text.h"
#include "text/text.h"
#include "writer/apply_edits.h"
#include "writer/value_rules.h"

namespace {

// The Open With list names its values a, b, c ... up to the last character.
constexpr int kFirstListName = 'a';
constexpr int kListNameCount = 256 - kFirstListName;

// Customize: the extension and its class, as the merged view shows them,
// become the user's own; true where the extension had no class and one was
// made, which then takes every property the type shows.
bool PrepareUserCopy(const std::string& extension, RegistryWrites& writes) {
    writes.CopyTree(HKEY_CLASSES_ROOT, extension, HKEY_CURRENT_USER, ClassesKeyPath(extension));
    const std::string fileClass = FindClassIn(HKEY_CURRENT_USER, extension);
    if (!fileClass.empty()) {
        const std::string classPath = ClassesKeyPath(fileClass);
        // A link type is its own class, copied above.
        if (!classPath.empty() && !IsLinkName(extension.c_str()))
            writes.CopyTree(HKEY_CLASSES_ROOT, fileClass, HKEY_CURRENT_USER, classPath);
        return false;
    }
    return !CreateExtensionClass(writes, HKEY_CURRENT_USER, extension).empty();
}

void WriteExtensionValues(const FileType& edited, const ChangedFlags& changed, bool classCreated,
                          RegistryWrites& writes) {
    const std::string path = ClassesKeyPath(edited.Extension);
    writes.CreateKey(HKEY_CURRENT_USER, path);
    const struct {
        uint32_t touched;
        const char* name;
        const TextField& field;
    } values[] = {{changed.ContentType, kContentTypeValue, edited.ContentType},
                  {changed.PerceivedType, kPerceivedTypeValue, edited.PerceivedType}};
    for (const auto& value : values) {
        if (value.touched)
            WriteOptionalText(writes, HKEY_CURRENT_USER, path, value.name, value.field);
        else if (classCreated && value.field.Present())
            writes.SetText(HKEY_CURRENT_USER, path, value.name, value.field.Text);
    }
}

// The class the merged view names for the extension gets the backup too,
// where the user's hive has that class and it is not the one just backed
// up: the backup is made from the user's own value, in the user's key.
void BackUpMergedFriendlyTypeName(const std::string& extension, const std::string& backedUp,
                                  RegistryWrites& writes) {
    RegKey key;
    char merged[kTextSize] = {};
    if (RegistryOpenKey(HKEY_CLASSES_ROOT, extension.c_str(), KEY_READ, key.put()) !=
            ERROR_SUCCESS ||
        RegistryReadText(key.get(), nullptr, merged, kTextSize) != ERROR_SUCCESS ||
        CompareNoCase(merged, backedUp.c_str()) == 0 || !HasClassesKey(HKEY_CURRENT_USER, merged))
        return;
    const std::string path = ClassesKeyPath(merged);
    if (!path.empty())
        BackUpFriendlyTypeName(writes, HKEY_CURRENT_USER, path);
}

void WriteClassValues(const FileType& edited, const ChangedFlags& changed, bool classCreated,
                      const std::string& fileClass, RegistryWrites& writes) {
    const std::string path = ClassesKeyPath(fileClass);
    writes.CreateKey(HKEY_CURRENT_USER, path);
    WriteEditFlags(writes, HKEY_CURRENT_USER, path, edited.EditFlags);
    if (changed.Description || classCreated) {
        // A made class takes the name the shell gave the type.
        const std::string description = edited.Description.Present()
                                            ? edited.Description.Text
                                            : ShellClassDescription(edited.Extension.c_str());
        writes.SetText(HKEY_CURRENT_USER, path, nullptr, description);
        if (BackUpFriendlyTypeName(writes, HKEY_CURRENT_USER, path))
            BackUpMergedFriendlyTypeName(edited.Extension, fileClass, writes);
    }
    // The key is made on every save, whether or not a location is written.
    const std::string icon = ClassesKeyPath(fileClass, kDefaultIconKey);
    writes.CreateKey(HKEY_CURRENT_USER, icon);
    if ((changed.Icon || classCreated) && edited.IconLocation.Present())
        writes.SetText(HKEY_CURRENT_USER, icon, nullptr, edited.IconLocation.Text);
}

// The actions go into the user's own copy of the class, made as Customize
// makes it where the user's hive has none.
void WriteActions(const FileTypeSave& save, const ChangedFlags& changed,
                  const std::string& fileClass, RegistryWrites& writes) {
    if (!HasClassesKey(HKEY_CURRENT_USER, fileClass.c_str()))
        writes.CopyTree(HKEY_CLASSES_ROOT, fileClass, HKEY_CURRENT_USER, ClassesKeyPath(fileClass));
    // A default cleared in the user's class would let the machine's name
    // another: the action the shell takes unnamed is named instead.
    FileTypeSave named = save;
    FileType& edited = named.Edited;
    RegKey machineShell;
    char machineDefault[kTextSize];
    if (!edited.DefaultVerb.Present() && edited.DefaultVerb != save.Read.DefaultVerb &&
        OpenClassesKey(HKEY_LOCAL_MACHINE, fileClass.c_str(), "shell", KEY_QUERY_VALUE,
                       &machineShell) == ERROR_SUCCESS &&
        RegistryReadText(machineShell.get(), nullptr, machineDefault, kTextSize) == ERROR_SUCCESS &&
        machineDefault[0] && DefaultAction(edited) >= 0)
        edited.DefaultVerb = {edited.Actions[DefaultAction(edited)].Verb, Source::Typed};
    ApplyActions(named, changed, HKEY_CURRENT_USER, fileClass, writes);
}

// The user's Open With list of the extension becomes the record's, in its
// order; each value holds a program's file name (its application key name).
void RewriteOpenWithList(const FileType& edited, RegistryWrites& writes) {
    char path[kRegistryPathSize];
    if (!OpenWithListPath(edited.Extension.c_str(), path))
        return;
    RegistryTree values;
    RegistryReadTree(HKEY_CURRENT_USER, path, &values);
    for (const RegistryValue& value : values.Values)
        writes.DeleteValue(HKEY_CURRENT_USER, path,
                           ProgramText(value.Name.data(), value.Name.size()).c_str());
    std::string order;
    for (const std::string& application : edited.OpenWithList) {
        if (static_cast<int>(order.size()) >= kListNameCount)
            break;
        const char name[2] = {static_cast<char>(kFirstListName + order.size()), 0};
        writes.SetText(HKEY_CURRENT_USER, path, name, application);
        order += name;
    }
    if (!order.empty())
        writes.SetText(HKEY_CURRENT_USER, path, kMruListValue, order);
}

} // namespace

void ApplyEditsUser(const FileTypeSave& save, const ChangedFlags& changed, RegistryWrites& writes) {
    const FileType& edited = save.Edited;
    if (ClassesKeyPath(edited.Extension).empty())
        return;
    bool classCreated = false;
    if (save.EditorMode == kEditorCustomize)
        classCreated = PrepareUserCopy(edited.Extension, writes);
    else if (save.EditorMode == kEditorCreate)
        CreateExtensionClass(writes, HKEY_CURRENT_USER, edited.Extension);
    WriteExtensionValues(edited, changed, classCreated, writes);
    const std::string fileClass = FindClassIn(HKEY_CURRENT_USER, edited.Extension);
    if (!ClassesKeyPath(fileClass).empty()) {
        WriteClassValues(edited, changed, classCreated, fileClass, writes);
        if (ActionsTouched(changed))
            WriteActions(save, changed, fileClass, writes);
    }
    if (changed.OpenWithList || (classCreated && !edited.OpenWithList.empty()))
        RewriteOpenWithList(edited, writes);
}
