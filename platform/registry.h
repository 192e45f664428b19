// Registry access for the whole program.
//
// HKEY_CLASSES_ROOT is served here, on Windows and under Wine alike, as the
// merged view of HKEY_CURRENT_USER\Software\Classes over
// HKEY_LOCAL_MACHINE\Software\Classes (Wine does not merge the user's classes
// itself):
//  - a key exists when it exists in either hive;
//  - a value is read from the user's key when that key holds it, else from
//    the machine's key;
//  - sub-keys and values enumerate as the union, each name once, in the
//    registry's order (CompareRegistryNames), and RegistryQueryInfo counts
//    that union;
//  - nothing is written through the view: every write goes to a hive's own
//    keys (platform/registry_write.h), and the view refuses it with
//    ERROR_ACCESS_DENIED.
// Handles of the view are ordinary HKEY values for the callers: they pass them
// to these functions only (never to the Win32 Reg* calls) and close them with
// RegistryCloseKey.
//
// Every function returns a Win32 status; ERROR_SUCCESS (0) means success and
// anything else is treated by the callers as "absent" or "failed".
#pragma once
#include "platform/registry_tree.h"
#include "text/text.h"

#include <windows.h>

#include <functional>

// A key name of the registry's longest (255 characters) in the program's text.
constexpr DWORD kKeyNameSize = BufferFor(255);

// Opens parent\path (path may be null or empty: the parent itself, opened
// anew). On failure *key is null. The caller closes the key.
LONG RegistryOpenKey(HKEY parent, const char* path, REGSAM access, HKEY* key);
// Opens parent\path of a hive, creating every missing key on the way. On
// failure *key is null. The caller closes the key.
LONG RegistryCreateKey(HKEY parent, const char* path, REGSAM access, HKEY* key);
// Closes a key from RegistryOpenKey/RegistryCreateKey; null is allowed.
void RegistryCloseKey(HKEY key);

// Raw value access with RegQueryValueExA's contract: data may be null to ask
// for the size only; *size is in/out. name null or "" is the default value.
LONG RegistryQueryValue(HKEY key, const char* name, DWORD* type, void* data, DWORD* size);
// Reads a REG_SZ or REG_EXPAND_SZ value as text into buffer (size bytes, which
// are zero-filled first). The text always ends up terminated: a value of more
// than CharactersIn(size) characters, or that does not fit with its
// terminator, gives ERROR_MORE_DATA, and data of any other type gives
// ERROR_INVALID_DATATYPE; both leave the buffer empty.
LONG RegistryReadText(HKEY key, const char* name, char* buffer, DWORD size);
LONG RegistrySetValue(HKEY key, const char* name, DWORD type, const void* data, DWORD size);
LONG RegistryDeleteValue(HKEY key, const char* name);

// Sub-key number index into name; *length is in/out as for RegEnumKeyExA
// (in: buffer size, terminator included; out: characters copied). A name that
// does not fit gives ERROR_MORE_DATA. End of the list: ERROR_NO_MORE_ITEMS.
LONG RegistryEnumKey(HKEY key, DWORD index, char* name, DWORD* length);
// Value number index; type, data and dataSize may be null.
LONG RegistryEnumValue(HKEY key, DWORD index, char* name, DWORD* length, DWORD* type, void* data,
                       DWORD* dataSize);
// Calls visit with the name of each sub-key of key, in order, until visit
// returns false. The walk ends at the end of the list and at any error but a
// name too long to read, which is passed over.
void RegistryForEachSubKey(HKEY key, const std::function<bool(const char* name)>& visit);
// Number of sub-keys and of values; either pointer may be null.
LONG RegistryQueryInfo(HKEY key, DWORD* subKeys, DWORD* values);

// Reads hive\path whole into tree (its Name is the last piece of path); a
// path of the merged view gives the user's keys and values laid over the
// machine's. Names and data come as stored, whatever the code page spells.
LONG RegistryReadTree(HKEY hive, const char* path, RegistryTree* tree);
// Deletes hive\path and everything below it, every name below it as stored.
// A path that names no key below hive (empty, or with a leading, trailing or
// doubled backslash, which the system reads as hive itself) is refused with
// ERROR_INVALID_PARAMETER.
LONG RegistryDeleteTree(HKEY hive, const char* path);

// 1 when hive\path can be opened with KEY_QUERY_VALUE, else 0.
int RegistryKeyExists(HKEY hive, const char* path);

// Owns an open key for one scope.
class RegKey {
  public:
    RegKey() = default;
    explicit RegKey(HKEY key) : key_(key) {}
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    ~RegKey() { RegistryCloseKey(key_); }
    HKEY get() const { return key_; }
    // For the open/create calls: closes what is held and hands out the slot.
    HKEY* put() {
        RegistryCloseKey(key_);
        key_ = nullptr;
        return &key_;
    }
    explicit operator bool() const { return key_ != nullptr; }

  private:
    HKEY key_ = nullptr;
};
