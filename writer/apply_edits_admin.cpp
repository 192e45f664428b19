// Applying a save in admin mode, for every user of the machine.
#include "writer/apply_edits.h"
#include "writer/value_rules.h"

void ApplyEditsAdmin(const FileTypeSave& save, const ChangedFlags& changed,
                     RegistryWrites& writes) {
    const FileType& edited = save.Edited;
    const std::string path = ClassesKeyPath(edited.Extension);
    if (path.empty())
        return;
    writes.CreateKey(HKEY_LOCAL_MACHINE, path);
    if (changed.ContentType)
        WriteOptionalText(writes, HKEY_LOCAL_MACHINE, path, kContentTypeValue, edited.ContentType);
    if (changed.PerceivedType)
        WriteOptionalText(writes, HKEY_LOCAL_MACHINE, path, kPerceivedTypeValue,
                          edited.PerceivedType);
    // One class serves every class-level write; without one there are none.
    const std::string fileClass =
        save.EditorMode == kEditorCreate
            ? CreateExtensionClass(writes, HKEY_LOCAL_MACHINE, edited.Extension)
            : FindClassIn(HKEY_LOCAL_MACHINE, edited.Extension);
    const std::string classPath = ClassesKeyPath(fileClass);
    if (classPath.empty())
        return;
    writes.CreateKey(HKEY_LOCAL_MACHINE, classPath);
    WriteEditFlags(writes, HKEY_LOCAL_MACHINE, classPath, edited.EditFlags);
    if (changed.Description) {
        writes.SetText(HKEY_LOCAL_MACHINE, classPath, nullptr, edited.Description.Text);
        BackUpFriendlyTypeName(writes, HKEY_LOCAL_MACHINE, classPath);
    }
    if (changed.Icon)
        WriteOptionalText(writes, HKEY_LOCAL_MACHINE, ClassesKeyPath(fileClass, kDefaultIconKey),
                          nullptr, edited.IconLocation);
    if (ActionsTouched(changed))
        ApplyActions(save, changed, HKEY_LOCAL_MACHINE, fileClass, writes);
}
