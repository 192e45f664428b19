// The text of a registry file as regedit writes it and regedit or "reg
// import" read it back: plain data in, bytes out, no registry involved.
#pragma once
#include "platform/registry_tree.h"

#include <string>
#include <vector>

// A key to write, with everything below it: its hive's full name
// ("HKEY_CURRENT_USER") and its path below the hive.
struct ExportedKey {
    std::wstring Root;
    std::wstring Path;
    RegistryTree Tree;
};

// "Windows Registry Editor Version 5.00", then each key and each key below
// it, a block each, as UTF-16 with a byte-order mark and CR LF line ends.
// Every value comes back unchanged from an import: a text as "text" only
// where it is one (a single terminating zero, no control character, no
// surrogate without its partner), a DWORD as dword:, anything else as
// hex(type): bytes.
std::string ComposeRegFile(const std::vector<ExportedKey>& keys);
