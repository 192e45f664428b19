// A registry key with everything below it, exactly as stored: names in the
// system's own UTF-16, value types and bytes untouched. What is copied or
// deleted whole goes through these, so that no name or value loses a
// character on the way, whatever the program's code page can spell.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct RegistryValue {
    std::wstring Name; // "" for the default value
    DWORD Type = REG_NONE;
    std::vector<BYTE> Data;
};

struct RegistryTree {
    std::wstring Name;
    std::vector<RegistryValue> Values;
    std::vector<RegistryTree> Keys; // in the registry's order
    // False where a key below could not be read and is left out: a tree
    // that could not be written back as it was.
    bool Whole = true;
};

// Reads the values and the keys below an open key of a hive (not of the
// merged view) into tree, whose Name is left as it is. A sub-key that cannot
// be opened is left out, and the tree is not whole.
LONG ReadKeyTree(HKEY key, RegistryTree* tree);
// over laid on under as the merged view lays the user's classes on the
// machine's: a value or key of over replaces or joins under's of the same
// name (without regard to case), spelled as over spells it.
void OverlayTree(RegistryTree* under, const RegistryTree& over);
// Whether two trees hold the same names, types and bytes, in the same order.
bool SameTree(const RegistryTree& a, const RegistryTree& b);
// Deletes key\name with everything below it; name is one key's name.
LONG DeleteKeyTree(HKEY key, const std::wstring& name);
