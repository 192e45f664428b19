// Removing extensions. In user mode only the user's own keys go: "Delete"
// removes an extension that exists for this user alone, "Restore" removes the
// user's override of a machine-wide one. In admin mode "Delete" removes an
// extension for every user. Each is one change, whole or not at all.
#pragma once
#include "writer/undo.h"

#include <windows.h>

#include <string>

constexpr int kDeleteUserExtension = 1;
constexpr int kRestoreMachineExtension = 2;

// The user's keys of extension: its key and the class its default value
// names, unless another extension of the user's still names that class.
ChangeOutcome DeleteOrRestoreUser(int mode, const std::string& extension);
// The machine's extension key and its class (found as the shell finds it),
// unless another extension of the machine's still names that class.
ChangeOutcome DeleteExtensionAdmin(const std::string& extension);

// 1 when an extension key of hive\Software\Classes other than extension
// names fileClass, as its default value or under its "OpenWithProgIDs".
int IsClassSharedWith(HKEY hive, const char* fileClass, const char* extension);
