// The writers of a file type: a save (the record as read and as edited) as
// registry writes, for the current user (user mode) or for the machine
// (admin mode), whole or not at all, and kept for Undo.
#pragma once
#include "platform/registry_write.h"
#include "records/file_type.h"
#include "writer/undo.h"

#include <windows.h>

#include <string>

ChangeOutcome ApplyEdits(const FileTypeSave& save, RunMode mode);

// What a save writes: what was touched, and every field that differs from
// what was read.
ChangedFlags ChangesOf(const FileTypeSave& save);
// Whether a save has anything to write.
bool AnyChanged(const ChangedFlags& changed);

// The writers of each mode, within the keys ApplyEdits keeps: user mode
// writes below HKEY_CURRENT_USER\Software\Classes (and the user's Open With
// list), a per-user copy first in Customize mode; admin mode below
// HKEY_LOCAL_MACHINE\Software\Classes.
void ApplyEditsUser(const FileTypeSave& save, const ChangedFlags& changed, RegistryWrites& writes);
void ApplyEditsAdmin(const FileTypeSave& save, const ChangedFlags& changed, RegistryWrites& writes);
// The actions of the save into fileClass of hive: removed actions' keys go
// with everything below them, new and changed ones are written, and the
// "shell" key's default value names the default action, or is removed.
void ApplyActions(const FileTypeSave& save, const ChangedFlags& changed, HKEY hive,
                  const std::string& fileClass, RegistryWrites& writes);
bool ActionsTouched(const ChangedFlags& changed);

// Removes the user's own choice of class for extension (its "UserChoice" key
// alone; the Open With list beside it stays). Windows refuses it for some
// types.
ChangeOutcome RemoveUserChoice(const std::string& extension);
