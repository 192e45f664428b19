// The writes of one change, each one checked. The first write the system
// refuses is kept with the key it was for and the system's reason, and every
// write after it is skipped, so that the caller can put the keys back from
// the state it kept and say what failed. A change names the keys it may
// write before it starts; a write outside them is refused as well, so that
// the keys kept beforehand are all a change can have touched.
#pragma once
#include "platform/registry_tree.h"

#include <windows.h>

#include <string>
#include <vector>

// One key of a hive (HKEY_CURRENT_USER or HKEY_LOCAL_MACHINE, never the
// merged view), as a change found or left it.
struct KeyState {
    HKEY Hive = nullptr;
    std::string Path; // below the hive
    bool Exists = false;
    RegistryTree Tree;
};
KeyState KeyOf(HKEY hive, const std::string& path);
// The key read as it is now: whole, or not there. The status of the read:
// ERROR_SUCCESS or ERROR_FILE_NOT_FOUND, else the key could not be read.
LONG ReadKeyState(KeyState* key);
// Whether a key is now as state left it.
bool StillAsLeft(const KeyState& state);

// What the system refused: the key (its hive and path) and its status.
struct RegistryFailure {
    HKEY Hive = nullptr;
    std::string Path;
    LONG Status = ERROR_SUCCESS;
};
// "HKEY_CURRENT_USER\Software\Classes\..." for a key of a hive.
std::string KeyDisplayName(HKEY hive, const std::string& path);

class RegistryWrites {
  public:
    // Writes within the keys of scope (each with everything below it).
    explicit RegistryWrites(std::vector<KeyState> scope);

    bool CreateKey(HKEY hive, const std::string& path);
    // A value of hive\path, the key made where it is missing.
    bool SetValue(HKEY hive, const std::string& path, const char* name, DWORD type,
                  const void* data, DWORD size);
    bool SetText(HKEY hive, const std::string& path, const char* name, const std::string& text,
                 DWORD type = REG_SZ);
    // A value or a key that is not there counts as removed.
    bool DeleteValue(HKEY hive, const std::string& path, const char* name);
    bool DeleteTree(HKEY hive, const std::string& path);
    // Adds source (a key of a hive or of the merged view, with everything
    // below it, names, types and bytes as stored) to hive\path.
    bool CopyTree(HKEY sourceHive, const std::string& sourcePath, HKEY hive,
                  const std::string& path);
    // Makes the key exactly as state holds it (or removes it), in place: a
    // key that is there stays the same key, so that what the system keeps
    // about it beside its names and values (its access rules, whether it
    // outlives the session) stays too.
    bool PutKey(const KeyState& state);

    bool ok() const { return failure_.Status == ERROR_SUCCESS; }
    const RegistryFailure& failure() const { return failure_; }

  private:
    bool InScope(HKEY hive, const std::string& path) const;
    bool Note(HKEY hive, const std::string& path, LONG status);
    bool PutTree(HKEY key, HKEY hive, const std::string& path, const RegistryTree& tree,
                 bool exact);

    std::vector<KeyState> scope_;
    RegistryFailure failure_;
};

// Puts every key of states back as it holds it, through writes of its own;
// the first refusal, or none.
RegistryFailure PutKeysBack(const std::vector<KeyState>& states);
