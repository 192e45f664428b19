// Every change the program writes (an editor Save, Delete, Restore, the
// Open-With editor's additions and removals, the removal of the user's
// choice) is made whole or not at all, and kept for Undo: the exact state of
// every key it may touch is kept in memory before it writes and once more
// after. Where the system refuses a write, the keys are put back as they
// were and nothing is kept. Nothing of it outlives the process.
#pragma once
#include "platform/registry_write.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

struct UndoStep {
    std::string Title;     // what the menu names: "Delete .kvx"
    std::string Extension; // the extension it changed; "" for none
    std::vector<KeyState> Before;
    std::vector<KeyState> After;
};

// How a change ended: Refused is the first write the system refused (its
// Status ERROR_SUCCESS where everything was written); NotPutBack the first
// key that could not be put back afterwards, where there was one.
struct ChangeOutcome {
    RegistryFailure Refused;
    RegistryFailure NotPutBack;
    bool Done() const { return Refused.Status == ERROR_SUCCESS; }
};
// What a person is told of a change that did not happen: the key, the
// system's reason, and that nothing changed (or what could not be put back).
std::string DescribeRefusal(const ChangeOutcome& outcome);

// The keys a change of extension (or link type) may touch in hive
// (HKEY_CURRENT_USER in user mode, HKEY_LOCAL_MACHINE in admin mode): the
// extension key, its class there and, in user mode, the class the merged
// view names and the user's entry of the type (UserEntryPath); newClass,
// where a change may make one.
std::vector<KeyState> ExtensionKeys(HKEY hive, const char* extension, const char* newClass);
// The key of an application, below hive's "Software\Classes\Applications";
// the user's entry of a type (UserEntryPath).
KeyState ApplicationKey(HKEY hive, const char* application);
KeyState UserEntryKey(const char* name);

// Makes a change: keeps keys as they are, runs write with checked writes
// within them, and on the first refusal puts them back; a change that was
// written whole is kept for Undo.
ChangeOutcome MakeChange(const std::string& title, const std::string& extension,
                         std::vector<KeyState> keys,
                         const std::function<void(RegistryWrites&)>& write);

// The extensions whose own key (Software\Classes\.ext of either hive) a
// change kept: where they stand in the catalogue may have changed.
std::vector<std::string> ExtensionsOf(const UndoStep& step);

bool CanUndo();
// The change Undo would take back.
const UndoStep& LastChange();
// The keys of the last change that no longer hold what it left (another
// program changed them since), by path.
std::vector<std::string> ChangedSinceLastChange();
// Puts every key of the last change back as it was (keys it made go, keys it
// removed or changed come back whole), and forgets the change; where the
// system refuses that, the keys stay as they were and the change stays.
ChangeOutcome UndoLastChange();
