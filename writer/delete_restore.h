// Removing extensions. In user mode only the user's own keys go: "Delete"
// removes an extension that exists for this user alone, "Restore" removes the
// user's override of a machine-wide one. In admin mode "Delete" removes an
// extension for every user.
#pragma once
#include <windows.h>

constexpr int kDeleteUserExtension = 1;
constexpr int kRestoreMachineExtension = 2;

// Asks prompt + CurrentExtension + "Are you sure..." under caption; on Yes
// removes the user's keys of CurrentExtension, updates the tree (and, when
// restoring, the list) and tells the shell.
void DeleteOrRestoreUser(int mode, const char* prompt, const char* caption);
// Asks with the loud warning; on Yes removes CurrentExtension and its class
// from the machine, tells the shell and selects the row before it.
void DeleteExtensionAdmin();

// 1 when an extension key of hive\Software\Classes other than extension
// names fileClass, as its default value or under its "OpenWithProgIDs".
int IsClassSharedWith(HKEY hive, const char* fileClass, const char* extension);
