// A save as one change: what it touched, the keys it may write, and the
// writer of the mode.
#include "writer/apply_edits.h"

#include "details/actions.h"
#include "platform/registry_layout.h"
#include "resources/texts.h"
#include "writer/value_rules.h"

namespace {

bool SameDde(const FileAction& a, const FileAction& b) {
    return a.DdeCommand == b.DdeCommand && a.DdeApplication == b.DdeApplication &&
           a.DdeTopic == b.DdeTopic;
}

const FileAction* OpenAction(const FileType& type) {
    const int open = FindAction(type, "open");
    return open >= 0 ? &type.Actions[open] : nullptr;
}

// Where the actions other than the "open" action's command and DDE differ:
// an "open" action the Open page made is its program, not an action of its
// own.
bool OtherActionsDiffer(const FileType& read, const FileType& edited) {
    if (read.DefaultVerb != edited.DefaultVerb)
        return true;
    for (const FileAction& action : read.Actions)
        if (FindAction(edited, action.Verb) < 0)
            return true;
    for (const FileAction& action : edited.Actions) {
        const int found = FindAction(read, action.Verb);
        if (found < 0 && !IsOpenVerb(action.Verb))
            return true;
        if (found < 0)
            continue;
        const FileAction& before = read.Actions[found];
        if (action.DisplayName != before.DisplayName ||
            (!IsOpenVerb(action.Verb) &&
             (action.Command != before.Command || !SameDde(action, before))))
            return true;
    }
    return false;
}

const char* SaveTitle(uint32_t editorMode) {
    return editorMode == kEditorCreate      ? kMenuNewExtension
           : editorMode == kEditorCustomize ? kMenuCustomize
                                            : kMenuEdit;
}

} // namespace

ChangedFlags ChangesOf(const FileTypeSave& save) {
    ChangedFlags changed = save.Changed;
    const FileType& read = save.Read;
    const FileType& edited = save.Edited;
    changed.Icon |= read.IconLocation != edited.IconLocation;
    changed.PerceivedType |= read.PerceivedType != edited.PerceivedType;
    changed.ContentType |= read.ContentType != edited.ContentType;
    changed.Description |= read.Description != edited.Description;
    changed.EditFlags |= read.EditFlags != edited.EditFlags;
    changed.OpenWithList |= read.OpenWithList != edited.OpenWithList;
    const FileAction* before = OpenAction(read);
    const FileAction* after = OpenAction(edited);
    if (after && (!before || before->Command != after->Command))
        changed.Program = 1;
    if (after && (!before ? after->HasDde : !SameDde(*before, *after)))
        changed.DdeCommand = 1;
    changed.Actions |= OtherActionsDiffer(read, edited);
    return changed;
}

bool AnyChanged(const ChangedFlags& changed) {
    return changed.Icon || changed.PerceivedType || changed.ContentType || changed.Program ||
           changed.Description || changed.Args || changed.DdeApplication || changed.DdeTopic ||
           changed.DdeCommand || changed.EditFlags || changed.OpenWithList || changed.Actions;
}

ChangeOutcome ApplyEdits(const FileTypeSave& save, RunMode mode) {
    const std::string& extension = save.Edited.Extension;
    const ChangedFlags changed = ChangesOf(save);
    char newClass[kTextSize];
    NewClassName(extension.c_str(), newClass);
    const HKEY hive = mode == RunMode::Admin ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    return MakeChange(SaveTitle(save.EditorMode) + std::string(" ") + extension, extension,
                      ExtensionKeys(hive, extension.c_str(), newClass),
                      [&](RegistryWrites& writes) {
                          if (mode == RunMode::Admin)
                              ApplyEditsAdmin(save, changed, writes);
                          else
                              ApplyEditsUser(save, changed, writes);
                      });
}

ChangeOutcome RemoveUserChoice(const std::string& extension) {
    char path[kRegistryPathSize];
    const bool named = UserChoicePath(extension.c_str(), path);
    return MakeChange(kUndoRemoveChoice + extension, extension, {UserEntryKey(extension.c_str())},
                      [&](RegistryWrites& writes) {
                          if (named)
                              writes.DeleteTree(HKEY_CURRENT_USER, path);
                      });
}
