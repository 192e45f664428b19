// The session's undo history. Before each change the program writes (an
// editor Save, Delete, Restore, the Open-With editor's additions and
// removals, the removal of the user's choice), the exact state of every key
// it will touch is kept in memory, and once more after it; Undo puts the
// keys back as they were. Nothing of it outlives the process.
#pragma once
#include "platform/registry_tree.h"

#include <windows.h>

#include <string>
#include <vector>

// One key of a hive (not of the merged view), as a change found or left it.
struct KeyState {
    HKEY Hive = nullptr;
    std::string Path;
    bool Exists = false;
    RegistryTree Tree;
};

struct UndoStep {
    std::string Title;     // what the menu names: "Delete .kvx"
    std::string Extension; // the extension it changed; "" for none
    std::vector<KeyState> Before;
    std::vector<KeyState> After;
};

// The keys a change of extension may touch in hive (HKEY_CURRENT_USER in
// user mode, HKEY_LOCAL_MACHINE in admin mode): the extension key, its class
// there and, in user mode, the class the merged view names and the user's
// FileExts entry; newClass, where a change may make one.
std::vector<KeyState> ExtensionKeys(HKEY hive, const char* extension, const char* newClass);
// The key of an application, below hive's "Software\Classes\Applications";
// the user's FileExts entry of an extension.
KeyState ApplicationKey(HKEY hive, const char* application);
KeyState FileExtsKey(const char* extension);
// The key read as it is now: whole, or not there.
void ReadKeyState(KeyState* key);

// Recording: the keys as they are now, before the change writes them; then,
// once it has written, as it left them, which makes the step undoable.
void BeginChange(const std::string& title, const std::string& extension,
                 std::vector<KeyState> keys);
void EndChange();

bool CanUndo();
// The change Undo would take back.
const UndoStep& LastChange();
// The keys of the last change that no longer hold what it left (another
// program changed them since), by path.
std::vector<std::string> ChangedSinceLastChange();
// Puts every key of the last change back as it was (keys it made go, keys it
// removed or changed come back whole), and forgets the change.
void UndoLastChange();
