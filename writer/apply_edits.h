// The writers the property editor's Save runs: the editor's edits as
// registry writes, for the current user (user mode) or for the machine
// (admin mode). Both read the editor's state (editor/editor_state.h) and its
// pages, which still exist while they run.
#pragma once
#include <windows.h>

// Writes below HKEY_CURRENT_USER\Software\Classes (and the user's Open With
// list): a per-user copy first in Customize mode, the new extension in
// create mode (shown under "User Defined").
void ApplyEditsUser();

// Writes below HKEY_LOCAL_MACHINE\Software\Classes; a new extension is shown
// in the list and announced to the shell at once.
void ApplyEditsAdmin();

// The Actions page's changes (Actions, when Changed.Actions) into fileClass
// of hive: removed actions' keys go with everything below them, new and
// changed ones are written (the "open" action's command and DDE by the
// writers above, after this, from the Opens-with page), and the "shell" key's
// default value names the default action, or is cleared.
void ApplyActions(HKEY hive, const char* fileClass);

// Removes the user's own choice of class for extension (its "UserChoice" key
// alone; the Open With list beside it stays). The system's status: Windows
// refuses it for some types.
LONG RemoveUserChoice(const char* extension);
